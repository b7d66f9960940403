// The platform seam on Windows, through the C runtime's descriptors.
//
// Standard input and output stay in the runtime's text mode, as a C program's printf and scanf
// have them: "\n" goes out as CR LF, CR LF comes in as "\n", and Ctrl-Z ends the input (at a
// console, when it starts a line). The runtime's descriptors always block, so reads and writes
// never ask to wait and nothing is ever interrupted by a signal.

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform.hpp"

namespace platform {

namespace {

// _read and _write take an unsigned count and answer with an int.
constexpr std::size_t most = INT_MAX;

unsigned int clamp(std::size_t size) {
    return static_cast<unsigned int>(std::min(size, most));
}

HANDLE handle(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));  // NOLINT(performance-no-int-to-ptr)
}

}  // namespace

result read(int fd, std::span<char> buf) {
    // _read answers 0, the end of the input, when a pipe's writer has gone away; -1 is a failure.
    const int n = ::_read(fd, buf.data(), clamp(buf.size()));
    if (n > 0) {
        return {outcome::moved, static_cast<std::size_t>(n), 0};
    }
    return n == 0 ? result{outcome::ended, 0, 0} : result{outcome::failed, 0, errno};
}

result write(int fd, std::span<const char> buf) {
    const int n = ::_write(fd, buf.data(), clamp(buf.size()));
    if (n > 0) {
        return {outcome::moved, static_cast<std::size_t>(n), 0};
    }
    return n == 0 ? result{outcome::ended, 0, 0} : result{outcome::failed, 0, errno};
}

int wait(int /*fd*/, direction /*way*/) {
    return 0;  // never asked for: see above
}

// A plain _isatty also says yes for the NUL device; only a real console has a console mode.
bool is_terminal(int fd) {
    DWORD mode = 0;
    return ::GetConsoleMode(handle(fd), &mode) != 0;
}

bool is_file(int fd) {
    return ::GetFileType(handle(fd)) == FILE_TYPE_DISK;
}

// At a console, Ctrl-Z is typed at the start of a line and sent with Enter, which has already
// moved the cursor to a fresh line for the shell's prompt. (Reasoned from how the console reads
// a line; wine has no real console to try it on.)
const bool end_of_input_leaves_line_open = false;

}  // namespace platform
