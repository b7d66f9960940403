// The POSIX side of the platform seam: each outcome of a read or a write, on Linux's own pipes and
// devices.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "console/platform.hpp"
#include "posix_interrupt.hpp"
#include "posix_pipe.hpp"

namespace {

using posix_test::blocking_call, posix_test::interrupt, posix_test::pipe_ends;

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

// Signalled while blocked in `in`; the pipe is made ready only after the signal, should the call
// have gone on waiting.
platform::result interrupted(blocking_call in, const std::function<platform::result()> &call,
                             const std::function<void()> &release) {
    platform::result r{};
    EXPECT_EQ(interrupt(
                  in, 1, [&r, &call] { r = call(); }, release),
              "");
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
         return interrupted(
             blocking_call::read, [&p] { return platform::read(p.fd[0], buffer); }, [&p] { p.put(); });
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
         return interrupted(
             blocking_call::write, [&p] { return platform::write(p.fd[1], text); }, [&p] { p.drain(); });
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
    // Nothing was written and nothing was refused: the console decides what that means.
    {"WriteOfNothingEnds", [](pipe_ends &p) { return platform::write(p.fd[1], {}); },
     platform::outcome::ended, 0},
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

}  // namespace
