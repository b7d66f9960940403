#pragma once
// Numbers as decimal text, for the console's writes.

#include <cstddef>
#include <cstdint>

namespace console_internal {

// The room format_int needs: it stores whole words past its text, a sign, two digits and eight more.
constexpr std::size_t int_room = 1 + 2 + 8;

// Writes `value` in signed decimal at `at`, which has int_room bytes of room; returns the text's end.
char *format_int(char *at, std::int32_t value);

}  // namespace console_internal
