// The hooks web/instrument.py puts into list/ and menu/ in the page's build: each function's
// frame as it is entered and left, each line as it starts, and each store through a pointer.
// Frames and stores always reach the page, since they are few; lines only while the page traces
// an answer, which it does in a run of its own. Untraced, a line costs one test, and each frame
// keeps the line of its last call and its declared locals here, so that the page finds where
// every waiting frame stands.

#include <cstddef>
#include <cstdint>

#include "web/page.hpp"

// web/frames.js reads the record at these offsets.
static_assert(offsetof(line_state, depth) == 4 && offsetof(line_state, lines) == 8 &&
              offsetof(line_state, declared) == 8 + 4 * line_state::deepest);

namespace {

// The one record the hooks keep, which the page reads and switches (tell_lines).
line_state state{};

std::int32_t innermost() {
    return state.depth < line_state::deepest ? state.depth : line_state::deepest - 1;
}

// The innermost frame is at `line`: the declarations made on its line before count from now on.
void arrive(std::int32_t line) {
    const std::int32_t at = innermost();
    if (state.lines[at] != line) {
        state.lines[at] = line;
        state.declared[at] |= state.declaring[at];
        state.declaring[at] = 0;
        if (state.tracing != 0) {
            tell_line(line);
        }
    }
}

}  // namespace

void tell_line_state() {
    tell_lines(&state);
}

extern "C" {

void listmenu_line_enter(const char *about, void *const *locals) {
    ++state.depth;
    state.lines[innermost()] = 0;
    state.declared[innermost()] = 0;
    state.declaring[innermost()] = 0;
    tell_frame(about, locals);
}

void listmenu_line_leave() {
    --state.depth;
    tell_left();
}

// Lines matter only while the page traces, and then a step is each change of a frame's line.
void listmenu_line(std::int32_t line) {
    if (state.tracing != 0) {
        arrive(line);
    }
}

// Untraced, a frame's line is kept only as it calls: where a caller waits, and where a trace starts.
void listmenu_line_call(std::int32_t line) {
    arrive(line);
}

// The frame is at `line` by then, traced or not: a call later on the same line, which is all an
// untraced frame notes, must not count the local as declared before its line is done.
void listmenu_line_declared(std::int32_t local, std::int32_t line) {
    arrive(line);
    state.declaring[innermost()] |= 1U << static_cast<std::uint32_t>(local);
}

void listmenu_line_stored(const void *at) {
    tell_stored(at);
}
}
