#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "menu.hpp"

namespace {

// As large as a pipe's buffer: one system call moves what a pipe holds.
constexpr std::size_t buffer_size = std::size_t{64} * 1024;

}  // namespace

int main() {
    // Taken once here, so that reading and writing never allocate and the program
    // still talks when the heap is exhausted.
    std::vector<char> in(buffer_size);
    std::vector<char> out(buffer_size);
    console io = fd_console(STDIN_FILENO, STDOUT_FILENO, in, out);

    // The nodes left in the list at the end are not released: the process ends with them.
    node *first = nullptr;
    if (menu(io, first) == ending::stopped && io.error == 0 && isatty(STDIN_FILENO) != 0) {
        write(io, "\n");  // after Ctrl-D, the shell's prompt starts on a fresh line
    }
    flush(io);
    if (io.error != 0) {
        std::fprintf(stderr, "listmenu: write error: %s\n", std::strerror(io.error));
        return 1;
    }
    return 0;
}
