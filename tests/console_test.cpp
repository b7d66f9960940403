// The console in memory: reading answers as C's "%d" reads them, and writing numbers.

#include "console/console.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
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
    console io = memory_console(input, sink, 1024, out).value();
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
        console io = memory_console(typed, sink, 1024, out).value();
        std::int32_t value = 0;
        ASSERT_TRUE(ask(io, "?", value)) << input;
        flush(io);
        EXPECT_EQ(value, -7) << input;
        EXPECT_EQ(sink, "??") << input;
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
    console io = memory_console({}, written, std::size_t{1} << 20, out).value();
    for (const std::int32_t value : values) {
        write_int(io, value);
        write(io, "|");
    }
    flush(io);
    EXPECT_EQ(written, expected);
}

// What keeps a dialogue that runs away from taking all memory: the limit is taken to its last
// byte, and not one more.
TEST(Writer, MemoryOutputFailsPastItsLimit) {
    std::string written;
    std::vector<char> out(16);
    console io = memory_console({}, written, 20, out).value();
    write(io, "twenty bytes of text");
    flush(io);
    EXPECT_EQ(io.write_error, 0);
    write(io, "!");
    flush(io);
    EXPECT_EQ(written, "twenty bytes of text");
    EXPECT_EQ(io.write_error, ENOSPC);
}

// A buffer too small for a number would be written past its end.
TEST(Console, RefusesBuffersTooSmall) {
    std::string sink;
    std::vector<char> in(1);
    for (const std::size_t size : {min_out_size - 1, min_out_size}) {
        std::vector<char> out(size);
        const bool room = size >= min_out_size;
        EXPECT_EQ(memory_console({}, sink, 1, out).has_value(), room) << size;
        EXPECT_EQ(memory_in_console({}, 1, out).has_value(), room) << size;
        EXPECT_EQ(fd_console(0, 1, in, out).has_value(), room) << size;
        EXPECT_FALSE(fd_console(0, 1, {}, out).has_value()) << size;
    }
}

}  // namespace
