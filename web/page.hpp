#pragma once
// What the module tells the page, which draws the list from the module's memory: functions the
// page gives it in the import module "page" (web/page.js), in the page's build only.

#include <cstddef>

#include "list/list.hpp"

// Where `first` lives, once, as the menu starts.
__attribute__((import_module("page"), import_name("head"))) void tell_head(node *const *first);
// list/list.cpp's text, as this module was built from it.
__attribute__((import_module("page"), import_name("source"))) void tell_source(const void *text,
                                                                               std::size_t size);
// One call per list operation: the code address the instrumentation names it by, and its name.
__attribute__((import_module("page"), import_name("operation"))) void tell_operation(const void *code,
                                                                                     const char *name,
                                                                                     std::size_t size);
__attribute__((import_module("page"), import_name("taken"))) void tell_taken(const void *block,
                                                                             std::size_t size);
__attribute__((import_module("page"), import_name("released"))) void tell_released(const void *block);
__attribute__((import_module("page"), import_name("entered"))) void tell_entered(const void *code);
__attribute__((import_module("page"), import_name("left"))) void tell_left(const void *code);
// The menu has returned, and `first` is still in scope.
__attribute__((import_module("page"), import_name("ended"))) void tell_ended();
