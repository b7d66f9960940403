// The POSIX side of the platform seam on Linux's own devices and pipes, and the console writing
// through it to a pipe that fills.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "console/console.hpp"
#include "console/platform.hpp"

namespace {

// A non-blocking pipe with little room takes part of a write, then refuses until it is read.
TEST(Posix, EveryByteReachesANonBlockingPipe) {
    std::array<int, 2> fds{};
    ASSERT_EQ(pipe(fds.data()), 0);
    ASSERT_GE(fcntl(fds[1], F_SETPIPE_SZ, 4096), 0);
    ASSERT_EQ(fcntl(fds[1], F_SETFL, O_NONBLOCK), 0);
    std::string text;
    for (int i = 0; text.size() < 300000; ++i) {
        text += std::to_string(i) + "->";
    }
    std::string received;
    std::thread reader([&received, fd = fds[0]] {
        std::array<char, 1000> chunk{};
        ssize_t n = 0;
        while ((n = read(fd, chunk.data(), chunk.size())) > 0) {
            received.append(chunk.data(), static_cast<std::size_t>(n));
        }
    });
    std::vector<char> out(std::size_t{64} * 1024);
    console io = memory_in_console("7", fds[1], out);
    std::int32_t answer = 0;
    EXPECT_TRUE(ask(io, text, answer));
    EXPECT_EQ(answer, 7);
    flush(io);
    close(fds[1]);
    reader.join();
    close(fds[0]);
    EXPECT_EQ(io.write_error, 0);
    EXPECT_EQ(received, text);
}

// A pipe with little room.
struct pipe_ends {
    std::array<int, 2> fd{-1, -1};  // read end, write end
    pipe_ends() {
        EXPECT_EQ(pipe(fd.data()), 0);
        EXPECT_GE(fcntl(fd[1], F_SETPIPE_SZ, 4096), 0);
    }
    pipe_ends(const pipe_ends &) = delete;
    pipe_ends &operator=(const pipe_ends &) = delete;
    ~pipe_ends() {
        for (const int end : fd) {
            close(end);
        }
    }
    void fill() const {
        const int flags = fcntl(fd[1], F_GETFL);
        fcntl(fd[1], F_SETFL, flags | O_NONBLOCK);
        const std::array<char, 4096> junk{};
        while (write(fd[1], junk.data(), junk.size()) > 0) {
        }
        fcntl(fd[1], F_SETFL, flags);
    }
};

// A signal every few milliseconds, with no SA_RESTART, so that a blocked call returns EINTR. It
// keeps coming until the guard goes, so a call that blocks only after one has passed still ends.
// Given a pipe's end, the third signal makes the pipe ready: a byte into one that was empty (given
// its write end), or room in one that was full (its read end). Both are safe in a signal handler.
struct interrupting {
    static inline int ready_fd = -1;
    static inline bool drains = false;
    static inline volatile std::sig_atomic_t seen = 0;

    explicit interrupting(int fd = -1, bool drain = false) {
        ready_fd = fd;
        drains = drain;
        seen = 0;
        struct sigaction act {};
        act.sa_handler = [](int /*signal*/) {
            seen = seen + 1;
            if (seen == 3 && ready_fd >= 0) {
                std::array<char, 8192> junk{};
                const ssize_t moved =
                    drains ? read(ready_fd, junk.data(), junk.size()) : write(ready_fd, "x", 1);
                static_cast<void>(moved);
            }
        };
        sigaction(SIGALRM, &act, &before);
        const itimerval every{{0, 5000}, {0, 5000}};
        setitimer(ITIMER_REAL, &every, nullptr);
    }
    interrupting(const interrupting &) = delete;
    interrupting &operator=(const interrupting &) = delete;
    ~interrupting() {
        const itimerval off{};
        setitimer(ITIMER_REAL, &off, nullptr);
        sigaction(SIGALRM, &before, nullptr);
    }
    struct sigaction before {};
};

struct seam_case {
    std::string name;
    std::function<platform::result(pipe_ends &)> act;
    platform::outcome what;
    int error;
};

std::array<char, 8> buffer{};
const std::string_view text = "12345";

// One read or write on a file opened for it.
template <class Act, class Data>
platform::result on_file(const char *path, int flags, Act act, Data &data) {
    const int fd = open(path, flags);
    const platform::result r = act(fd, data);
    close(fd);
    return r;
}

const std::vector<seam_case> seam_cases = {
    {"ReadTakesWhatArrived",
     [](pipe_ends &p) {
         EXPECT_EQ(write(p.fd[1], "12", 2), 2);
         return platform::read(p.fd[0], buffer);
     },
     platform::outcome::moved, 0},
    {"ReadAtEndOfInput",
     [](pipe_ends &p) {
         close(std::exchange(p.fd[1], -1));
         return platform::read(p.fd[0], buffer);
     },
     platform::outcome::ended, 0},
    {"ReadInterrupted",
     [](pipe_ends &p) {
         const interrupting signals;
         return platform::read(p.fd[0], buffer);
     },
     platform::outcome::interrupted, 0},
    {"ReadWouldBlock",
     [](pipe_ends &p) {
         fcntl(p.fd[0], F_SETFL, O_NONBLOCK);
         return platform::read(p.fd[0], buffer);
     },
     platform::outcome::would_block, 0},
    {"ReadOfClosedInput",
     [](pipe_ends &p) {
         const int closed = std::exchange(p.fd[0], -1);
         close(closed);
         return platform::read(closed, buffer);
     },
     platform::outcome::failed, EBADF},
    {"ReadError", [](pipe_ends & /*p*/) { return on_file("/", O_RDONLY, platform::read, buffer); },
     platform::outcome::failed, EISDIR},
    {"WriteMoves", [](pipe_ends &p) { return platform::write(p.fd[1], text); }, platform::outcome::moved, 0},
    {"WriteInterrupted",
     [](pipe_ends &p) {
         p.fill();
         const interrupting signals;
         return platform::write(p.fd[1], text);
     },
     platform::outcome::interrupted, 0},
    {"WriteWouldBlock",
     [](pipe_ends &p) {
         p.fill();
         fcntl(p.fd[1], F_SETFL, O_NONBLOCK);
         return platform::write(p.fd[1], text);
     },
     platform::outcome::would_block, 0},
    {"WriteFails", [](pipe_ends & /*p*/) { return on_file("/dev/full", O_WRONLY, platform::write, text); },
     platform::outcome::failed, ENOSPC},
    // A write that takes nothing is no progress, whatever it was given.
    {"EmptyWriteFails", [](pipe_ends &p) { return platform::write(p.fd[1], {}); }, platform::outcome::failed,
     EIO},
};

void PrintTo(const seam_case &row, std::ostream *os) {
    *os << row.name;
}

class Posix : public testing::TestWithParam<seam_case> {};

TEST_P(Posix, ReportsTheOutcome) {
    pipe_ends p;
    const platform::result r = GetParam().act(p);
    EXPECT_EQ(r.what, GetParam().what);
    EXPECT_EQ(r.error, GetParam().error);
    EXPECT_EQ(r.bytes == 0, r.what != platform::outcome::moved);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, Posix, testing::ValuesIn(seam_cases),
                         [](const testing::TestParamInfo<seam_case> &row) { return row.param.name; });

// A wait outlasts the signals that come before the descriptor is ready, and leaves it
// non-blocking: only a descriptor that poll refuses is made blocking.
TEST(Posix, WaitReturnsOnceTheDescriptorIsReady) {
    for (const platform::direction way : {platform::direction::in, platform::direction::out}) {
        const bool in = way == platform::direction::in;
        pipe_ends p;
        if (!in) {
            p.fill();
        }
        const int fd = p.fd[in ? 0 : 1];
        ASSERT_EQ(fcntl(fd, F_SETFL, O_NONBLOCK), 0);
        auto call = [in, fd] { return in ? platform::read(fd, buffer) : platform::write(fd, text); };
        EXPECT_EQ(call().what, platform::outcome::would_block);
        {
            const interrupting signals(p.fd[in ? 1 : 0], !in);
            EXPECT_EQ(platform::wait(fd, way), 0);
            EXPECT_GE(interrupting::seen, 3);
        }
        ASSERT_NE(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);  // else the call below would block for ever
        EXPECT_EQ(call().what, platform::outcome::moved);
    }
}

TEST(Posix, WaitGivesUpOnADescriptorItCannotWaitOn) {
    pipe_ends p;
    const int closed = std::exchange(p.fd[0], -1);
    close(closed);
    EXPECT_EQ(platform::wait(closed, platform::direction::in), EBADF);
    EXPECT_EQ(platform::wait(-1, platform::direction::out), EBADF);  // poll would wait for ever
}

// No descriptor may be opened while it lives, so poll refuses to poll at all (EINVAL).
struct no_descriptors {
    rlimit before{};
    no_descriptors() {
        getrlimit(RLIMIT_NOFILE, &before);
        const rlimit none{0, before.rlim_max};
        setrlimit(RLIMIT_NOFILE, &none);
    }
    no_descriptors(const no_descriptors &) = delete;
    no_descriptors &operator=(const no_descriptors &) = delete;
    ~no_descriptors() { setrlimit(RLIMIT_NOFILE, &before); }
};

// Ready pipes, and pipes that can be waited on only by making them blocking, which is the way
// left where poll refuses (macOS's terminals, or here poll itself); the caller then blocks in its
// read instead of spinning on would_block.
TEST(Posix, WaitAnswersReady) {
    struct wait_case {
        const char *name;
        bool on_standard_input;  // the pipe's read end moved to descriptor 0
        bool nonblocking;
        bool without_poll;
    };
    for (const wait_case c : {wait_case{"standard input holding a byte", true, false, false},
                              wait_case{"a blocking pipe, without poll", false, false, true},
                              wait_case{"an empty non-blocking pipe, without poll", false, true, true}}) {
        pipe_ends p;
        if (!c.nonblocking) {
            ASSERT_EQ(write(p.fd[1], "x", 1), 1);
        }
        ASSERT_EQ(fcntl(p.fd[0], F_SETFL, c.nonblocking ? O_NONBLOCK : 0), 0);
        const int saved = c.on_standard_input ? dup(0) : -1;
        const int fd = c.on_standard_input ? dup2(p.fd[0], 0) : p.fd[0];
        ASSERT_GE(fd, 0);
        int error = -1;
        if (c.without_poll) {
            const no_descriptors limit;
            pollfd probe{fd, POLLIN, 0};
            ASSERT_EQ(poll(&probe, 1, 0), -1) << c.name;  // else an empty pipe's wait never ends
            error = platform::wait(fd, platform::direction::in);
        } else {
            error = platform::wait(fd, platform::direction::in);
        }
        if (saved >= 0) {
            dup2(saved, 0);
            close(saved);
        } else if (c.on_standard_input) {
            close(0);
        }
        EXPECT_EQ(error, 0) << c.name;
        EXPECT_EQ(fcntl(p.fd[0], F_GETFL) & O_NONBLOCK, 0) << c.name;
    }
}

}  // namespace
