#pragma once
// The few things the console asks of the operating system, behind one seam: posix.cpp or
// windows.cpp, picked by the build. Nothing above this header knows which one it runs on.
//
// Facts of the platforms, stated once here:
// - Byte order: nothing above the seam depends on it; digits are stored a character at a time.
// - Line ends: the program writes "\n". POSIX passes it through; on Windows the descriptors stay in
//   the C runtime's text mode, which writes CR LF and reads CR LF as "\n", as printf and scanf do.
// - End of input at a terminal: Ctrl-D on POSIX and WASI, Ctrl-Z at the start of a line on Windows.

#include <cstddef>
#include <span>

namespace platform {

enum class outcome {
    moved,        // `bytes` bytes were read or written, at least one
    ended,        // nothing moved and nothing will: the end of the input, or a write that took none
    interrupted,  // a signal came before anything moved: try again
    would_block,  // the descriptor was made non-blocking and is not ready: wait, then try again
    failed,       // an error, in `error` (0 where the platform gave none); the descriptor is of no more use
};

struct result {
    outcome what;
    std::size_t bytes;
    int error;  // an errno value, or 0, when `what` is failed; else 0
};

enum class direction { in, out };

// One read(2) or write(2) of at most `buf.size()` bytes; a count beyond what the platform
// takes in one call is clamped, so `bytes` may be less than asked.
result read(int fd, std::span<char> buf);
result write(int fd, std::span<const char> buf);

// Blocks until `fd` is ready for `way` after an outcome of would_block. Where the platform
// cannot wait on this descriptor, it makes the descriptor blocking instead, so that the next
// call waits by itself. Returns 0, or the errno of why neither could be done: the descriptor
// is then useless.
int wait(int fd, direction way);

// True for an interactive terminal: not for files, pipes or the null device.
bool is_terminal(int fd);

// True for a regular file on disk, where large writes cost less than a pipe's size.
bool is_file(int fd);

// Whether ending the input at a terminal leaves the cursor on the prompt's line, so that the
// program ends that line itself before the shell's prompt comes back.
extern const bool end_of_input_leaves_line_open;

}  // namespace platform
