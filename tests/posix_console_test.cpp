// The console over a real pipe that fills: every byte of a long question gets through.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <string>
#include <thread>
#include <vector>

#include "console/console.hpp"
#include "posix_pipe.hpp"

namespace {

// A non-blocking pipe with little room takes part of a write, then refuses until it is read.
TEST(PosixConsole, EveryByteReachesANonBlockingPipe) {
    posix_test::pipe_ends p;
    ASSERT_EQ(fcntl(p.fd[1], F_SETFL, O_NONBLOCK), 0);
    std::string text;
    for (int i = 0; text.size() < 300000; ++i) {
        text += std::to_string(i) + "->";
    }
    std::string received;
    std::thread reader([&received, fd = p.fd[0]] {
        std::array<char, 1000> chunk{};
        ssize_t n = 0;
        while ((n = read(fd, chunk.data(), chunk.size())) > 0) {
            received.append(chunk.data(), static_cast<std::size_t>(n));
        }
    });
    std::vector<char> out(std::size_t{64} * 1024);
    console io = memory_in_console("7", p.fd[1], out);
    std::int32_t answer = 0;
    EXPECT_TRUE(ask(io, text, answer));
    EXPECT_EQ(answer, 7);
    flush(io);
    close(std::exchange(p.fd[1], -1));
    reader.join();
    EXPECT_EQ(write_error(io), 0);
    EXPECT_EQ(received, text);
}

}  // namespace
