// The page's wiring: the module fetched once, a run started on it with a terminal's line editing
// (web/lines.js), its steps recorded (web/steps.js) and shown (web/stepper.js), and Enter after the
// end of a run starting the next.
'use strict';

const statusLine = document.getElementById('status');
const tell = (text) => {
    statusLine.textContent = text;
};
let input = lines.create(terminal.write);
let record = null;  // the steps of the run shown, kept after it ends

// For a test or a curious reader: the program's output this run, and how the run stands:
// starting, running, waiting (for a line), ended (with `status`), stopped (the module trapped),
// or failed (the module could not be loaded; no run can start).
window.listmenu = {
    output: '', state: 'starting', status: null, waits: 0,
    get typed() {
        return input.typed;
    },
    // What has been typed and not yet handed over.
    get unread() {
        return input.queue.map((l) => l.text).join('') + input.line;
    },
    get drawMs() {
        return stepper.drawMs();
    },
    // Resolves once what has been written is on the screen.
    async settled() {
        await terminal.drained();
        await new Promise(requestAnimationFrame);
    },
};

function say(text) {
    terminal.say(text);
    tell(text);
}

// Compiled from the bytes rather than the stream, so that a server that does not know .wasm
// files (and so does not say application/wasm) serves the page as well.
async function compile() {
    const response = await fetch('listmenu.wasm');
    if (!response.ok) {
        throw new Error(`the server answered ${response.status} ${response.statusText}`.trim());
    }
    return WebAssembly.compile(await response.arrayBuffer());
}

// Browsers fetch nothing for a page opened from a file, so there is nothing to try.
const fromFile = window.location.protocol === 'file:';
const compiled = fromFile ? null : compile();

function cannotLoad(reason) {
    window.listmenu.state = 'failed';
    terminal.hideCursor();  // nothing typed here goes anywhere
    if (fromFile) {
        // The page's own folder, as a command line names it (C:\... on Windows).
        const folder = decodeURIComponent(window.location.pathname.replace(/\/[^/]*$/, ''))
            .replace(/^\/([A-Za-z]:)/, '$1');
        const named = /\s/.test(folder) ? `"${folder}"` : folder;
        say('listmenu.wasm cannot be loaded by a page opened from a file: browsers fetch modules only ' +
            'from a web server. Serve this folder, for example with ' +
            `python3 -m http.server --bind 127.0.0.1 --directory ${named} 8000, ` +
            'and open http://127.0.0.1:8000/ instead.');
    } else {
        say(`listmenu.wasm could not be loaded: ${reason}. Reload the page to try again.`);
    }
}

// Closes a step of `own` at this wait, or at the menu's end. While lines are queued (a paste, a
// link) the picture follows once a frame rather than once a line.
let drawing = false;
function closeStep(own, buffer) {
    const last = input.last;
    steps.record(own, new DataView(buffer), last === null ? '' : last.end ? null : last.text.replace(/\n$/, ''));
    if (input.queue.length === 0) {
        stepper.show(own);
    } else if (!drawing) {
        drawing = true;
        requestAnimationFrame(() => {
            drawing = false;
            stepper.show(record);
        });
    }
}

async function start() {
    const own = steps.create();
    record = own;
    Object.assign(window.listmenu, { output: '', state: 'running', status: null, waits: 0 });
    tell('listmenu is running.');
    picture.reset();
    const write = (text) => {
        window.listmenu.output += text;
        terminal.write(text);
    };
    if (compiled === null) {
        cannotLoad();
        return;
    }
    let end;
    try {
        end = await run.start(await compiled, {
            heap: (memory) => heapImports(own, memory, () => closeStep(own, memory().buffer)),
            input,
            write,
            waited: (memory) => {
                closeStep(own, memory.buffer);
                window.listmenu.waits++;
                window.listmenu.state = 'waiting';
            },
        });
    } catch (e) {
        cannotLoad(e.message);
        return;
    }
    if (end.trap) {
        window.listmenu.state = 'stopped';
        say(`listmenu stopped unexpectedly (${end.trap}). Press Enter to start a new run.`);
        return;
    }
    Object.assign(window.listmenu, { state: 'ended', status: end.status });
    say(`listmenu ended with status ${end.status}. Press Enter to start a new run.`);
}

terminal.listen((data) => {
    for (const c of data) {
        const { state } = window.listmenu;
        if (state === 'ended' || state === 'stopped') {
            if (c === '\r') {
                terminal.write('\r\n');
                input = lines.create(terminal.write);
                start();
            }
        } else if (state !== 'failed') {
            lines.edit(input, c);
        }
    }
});
link.copier(() => input.typed, tell);

start();
if (!link.replay(input)) {
    tell("The link's typed lines could not be read; the page starts afresh.");
}
