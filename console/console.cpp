#include "console/console.hpp"

console fd_console(int in_fd, int out_fd, std::span<char> in_buf, std::span<char> out_buf) {
    return console{in_fd, in_buf, in_buf.data(), in_buf.data(), false, out_fd, nullptr, 0, out_buf, 0, 0};
}

console memory_console(std::string_view input, std::string &sink, std::size_t limit,
                       std::span<char> out_buf) {
    return console{-1, {}, input.data(), input.data() + input.size(), false, -1, &sink, limit, out_buf, 0, 0};
}

console memory_in_console(std::string_view input, int out_fd, std::span<char> out_buf) {
    return console{-1, {}, input.data(), input.data() + input.size(), false, out_fd, nullptr, 0, out_buf,
                   0,  0};
}
