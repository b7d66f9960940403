#pragma once
// A pipe with little room, for the POSIX tests: one page fills it, so a test can make either end
// wait at will.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>

namespace posix_test {

constexpr int pipe_room = 4096;

struct pipe_ends {
    std::array<int, 2> fd{-1, -1};  // read end, write end

    pipe_ends() {
        EXPECT_EQ(pipe(fd.data()), 0);
        EXPECT_GE(fcntl(fd[1], F_SETPIPE_SZ, pipe_room), 0);
    }
    pipe_ends(const pipe_ends &) = delete;
    pipe_ends &operator=(const pipe_ends &) = delete;
    ~pipe_ends() {
        for (const int end : fd) {
            close(end);
        }
    }

    // Leaves no room, so that a blocking write waits and a non-blocking one is refused.
    void fill() const {
        const int flags = fcntl(fd[1], F_GETFL);
        fcntl(fd[1], F_SETFL, flags | O_NONBLOCK);
        const std::array<char, pipe_room> junk{};
        while (write(fd[1], junk.data(), junk.size()) > 0) {
        }
        fcntl(fd[1], F_SETFL, flags);
    }

    // Makes the read end ready.
    void put() const { EXPECT_EQ(write(fd[1], "x", 1), 1); }

    // Makes room at the write end of a full pipe; the read end must hold bytes, or this blocks.
    void drain() const {
        std::array<char, 2 * pipe_room> junk{};
        EXPECT_GT(read(fd[0], junk.data(), junk.size()), 0);
    }
};

}  // namespace posix_test
