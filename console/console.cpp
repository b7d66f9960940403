#include "console/console.hpp"

namespace {

// The room format_int needs comes out of the least buffer.
static_assert(console_internal::int_room <= min_out_size);

// A console whose whole input is `text`, writing to `out`.
console in_memory(std::string_view text, output::target out, std::span<char> out_buf) {
    if (out_buf.size() < min_out_size) {
        return {};
    }
    return console{.in = input::memory{},
                   .in_pos = text.data(),
                   .in_end = text.data() + text.size(),
                   .out = out,
                   .out_begin = out_buf.data(),
                   .out_at = out_buf.data(),
                   .out_end = out_buf.data() + out_buf.size()};
}

}  // namespace

console fd_console(int in_fd, int out_fd, std::span<char> in_buf, std::span<char> out_buf) {
    if (in_buf.empty() || out_buf.size() < min_out_size) {
        return {};
    }
    return console{.in = input::descriptor{in_fd},
                   .in_buf = in_buf,
                   .in_pos = in_buf.data(),
                   .in_end = in_buf.data(),
                   .out = output::descriptor{out_fd},
                   .out_begin = out_buf.data(),
                   .out_at = out_buf.data(),
                   .out_end = out_buf.data() + out_buf.size()};
}

console memory_console(std::string_view text, std::string &sink, std::size_t limit, std::span<char> out_buf) {
    return in_memory(text, output::sink{&sink, limit}, out_buf);
}

console memory_in_console(std::string_view text, int out_fd, std::span<char> out_buf) {
    return in_memory(text, output::descriptor{out_fd}, out_buf);
}

int read_error(const console &io) {
    const auto *failed = std::get_if<input::failed>(&io.in);
    return failed != nullptr ? failed->reason : 0;
}

bool stopped(const console &io) {
    return std::holds_alternative<input::ended>(io.in) || std::holds_alternative<input::failed>(io.in) ||
           std::holds_alternative<output::failed>(io.out);
}
