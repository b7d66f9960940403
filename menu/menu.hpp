#pragma once
// The menu loop: the whole dialogue of a run, on whatever console it is given.

#include "console/console.hpp"
#include "list/list.hpp"

enum class ending {
    chosen,   // 6 was chosen and "Thank You!" written
    stopped,  // the input ended or failed, or output failed (see read_error and console::write_error)
};

// Writes the menu and dispatches each choice on the list `first` until one of the endings.
// The nodes left in the list stay there, for the caller to keep or release.
ending menu(console &io, node *&first);
