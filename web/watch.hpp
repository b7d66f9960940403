#pragma once
// Included ahead of menu/main.cpp's own text in the page's build only (-include): main's call of
// the menu goes to watched_menu (web/watch.cpp), which alone can hand the page the address of
// main's `first` and tell it that the menu has returned while `first` is still in scope. The
// assembler name stands in for the linker's --wrap, which would need the menu's mangled name.

#include "menu/menu.hpp"

void menu(console &io, node *&first) __asm__("watched_menu");
