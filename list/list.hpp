#pragma once
// The one list of a run: singly linked nodes of 32-bit integers, reached from `first`
// (nullptr: empty). Each node is one heap allocation taken by create_node; it belongs to
// the list until a delete releases it. The operations talk to the person through `io`
// and report nothing to their caller: a failure is a message on the console.

#include <cstdint>

#include "console/console.hpp"

struct node {
    std::int32_t data;
    node *next;
};

// Asks for a value and returns a new unlinked node holding it. Returns nullptr when the heap
// gives nothing (after writing "Memory not allocated", reading nothing) or when the input ends.
node *create_node(console &io);

// Appends a node from create_node at the tail; the list is unchanged when it gives none.
void create(console &io, node *&first);

// Writes every value followed by "->", or "Linked list not exist" for an empty list.
void display(console &io, const node *first);

// Remove and release the first or last node. On an empty list they write
// "Linked list not exist", delete_at_first with a line end, delete_at_last without.
void delete_at_first(console &io, node *&first);
void delete_at_last(console &io, node *&first);

std::int32_t count_nodes(const node *first);

// Asks for a position counted from 1 and removes that node, asking again after
// "Invalid position\n". Position 1 and the position equal to the count go to the deletes
// at either end, in that order, so an empty list takes 1 and 0 and refuses the rest.
void delete_at_position(console &io, node *&first);
