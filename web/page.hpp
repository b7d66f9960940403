#pragma once
// What the module tells the page, which draws the list from the module's memory: functions the
// page gives it in the import module "page" (web/page.js), in the page's build only.

#include <cstddef>
#include <cstdint>

#include "list/list.hpp"

// Where `first` lives, once, as the menu starts.
__attribute__((import_module("page"), import_name("head"))) void tell_head(node *const *first);
// A source file's text, as this module was built from it, and its name.
__attribute__((import_module("page"), import_name("source"))) void tell_source(const char *file,
                                                                               std::size_t length,
                                                                               const void *text,
                                                                               std::size_t size);
__attribute__((import_module("page"), import_name("taken"))) void tell_taken(const void *block,
                                                                             std::size_t size);
__attribute__((import_module("page"), import_name("released"))) void tell_released(const void *block);
// The menu has returned, and `first` is still in scope.
__attribute__((import_module("page"), import_name("ended"))) void tell_ended();

// From web/lines.cpp. A function of list/ or menu/ entered: `about` is its JSON description, and
// `locals` the addresses of its parameters and locals in that order.
__attribute__((import_module("page"), import_name("frame"))) void tell_frame(const char *about,
                                                                             void *const *locals);
__attribute__((import_module("page"), import_name("left"))) void tell_left();
// A line about to run, while the page traces.
__attribute__((import_module("page"), import_name("line"))) void tell_line(std::int32_t line);
// A store through a pointer: a node's field, or `first` through a reference.
__attribute__((import_module("page"), import_name("stored"))) void tell_stored(const void *at);

// What web/lines.cpp keeps: whether the page traces lines, and for each frame its last line and
// which of its locals' declarations have run (bit k: local k, as web/instrument.py numbers them),
// each from the frame's next line on. Frames past the deepest share its place; the program
// never nests that far.
struct line_state {
    static constexpr std::int32_t deepest = 16;
    std::int32_t tracing;
    std::int32_t depth;  // frames entered and not left; lines[depth] is the innermost's
    std::int32_t lines[deepest];
    std::uint32_t declared[deepest];
    std::uint32_t declaring[deepest];  // declared on the frame's line now: counted from its next
};
__attribute__((import_module("page"), import_name("lines"))) void tell_lines(const line_state *state);

void tell_line_state();
