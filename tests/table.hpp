#pragma once
// Reads a table of dialogues (tests/dialogues.txt, or the model's steps made from it): the
// program's texts named at its head, as "{M} = text", and rows of fields apart by '|'. A line the
// reader cannot take throws, so that every test built on the table fails rather than passes on less.

#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct table {
    std::map<std::string, std::string, std::less<>> texts;  // "{M}" and the text it names
    std::vector<std::vector<std::string>> rows;             // each row's fields, still escaped
};

// Undoes the escapes \n \r \t \v \f \\, and puts each named text in place of its name.
inline std::string unescape(const table &t, std::string_view field) {
    const std::string_view plain = "nrtvf\\";
    const std::string_view meant = "\n\r\t\v\f\\";
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '{') {
            const auto named = t.texts.find(field.substr(i, 3));
            if (named == t.texts.end()) {
                throw std::invalid_argument("no text is named at " + std::string(field.substr(i)));
            }
            text += named->second;
            i += 2;
        } else if (c == '\\') {
            const std::size_t e = i + 1 < field.size() ? plain.find(field[++i]) : std::string_view::npos;
            if (e == std::string_view::npos) {
                throw std::invalid_argument("unknown escape in " + std::string(field));
            }
            text += meant[e];
        } else {
            text += c;
        }
    }
    return text;
}

inline std::string_view trimmed(std::string_view field) {
    const std::size_t from = field.find_first_not_of(' ');
    return from == std::string_view::npos ? std::string_view{}
                                          : field.substr(from, field.find_last_not_of(' ') + 1 - from);
}

inline std::vector<std::string> fields_of(std::string_view line) {
    std::vector<std::string> fields;
    for (std::string_view rest = line;;) {
        const std::size_t bar = rest.find('|');
        fields.emplace_back(trimmed(rest.substr(0, bar)));
        if (bar == std::string_view::npos) {
            return fields;
        }
        rest.remove_prefix(bar + 1);
    }
}

inline table read_table(const char *path) {
    std::ifstream file(path);
    if (!file) {
        throw std::runtime_error(std::string("cannot read ") + path);
    }
    table t;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        constexpr std::string_view is = " = ";
        if (line[0] == '{') {
            if (line.size() < 3 + is.size() || line[2] != '}' || line.compare(3, is.size(), is) != 0) {
                throw std::invalid_argument("not a text: " + line);
            }
            t.texts.emplace(line.substr(0, 3), unescape({}, std::string_view(line).substr(3 + is.size())));
        } else {
            t.rows.push_back(fields_of(line));
        }
    }
    return t;
}
