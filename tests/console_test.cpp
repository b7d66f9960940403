// The console: reading answers as C's "%d" reads them, refilling and flushing a real descriptor.

#include "console/console.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "console/platform.hpp"

namespace {

struct answer {
    bool taken;
    std::int32_t value;
    std::string left;  // the input still unread after the answer
};

answer read_one(std::string_view input) {
    std::string sink;
    std::vector<char> out(64);
    console io = memory_console(input, sink, out);
    answer a{false, 0, {}};
    a.taken = ask(io, "?", a.value);
    a.left.assign(io.in_pos, io.in_end);
    return a;
}

TEST(Reader, AgreesWithScanf) {
    const std::vector<std::string> inputs = {
        "+5",
        "-0",
        "007",
        "0x10",
        "1.5",
        "--5",
        "+-1",
        "- 5",
        "\t\n\n 42",
        " \v\f\r9 ",
        "12abc",
        "abc",
        "2147483647",
        "-2147483648",
        "+2147483647",
        "0000000000002147483647x",
        "-",
        "+",
        "",
        " \n\t ",
        "5\n6",
    };
    for (const std::string &input : inputs) {
        int expected = 0;
        int used = 0;
        const bool scanned = std::sscanf(input.c_str(), "%d%n", &expected, &used) == 1;
        const answer got = read_one(input);
        EXPECT_EQ(got.taken, scanned) << '"' << input << '"';
        if (scanned && got.taken) {
            EXPECT_EQ(got.value, expected) << '"' << input << '"';
            EXPECT_EQ(got.left, input.substr(static_cast<std::size_t>(used))) << '"' << input << '"';
        }
    }
}

TEST(Reader, RefusesValuesBeyond32BitsAndAsksAgain) {
    const std::vector<std::string> inputs = {"2147483648",
                                             "-2147483649",
                                             "4294967297",
                                             "4294967296",
                                             "-4294967295",
                                             "18446744073709551617",
                                             "100000000000000000000000000000000000000000"};
    for (const std::string &input : inputs) {
        std::string sink;
        std::vector<char> out(64);
        const std::string typed = input + " 3 4\n-7 8";
        console io = memory_console(typed, sink, out);
        std::int32_t value = 0;
        ASSERT_TRUE(ask(io, "?", value)) << input;
        flush(io);
        EXPECT_EQ(value, -7) << input;
        EXPECT_EQ(sink, "??") << input;
    }
}

// A pipe read through a buffer of a few bytes, so answers straddle refills.
TEST(Reader, AnswersStraddleRefills) {
    for (const std::size_t in_size : {1U, 2U, 3U, 5U}) {
        std::array<int, 2> fds{};
        ASSERT_EQ(pipe(fds.data()), 0);
        const std::string typed = "  12345 -678\n\n+9x\n-2147483648";
        ASSERT_EQ(write(fds[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
        close(fds[1]);
        std::vector<char> in(in_size);
        std::vector<char> out(64);
        console io = fd_console(fds[0], -1, in, out);
        std::string sink;
        io.out_sink = &sink;
        std::vector<std::int32_t> got;
        std::int32_t value = 0;
        while (ask(io, "", value)) {
            got.push_back(value);
        }
        close(fds[0]);
        EXPECT_EQ(got, (std::vector<std::int32_t>{12345, -678, 9, -2147483648})) << "buffer " << in_size;
    }
}

TEST(Writer, IntegersAreWrittenAsToCharsWritesThem) {
    std::vector<std::int32_t> values = {0, -1, std::numeric_limits<std::int32_t>::min(),
                                        std::numeric_limits<std::int32_t>::max()};
    for (std::int64_t power = 1; power <= 1000000000; power *= 10) {
        for (const std::int64_t near : {power - 1, power, power + 1}) {
            values.push_back(static_cast<std::int32_t>(near));
            values.push_back(static_cast<std::int32_t>(-near));
        }
    }
    std::mt19937 rng(5);
    for (int i = 0; i < 10000; ++i) {
        values.push_back(static_cast<std::int32_t>(rng()));
    }
    std::string expected;
    for (const std::int32_t value : values) {
        std::array<char, 16> text{};
        auto *const end = std::to_chars(text.begin(), text.end(), value).ptr;
        expected.append(text.begin(), end).append("|");
    }
    // An output buffer of 16 bytes puts values against its end in every way.
    std::string written;
    std::vector<char> out(16);
    console io = memory_console({}, written, out);
    for (const std::int32_t value : values) {
        write_int(io, value);
        write(io, "|");
    }
    flush(io);
    EXPECT_EQ(written, expected);
}

// A non-blocking pipe with little room takes part of a write, then refuses until it is read.
TEST(Writer, EveryByteReachesANonBlockingPipe) {
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
    console io = fd_console(-1, fds[1], {}, out);
    write(io, text);
    flush(io);
    close(fds[1]);
    reader.join();
    close(fds[0]);
    EXPECT_EQ(io.error, 0);
    EXPECT_EQ(received, text);
}

TEST(Writer, FailedWriteIsRecordedAndEndsTheDialogue) {
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    std::vector<char> out(16);
    console io = fd_console(-1, full, {}, out);
    write(io, "more than sixteen bytes of text");
    EXPECT_EQ(io.error, ENOSPC);
    std::int32_t value = 0;
    EXPECT_FALSE(ask(io, "?", value));
    close(full);
}

// A pipe with little room, and a signal due shortly that interrupts whatever call blocks then.
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
    static void interrupt_soon() {
        struct sigaction quiet {};
        quiet.sa_handler = [](int /*signal*/) {};  // no SA_RESTART: the blocked call returns EINTR
        sigaction(SIGALRM, &quiet, nullptr);
        const itimerval soon{{0, 0}, {0, 20000}};
        setitimer(ITIMER_REAL, &soon, nullptr);
    }
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
    {"ReadInterruptedBySignal",
     [](pipe_ends &p) {
         pipe_ends::interrupt_soon();
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
    {"WriteInterruptedBySignal",
     [](pipe_ends &p) {
         p.fill();
         pipe_ends::interrupt_soon();
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
};

class Seam : public testing::TestWithParam<seam_case> {};

TEST_P(Seam, ReportsTheOutcome) {
    pipe_ends p;
    const platform::result r = GetParam().act(p);
    EXPECT_EQ(r.what, GetParam().what);
    EXPECT_EQ(r.error, GetParam().error);
    EXPECT_EQ(r.bytes == 0, r.what != platform::outcome::moved);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, Seam, testing::ValuesIn(seam_cases),
                         [](const testing::TestParamInfo<seam_case> &row) { return row.param.name; });

TEST(Seam, WaitGivesUpOnADescriptorItCannotWaitOn) {
    pipe_ends p;
    const int closed = std::exchange(p.fd[0], -1);
    close(closed);
    EXPECT_FALSE(platform::wait(closed, platform::direction::in));
}

// Input that someone made non-blocking: the console waits for the answer instead of ending.
TEST(Reader, WaitsForAnswersOnNonBlockingInput) {
    const pipe_ends p;
    fcntl(p.fd[0], F_SETFL, O_NONBLOCK);
    std::thread typist([fd = p.fd[1]] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(write(fd, "42\n", 3), 3);
    });
    std::vector<char> in(64);
    std::vector<char> out(64);
    std::string sink;
    console io = fd_console(p.fd[0], -1, in, out);
    io.out_sink = &sink;
    std::int32_t value = 0;
    EXPECT_TRUE(ask(io, "?", value));
    EXPECT_EQ(value, 42);
    typist.join();
}

}  // namespace
