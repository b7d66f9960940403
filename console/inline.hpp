#pragma once
// The console's short writes, inline so that a constant text becomes a move or two where it is
// written and a walk over the list formats in registers. Only console.hpp includes this file;
// what is declared here serves these bodies and is no one else's to call.

#include <cstring>

#include "console/console.hpp"
#include "console/format.hpp"

namespace console_internal {

// The long way of write(console &, ...): fills the buffer, flushes, and goes on.
void write_spilling(console &io, std::string_view text);

// Writes everything before the cursor, and moves it to the start of the emptied buffer. False
// for the zero console, which has no buffer to move to.
bool flush(cursor &out);

}  // namespace console_internal

inline void write(console &io, std::string_view text) {
    if (text.size() <= io.out_buf.size() - io.out_len) {
        std::memcpy(io.out_buf.data() + io.out_len, text.data(), text.size());
        io.out_len += text.size();
    } else {
        console_internal::write_spilling(io, text);
    }
}

inline cursor open_cursor(console &io) {
    return {&io, io.out_buf.data() + io.out_len, io.out_buf.data() + io.out_buf.size()};
}

inline void close_cursor(cursor &out) {
    out.io->out_len = static_cast<std::size_t>(out.at - out.io->out_buf.data());
}

inline void write_int(cursor &out, std::int32_t value) {
    if (static_cast<std::size_t>(out.end - out.at) < console_internal::int_room &&
        !console_internal::flush(out)) {
        return;
    }
    out.at = console_internal::format_int(out.at, value);
}

inline void write(cursor &out, std::string_view text) {
    if (static_cast<std::size_t>(out.end - out.at) < text.size() && !console_internal::flush(out)) {
        return;
    }
    std::memcpy(out.at, text.data(), text.size());
    out.at += text.size();
}
