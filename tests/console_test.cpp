// The console: reading answers as C's "%d" reads them, refilling and flushing a real descriptor.

#include "console/console.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

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

}  // namespace
