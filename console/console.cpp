#include "console/console.hpp"

namespace {

constexpr int no_fd = -1;

// The room format_int needs comes out of the least buffer.
static_assert(console_internal::int_room <= min_out_size);

}  // namespace

std::optional<console> fd_console(int in_fd, int out_fd, std::span<char> in_buf, std::span<char> out_buf) {
    if (in_buf.empty() || out_buf.size() < min_out_size) {
        return std::nullopt;
    }
    return console{supply::descriptor,
                   in_fd,
                   in_buf,
                   in_buf.data(),
                   in_buf.data(),
                   false,
                   0,
                   nullptr,
                   0,
                   out_fd,
                   out_buf,
                   0,
                   0};
}

std::optional<console> memory_console(std::string_view input, std::string &sink, std::size_t limit,
                                      std::span<char> out_buf) {
    if (out_buf.size() < min_out_size) {
        return std::nullopt;
    }
    return console{supply::memory, no_fd, {},    input.data(), input.data() + input.size(),
                   false,          0,     &sink, limit,        no_fd,
                   out_buf,        0,     0};
}

std::optional<console> memory_in_console(std::string_view input, int out_fd, std::span<char> out_buf) {
    if (out_buf.size() < min_out_size) {
        return std::nullopt;
    }
    return console{
        supply::memory, no_fd, {}, input.data(), input.data() + input.size(), false, 0, nullptr, 0, out_fd,
        out_buf,        0,     0};
}
