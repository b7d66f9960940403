// Micro-benchmarks of the hot paths, in-process: reading answers, the menu loop, formatting and
// writing the list, and appending at the tail of lists of several lengths.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "console/format.hpp"
#include "menu/menu.hpp"

namespace {

constexpr std::size_t buffer_size = std::size_t{64} * 1024;

// Output goes to /dev/null through the same buffered writes the program makes.
struct null_output {
    int fd = open("/dev/null", O_WRONLY);
    std::vector<char> buf = std::vector<char>(buffer_size);
    null_output() = default;
    null_output(const null_output &) = delete;
    null_output &operator=(const null_output &) = delete;
    ~null_output() { close(fd); }
    console make(std::string_view input) { return memory_in_console(input, fd, buf); }
};

node *list_of(std::int64_t n) {
    node *first = nullptr;
    for (std::int64_t i = n; i > 0; --i) {
        first = new node{static_cast<std::int32_t>(i * 2654435761U), first};
    }
    return first;
}

void free_list(node *first) {
    while (first != nullptr) {
        delete std::exchange(first, first->next);
    }
}

void read_answers(benchmark::State &state) {
    std::string typed;
    for (int i = 0; i < 100000; ++i) {
        typed += std::to_string(i * 7919 - 300000) + (i % 3 == 0 ? "\n" : " ");
    }
    null_output out;
    while (state.KeepRunning()) {
        console io = out.make(typed);
        std::int32_t value = 0;
        std::int64_t sum = 0;
        while (ask(io, {}, value)) {
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 100000);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(typed.size()));
}

// Choices that only bring the menu back: a menu written and an answer read, each time round.
void menu_churn(benchmark::State &state) {
    std::string typed;
    for (int i = 0; i < 100000; ++i) {
        typed += "0\n";
    }
    null_output out;
    node *first = nullptr;
    while (state.KeepRunning()) {
        console io = out.make(typed);
        menu(io, first);
        benchmark::DoNotOptimize(first);
        flush(io);
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}

void display_list(benchmark::State &state) {
    node *first = list_of(state.range(0));
    null_output out;
    console io = out.make({});
    while (state.KeepRunning()) {
        display(io, first);
    }
    flush(io);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    free_list(first);
}

// Full-range values, as the sessions use.
std::vector<std::int32_t> full_range_values() {
    std::mt19937 rng(7);
    std::vector<std::int32_t> values(4096);
    for (std::int32_t &value : values) {
        value = static_cast<std::int32_t>(rng());
    }
    return values;
}

// Formatting alone, ours beside the standard library's.
template <class Format>
void format_each(benchmark::State &state, Format format) {
    const std::vector<std::int32_t> values = full_range_values();
    std::vector<char> text(values.size() * 16);
    while (state.KeepRunning()) {
        char *at = text.data();
        for (const std::int32_t value : values) {
            at = format(at, value);
        }
        benchmark::DoNotOptimize(at);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

void format_ints(benchmark::State &state) {
    format_each(state, console_internal::format_int);
}

void to_chars_ints(benchmark::State &state) {
    format_each(state, [](char *at, std::int32_t value) { return std::to_chars(at, at + 16, value).ptr; });
}

// The floor of formatting one value at a time, inlined: what is left with no digit worked out.
// The sign, ten bytes stored and the step past the text, whose length is given.
void format_shell(benchmark::State &state) {
    const std::vector<std::int32_t> values = full_range_values();
    std::vector<std::uint8_t> digits;
    for (const std::int32_t value : values) {
        std::array<char, 16> text{};
        const char *end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
        digits.push_back(static_cast<std::uint8_t>(end - text.data() - (value < 0 ? 1 : 0)));
    }
    std::vector<char> text(values.size() * 16);
    while (state.KeepRunning()) {
        char *at = text.data();
        for (std::size_t i = 0; i < values.size(); ++i) {
            *at = '-';
            at += values[i] < 0 ? 1 : 0;
            // Bytes that change with the value, standing in for its digits.
            const std::uint64_t word =
                static_cast<std::uint32_t>(values[i]) * std::uint64_t{0x0101010101010101};
            std::memcpy(at, &word, 2);
            std::memcpy(at + 2, &word, 8);
            at += digits[i];
        }
        benchmark::DoNotOptimize(at);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

// Each append walks to the tail; taking the head off afterwards keeps the length.
void append_at(benchmark::State &state) {
    node *first = list_of(state.range(0));
    std::string typed;
    for (int i = 0; i < 1000000; ++i) {
        typed += "5 ";
    }
    null_output out;
    console io = out.make(typed);
    int left = 1000000;
    while (state.KeepRunning()) {
        if (left-- == 0) {
            io = out.make(typed);
            left = 999999;
        }
        create(io, first);
        delete_at_first(io, first);
    }
    flush(io);
    state.SetItemsProcessed(state.iterations());
    free_list(first);
}

}  // namespace

BENCHMARK(read_answers);
BENCHMARK(menu_churn);
BENCHMARK(format_ints);
BENCHMARK(to_chars_ints);
BENCHMARK(format_shell);
BENCHMARK(display_list)->Arg(1000)->Arg(2000)->Arg(100000);
BENCHMARK(append_at)->Arg(10)->Arg(1000)->Arg(10000)->Arg(100000);

BENCHMARK_MAIN();
