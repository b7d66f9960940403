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
    if (auto *const sink = std::get_if<output::sink>(&io.out)) {
        const std::size_t room = sink->limit - std::min(sink->limit, sink->text->size());
        sink->text->append(text.data(), std::min(text.size(), room));
        io.write_error = text.size() > room ? ENOSPC : 0;
    } else if (const auto *const to = std::get_if<output::descriptor>(&io.out)) {
        io.write_error = console_internal::write_all(to->fd, text);
    }
}

namespace console_internal {

void write_spilling(console &io, std::string_view text) {
    if (io.out_buf.empty()) {
        return;  // the zero console: nowhere to put it
    }
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

bool flush(cursor &out) {
    close_cursor(out);
    ::flush(*out.io);
    out = open_cursor(*out.io);
    return !out.io->out_buf.empty();
}

}  // namespace console_internal
