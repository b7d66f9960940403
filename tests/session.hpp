#pragma once
// Plays whole dialogues in memory, through the same menu loop the program runs.

#include <string>
#include <string_view>
#include <vector>

#include "menu/menu.hpp"

// The program's own texts, written out again here so that tests check them instead of sharing them.
namespace said {
inline const std::string menu =
    "1.create linked list\n2.display linked list\n3.Delete at first\n4.Delete at last\n"
    "5.Delete at position\n6.Exist\nplz enter your choice";
inline const std::string data_prompt = "Please Enter a data";
inline const std::string position_prompt = "Please enter a positon";
inline const std::string no_list = "Linked list not exist";
inline const std::string invalid = "Invalid position\n";
inline const std::string farewell = "Thank You!";
}  // namespace said

struct session {
    std::string output;
    ending how;
    int read_error;  // an input in memory ends, and never fails
};

// Releases what a dialogue left in the list, so that leak checkers see only real leaks.
inline void release(node *&first) {
    std::string unused;
    std::vector<char> buf(16);
    console quiet = memory_console({}, unused, buf.size(), buf);
    while (first != nullptr) {
        delete_at_first(quiet, first);
    }
}

// `input` is everything the person types. A small `out_size` makes every few bytes a flush.
// Output stops at `limit` bytes, far beyond what the table's dialogues write.
inline session play(std::string_view input, std::size_t out_size = 4096, std::size_t limit = 64 * 1024) {
    session s;
    std::vector<char> out(out_size);
    console io = memory_console(input, s.output, limit, out);
    node *first = nullptr;
    s.how = menu(io, first);
    s.read_error = read_error(io);
    flush(io);
    release(first);
    return s;
}
