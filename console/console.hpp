#pragma once
// The console every operation talks through: buffered answers in, buffered text out.
// One reader and one writer serve both the real terminal (file descriptors) and
// in-memory sessions (a string in, a string out), so tests drive the same code.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct console {
    int in_fd;               // refilled from through the platform; -1 once nothing more can come
    std::span<char> in_buf;  // room for refills
    const char *in_pos;      // unread input is [in_pos, in_end)
    const char *in_end;
    bool ended;  // a read ran into the end of the input: the dialogue is over

    int out_fd;  // flushed to through the platform; -1: flushed to out_sink
    std::string *out_sink;
    std::size_t sink_limit;  // the most out_sink takes; beyond it, output fails as on a full disk
    std::span<char> out_buf;
    std::size_t out_len;
    int error;  // errno of the first failed write; 0 while output is sound
};

// The buffers are the caller's. Output needs 16 bytes at least, and a descriptor's buffers a
// few KiB each to keep system calls rare.

// A console on two file descriptors.
console fd_console(int in_fd, int out_fd, std::span<char> in_buf, std::span<char> out_buf);

// A console whose whole input is `input` and whose output is appended to `sink` on flush, up
// to `limit` bytes in all: past it, output fails with ENOSPC, so a dialogue that runs away ends.
console memory_console(std::string_view input, std::string &sink, std::size_t limit, std::span<char> out_buf);

// A console whose whole input is `input` and whose output goes to the descriptor `out_fd`.
console memory_in_console(std::string_view input, int out_fd, std::span<char> out_buf);

// Writes `question`, then reads one decimal integer into `answer` the way "%d" does:
// white space is skipped, then an optional sign and digits; what follows stays unread.
// Something that is not a number, or lies outside 32 bits, is never taken: the rest of its
// line is discarded and `question` is written again. Returns false, writing nothing more,
// once the input has ended or output has failed; `answer` is then unchanged.
bool ask(console &io, std::string_view question, std::int32_t &answer);

// Writes `text`, flushing as often as the buffer fills.
inline void write(console &io, std::string_view text);

// Writes `value` in signed decimal.
void write_int(console &io, std::int32_t value);

// Hands everything written so far to the output. On failure, records errno in `error`.
void flush(console &io);

// A place in the output buffer kept in a local, for a loop of many short writes such as a walk
// over the list. Written through the console record instead, every store would make the compiler
// load the record again, since a character stored in the buffer might, for all it knows, have
// changed it. Nothing else may write to the console between opening and closing a cursor.
struct cursor {
    console *io;
    char *at;
    char *end;
};

inline cursor open_cursor(console &io);
inline void close_cursor(cursor &out);
inline void write_int(cursor &out, std::int32_t value);
// For short texts: no longer than the smallest output buffer, 16 bytes.
inline void write(cursor &out, std::string_view text);

#include "console/inline.hpp"  // the bodies of the inline writes above
