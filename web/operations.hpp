#pragma once
// The list's operations that the page names, by the code address the instrumentation hands over:
// web/watch.cpp tells the page their names, web/calls.cpp when they are entered and left.

#include <array>
#include <string_view>

#include "list/list.hpp"

struct operation {
    const void *code;
    std::string_view name;
};

// Function pointers as the instrumentation hands them over: wasm32 gives both one width.
template <typename F>
const void *code_of(F *f) {
    return reinterpret_cast<const void *>(f);
}

inline std::array<operation, 7> operations() {
    return {{
        {code_of(&create_node), "create_node"},
        {code_of(&create), "create"},
        {code_of(&display), "display"},
        {code_of(&delete_at_first), "delete_at_first"},
        {code_of(&delete_at_last), "delete_at_last"},
        {code_of(&count_nodes), "count_nodes"},
        {code_of(&delete_at_position), "delete_at_position"},
    }};
}

inline bool is_operation(const void *code) {
    for (const operation &o : operations()) {
        if (o.code == code) {
            return true;
        }
    }
    return false;
}
