// Linked into the page's module only, so that the page can draw the list from the module's own
// memory: it learns where `first` lives, and which blocks the program takes from the heap and
// gives back. The program is unchanged; the linker sends its calls through these wrappers
// (--wrap), and each wrapper tells the page, then does what was asked.

#include <cstddef>

#include "menu/menu.hpp"

// The page's side, imported from the module "heap".
__attribute__((import_module("heap"), import_name("head"))) void tell_head(node *const *first);
__attribute__((import_module("heap"), import_name("taken"))) void tell_taken(const void *block,
                                                                             std::size_t size);
__attribute__((import_module("heap"), import_name("released"))) void tell_released(const void *block);

// The linker's names for the wrapped functions: __real_ is the original, __wrap_ takes its calls.
// menu's is its mangled name, menu(console&, node*&).
extern "C" {

void *__real_malloc(std::size_t size);
void __real_free(void *block);
ending __real__Z4menuR7consoleRP4node(console &io, node *&first);

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

ending __wrap__Z4menuR7consoleRP4node(console &io, node *&first) {
    tell_head(&first);
    return __real__Z4menuR7consoleRP4node(io, first);
}
}
