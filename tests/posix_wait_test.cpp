// The POSIX seam's wait: on pipes that become ready while it waits, on descriptors it cannot wait
// on, and where poll refuses so that the descriptor must be made blocking.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string_view>

#include "console/platform.hpp"
#include "posix_interrupt.hpp"
#include "posix_pipe.hpp"

namespace {

using posix_test::pipe_ends;

// Signals that come while poll blocks do not end the wait; the pipe's becoming ready does, and the
// descriptor stays non-blocking: only one that poll refuses is made blocking.
TEST(PosixWait, OutlastsSignalsUntilReady) {
    for (const platform::direction way : {platform::direction::in, platform::direction::out}) {
        const bool in = way == platform::direction::in;
        pipe_ends p;
        if (!in) {
            p.fill();
        }
        const int fd = p.fd[in ? 0 : 1];
        ASSERT_EQ(fcntl(fd, F_SETFL, O_NONBLOCK), 0);
        std::array<char, 8> buffer{};
        auto call = [in, fd, &buffer] {
            return in ? platform::read(fd, buffer) : platform::write(fd, std::string_view("12345"));
        };
        EXPECT_EQ(call().what, platform::outcome::would_block);
        int error = -1;
        EXPECT_EQ(
            posix_test::interrupt(
                posix_test::blocking_call::poll, 3, [fd, way, &error] { error = platform::wait(fd, way); },
                [in, &p] { in ? p.put() : p.drain(); }),
            "");
        EXPECT_EQ(error, 0);
        ASSERT_NE(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);  // else the call below would block for ever
        EXPECT_EQ(call().what, platform::outcome::moved);
    }
}

TEST(PosixWait, GivesUpOnADescriptorItCannotWaitOn) {
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
TEST(PosixWait, AnswersReady) {
    struct wait_case {
        const char *name;
        bool on_standard_input;  // the pipe's read end moved to descriptor 0
        bool nonblocking;        // an empty pipe, which only being made blocking can wait on
        bool without_poll;
    };
    for (const wait_case c : {wait_case{"standard input holding a byte", true, false, false},
                              wait_case{"a blocking pipe, without poll", false, false, true},
                              wait_case{"an empty non-blocking pipe, without poll", false, true, true}}) {
        pipe_ends p;
        if (!c.nonblocking) {
            p.put();
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
        if (c.nonblocking) {
            EXPECT_EQ(fcntl(p.fd[0], F_GETFL) & O_NONBLOCK, 0) << c.name << " was left non-blocking";
        }
    }
}

}  // namespace
