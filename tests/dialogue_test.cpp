// Whole dialogues: what the person types, and the exact text the program writes back.

#include <gtest/gtest.h>

#include "failing_new.hpp"
#include "session.hpp"

namespace {

// One letter each keeps the rows of the table readable.
const std::string &M = said::menu;
const std::string &D = said::data_prompt;
const std::string &P = said::position_prompt;
const std::string &E = said::no_list;
const std::string &I = said::invalid;
const std::string &T = said::farewell;

// The list 10, 20, 30, 40 typed at the menu, and the text that typing it gives.
const std::string four_in = "1 10 1 20 1 30 1 40\n";
const std::string four_out = M + D + M + D + M + D + M + D;

struct dialogue {
    std::string name;
    std::string typed;
    std::string written;
    ending how;
};

const std::vector<dialogue> dialogues = {
    // Menu
    {"SixEndsTheRun", "6\n", M + T, ending::chosen},
    {"OtherChoicesOnlyBringTheMenuBack", "0\n7\n-1\n6\n", M + M + M + M + T, ending::chosen},
    {"SixWithoutLineEnd", "6", M + T, ending::chosen},

    // Append and display
    {"ValuesShowInTypedOrder", "1\n3\n1\n-4\n1\n10\n2\n6\n",
     M + D + M + D + M + D + M + "3->-4->10->" + M + T, ending::chosen},
    {"EmptyListShowsItsMessage", "2\n6\n", M + E + M + T, ending::chosen},
    {"DisplayLeavesTheList", "1 0 1 -5 1 -5 2 2 6",
     M + D + M + D + M + D + M + "0->-5->-5->" + M + "0->-5->-5->" + M + T, ending::chosen},
    {"LimitsOf32BitsAreStored", "1 2147483647 1 -2147483648 2 6",
     M + D + M + D + M + "2147483647->-2147483648->" + M + T, ending::chosen},
    {"AnswersTypedAheadAreTakenInOrder", "1 42\n2\n6\n", M + D + M + "42->" + M + T, ending::chosen},
    {"WindowsLineEndsAreWhiteSpace", "1\r\n5\r\n2\r\n6\r\n", M + D + M + "5->" + M + T, ending::chosen},
    {"BlankLinesAndTabsAreSkipped", "\n\n\t1\t\n\n 8 \n\v\f2\n6", M + D + M + "8->" + M + T, ending::chosen},

    // Answers that are not numbers, or not 32-bit ones
    {"GarbageAtMenuAsksAgain", "abc\n6\n", M + M + T, ending::chosen},
    {"GarbageDiscardsTheRestOfItsLine", "x 1 5\n2\n6\n", M + M + E + M + T, ending::chosen},
    {"LoneSignsAreNotNumbers", "-\n+\n--5\n6\n", M + M + M + M + T, ending::chosen},
    {"NumberBeforeGarbageIsTakenFirst", "12abc\n6\n", M + M + M + T, ending::chosen},
    {"OutOfRangeChoiceIsNotWrapped", "4294967297\n2\n6\n", M + M + E + M + T, ending::chosen},
    {"OutOfRangeChoicesAreRefused", "2147483648\n-2147483649\n99999999999999999999999\n6\n",
     M + M + M + M + T, ending::chosen},
    {"GarbageAtDataPromptAsksForData", "1\nx1\n7\n2\n6\n", M + D + D + M + "7->" + M + T, ending::chosen},
    {"OutOfRangeDataIsRefused", "1\n2147483648\n-2147483648\n2\n6\n", M + D + D + M + "-2147483648->" + M + T,
     ending::chosen},

    // End of input
    {"EndAtMenu", "", M, ending::stopped},
    {"EndAfterWhiteSpace", "\n \t\n", M, ending::stopped},
    {"EndAtDataPromptAddsNoNode", "1 5\n1\n", M + D + M + D, ending::stopped},
    {"EndInsideGarbageAtMenu", "abc", M, ending::stopped},
    {"EndAfterLoneSign", "1\n-", M + D, ending::stopped},
    {"EndRightAfterAnswer", "1 5 2", M + D + M + "5->" + M, ending::stopped},

    // Deleting at either end
    {"DeleteFirstOnEmptyEndsItsLine", "3\n6\n", M + E + "\n" + M + T, ending::chosen},
    {"DeleteLastOnEmptyKeepsTheLine", "4\n6\n", M + E + M + T, ending::chosen},
    {"DeleteFirstOfOne", "1 7 3 2 6", M + D + M + M + E + M + T, ending::chosen},
    {"DeleteLastOfOne", "1 7 4 2 6", M + D + M + M + E + M + T, ending::chosen},
    {"DeleteFirstOfThree", "1 1 1 2 1 3 3 2 6", M + D + M + D + M + D + M + M + "2->3->" + M + T,
     ending::chosen},
    {"DeleteLastOfTwo", "1 1 1 2 4 2 6", M + D + M + D + M + M + "1->" + M + T, ending::chosen},
    {"DeleteLastOfThree", "1 1 1 2 1 3 4 2 6", M + D + M + D + M + D + M + M + "1->2->" + M + T,
     ending::chosen},
    {"DeleteLastOfFour", four_in + "4 2 6", four_out + M + M + "10->20->30->" + M + T, ending::chosen},
    {"DeleteFirstOfFour", four_in + "3 2 6", four_out + M + M + "20->30->40->" + M + T, ending::chosen},
    {"RepeatedDeletesEmptyTheListThenSayIt", "1 1 1 2 4 4 4 3 2 6",
     M + D + M + D + M + M + M + E + M + E + "\n" + M + E + M + T, ending::chosen},

    // Deleting at a position
    {"PositionOneIsTheFirst", four_in + "5 1 2 6", four_out + M + P + M + "20->30->40->" + M + T,
     ending::chosen},
    {"PositionTwoIsInner", four_in + "5 2 2 6", four_out + M + P + M + "10->30->40->" + M + T,
     ending::chosen},
    {"PositionThreeIsInner", four_in + "5 3 2 6", four_out + M + P + M + "10->20->40->" + M + T,
     ending::chosen},
    {"PositionOfCountIsTheLast", four_in + "5 4 2 6", four_out + M + P + M + "10->20->30->" + M + T,
     ending::chosen},
    {"InvalidPositionsAskAgain", four_in + "5 5 0 -2 2147483647 -2147483648 3 2 6",
     four_out + M + P + I + P + I + P + I + P + I + P + I + P + M + "10->20->40->" + M + T, ending::chosen},
    {"GarbagePositionAsksAgain", four_in + "5 x\n2147483648\n2 2 6",
     four_out + M + P + P + P + M + "10->30->40->" + M + T, ending::chosen},
    {"TwoNodesHaveNoInnerPosition", "1 10 1 20 5 2 2 5 1 2 6",
     M + D + M + D + M + P + M + "10->" + M + P + M + E + M + T, ending::chosen},
    {"OneNodeTakesOnlyPositionOne", "1 7 5 2 0 1 2 6", M + D + M + P + I + P + I + P + M + E + M + T,
     ending::chosen},
    {"EmptyListPositionOneIsDeleteFirst", "5 1 6", M + P + E + "\n" + M + T, ending::chosen},
    {"EmptyListPositionZeroIsDeleteLast", "5 0 6", M + P + E + M + T, ending::chosen},
    {"EmptyListRefusesOtherPositions", "5 2 -1 1 6", M + P + I + P + I + P + E + "\n" + M + T,
     ending::chosen},
    {"EndInsidePositionLoop", "1 10 5 9", M + D + M + P + I + P, ending::stopped},
    {"EndInsideGarbagePosition", "1 10 5 zz", M + D + M + P, ending::stopped},
};

void PrintTo(const dialogue &d, std::ostream *os) {
    *os << d.name;
}

class Dialogue : public testing::TestWithParam<dialogue> {};

TEST_P(Dialogue, WritesExactly) {
    const dialogue &d = GetParam();
    // A 16-byte output buffer flushes in the middle of nearly every text.
    for (const std::size_t out_size : {std::size_t{16}, std::size_t{4096}}) {
        const session s = play(d.typed, out_size);
        EXPECT_EQ(s.output, d.written) << "output buffer " << out_size;
        EXPECT_EQ(s.how, d.how);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Dialogue, testing::ValuesIn(dialogues),
                         [](const testing::TestParamInfo<dialogue> &row) { return row.param.name; });

TEST(Dialogue, ExhaustedHeapReadsNoValueForTheNode) {
    session s;
    {
        const exhausted_heap heap;
        // 5 was meant as data, but nothing asks for it: the menu takes it as choice 5.
        s = play("1 5 1\n2 6");
    }
    EXPECT_EQ(s.output, M + "Memory not allocated" + M + P + "Linked list not exist\n" + M + E + M + T);
}

}  // namespace
