// The console's writer in memory: numbers as std::to_chars writes them, flushing, and the limits
// of the buffer and of the output.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "console/console.hpp"

namespace {

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
    // Every value of up to five digits, each digit count through every value it takes.
    for (std::int32_t n = 0; n < 100000; ++n) {
        values.push_back(n);
    }
    // Every group of four digits in each place a number below 10^8 takes it from.
    for (std::int32_t high = 0; high < 10000; ++high) {
        values.push_back(-(high * 10000 + 9999 - high));
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
    console io = memory_console({}, written, std::size_t{1} << 20, out);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i % 2 == 0) {
            write_int(io, values[i], "|");
        } else {
            write_int(io, values[i]);
            write(io, "|");
        }
    }
    flush(io);
    // Compared from the value where the texts part, so that a failure shows that value, not
    // the whole of each text; the parting is within the 11 bytes of one value.
    const auto at = static_cast<std::size_t>(
        std::mismatch(written.begin(), written.end(), expected.begin(), expected.end()).second -
        expected.begin());
    const std::size_t from = at == 0 ? 0 : expected.rfind('|', at - 1) + 1;  // npos + 1 is 0
    EXPECT_EQ(written.substr(from, 40), expected.substr(from, 40)) << "from byte " << from;
}

// A text that fills the buffer's room exactly stays in the buffer: a flush is a system call.
TEST(Writer, TextThatFitsExactlyIsNotFlushedEarly) {
    struct fit_case {
        const char *name;
        std::size_t room;  // what the write needs: a number needs int_room, even when its text is shorter
        void (*write)(console &);
    };
    const std::int32_t min32 = std::numeric_limits<std::int32_t>::min();
    for (const fit_case &c :
         {fit_case{"text", 2, [](console &io) { write(io, "->"); }},
          fit_case{"number", console_internal::int_room, [](console &io) { write_int(io, min32); }},
          fit_case{"number and text", console_internal::int_room + 2,
                   [](console &io) { write_int(io, min32, "->"); }}}) {
        std::string written;
        std::vector<char> out(min_out_size);
        console io = memory_console({}, written, 1024, out);
        write(io, std::string(min_out_size - c.room, '1'));
        c.write(io);
        EXPECT_EQ(written, "") << c.name;
    }
}

// What keeps a dialogue that runs away from taking all memory: the limit is taken to its last
// byte, and not one more.
TEST(Writer, MemoryOutputFailsPastItsLimit) {
    std::string written;
    std::vector<char> out(16);
    console io = memory_console({}, written, 20, out);
    write(io, "twenty bytes of text");
    flush(io);
    EXPECT_EQ(write_error(io), 0);
    write(io, "!");
    flush(io);
    EXPECT_EQ(written, "twenty bytes of text");
    EXPECT_EQ(write_error(io), ENOSPC);
}

// A buffer too small for a number would be written past its end: no console is made on it.
TEST(Console, RefusesBuffersTooSmall) {
    std::string sink;
    std::vector<char> in(1);
    const auto made = [](const console &io) { return !stopped(io); };
    for (const std::size_t size : {min_out_size - 1, min_out_size}) {
        std::vector<char> out(size);
        const bool room = size >= min_out_size;
        EXPECT_EQ(made(memory_console({}, sink, 1, out)), room) << size;
        EXPECT_EQ(made(memory_in_console({}, 1, out)), room) << size;
        EXPECT_EQ(made(fd_console(0, 1, in, out)), room) << size;
        EXPECT_FALSE(made(fd_console(0, 1, {}, out))) << size;
    }
}

}  // namespace
