#include "console/format.hpp"

#include <array>
#include <bit>

namespace console_internal {

namespace {

// Digits are packed into a word with the first character in the low byte and stored a byte at
// a time from there, so the text comes out right whatever the machine's byte order; compilers
// merge the bytes into one store where the order allows.

// Each number below 100 as its two digits.
constexpr std::array<std::uint16_t, 100> digit_pairs = [] {
    std::array<std::uint16_t, 100> pairs{};
    for (unsigned n = 0; n < pairs.size(); ++n) {
        pairs.at(n) = static_cast<std::uint16_t>(('0' + n / 10) | ('0' + n % 10) << 8);
    }
    return pairs;
}();

// The same with no leading zero, for a number's first digits: below 10, one digit.
constexpr std::array<std::uint16_t, 100> leading_pairs = [] {
    std::array<std::uint16_t, 100> pairs = digit_pairs;
    for (unsigned n = 0; n < 10; ++n) {
        pairs.at(n) = static_cast<std::uint16_t>('0' + n);
    }
    return pairs;
}();

// For each bit width, the digit count of its least number, in the high half; where the width
// also holds the next power of ten 10^k, plus 2^32 - 10^k, so that adding a number of that
// width carries one more into the high half exactly when the number is 10^k or more.
constexpr std::array<std::uint64_t, 33> digit_steps = [] {
    std::array<std::uint64_t, 33> steps{};
    for (unsigned width = 1; width < steps.size(); ++width) {
        const std::uint64_t least = std::uint64_t{1} << (width - 1);
        std::uint64_t count = 1;
        std::uint64_t power = 10;
        for (; power <= least; power *= 10) {
            ++count;
        }
        const bool reached = power < least << 1;
        steps.at(width) = count << 32 | (reached ? (std::uint64_t{1} << 32) - power : 0);
    }
    return steps;
}();

std::uint64_t pair(std::uint32_t n) {
    return digit_pairs[n];
}

std::size_t decimal_digits(std::uint32_t n) {
    n |= 1U;  // gives 0 its one digit and changes no other count
    return static_cast<std::size_t>((n + digit_steps[static_cast<unsigned>(std::bit_width(n))]) >> 32);
}

// Stores the first `N` characters of `word`.
template <std::size_t N>
void store(char *at, std::uint64_t word) {
    for (std::size_t i = 0; i < N; ++i) {
        at[i] = static_cast<char>(word >> (8 * i));
    }
}

}  // namespace

char *format_int(char *at, std::int32_t value) {
    *at = '-';  // kept only for a negative value
    at += value < 0 ? 1 : 0;
    const std::uint32_t magnitude =
        value < 0 ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    const std::size_t digits = decimal_digits(magnitude);

    // Each pair of digits comes from a quotient of its own (q6 drops the last six digits), so the
    // pairs are worked out side by side, none waiting on another. A division by a constant is a
    // multiply by its reciprocal, which compilers make exact for every 32-bit value; a chain of
    // fixed-point multiplies by 100 needs fewer multiplies but waits on each.
    const std::uint32_t q2 = magnitude / 100;
    const std::uint32_t q4 = magnitude / 10000;
    const std::uint32_t q6 = magnitude / 1000000;
    const std::uint32_t q8 = magnitude / 100000000;
    // The digits are assembled in registers and stored a word at a time: building them in
    // memory and reading them back stalls on every value.
    const std::uint64_t last_eight = pair(q6 - 100 * q8) | pair(q4 - 100 * q6) << 16 |
                                     pair(q2 - 100 * q4) << 32 | pair(magnitude - 100 * q2) << 48;
    if (digits > 8) {
        store<2>(at, leading_pairs[q8]);  // one digit leaves a byte that the eight write over
        at += digits - 8;
        store<8>(at, last_eight);
        return at + 8;
    }
    store<8>(at, last_eight >> 8 * (8 - digits));  // drops the leading zeros
    return at + digits;
}

}  // namespace console_internal
