// What the page keeps of its own run: the steps (web/steps.js), and at each wait the frames that
// wait with their locals (web/frames.js), where the program stored, what it has written, the line
// handed over, and now and then a copy of the whole run (web/trace.js's keep), from which an
// answer's line steps are found. No browser in sight: web/trace_test.mjs keeps a run this way.
'use strict';

const waits = (() => {
    function create() {
        return Object.assign(steps.create(), { frames: frames.create(), sources: new Map(), checkpoints: [], written: '' });
    }

    // The module's imports' listener for the run `own` keeps (web/page.js), the list's
    // operations among its frames.
    function listener(own) {
        const listed = (about) => about.file === 'list/list.cpp';
        return {
            head: (at) => {
                own.firstAt = at;
            },
            source: (file, text) => own.sources.set(file, text),
            taken: (block, size) => steps.taken(own, block, size),
            released: (block) => steps.released(own, block),
            stored: (at) => steps.stored(own, at),
            frame(about, addresses) {
                frames.enter(own.frames, about, addresses);
                if (listed(about)) {
                    steps.entered(own, about.name);
                }
            },
            left() {
                if (listed(own.frames.stack[own.frames.stack.length - 1].about)) {
                    steps.left(own);
                }
                frames.leave(own.frames);
            },
            line() {},
            lines: (at) => {
                own.frames.stateAt = at;
            },
        };
    }

    // Closes a step of `own` at this wait (or at the menu's end, with no `snapshot`): `handed` is
    // the entry handed over last (web/lines.js's, null before the first), `now` how the run stands
    // (web/run.js's), and `view` its memory.
    function close(own, view, handed, now, snapshot = null) {
        const stores = own.events.filter((e) => e.change === 'stored').map((e) => e.address);
        own.written = now.written;
        const at = { handed, stores, written: own.written.length };
        steps.record(own, view, handed === null ? '' : handed.end ? null : handed.text.replace(/\n$/, ''), at);
        // The frames waiting for the answer, read once the step is closed: what is held is then known.
        const read = { lines: [], values: [] };
        const from = frames.read(own.frames, view, read);
        at.stack = frames.named(own.frames.stack, read, from, frames.dangling(own.frames.stack, read, from, (a) => own.blocks.has(a)));
        if (snapshot !== null) {
            trace.keep(own, now.busy, snapshot);
        }
    }

    return { create, listener, close };
})();
