#pragma once
// The menu loop: the whole dialogue of a run, on whatever console it is given.

#include "console/console.hpp"
#include "list/list.hpp"

// Writes the menu and dispatches each choice on the list `first` until 6 is chosen, or the
// console stops first (see stopped). The nodes left in the list stay there, for the caller.
void menu(console &io, node *&first);
