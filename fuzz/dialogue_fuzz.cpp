// Fuzz target: the fuzz input is everything the person types; the whole dialogue runs in memory.
// Any crash, sanitizer report or leak fails, and so does output beyond what the input can call for.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tests/session.hpp"

namespace {

// Every answer consumes input and writes at most a menu, a prompt and a message; only display
// writes more, up to one value per node per display, so the bound grows with size squared.
constexpr std::size_t answer_bytes = 256;
constexpr std::size_t node_bytes = 13;  // "-2147483648->"

std::size_t output_bound(std::size_t typed) {
    const std::size_t nodes = typed / 4 + 1;     // an append takes "1 5 " at least
    const std::size_t displays = typed / 2 + 1;  // a display takes "2 "
    return answer_bytes * (typed + 1) + node_bytes * nodes * displays;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view typed(reinterpret_cast<const char *>(data), size);
    // A small output buffer makes flushes land inside every kind of text.
    const session s = play(typed, 64, output_bound(size) + 1);
    if (s.output.size() > output_bound(size)) {
        std::abort();
    }
    return 0;
}
