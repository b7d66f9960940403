// Whole dialogues: what the person types, and the exact text the program writes back.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "failing_new.hpp"
#include "session.hpp"
#include "table.hpp"

namespace {

struct dialogue {
    std::string name;
    std::string typed;
    std::string written;
    bool chosen;
};

// The table shared with the runs of the real program; a line it cannot read fails every test.
std::vector<dialogue> load(const char *path) {
    const table t = read_table(path);
    std::vector<dialogue> rows;
    for (const std::vector<std::string> &f : t.rows) {
        if (f.size() != 4 || (f[3] != "chosen" && f[3] != "stopped")) {
            throw std::invalid_argument("not a dialogue: " + f[0]);
        }
        rows.push_back({f[0], unescape(t, f[1]), unescape(t, f[2]), f[3] == "chosen"});
    }
    return rows;
}

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
        EXPECT_EQ(s.chosen, d.chosen);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Dialogue, testing::ValuesIn(load(LISTMENU_DIALOGUES)),
                         [](const testing::TestParamInfo<dialogue> &row) { return row.param.name; });

TEST(Dialogue, ExhaustedHeapReadsNoValueForTheNode) {
    session s;
    {
        const exhausted_heap heap;
        // 5 was meant as data, but nothing asks for it: the menu takes it as choice 5.
        s = play("1 5 1\n2 6");
    }
    EXPECT_EQ(s.output, unescape(read_table(LISTMENU_DIALOGUES), "{M}{N}{M}{P}{E}\\n{M}{E}{M}{T}"));
}

}  // namespace
