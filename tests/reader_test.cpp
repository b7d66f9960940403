// The console's reader in memory: answers read as C's "%d" reads them, and what is left unread.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "console/console.hpp"

namespace {

struct answer {
    bool taken;
    std::int32_t value;
    std::string then;  // what the input gives after the answer
};

// Every answer the console gives from here on, and how often it asks: all that a dialogue can
// tell of the input it has not read yet.
std::string rest(console &io, const std::string &sink) {
    std::string answers;
    std::int32_t value = 0;
    while (ask(io, "?", value)) {
        answers.append(std::to_string(value)).append(" ");
    }
    flush(io);
    return answers + "| " + std::to_string(std::count(sink.begin(), sink.end(), '?')) + " asked";
}

answer read_one(std::string_view input) {
    std::string sink;
    std::vector<char> out(64);
    console io = memory_console(input, sink, 1024, out);
    answer a{false, 0, {}};
    a.taken = ask(io, "?", a.value);
    flush(io);
    sink.clear();
    a.then = rest(io, sink);
    return a;
}

// What a console given only `input` gives: what the input left behind must give the same.
std::string read_all(std::string_view input) {
    std::string sink;
    std::vector<char> out(64);
    console io = memory_console(input, sink, 1024, out);
    return rest(io, sink);
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
            EXPECT_EQ(got.then, read_all(input.substr(static_cast<std::size_t>(used))))
                << '"' << input << '"';
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
        console io = memory_console(typed, sink, 1024, out);
        std::int32_t value = 0;
        ASSERT_TRUE(ask(io, "?", value)) << input;
        flush(io);
        EXPECT_EQ(value, -7) << input;
        EXPECT_EQ(sink, "??") << input;
    }
}

}  // namespace
