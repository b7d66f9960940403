#include "console/console.hpp"

namespace {

constexpr int no_fd = -1;

// The room format_int needs comes out of the least buffer.
static_assert(console_internal::int_room <= min_out_size);

// A console whose whole input is `input`, with nowhere to write yet.
console in_memory(std::string_view input, std::span<char> out_buf) {
    return console{.from = supply::memory,
                   .in_fd = no_fd,
                   .in_pos = input.data(),
                   .in_end = input.data() + input.size(),
                   .out_fd = no_fd,
                   .out_buf = out_buf};
}

}  // namespace

std::optional<console> fd_console(int in_fd, int out_fd, std::span<char> in_buf, std::span<char> out_buf) {
    if (in_buf.empty() || out_buf.size() < min_out_size) {
        return std::nullopt;
    }
    return console{.from = supply::descriptor,
                   .in_fd = in_fd,
                   .in_buf = in_buf,
                   .in_pos = in_buf.data(),
                   .in_end = in_buf.data(),
                   .out_fd = out_fd,
                   .out_buf = out_buf};
}

std::optional<console> memory_console(std::string_view input, std::string &sink, std::size_t limit,
                                      std::span<char> out_buf) {
    if (out_buf.size() < min_out_size) {
        return std::nullopt;
    }
    console io = in_memory(input, out_buf);
    io.out_sink = &sink;
    io.sink_limit = limit;
    return io;
}

std::optional<console> memory_in_console(std::string_view input, int out_fd, std::span<char> out_buf) {
    if (out_buf.size() < min_out_size) {
        return std::nullopt;
    }
    console io = in_memory(input, out_buf);
    io.out_fd = out_fd;
    return io;
}
