#include <cstdio>
#include <cstring>
#include <memory>

#include "console/platform.hpp"
#include "menu.hpp"

namespace {

// Descriptors 0 and 1 are standard input and output on every platform the program runs on.
constexpr int standard_input = 0;
constexpr int standard_output = 1;

constexpr std::size_t kib = 1024;
// As large as a pipe's buffer: one system call moves what a pipe holds. Scripts read from files
// measured no faster with larger reads.
constexpr std::size_t in_size = 64 * kib;
// Output to a pipe or a terminal goes a pipe's worth at a time; a regular file takes larger
// writes for less, and 1 MiB measured fastest from 64 KiB to 2 MiB.
constexpr std::size_t pipe_out_size = 64 * kib;
constexpr std::size_t file_out_size = 1024 * kib;
// Room the console takes, so it is always made.
static_assert(in_size > 0 && pipe_out_size >= min_out_size && file_out_size >= min_out_size);

// Says on standard error why the run failed, if it did.
bool failed(const char *what, int error) {
    if (error != 0) {
        std::fprintf(stderr, "listmenu: %s error: %s\n", what, std::strerror(error));
    }
    return error != 0;
}

// Whether the program ends the prompt's line itself when the input stops, for the shell's prompt or an
// error to follow: only on a terminal, and a file or a pipe gets nothing but the dialogue. Answers
// piped to a terminal end as they always have, so that what a script shows stays the same.
bool ends_prompt_line(const console &io) {
    if (!stopped(io) || write_error(io) != 0 || !platform::is_terminal(standard_output)) {
        return false;  // 6 was chosen, or nothing more reaches the terminal
    }
    if (read_error(io) != 0) {
        return true;
    }
    // The end of the input typed at the terminal: Control-D leaves the line open, while Windows'
    // Control-Z takes an Enter, which has ended it.
    return platform::end_of_input_leaves_line_open && platform::is_terminal(standard_input);
}

}  // namespace

int main() {
    // Taken once here, so that reading and writing never allocate and the program still talks
    // when the heap is exhausted; left unfilled, since a page costs nothing until text reaches it.
    const std::size_t out_size = platform::is_file(standard_output) ? file_out_size : pipe_out_size;
    // (new char[] rather than make_unique, which would fill them with zeros.)
    const std::unique_ptr<char[]> in(new char[in_size]);    // NOLINT(modernize-avoid-c-arrays)
    const std::unique_ptr<char[]> out(new char[out_size]);  // NOLINT(modernize-avoid-c-arrays)
    console io = fd_console(standard_input, standard_output, {in.get(), in_size}, {out.get(), out_size});

    // The nodes left in the list at the end are not released: the process ends with them.
    node *first = nullptr;
    menu(io, first);
    if (ends_prompt_line(io)) {
        write(io, "\n");  // the shell's prompt, or a read error, starts on a fresh line
    }
    flush(io);
    const bool unwritten = failed("write", write_error(io));
    const bool unread = failed("read", read_error(io));
    return unwritten || unread ? 1 : 0;
}
