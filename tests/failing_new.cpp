#include "failing_new.hpp"

#include <cstddef>
#include <new>

namespace {
bool exhausted = false;
}  // namespace

exhausted_heap::exhausted_heap() {
    exhausted = true;
}
exhausted_heap::~exhausted_heap() {
    exhausted = false;
}

// Replaces the library's version for this test program only; a real allocation still goes
// through the throwing form so that it pairs with the usual delete.
void *operator new(std::size_t size, const std::nothrow_t & /*tag*/) noexcept {
    if (exhausted) {
        return nullptr;
    }
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
