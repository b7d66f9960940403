#include <algorithm>
#include <cstring>

#include "console/console.hpp"
#include "console/transfer.hpp"

namespace {

enum class scan { number, not_a_number, end };

bool is_space(char c) {
    // One test for the six: a bit for each of them in a word.
    constexpr std::uint64_t spaces =
        1ULL << ' ' | 1ULL << '\t' | 1ULL << '\n' | 1ULL << '\v' | 1ULL << '\f' | 1ULL << '\r';
    const auto code = static_cast<unsigned char>(c);
    return code <= ' ' && (spaces >> code & 1U) != 0;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool refill(console &io) {
    const auto *from = std::get_if<input::descriptor>(&io.in);
    if (from == nullptr) {
        return false;
    }
    // Flushing before each read of the descriptor, and only then, keeps prompts visible while
    // the person is awaited, without a system call per answer while a script's answers are
    // already buffered.
    flush(io);
    if (write_error(io) != 0) {
        return false;  // nobody sees the question: waiting for its answer would only hang
    }
    const platform::result r = console_internal::read_some(from->fd, io.in_buf);
    if (r.what == platform::outcome::ended) {
        // Never read again: at a terminal, that would wait for another Control-D.
        io.in = input::memory{};
        return false;
    }
    if (r.what != platform::outcome::moved) {
        io.in = input::failed{r.error};  // kept for the program to report
        return false;
    }
    io.in_pos = io.in_buf.data();
    io.in_end = io.in_pos + r.bytes;
    return true;
}

bool failed(const console &io) {
    return std::holds_alternative<input::failed>(io.in);
}

// Once an answer was asked for and none came, nothing more is: the dialogue is over.
void stop(console &io) {
    if (std::holds_alternative<input::memory>(io.in)) {
        io.in = input::ended{};
    }
}

// True while unread input is at hand, refilling when the buffer is spent.
bool more(console &io) {
    return io.in_pos != io.in_end || refill(io);
}

// The outcomes of reading one answer:
//   number        an optional sign and 1 or more digits, within 32 bits; what follows stays unread
//   not_a_number  no digit after the optional sign, or a value outside 32 bits; a typed value
//                 is never wrapped or clamped into something else
//   end           the input ended before anything but white space, or failed
scan scan_int(console &io, std::int32_t &value) {
    do {
        if (!more(io)) {
            return scan::end;
        }
        while (io.in_pos != io.in_end && is_space(*io.in_pos)) {
            ++io.in_pos;
        }
    } while (io.in_pos == io.in_end);

    const bool negative = *io.in_pos == '-';
    if (negative || *io.in_pos == '+') {
        ++io.in_pos;
    }
    const std::uint64_t limit = negative ? 2147483648U : 2147483647U;
    std::uint64_t magnitude = 0;
    bool digits = false;
    while (more(io) && is_digit(*io.in_pos)) {
        // Saturating just past the limit lets a run of any length be read without overflow.
        magnitude = std::min(magnitude * 10 + static_cast<std::uint64_t>(*io.in_pos - '0'), limit + 1);
        digits = true;
        ++io.in_pos;
    }
    if (io.in_pos == io.in_end && failed(io)) {
        return scan::end;  // the digits may have gone on in what could not be read
    }
    if (!digits || magnitude > limit) {
        return scan::not_a_number;
    }
    value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                               : static_cast<std::int64_t>(magnitude));
    return scan::number;
}

// Skips through the next line end; false when the input ends first.
bool discard_line(console &io) {
    while (more(io)) {
        const auto left = static_cast<std::size_t>(io.in_end - io.in_pos);
        const void *line_end = std::memchr(io.in_pos, '\n', left);
        if (line_end != nullptr) {
            io.in_pos = static_cast<const char *>(line_end) + 1;
            return true;
        }
        io.in_pos = io.in_end;
    }
    return false;
}

}  // namespace

bool ask(console &io, std::string_view question, std::int32_t &answer) {
    while (!stopped(io)) {
        write(io, question);
        const scan got = scan_int(io, answer);
        if (got == scan::number) {
            return true;
        }
        if (got == scan::end || !discard_line(io)) {
            stop(io);
        }
    }
    return false;
}
