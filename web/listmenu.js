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
function closeStep(own, buffer, snapshot = null) {
    const { input } = session;
    waits.close(own, new DataView(buffer), input.last, session.run, snapshot);
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

async function start() {
    const own = waits.create();
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
            page: (memory) => pageImports(waits.listener(own), memory, () => closeStep(own, memory().buffer)),
            input: session.input,
            write: terminal.write,
            waited: (memory, snapshot) => closeStep(own, memory.buffer, snapshot),
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
