#include "console/format.hpp"

#include <algorithm>
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

// Each number below 10^4 as its four digits: 40 KB, for two loads where pairs took four loads and
// two more divisions. A value formats in about 60% of the time it took with pairs alone (format_ints
// in bench/micro.cpp; the README gives today's figure).
constexpr std::array<std::uint32_t, 10000> digit_quads = [] {
    std::array<std::uint32_t, 10000> quads{};
    for (std::uint32_t n = 0; n < quads.size(); ++n) {
        quads.at(n) = digit_pairs.at(n / 100) | std::uint32_t{digit_pairs.at(n % 100)} << 16;
    }
    return quads;
}();

// The eight digits of `n` < 10^8, zero-padded.
std::uint64_t eight_digits(std::uint32_t n) {
    return digit_quads[n / 10000] | std::uint64_t{digit_quads[n % 10000]} << 32;
}

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
    const std::size_t digits = decimal_digits(magnitude);

    // The digits are assembled in registers and stored a word at a time: building them in
    // memory and reading them back stalls on every value.
    std::uint64_t last_eight = eight_digits(magnitude % 100000000);
    if (digits > 8) {
        const std::uint64_t first_two = pair(magnitude / 100000000) >> (digits == 9 ? 8 : 0);
        store<2>(at, first_two);
        at += digits - 8;
    } else {
        last_eight >>= 8 * (8 - digits);  // drops the leading zeros
    }
    store<8>(at, last_eight);
    return at + std::min<std::size_t>(digits, 8);
}

}  // namespace console_internal
