// What the page keeps of its own run: the steps (web/steps.js), and at each wait the frames that
// wait with their locals (web/frames.js), where the program stored, what it has written, the line
// handed over, and now and then a copy of the whole run, from which web/trace.js finds an
// answer's line steps. No browser in sight: web/trace_test.mjs keeps a run this way.
'use strict';

const waits = (() => {
    function create() {
        return Object.assign(steps.create(), { frames: frames.create(), sources: new Map(), checkpoints: [], thinned: 0,
                                               written: '' });
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
        at.stack = frames.named(own.frames.stack, read, from, frames.dangling(own.frames.stack, read, from, (a) => steps.givenBack(own, a)));
        if (snapshot !== null) {
            keep(own, now.busy, snapshot);
        }
    }

    // A copy of the run (its memory, a few hundred KB for most lists) each `apart` ms of the
    // module's running or `every` waits, with what the page knew of it then: its frames, where
    // `first` and the line hooks' record are, the blocks it held and those it had given back.
    // Past `most` copies or `bytes` in all, every other one goes, the first kept, and copies are
    // made twice as far apart from then on: a trace reruns at most what ran between two copies.
    const most = 64;
    const bytes = 64 * 2 ** 20;
    function keep(own, busy, snapshot, { apart = 20, every = 1000 } = {}) {
        const last = own.checkpoints[own.checkpoints.length - 1] ?? { step: 0, busy: 0 };
        const step = own.steps.length - 1;
        const wider = 2 ** own.thinned;
        if (busy - last.busy < apart * wider && step - last.step < every * wider) {
            return;
        }
        own.checkpoints.push({ step, busy, ...snapshot(), frames: own.frames.stack.slice(), stateAt: own.frames.stateAt,
                               firstAt: own.firstAt, held: [...own.blocks.keys()], released: [...own.releasedIn.keys()] });
        const size = () => own.checkpoints.reduce((sum, c) => sum + c.bytes.length, 0);
        while (own.checkpoints.length > 1 && (own.checkpoints.length > most || size() > bytes)) {
            own.checkpoints = own.checkpoints.filter((_, i) => i % 2 === 0);
            own.thinned++;
        }
    }

    return { create, listener, close, keep };
})();
