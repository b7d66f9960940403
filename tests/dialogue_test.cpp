// Whole dialogues: what the person types, and the exact text the program writes back.

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "failing_new.hpp"
#include "session.hpp"

namespace {

struct dialogue {
    std::string name;
    std::string typed;
    std::string written;
    ending how;
};

std::string text_named(char letter) {
    switch (letter) {
        case 'M':
            return said::menu;
        case 'D':
            return said::data_prompt;
        case 'P':
            return said::position_prompt;
        case 'E':
            return said::no_list;
        case 'I':
            return said::invalid;
        case 'T':
            return said::farewell;
        default:
            throw std::invalid_argument(std::string("no text is named ") + letter);
    }
}

// Undoes the table's escapes, and in written text puts the program's texts for their names.
std::string unescape(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '{' && i + 2 < field.size() && field[i + 2] == '}') {
            text += text_named(field[i + 1]);
            i += 2;
        } else if (c == '\\' && i + 1 < field.size()) {
            const std::string_view plain = "nrtvf\\";
            const std::string_view meant = "\n\r\t\v\f\\";
            const std::size_t e = plain.find(field[++i]);
            if (e == std::string_view::npos) {
                throw std::invalid_argument(std::string("unknown escape in ") + std::string(field));
            }
            text += meant[e];
        } else {
            text += c;
        }
    }
    return text;
}

std::string_view trimmed(std::string_view field) {
    const std::size_t from = field.find_first_not_of(' ');
    return from == std::string_view::npos ? std::string_view{}
                                          : field.substr(from, field.find_last_not_of(' ') + 1 - from);
}

// The table shared with the runs of the real program; a line it cannot read fails every test.
std::vector<dialogue> load(const char *path) {
    std::ifstream file(path);
    if (!file) {
        throw std::runtime_error(std::string("cannot read ") + path);
    }
    std::vector<dialogue> rows;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string_view> fields;
        for (std::string_view rest = line;;) {
            const std::size_t bar = rest.find('|');
            fields.push_back(trimmed(rest.substr(0, bar)));
            if (bar == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(bar + 1);
        }
        if (fields.size() != 4 || (fields[3] != "chosen" && fields[3] != "stopped")) {
            throw std::invalid_argument("not a dialogue: " + line);
        }
        rows.push_back({std::string(fields[0]), unescape(fields[1]), unescape(fields[2]),
                        fields[3] == "chosen" ? ending::chosen : ending::stopped});
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
        EXPECT_EQ(s.how, d.how);
        EXPECT_EQ(s.read_error, 0);
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
    const std::string &m = said::menu;
    EXPECT_EQ(s.output, m + "Memory not allocated" + m + said::position_prompt + said::no_list + "\n" + m +
                            said::no_list + m + said::farewell);
}

}  // namespace
