// The console's answer to each outcome of the platform, played through the scripted stand-in.

#include "stand_in.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <limits>

#include "console/console.hpp"

namespace {

using stand_in::arrive, stand_in::block, stand_in::end, stand_in::fail, stand_in::interrupt, stand_in::stuck,
    stand_in::take, stand_in::wake;

const std::string question = "Number?";

struct seam_row {
    std::string name;
    std::size_t in_size;
    std::deque<stand_in::step> reads;
    std::deque<stand_in::step> writes;
    std::vector<std::int32_t> answers;
    std::size_t questions;  // how many times the question reached the output
    int read_error;
    int write_error;
};

void PrintTo(const seam_row &row, std::ostream *os) {
    *os << row.name;
}

const std::int32_t min32 = std::numeric_limits<std::int32_t>::min();

const std::vector<seam_row> rows = {
    {"AnswersStraddleOneByteReads",
     1,
     {arrive("  12345 -678\n\n+9x\n-2147483648"), end()},
     {},
     {12345, -678, 9, min32},
     6,
     0,
     0},
    {"AnswersStraddleThreeByteReads",
     3,
     {arrive("  12345 -678\n\n+9x\n-2147483648"), end()},
     {},
     {12345, -678, 9, min32},
     6,
     0,
     0},
    {"InterruptedReadIsMadeAgain", 64, {interrupt(), arrive("42\n"), end()}, {}, {42}, 2, 0, 0},
    {"BlockedReadWaitsThenReads", 64, {block(), wake(), arrive("7\n"), end()}, {}, {7}, 2, 0, 0},
    // A failed read is never made again, and is kept for the program to report.
    {"ReadThatCannotWaitKeepsWhy", 64, {block(), stuck(EBADF)}, {}, {}, 1, EBADF, 0},
    {"FailedReadIsKept", 64, {arrive("3 "), fail(EISDIR)}, {}, {3}, 2, EISDIR, 0},
    {"ReadFailedForNoReasonIsAnError", 64, {fail(0)}, {}, {}, 1, EIO, 0},
    // The digits may have gone on in what could not be read.
    {"NumberCutByAFailedReadIsNoAnswer", 64, {arrive("3"), fail(EISDIR)}, {}, {}, 1, EISDIR, 0},
    // At a terminal, the Control-D that ends a half-typed number also ends the run.
    {"EndedInputIsNeverReadAgain", 64, {arrive("12"), end()}, {}, {12}, 2, 0, 0},
    {"InterruptedWriteIsMadeAgain", 64, {arrive("1 2"), end()}, {interrupt()}, {1, 2}, 3, 0, 0},
    {"ShortWritesGoOn", 64, {arrive("1"), end()}, {take(3), interrupt(), take(2)}, {1}, 2, 0, 0},
    {"BlockedWriteWaitsThenWrites", 64, {arrive("5"), end()}, {block(), wake()}, {5}, 2, 0, 0},
    // Nobody sees the question, so nothing is read for it.
    {"WriteThatCannotWaitKeepsWhy", 64, {}, {block(), stuck(EINVAL)}, {}, 0, 0, EINVAL},
    {"FailedWriteEndsTheDialogue", 64, {}, {fail(ENOSPC)}, {}, 0, 0, ENOSPC},
    {"WriteRefusedKeepsWhy", 64, {}, {fail(EPERM)}, {}, 0, 0, EPERM},
    {"WriteFailedForNoReasonIsAnError", 64, {}, {fail(0)}, {}, 0, 0, EIO},
    {"WriteThatTakesNothingIsAnError", 64, {}, {end()}, {}, 0, 0, EIO},
};

class Seam : public testing::TestWithParam<seam_row> {};

TEST_P(Seam, ConsoleAnswersTheOutcome) {
    const seam_row &row = GetParam();
    stand_in::script &s = stand_in::current();
    s = {row.reads, row.writes, {}, {}};
    std::vector<char> in(row.in_size);
    std::vector<char> out(64);
    console io = fd_console(stand_in::input, stand_in::output, in, out);
    std::vector<std::int32_t> answers;
    std::int32_t value = 0;
    while (answers.size() <= row.answers.size() && ask(io, question, value)) {
        answers.push_back(value);
    }
    flush(io);
    EXPECT_EQ(answers, row.answers);
    std::string asked;
    for (std::size_t i = 0; i < row.questions; ++i) {
        asked += question;
    }
    EXPECT_EQ(s.written, asked);
    EXPECT_EQ(read_error(io), row.read_error);
    EXPECT_EQ(write_error(io), row.write_error);
    EXPECT_TRUE(s.reads.empty() && s.writes.empty()) << "the console stopped short of the script";
    EXPECT_EQ(s.surprises, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Outcomes, Seam, testing::ValuesIn(rows),
                         [](const testing::TestParamInfo<seam_row> &row) { return row.param.name; });

// A number and the text after it go out whole, after a flush where they do not fit, and never
// past the buffer's end: the text after may be longer than the buffer itself.
TEST(Seam, NumberAndTextAfterItFitOrFlush) {
    struct fit_case {
        const char *name;
        std::string lead;
        std::string after;
    };
    for (const fit_case &c :
         {fit_case{"the number fills the buffer to its last byte", "12345", "->"},
          fit_case{"the text after it is longer than the buffer", "", std::string(40, '>')},
          fit_case{"only the text after it would spill", "1234", "->"}}) {
        stand_in::current() = {};
        std::array<char, min_out_size + 5> storage{};
        storage.fill('#');
        const std::span<char> out(storage.data(), min_out_size);
        std::array<char, 1> in{};
        console io = fd_console(stand_in::input, stand_in::output, in, out);
        write(io, c.lead);
        write_int(io, min32, c.after);
        flush(io);
        EXPECT_EQ(stand_in::current().written, c.lead + "-2147483648" + c.after) << c.name;
        EXPECT_EQ(std::string(storage.data() + out.size(), storage.size() - out.size()), "#####") << c.name;
    }
}

// A console nobody made reads nothing and writes nothing: no descriptor is touched.
TEST(Seam, ZeroConsoleIsInert) {
    stand_in::script &s = stand_in::current();
    s = {};
    console io{};
    std::int32_t value = 5;
    EXPECT_FALSE(ask(io, question, value));
    write(io, question);
    write_int(io, min32);
    write_int(io, 7, "->");
    flush(io);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(s.written, "");
    EXPECT_EQ(s.surprises, std::vector<std::string>{});
}

}  // namespace
