#pragma once
// The console's short writes, inline so that a constant text becomes a move or two where it is
// written and a walk over the list formats each value straight into the buffer, with no call. Only
// console.hpp includes this file; what is declared here serves these bodies and is no one else's to call.

#include <algorithm>

#include "console/console.hpp"
#include "console/format.hpp"

namespace console_internal {

// The long ways of the writes below: they fill the buffer, flush, and go on.
void write_spilling(console &io, std::string_view text);
void write_int_spilling(console &io, std::int32_t value, std::string_view after);

}  // namespace console_internal

// Each write reads the place it writes at once and stores the new one last: a character stored
// through the record's pointer might, for all the compiler knows, have changed the record.

inline void write(console &io, std::string_view text) {
    char *const at = io.out_at;
    if (text.size() <= static_cast<std::size_t>(io.out_end - at)) {
        std::copy_n(text.data(), text.size(), at);
        io.out_at = at + text.size();
    } else {
        console_internal::write_spilling(io, text);
    }
}

inline void write_int(console &io, std::int32_t value, std::string_view after) {
    char *const at = io.out_at;
    if (static_cast<std::size_t>(io.out_end - at) < console_internal::int_room + after.size()) {
        console_internal::write_int_spilling(io, value, after);
        return;
    }
    char *const end = console_internal::format_int(at, value);
    std::copy_n(after.data(), after.size(), end);
    io.out_at = end + after.size();
}
