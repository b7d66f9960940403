// The blocks the program takes from the heap and gives back, told to the page as they go: the
// page's build links the program with --wrap=malloc and --wrap=free, which send its calls here.

#include <cstddef>

#include "web/page.hpp"

// The linker's names: __real_ is the C library's function, __wrap_ takes the program's calls.
extern "C" {

void *__real_malloc(std::size_t size);
void __real_free(void *block);

void *__wrap_malloc(std::size_t size) {
    void *block = __real_malloc(size);
    if (block != nullptr) {
        tell_taken(block, size);
    }
    return block;
}

void __wrap_free(void *block) {
    if (block != nullptr) {
        tell_released(block);
    }
    __real_free(block);
}
}
