#pragma once
// The console every operation talks through: buffered answers in, buffered text out.
// One reader and one writer serve both the real terminal (file descriptors) and
// in-memory sessions (a string in, a string out), so tests drive the same code.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// Where the input stands, one state at a time. A console starts reading a descriptor or memory
// and stops ended or failed; the zero console's `none` reads nothing.
namespace input {
struct none {};
struct descriptor {  // the buffer's bytes, then whatever `fd` brings
    int fd;
};
struct memory {};  // the buffer's bytes and nothing more: a text, or a descriptor whose end was read
struct ended {};   // an answer was asked for and none was left: the dialogue is over
struct failed {    // reading failed, with errno `reason` (never 0): the dialogue is over
    int reason;
};
using state = std::variant<none, descriptor, memory, ended, failed>;
}  // namespace input

// Where output goes when it is flushed; the zero console's `none` drops it.
namespace output {
struct none {};
struct descriptor {
    int fd;
};
struct sink {  // appended to `text`, up to `limit` bytes in all: past it, output fails with ENOSPC
    std::string *text;
    std::size_t limit;
};
using target = std::variant<none, descriptor, sink>;
}  // namespace output

// Made by the functions below, never by hand. The zero value, `console{}`, is inert: it reads
// nothing and writes nothing.
struct console {
    input::state in{};
    std::span<char> in_buf{};      // room for refills from a descriptor
    const char *in_pos = nullptr;  // unread input is [in_pos, in_end)
    const char *in_end = nullptr;

    output::target out{};
    std::span<char> out_buf{};
    std::size_t out_len = 0;
    int write_error = 0;  // errno of the first failed write; 0 while output is sound
};

// The least output buffer a console takes: a number, or any short text written through a
// cursor, must fit in an emptied buffer.
constexpr std::size_t min_out_size = 16;

// The buffers are the caller's; a descriptor's buffers want a few KiB each to keep system calls
// rare. Buffers too small for a console make none: the zero console comes back instead, when
// out_buf is smaller than min_out_size or a descriptor's in_buf is empty.

// A console on two file descriptors.
console fd_console(int in_fd, int out_fd, std::span<char> in_buf, std::span<char> out_buf);

// A console whose whole input is `text` and whose output is appended to `sink` on flush, up
// to `limit` bytes in all: past it, output fails with ENOSPC, so a dialogue that runs away ends.
console memory_console(std::string_view text, std::string &sink, std::size_t limit, std::span<char> out_buf);

// A console whose whole input is `text` and whose output goes to the descriptor `out_fd`.
console memory_in_console(std::string_view text, int out_fd, std::span<char> out_buf);

// The errno of the read that failed, or 0 while reading has not failed.
int read_error(const console &io);

// Writes `question`, then reads one decimal integer into `answer` the way "%d" does:
// white space is skipped, then an optional sign and digits; what follows stays unread.
// Something that is not a number, or lies outside 32 bits, is never taken: the rest of its
// line is discarded and `question` is written again. Returns false, writing nothing more,
// once the input has ended, reading it has failed or output has failed; `answer` is then unchanged.
// A number cut short by a failed read is no answer: nobody knows what was typed after it.
bool ask(console &io, std::string_view question, std::int32_t &answer);

// Writes `text`, flushing as often as the buffer fills.
inline void write(console &io, std::string_view text);

// Writes `value` in signed decimal.
void write_int(console &io, std::int32_t value);

// Hands everything written so far to the output. On failure, records errno in `write_error`.
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
// For short texts: no longer than min_out_size.
inline void write(cursor &out, std::string_view text);

#include "console/inline.hpp"  // the bodies of the inline writes above
