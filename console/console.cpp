#include "console.hpp"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>

namespace {

// write_int stores whole words past the text it writes: a sign, two digits and eight more.
constexpr std::size_t int_room = 1 + 2 + 8;

constexpr std::string_view digit_pairs =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::array<std::uint32_t, 10> powers_of_ten = {1,      10,      100,      1000,      10000,
                                                         100000, 1000000, 10000000, 100000000, 1000000000};

static_assert(std::endian::native == std::endian::little, "digits are packed first character lowest");

// Two digits of `n` < 100 as they lie in memory, the first in the low byte.
std::uint64_t pair(std::uint32_t n) {
    std::uint16_t chars = 0;
    std::memcpy(&chars, digit_pairs.data() + std::size_t{n} * 2, 2);
    return chars;
}

// The eight digits of `n` < 10^8, zero-padded, as they lie in memory.
std::uint64_t eight_digits(std::uint32_t n) {
    const std::uint32_t upper = n / 10000;
    const std::uint32_t lower = n % 10000;
    return pair(upper / 100) | pair(upper % 100) << 16 | pair(lower / 100) << 32 | pair(lower % 100) << 48;
}

std::size_t decimal_digits(std::uint32_t n) {
    // 1233 / 4096 is just under log10(2): a guess from the bit count, then one comparison.
    // Setting the low bit changes no digit count and gives 0 its one digit.
    n |= 1U;
    const auto guess = static_cast<std::size_t>(std::bit_width(n) * 1233 >> 12);
    return guess + (n >= powers_of_ten[guess] ? 1 : 0);
}

enum class scan { number, not_a_number, end };

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Waits until `fd` is ready, for descriptors that someone else made non-blocking.
void await(int fd, short event) {
    pollfd p{fd, event, 0};
    while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
    }
}

bool refill(console &io) {
    if (io.in_fd < 0) {
        return false;
    }
    // Flushing only here keeps prompts visible while the person is awaited,
    // without a system call per answer when a script's answers are already buffered.
    flush(io);
    if (io.error != 0) {
        return false;  // nobody sees the question: waiting for its answer would only hang
    }
    for (;;) {
        const ssize_t n = ::read(io.in_fd, io.in_buf.data(), io.in_buf.size());
        if (n > 0) {
            io.in_pos = io.in_buf.data();
            io.in_end = io.in_pos + n;
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            await(io.in_fd, POLLIN);
            continue;
        }
        // End of file, or an input that cannot be read any more: either way nothing more comes.
        io.in_fd = -1;
        return false;
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
//   end           the input ended before anything but white space
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

console fd_console(int in_fd, int out_fd, std::span<char> in_buf, std::span<char> out_buf) {
    return console{in_fd, in_buf, in_buf.data(), in_buf.data(), false, out_fd, nullptr, out_buf, 0, 0};
}

console memory_console(std::string_view input, std::string &sink, std::span<char> out_buf) {
    return console{-1, {}, input.data(), input.data() + input.size(), false, -1, &sink, out_buf, 0, 0};
}

bool ask(console &io, std::string_view question, std::int32_t &answer) {
    while (!io.ended && io.error == 0) {
        write(io, question);
        switch (scan_int(io, answer)) {
            case scan::number:
                return true;
            case scan::not_a_number:
                io.ended = !discard_line(io);
                break;
            case scan::end:
                io.ended = true;
                break;
        }
    }
    return false;
}

void write_spilling(console &io, std::string_view text) {
    while (!text.empty()) {
        if (io.out_len == io.out_buf.size()) {
            flush(io);
        }
        const std::size_t n = std::min(text.size(), io.out_buf.size() - io.out_len);
        std::memcpy(io.out_buf.data() + io.out_len, text.data(), n);
        io.out_len += n;
        text.remove_prefix(n);
    }
}

void write_int(console &io, std::int32_t value) {
    if (io.out_buf.size() - io.out_len < int_room) {
        flush(io);
    }
    char *at = io.out_buf.data() + io.out_len;
    *at = '-';  // kept only for a negative value
    at += value < 0 ? 1 : 0;
    const std::uint32_t magnitude =
        value < 0 ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    const std::size_t digits = decimal_digits(magnitude);

    // The digits are assembled in registers and stored a word at a time: building them in
    // memory and reading them back stalls on every value.
    std::uint64_t last_eight = eight_digits(magnitude % 100000000);
    if (digits > 8) {
        const std::uint64_t first_two = pair(magnitude / 100000000) >> (digits == 9 ? 8 : 0);
        std::memcpy(at, &first_two, 2);
        at += digits - 8;
    } else {
        last_eight >>= 8 * (8 - digits);  // drops the leading zeros
    }
    std::memcpy(at, &last_eight, 8);
    io.out_len = static_cast<std::size_t>(at - io.out_buf.data()) + std::min<std::size_t>(digits, 8);
}

void flush(console &io) {
    const char *pos = io.out_buf.data();
    std::size_t left = io.out_len;
    io.out_len = 0;
    if (io.error != 0) {
        return;  // nobody can see the dialogue any more
    }
    if (io.out_fd < 0) {
        io.out_sink->append(pos, left);
        return;
    }
    while (left > 0) {
        const ssize_t n = ::write(io.out_fd, pos, left);
        if (n > 0) {
            pos += n;
            left -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            await(io.out_fd, POLLOUT);
        } else {
            io.error = n < 0 ? errno : EIO;
            return;
        }
    }
}
