// Random well-formed sessions checked step by step against a std::vector doing the same work:
// after every menu choice the list walked from `first`, and the text written, must match.

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <random>

#include "session.hpp"

namespace {

using model = std::vector<std::int32_t>;

std::vector<std::int32_t> walk(const node *first) {
    std::vector<std::int32_t> values;
    for (const node *at = first; at != nullptr; at = at->next) {
        values.push_back(at->data);
    }
    return values;
}

bool is_valid(std::int64_t position, std::int64_t n) {
    return position == 1 || position == n || (position >= 1 && position <= n);
}

struct step {
    std::string typed;
    std::string written;  // by the operation, between the menu before it and the menu after it
};

std::string remove_first(model &list) {
    if (list.empty()) {
        return said::no_list + "\n";
    }
    list.erase(list.begin());
    return "";
}

std::string remove_last(model &list) {
    if (list.empty()) {
        return said::no_list;
    }
    list.pop_back();
    return "";
}

std::string show(const model &list) {
    std::string shown = list.empty() ? said::no_list : "";
    for (const std::int32_t x : list) {
        shown.append(std::to_string(x)).append("->");
    }
    return shown;
}

std::int64_t pick(std::mt19937 &rng, std::int64_t lo, std::int64_t hi) {
    return std::uniform_int_distribution<std::int64_t>(lo, hi)(rng);
}

// Choice 5: up to two invalid positions, each asked again, then a valid one.
step remove_at(std::mt19937 &rng, model &list) {
    const auto n = static_cast<std::int64_t>(list.size());
    step s{"5", said::position_prompt};
    const std::array<std::int64_t, 7> invalid = {0,
                                                 -1,
                                                 n + 1,
                                                 pick(rng, n + 1, 1000),
                                                 pick(rng, -1000, -1),
                                                 std::numeric_limits<std::int32_t>::max(),
                                                 std::numeric_limits<std::int32_t>::min()};
    for (std::int64_t tries = pick(rng, 0, 2); tries > 0; --tries) {
        const std::int64_t p = invalid.at(static_cast<std::size_t>(pick(rng, 0, invalid.size() - 1)));
        if (!is_valid(p, n)) {
            s.typed.append(" ").append(std::to_string(p));
            s.written.append(said::invalid).append(said::position_prompt);
        }
    }
    const std::int64_t p = n == 0 ? pick(rng, 0, 1) : pick(rng, 1, n);
    s.typed.append(" ").append(std::to_string(p));
    if (p == 1) {
        s.written += remove_first(list);
    } else if (p == n) {
        s.written += remove_last(list);
    } else {
        list.erase(list.begin() + (p - 1));
    }
    return s;
}

// Chooses one operation with its answers, does it to `list`, and says what it writes.
step next_step(std::mt19937 &rng, model &list) {
    // Appends outweigh deletes a little so that lists grow long enough for inner positions.
    switch (pick(rng, 1, 11)) {
        case 1:
        case 2:
        case 3:
        case 4: {
            const auto x = static_cast<std::int32_t>(pick(rng, -1000, 1000));
            list.push_back(x);
            return {std::string("1 ").append(std::to_string(x)), said::data_prompt};
        }
        case 5:
            return {"2", show(list)};
        case 6:
            return {"3", remove_first(list)};
        case 7:
            return {"4", remove_last(list)};
        default:
            return remove_at(rng, list);
    }
}

TEST(Model, RandomSessionsMatchAVector) {
    std::mt19937 rng(20261208);
    for (int session = 0; session < 500; ++session) {
        model expected;
        node *first = nullptr;
        for (int i = 0; i < 300; ++i) {
            const step s = next_step(rng, expected);
            // One choice at a time through the menu loop; the input ends after its answers.
            std::string written;
            std::vector<char> out(64);
            console io = memory_console(s.typed, written, std::size_t{1} << 20, out);
            ASSERT_EQ(menu(io, first), ending::stopped);
            flush(io);
            std::string text = said::menu;
            text.append(s.written).append(said::menu);
            ASSERT_EQ(written, text) << "typed " << s.typed;
            ASSERT_EQ(walk(first), expected) << "typed " << s.typed << " in session " << session;
        }
        release(first);
    }
}

}  // namespace
