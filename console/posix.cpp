// The platform seam on POSIX systems: Linux, the BSDs, macOS, and WASI through its C library.
//
// Where WASI differs, the same code still holds:
// - It has no signals, so no call is ever interrupted; the branch for EINTR is never taken.
// - Runtimes read standard input blocking, so a read waits for the person by itself and wait()
//   is not reached; if a host made it non-blocking, poll() is WASI's poll_oneoff, and where the
//   runtime cannot wait on the descriptor the fallback below makes it blocking.
// - isatty() is true for a character device without seeking, which is how runtimes present a
//   terminal: at one, Control-D ends the input, and the program ends the prompt's line as here.

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform.hpp"

namespace platform {

namespace {

result classify(ssize_t n) {
    if (n > 0) {
        return {outcome::moved, static_cast<std::size_t>(n), 0};
    }
    if (n == 0) {
        return {outcome::ended, 0, 0};
    }
    const int error = errno;
    if (error == EINTR) {
        return {outcome::interrupted, 0, 0};
    }
    if (error == EAGAIN || error == EWOULDBLOCK) {
        return {outcome::would_block, 0, 0};
    }
    return {outcome::failed, 0, error};
}

}  // namespace

result read(int fd, std::span<char> buf) {
    return classify(::read(fd, buf.data(), buf.size()));
}

result write(int fd, std::span<const char> buf) {
    return classify(::write(fd, buf.data(), buf.size()));
}

int wait(int fd, direction way) {
    if (fd < 0) {
        return EBADF;  // poll would skip it and wait for ever
    }
    const short event = way == direction::in ? POLLIN : POLLOUT;
    pollfd p{fd, event, 0};
    int ready = 0;
    while ((ready = ::poll(&p, 1, -1)) < 0 && errno == EINTR) {
    }
    // An error or a hang-up is ready too: the next call reports it.
    if (ready > 0 && (p.revents & POLLNVAL) == 0) {
        return 0;
    }
    // poll refused this descriptor (macOS answers POLLNVAL for terminals), or refused to poll at
    // all (EINVAL with no descriptors allowed): block in the call instead.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return errno;
    }
    return 0;
}

bool is_terminal(int fd) {
    return ::isatty(fd) != 0;
}

bool is_file(int fd) {
    struct stat s {};
    return ::fstat(fd, &s) == 0 && S_ISREG(s.st_mode);
}

// Ctrl-D ends the input without echoing a line end.
const bool end_of_input_leaves_line_open = true;

}  // namespace platform
