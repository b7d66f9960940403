#pragma once
// The console every operation talks through: buffered answers in, buffered text out.
// One reader and one writer serve both the real terminal (file descriptors) and
// in-memory sessions (a string in, a string out), so tests drive the same code.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Where input comes from once the buffer's bytes are read.
enum class supply {
    descriptor,  // in_fd, through the platform
    memory,      // nowhere: the whole input was in memory from the start
    spent,       // nowhere any more: in_fd's end was read, or reading it failed
};

struct console {
    supply from;
    int in_fd;                 // with supply::descriptor
    std::span<char> in_buf{};  // room for refills
    const char *in_pos;        // unread input is [in_pos, in_end)
    const char *in_end;
    bool ended = false;  // a read ran into the end of the input: the dialogue is over
    int read_error = 0;  // errno of the read that failed; 0 while input is sound

    std::string *out_sink = nullptr;  // output appended here on flush; nullptr: written to out_fd
    std::size_t sink_limit = 0;       // the most out_sink takes; past it, output fails as on a full disk
    int out_fd;
    std::span<char> out_buf;
    std::size_t out_len = 0;
    int write_error = 0;  // errno of the first failed write; 0 while output is sound
};

// The least output buffer a console takes: a number, or any short text written through a
// cursor, must fit in an emptied buffer.
constexpr std::size_t min_out_size = 16;

// The buffers are the caller's; a descriptor's buffers want a few KiB each to keep system calls
// rare. A console is refused (none is made) when out_buf is smaller than min_out_size, or a
// descriptor's in_buf is empty.

// A console on two file descriptors.
std::optional<console> fd_console(int in_fd, int out_fd, std::span<char> in_buf, std::span<char> out_buf);

// A console whose whole input is `input` and whose output is appended to `sink` on flush, up
// to `limit` bytes in all: past it, output fails with ENOSPC, so a dialogue that runs away ends.
std::optional<console> memory_console(std::string_view input, std::string &sink, std::size_t limit,
                                      std::span<char> out_buf);

// A console whose whole input is `input` and whose output goes to the descriptor `out_fd`.
std::optional<console> memory_in_console(std::string_view input, int out_fd, std::span<char> out_buf);

// Writes `question`, then reads one decimal integer into `answer` the way "%d" does:
// white space is skipped, then an optional sign and digits; what follows stays unread.
// Something that is not a number, or lies outside 32 bits, is never taken: the rest of its
// line is discarded and `question` is written again. Returns false, writing nothing more,
// once the input has ended, reading it has failed or output has failed; `answer` is then unchanged.
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
