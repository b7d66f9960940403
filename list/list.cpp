#include "list.hpp"

#include <new>

node *create_node(console &io) {
    // Non-throwing: an exhausted heap is a message to the person, not an exception.
    node *fresh = new (std::nothrow) node;
    if (fresh == nullptr) {
        write(io, "Memory not allocated");
        return nullptr;
    }
    std::int32_t x = 0;
    if (!ask(io, "Please Enter a data", x)) {
        delete fresh;  // no value was typed for it
        return nullptr;
    }
    fresh->data = x;
    fresh->next = nullptr;
    return fresh;
}

void create(console &io, node *&first) {
    node *fresh = create_node(io);
    if (fresh == nullptr) {
        return;
    }
    if (first == nullptr) {
        first = fresh;
        return;
    }
    node *last = first;
    while (last->next != nullptr) {
        last = last->next;
    }
    last->next = fresh;
}

void display(console &io, const node *first) {
    if (first == nullptr) {
        write(io, "Linked list not exist");
        return;
    }
    for (const node *at = first; at != nullptr; at = at->next) {
        write_int(io, at->data, "->");
    }
}

void delete_at_first(console &io, node *&first) {
    if (first == nullptr) {
        write(io, "Linked list not exist\n");
        return;
    }
    node *gone = first;
    first = gone->next;
    delete gone;
}

void delete_at_last(console &io, node *&first) {
    if (first == nullptr) {
        write(io, "Linked list not exist");
        return;
    }
    if (first->next == nullptr) {
        delete first;
        first = nullptr;
        return;
    }
    if (first->next->next == nullptr) {
        delete first->next;
        first->next = nullptr;
        return;
    }
    node *before = first;
    node *last = first;
    while (last->next != nullptr) {
        before = before->next;
        last = before->next;
    }
    delete last;
    before->next = nullptr;
}

std::int32_t count_nodes(const node *first) {
    std::int32_t n = 0;
    for (const node *at = first; at != nullptr; at = at->next) {
        ++n;
    }
    return n;
}

void delete_at_position(console &io, node *&first) {
    std::int32_t position = 0;
    while (ask(io, "Please enter a positon", position)) {
        const std::int32_t n = count_nodes(first);
        if (position == 1) {
            delete_at_first(io, first);
            return;
        }
        if (position == n) {
            delete_at_last(io, first);
            return;
        }
        if (position < 1 || position > n) {
            write(io, "Invalid position\n");
            continue;
        }
        node *before = first;
        for (std::int32_t i = 2; i < position; ++i) {
            before = before->next;
        }
        node *target = before->next;
        before->next = target->next;
        delete target;
        return;
    }
}
