// Random sessions that the model of the dialogue (tests/model.py) typed, each choice played alone
// through the menu loop on the list the one before left: after every choice the text written,
// and the list walked from `first`, must be the model's.

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "session.hpp"
#include "table.hpp"

namespace {

std::vector<std::int32_t> walk(const node *first) {
    std::vector<std::int32_t> values;
    for (const node *at = first; at != nullptr; at = at->next) {
        values.push_back(at->data);
    }
    return values;
}

std::vector<std::int32_t> values_of(std::string_view field) {
    std::vector<std::int32_t> values;
    for (const char *at = field.data(), *end = at + field.size(); at != end;) {
        std::int32_t x = 0;
        const auto [next, error] = std::from_chars(at, end, x);
        if (error != std::errc{}) {
            throw std::invalid_argument("not a list of values: " + std::string(field));
        }
        values.push_back(x);
        at = next == end ? end : next + 1;
    }
    return values;
}

TEST(Model, EveryChoiceWritesAndLeavesWhatTheModelSays) {
    const table steps = read_table(LISTMENU_STEPS);
    ASSERT_GT(steps.rows.size(), 0U);
    node *first = nullptr;
    std::string session;
    for (const std::vector<std::string> &row : steps.rows) {
        ASSERT_EQ(row.size(), 4U) << row[0];
        if (row[0] != session) {
            release(first);
            session = row[0];
        }
        const std::string typed = unescape(steps, row[1]);
        std::string written;
        // A small output buffer makes flushes land inside every kind of text.
        std::vector<char> out(min_out_size);
        console io = memory_console(typed, written, std::size_t{1} << 20, out);
        menu(io, first);
        flush(io);
        ASSERT_EQ(written, unescape(steps, row[2])) << "session " << session << ", typed " << row[1];
        ASSERT_EQ(walk(first), values_of(row[3])) << "session " << session << ", typed " << row[1];
    }
    release(first);
}

}  // namespace
