// The hooks that list/ calls on entry to and exit from each of its functions, in the page's build
// only, where list/ is compiled with -finstrument-functions: the page learns which operations ran,
// nested and inlined calls included, which linking alone (--wrap) cannot see inside one file.
// Every function of list.cpp's unit comes here, the console's inline helpers too (several a node
// in a display); only the operations go on to the page, a call out of the module each.

#include "web/operations.hpp"
#include "web/page.hpp"

extern "C" {

void __cyg_profile_func_enter(void *code, void * /*site*/) {
    if (is_operation(code)) {
        tell_entered(code);
    }
}

void __cyg_profile_func_exit(void *code, void * /*site*/) {
    if (is_operation(code)) {
        tell_left(code);
    }
}
}
