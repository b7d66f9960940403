// The frames of list/ and menu/ on the program's stack, as the line hooks tell them as they are
// entered and left (web/lines.cpp), and their parameters and locals read from the module's memory,
// as web/instrument.py found them in the debug information.
'use strict';

const frames = (() => {
    const deepest = 16;  // line_state (web/page.hpp): tracing, depth, lines, declared, declaring
    const create = () => ({ stack: [], stateAt: 0, moved: 0 });  // moved: entries and exits so far

    // What the page shows of a function's locals, worked out once per function: each shown
    // local's name, its place among the function's locals, and how to read it.
    const shapes = new WeakMap();
    function shape(about) {
        if (!shapes.has(about)) {
            const shown = [];
            let console = null;
            about.locals.forEach((l, k) => {
                const kind = /^(ref-)?(int|ptr|console:(\d+):(\d+))$/.exec(l.kind);
                if (kind?.[3] !== undefined) {
                    console = { k, begin: Number(kind[3]), at: Number(kind[4]) };
                } else if (kind) {
                    shown.push({ name: l.name, k, ref: kind[1] !== undefined, int: kind[2] === 'int', always: l.line === 0 || k >= 32 });
                }
            });
            shapes.set(about, { shown, console });
        }
        return shapes.get(about);
    }

    // `about`: the function's description; `addresses`: where its parameters and locals are.
    function enter(f, about, addresses) {
        f.stack.push({ about, addresses, shape: shape(about) });
        f.moved++;
    }

    function leave(f) {
        f.stack.pop();
        f.moved++;
    }

    // Switches the line hooks on: a trace runs until its module is let go.
    function trace(f, view) {
        view.setInt32(f.stateAt, 1, true);
    }

    // The stack now, appended to `into` ({ lines, values }, plain arrays kept by the caller): each
    // frame's line, about to run in the innermost and running in its callers, then the shown
    // locals of every frame in turn, NaN for one whose declaration has not run in this call.
    // Returns where the reading starts in each, and how much the console holds written and not
    // yet handed on.
    function read(f, view, into = { lines: [], values: [] }) {
        const reading = { lines: into.lines.length, values: into.values.length, buffered: 0 };
        f.stack.forEach((frame, i) => {
            const depth = Math.min(i + 1, deepest - 1);
            into.lines.push(view.getInt32(f.stateAt + 8 + 4 * depth, true));
            const declared = view.getUint32(f.stateAt + 8 + 4 * deepest + 4 * depth, true);
            const { shown, console } = frame.shape;
            for (const l of shown) {
                let at = frame.addresses[l.k];
                if (!l.always && (declared & (1 << l.k)) === 0) {
                    into.values.push(NaN);
                    continue;
                }
                if (l.ref) {
                    at = view.getUint32(at, true);
                }
                into.values.push(l.int ? view.getInt32(at, true) : view.getUint32(at, true));
            }
            if (console !== null) {
                const at = view.getUint32(frame.addresses[console.k], true);
                reading.buffered = view.getUint32(at + console.at, true) - view.getUint32(at + console.begin, true);
            }
        });
        return reading;
    }

    // Which of a reading's pointers point to a block given back: dangling. `gone(address)` says
    // whether the block there was given back and not taken again; asked as the reading is made,
    // while the program holds what it held then.
    function dangling(stack, into, from, gone) {
        let v = from.values;
        let found = null;
        for (const frame of stack) {
            for (const l of frame.shape.shown) {
                const value = into.values[v];
                if (!l.int && value > 0 && gone(value)) {
                    (found ??= new Set()).add(v);
                }
                v++;
            }
        }
        return found;
    }

    // The frames `stack` (a copy of f.stack) of a reading at `from` in `into`, for the page: each
    // with its name, file, line and shown locals, each local's `value` null before its declaration.
    function named(stack, into, from, gone = null) {
        let v = from.values;
        return stack.map((frame, i) => ({
            name: frame.about.name, file: frame.about.file, start: frame.about.line, line: into.lines[from.lines + i],
            locals: frame.shape.shown.map((l) => {
                const dangling = gone !== null && gone.has(v);
                const value = into.values[v++];
                return { name: l.name, pointer: !l.int, value: Number.isNaN(value) ? null : value, dangling };
            }),
        }));
    }

    // The names of the pointer locals of named frames, by the address they hold.
    function pointing(stack) {
        const at = new Map();
        for (const l of stack.flatMap((f) => f.locals)) {
            if (l.pointer && l.value) {
                at.set(l.value, [...new Set([...(at.get(l.value) ?? []), l.name])]);
            }
        }
        return at;
    }

    return { create, enter, leave, trace, read, dangling, named, pointing };
})();

if (typeof module === 'object') {
    module.exports = frames;
}
