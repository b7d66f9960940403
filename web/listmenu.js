// The page's wiring: the module (web/load.js) run with a terminal's line editing (web/lines.js),
// its steps recorded (web/steps.js) and shown (web/stepper.js), and Enter after the end of a run
// starting the next.
'use strict';

const statusLine = document.getElementById('status');
const tell = (text) => {
    statusLine.textContent = text;
};
// The run on the page, kept after it ends: its input, its steps, and how it stands (web/run.js);
// `failed` once the module cannot be had, when no run can start.
const session = { input: lines.create(terminal.write), record: null, run: null, failed: false };

function say(text) {
    terminal.say(text);
    tell(text);
}

function cannotLoad(reason) {
    session.failed = true;
    terminal.hideCursor();  // nothing typed here goes anywhere
    say(load.failure(reason));
}

// Closes a step of `own` at this wait, or at the menu's end. While lines are queued (a paste, a
// link) the picture follows once a frame rather than once a line.
let drawing = false;
function closeStep(own, buffer) {
    const { input } = session;
    const last = input.last;
    const view = new DataView(buffer);
    const stores = own.events.filter((e) => e.change === 'stored').map((e) => e.address);
    own.written = session.run.written;
    const at = { handed: last, stores, written: own.written.length };
    steps.record(own, view, last === null ? '' : last.end ? null : last.text.replace(/\n$/, ''), at);
    // The frames waiting for the answer, read once the step is closed: what is held is then known.
    const read = { lines: [], values: [] };
    const from = frames.read(own.frames, view, read);
    at.stack = frames.named(own.frames.stack, read, from, frames.dangling(own.frames.stack, read, from, (a) => own.blocks.has(a)));
    if (input.queue.length === 0) {
        stepper.show(own);
    } else if (!drawing) {
        drawing = true;
        requestAnimationFrame(() => {
            drawing = false;
            stepper.show(session.record);
        });
    }
}

// What the page's own run tells its record: the steps (web/steps.js), and the frames on its stack
// at each wait (web/frames.js), the list's operations among them.
function listening(own) {
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

async function start() {
    const own = Object.assign(steps.create(), { frames: frames.create(), sources: new Map() });
    const now = run.create();
    Object.assign(session, { record: own, run: now });
    tell('listmenu is running.');
    picture.reset();
    if (load.compiled === null) {
        cannotLoad();
        return;
    }
    try {
        await run.start(await load.compiled, now, {
            page: (memory) => pageImports(listening(own), memory, () => closeStep(own, memory().buffer)),
            input: session.input,
            write: terminal.write,
            waited: (memory) => closeStep(own, memory.buffer),
        });
    } catch (e) {
        cannotLoad(e.message);
        return;
    }
    say(now.state === 'stopped' ? `listmenu stopped unexpectedly (${now.trap}). Press Enter to start a new run.`
        : `listmenu ended with status ${now.status}. Press Enter to start a new run.`);
}

terminal.listen((data) => {
    for (const c of data) {
        if (session.failed) {
            return;
        }
        if (session.run.state === 'ended' || session.run.state === 'stopped') {
            if (c === '\r') {
                terminal.write('\r\n');
                session.input = lines.create(terminal.write);
                start();
            }
        } else {
            lines.edit(session.input, c);
        }
    }
});
link.copier(() => session.input.typed, tell);

start();
if (!link.replay(session.input)) {
    tell("The link's typed lines could not be read; the page starts afresh.");
}
