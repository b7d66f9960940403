#pragma once
// Plays whole dialogues in memory, through the same menu loop the program runs.

#include <string>
#include <string_view>
#include <vector>

#include "menu/menu.hpp"

struct session {
    std::string output;
    bool chosen;  // the run ended by choice 6, not by the end of the input
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
    menu(io, first);
    s.chosen = !stopped(io);
    flush(io);
    release(first);
    return s;
}
