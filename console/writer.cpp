#include <algorithm>
#include <cerrno>
#include <cstring>

#include "console/console.hpp"
#include "console/transfer.hpp"

void write_int(console &io, std::int32_t value) {
    cursor out = open_cursor(io);
    write_int(out, value);
    close_cursor(out);
}

void flush(console &io) {
    const std::span<const char> text = io.out_buf.first(io.out_len);
    io.out_len = 0;
    if (io.write_error != 0) {
        return;  // nobody can see the dialogue any more
    }
    if (io.out_sink != nullptr) {
        const std::size_t room = io.sink_limit - std::min(io.sink_limit, io.out_sink->size());
        io.out_sink->append(text.data(), std::min(text.size(), room));
        io.write_error = text.size() > room ? ENOSPC : 0;
        return;
    }
    io.write_error = console_internal::write_all(io.out_fd, text);
}

namespace console_internal {

void write_spilling(console &io, std::string_view text) {
    while (!text.empty()) {
        if (io.out_len == io.out_buf.size()) {
            ::flush(io);
        }
        const std::size_t n = std::min(text.size(), io.out_buf.size() - io.out_len);
        std::memcpy(io.out_buf.data() + io.out_len, text.data(), n);
        io.out_len += n;
        text.remove_prefix(n);
    }
}

void flush(cursor &out) {
    close_cursor(out);
    ::flush(*out.io);
    out = open_cursor(*out.io);
}

}  // namespace console_internal
