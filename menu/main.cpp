#include <cstdio>
#include <cstring>
#include <vector>

#include "console/platform.hpp"
#include "menu.hpp"

namespace {

// Descriptors 0 and 1 are standard input and output on every platform the program runs on.
constexpr int standard_input = 0;
constexpr int standard_output = 1;

// As large as a pipe's buffer: one system call moves what a pipe holds.
constexpr std::size_t buffer_size = std::size_t{64} * 1024;

}  // namespace

int main() {
    // Taken once here, so that reading and writing never allocate and the program
    // still talks when the heap is exhausted.
    std::vector<char> in(buffer_size);
    std::vector<char> out(buffer_size);
    console io = fd_console(standard_input, standard_output, in, out);

    // The nodes left in the list at the end are not released: the process ends with them.
    node *first = nullptr;
    if (menu(io, first) == ending::stopped && io.error == 0 &&
        platform::end_of_input_leaves_line_open(standard_input)) {
        write(io, "\n");  // the shell's prompt starts on a fresh line
    }
    flush(io);
    if (io.error != 0) {
        std::fprintf(stderr, "listmenu: write error: %s\n", std::strerror(io.error));
        return 1;
    }
    return 0;
}
