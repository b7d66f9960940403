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

struct console;  // made by the factories below; its fields are the console's own

// Writes `question`, then reads one decimal integer into `answer` the way "%d" does:
// white space is skipped, then an optional sign and digits; what follows stays unread.
// Something that is not a number, or lies outside 32 bits, is never taken: the rest of its
// line is discarded and `question` is written again. Returns false, writing nothing more,
// once the console has stopped; `answer` is then unchanged. A number cut short by a failed
// read is no answer: nobody knows what was typed after it.
bool ask(console &io, std::string_view question, std::int32_t &answer);

// Writes `text`, of any length, flushing as often as the buffer fills.
inline void write(console &io, std::string_view text);

// Writes `value` in signed decimal, then `after`, as printf's "%d" followed by a text would. One
// call for both keeps a walk that writes many of them to one update of the record for each.
inline void write_int(console &io, std::int32_t value, std::string_view after = {});

// Hands everything written so far to the output. After a failed write, output is dropped.
void flush(console &io);

// The errno of the first read or write that failed, or 0 while that side is sound.
int read_error(const console &io);
int write_error(const console &io);

// True once the dialogue can go no further: an answer was asked for and the input had none
// left, reading failed, or writing failed.
bool stopped(const console &io);

// The least output buffer a console takes: a number must fit in an emptied buffer.
constexpr std::size_t min_out_size = 16;

// The buffers are the caller's; a descriptor's buffers want a few KiB each to keep system calls
// rare. Buffers too small make the zero console, `console{}`, which has stopped: it reads
// nothing and writes nothing. That is what comes back when out_buf is smaller than
// min_out_size, or a descriptor's in_buf is empty.

// A console on two file descriptors.
console fd_console(int in_fd, int out_fd, std::span<char> in_buf, std::span<char> out_buf);

// A console whose whole input is `text` and whose output is appended to `sink` on flush, up
// to `limit` bytes in all: past it, output fails with ENOSPC, so a dialogue that runs away ends.
console memory_console(std::string_view text, std::string &sink, std::size_t limit, std::span<char> out_buf);

// A console whose whole input is `text` and whose output goes to the descriptor `out_fd`.
console memory_in_console(std::string_view text, int out_fd, std::span<char> out_buf);

// The record itself, for the console's code alone.

// Where the input stands, one state at a time: reading a descriptor or memory, then ended or
// failed. The zero console's input has ended.
namespace input {
struct ended {};     // an answer was asked for and none was left: the dialogue is over
struct descriptor {  // the buffer's bytes, then whatever `fd` brings
    int fd;
};
struct memory {};  // the buffer's bytes and nothing more: a text, or a descriptor whose end was read
struct failed {    // reading failed, with errno `reason` (never 0): the dialogue is over
    int reason;
};
using state = std::variant<ended, descriptor, memory, failed>;
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
struct failed {  // writing failed, with errno `reason` (never 0): what is written is dropped
    int reason;
};
using target = std::variant<none, descriptor, sink, failed>;
}  // namespace output

struct console {
    input::state in{};
    std::span<char> in_buf{};      // room for refills from a descriptor
    const char *in_pos = nullptr;  // unread input is [in_pos, in_end)
    const char *in_end = nullptr;

    output::target out{};
    char *out_begin = nullptr;  // the output buffer is [out_begin, out_end), written up to out_at
    char *out_at = nullptr;
    char *out_end = nullptr;
};

#include "console/inline.hpp"  // the bodies of the inline writes above
