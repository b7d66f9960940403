#pragma once
// Numbers as decimal text, for the console's writes: inline, so that a walk over the list formats
// each value in its own loop rather than through a call.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace console_internal {

// The room format_int needs: it stores whole words past its text, a sign, two digits and eight more.
constexpr std::size_t int_room = 1 + 2 + 8;

inline constexpr std::array<std::uint32_t, 10> powers_of_ten = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// Digits are packed into a word with the first character in the low byte and stored a byte at
// a time from there, so the text comes out right whatever the machine's byte order; compilers
// merge the bytes into one store where the order allows.

// Each number below 100 as its two digits.
inline constexpr std::array<std::uint16_t, 100> digit_pairs = [] {
    std::array<std::uint16_t, 100> pairs{};
    for (unsigned n = 0; n < pairs.size(); ++n) {
        pairs.at(n) = static_cast<std::uint16_t>(('0' + n / 10) | ('0' + n % 10) << 8);
    }
    return pairs;
}();

inline std::uint64_t pair(std::uint32_t n) {
    return digit_pairs[n];
}

// The same with no leading zero, for a number's first digits: below 10, one digit.
inline constexpr std::array<std::uint16_t, 100> leading_pairs = [] {
    std::array<std::uint16_t, 100> pairs = digit_pairs;
    for (unsigned n = 0; n < 10; ++n) {
        pairs.at(n) = static_cast<std::uint16_t>('0' + n);
    }
    return pairs;
}();

// Each number below 10^4 as its four digits: 40 KB, so that a number below 10^8, the kind people
// type, is two loads from it and a digit count.
inline constexpr std::array<std::uint32_t, 10000> digit_quads = [] {
    std::array<std::uint32_t, 10000> quads{};
    for (std::uint32_t n = 0; n < quads.size(); ++n) {
        quads.at(n) = digit_pairs.at(n / 100) | std::uint32_t{digit_pairs.at(n % 100)} << 16;
    }
    return quads;
}();

// Stores the first `N` characters of `word`.
template <std::size_t N>
void store(char *at, std::uint64_t word) {
    for (std::size_t i = 0; i < N; ++i) {
        at[i] = static_cast<char>(word >> (8 * i));
    }
}

inline std::size_t decimal_digits(std::uint32_t n) {
    // 1233 / 4096 is just under log10(2): a guess from the bit count, then one comparison.
    // Setting the low bit changes no digit count and gives 0 its one digit.
    n |= 1U;
    const auto guess = static_cast<std::size_t>(std::bit_width(n) * 1233 >> 12);
    return guess + (n >= powers_of_ten[guess] ? 1 : 0);
}

// Writes `value` in signed decimal at `at`, which has int_room bytes of room; returns the text's end.
inline char *format_int(char *at, std::int32_t value) {
    *at = '-';  // kept only for a negative value
    at += value < 0 ? 1 : 0;
    const std::uint32_t magnitude =
        value < 0 ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);

    // The digits are assembled in registers and stored a word at a time: building them in
    // memory and reading them back stalls on every value.
    const std::uint32_t q8 = magnitude / 100000000;
    if (q8 == 0) {
        const std::uint64_t eight =
            digit_quads[magnitude / 10000] | std::uint64_t{digit_quads[magnitude % 10000]} << 32;
        const std::size_t digits = decimal_digits(magnitude);
        store<8>(at, eight >> 8 * (8 - digits));  // drops the leading zeros
        return at + digits;
    }
    // Nine or ten digits, most of the full range, need no digit count. Each pair of the last eight
    // comes from a quotient of its own (q6 drops the last six digits), so the pairs are worked out
    // side by side, none waiting on another; a division by a constant becomes a multiply.
    const std::uint32_t q2 = magnitude / 100;
    const std::uint32_t q4 = magnitude / 10000;
    const std::uint32_t q6 = magnitude / 1000000;
    const std::uint64_t last_eight = pair(q6 - 100 * q8) | pair(q4 - 100 * q6) << 16 |
                                     pair(q2 - 100 * q4) << 32 | pair(magnitude - 100 * q2) << 48;
    store<2>(at, leading_pairs[q8]);  // one digit leaves a byte that the eight write over
    at += q8 < 10 ? 1 : 2;
    store<8>(at, last_eight);
    return at + 8;
}

}  // namespace console_internal
