#include "menu.hpp"

#include <cstdint>
#include <string_view>

namespace {

// The person types the choice on the same line as the last text.
constexpr std::string_view menu_text =
    "1.create linked list\n"
    "2.display linked list\n"
    "3.Delete at first\n"
    "4.Delete at last\n"
    "5.Delete at position\n"
    "6.Exist\n"
    "plz enter your choice";

}  // namespace

void menu(console &io, node *&first) {
    std::int32_t choices = 0;
    while (ask(io, menu_text, choices)) {
        switch (choices) {
            case 1:
                create(io, first);
                break;
            case 2:
                display(io, first);
                break;
            case 3:
                delete_at_first(io, first);
                break;
            case 4:
                delete_at_last(io, first);
                break;
            case 5:
                delete_at_position(io, first);
                break;
            case 6:
                write(io, "Thank You!");
                return;
            default:
                break;  // other choices only bring the menu back
        }
    }
}
