#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "console/console.hpp"
#include "console/transfer.hpp"

namespace {

// Where the text went, or why it could not go: the next state of the output.
output::target handed(output::target out, std::span<const char> text) {
    if (auto *const sink = std::get_if<output::sink>(&out)) {
        const std::size_t room = sink->limit - std::min(sink->limit, sink->text->size());
        sink->text->append(text.data(), std::min(text.size(), room));
        if (text.size() > room) {
            return output::failed{ENOSPC};
        }
    } else if (const auto *const to = std::get_if<output::descriptor>(&out)) {
        const int error = console_internal::write_all(to->fd, text);
        if (error != 0) {
            return output::failed{error};
        }
    }
    return out;  // a failed output drops the text: nobody can see the dialogue any more
}

}  // namespace

void flush(console &io) {
    io.out = handed(io.out, {io.out_begin, io.out_at});
    io.out_at = io.out_begin;
}

int write_error(const console &io) {
    const auto *failed = std::get_if<output::failed>(&io.out);
    return failed != nullptr ? failed->reason : 0;
}

namespace console_internal {

void write_spilling(console &io, std::string_view text) {
    if (io.out_begin == io.out_end) {
        return;  // the zero console: nowhere to put it
    }
    while (!text.empty()) {
        if (io.out_at == io.out_end) {
            flush(io);
        }
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(io.out_end - io.out_at));
        std::memcpy(io.out_at, text.data(), n);
        io.out_at += n;
        text.remove_prefix(n);
    }
}

void write_int_spilling(console &io, std::int32_t value, std::string_view after) {
    std::array<char, int_room> digits{};
    const char *const end = format_int(digits.data(), value);
    write_spilling(io, {digits.data(), static_cast<std::size_t>(end - digits.data())});
    write_spilling(io, after);
}

}  // namespace console_internal
