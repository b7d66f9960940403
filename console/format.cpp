#include "console/format.hpp"

#include <array>
#include <bit>

namespace console_internal {

namespace {

constexpr std::array<std::uint32_t, 10> powers_of_ten = {1,      10,      100,      1000,      10000,
                                                         100000, 1000000, 10000000, 100000000, 1000000000};

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

std::uint64_t pair(std::uint32_t n) {
    return digit_pairs[n];
}

// The same with no leading zero, for a number's first digits: below 10, one digit.
constexpr std::array<std::uint16_t, 100> leading_pairs = [] {
    std::array<std::uint16_t, 100> pairs = digit_pairs;
    for (unsigned n = 0; n < 10; ++n) {
        pairs.at(n) = static_cast<std::uint16_t>('0' + n);
    }
    return pairs;
}();

// Stores the first `N` characters of `word`.
template <std::size_t N>
void store(char *at, std::uint64_t word) {
    for (std::size_t i = 0; i < N; ++i) {
        at[i] = static_cast<char>(word >> (8 * i));
    }
}

std::size_t decimal_digits(std::uint32_t n) {
    // 1233 / 4096 is just under log10(2): a guess from the bit count, then one comparison.
    // Setting the low bit changes no digit count and gives 0 its one digit.
    n |= 1U;
    const auto guess = static_cast<std::size_t>(std::bit_width(n) * 1233 >> 12);
    return guess + (n >= powers_of_ten[guess] ? 1 : 0);
}

}  // namespace

char *format_int(char *at, std::int32_t value) {
    *at = '-';  // kept only for a negative value
    at += value < 0 ? 1 : 0;
    const std::uint32_t magnitude =
        value < 0 ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);

    // Each pair of digits comes from a quotient of its own (q6 drops the last six digits), so the
    // pairs are worked out side by side, none waiting on another. A division by a constant is exact
    // by definition, and compilers make it a multiply by the constant's reciprocal; a chain of
    // fixed-point multiplies by 100 needs fewer multiplies but waits on each.
    const std::uint32_t q2 = magnitude / 100;
    const std::uint32_t q4 = magnitude / 10000;
    const std::uint32_t q6 = magnitude / 1000000;
    const std::uint32_t q8 = magnitude / 100000000;
    // The digits are assembled in registers and stored a word at a time: building them in
    // memory and reading them back stalls on every value.
    const std::uint64_t last_eight = pair(q6 - 100 * q8) | pair(q4 - 100 * q6) << 16 |
                                     pair(q2 - 100 * q4) << 32 | pair(magnitude - 100 * q2) << 48;
    // Nine or ten digits, most of the full range, need no digit count.
    if (q8 != 0) {
        store<2>(at, leading_pairs[q8]);  // one digit leaves a byte that the eight write over
        at += q8 < 10 ? 1 : 2;
        store<8>(at, last_eight);
        return at + 8;
    }
    const std::size_t digits = decimal_digits(magnitude);
    store<8>(at, last_eight >> 8 * (8 - digits));  // drops the leading zeros
    return at + digits;
}

}  // namespace console_internal
