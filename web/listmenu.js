// The real listmenu in a terminal on the page. The module is the program built for WASI, made
// able to pause inside fd_read by binaryen's asyncify: when no answer has been typed, fd_read
// unwinds the module's stack into memory and returns to this script, which waits for a line and
// then rewinds the module to where it stopped. Everything else is the few WASI functions the
// module imports, and the line editing a POSIX terminal does before the program sees a line.
'use strict';

const errno = { success: 0, badf: 8, nosys: 52, spipe: 70 };
const characterDevice = 2;
// fd_read, fd_write and fd_fdstat_set_flags; not fd_seek or fd_tell, so isatty() says yes.
const terminalRights = 2n | 64n | 8n;
const asyncify = { normal: 0, unwinding: 1, rewinding: 2 };
const pageSize = 65536;

class Exit {
    constructor(status) {
        this.status = status;
    }
}

const term = new Terminal({ convertEol: true, screenReaderMode: true, cursorBlink: true, rows: 22 });
term.open(document.getElementById('terminal'));
term.focus();
const statusLine = document.getElementById('status');
const encoder = new TextEncoder();
const decoder = new TextDecoder();

// What the person has typed and the program has not read: whole lines, as a terminal hands them
// over, and the end of the input once Control-D is pressed on an empty line.
const typed = { bytes: new Uint8Array(0), ended: false, line: '', arrived: null };

function hand(text) {
    window.listmenu.typed += text;
    const more = encoder.encode(text);
    const all = new Uint8Array(typed.bytes.length + more.length);
    all.set(typed.bytes);
    all.set(more, typed.bytes.length);
    typed.bytes = all;
    typed.arrived?.();
}

// One run of the module: its instance, its memory, and the page of memory its stack is unwound into.
let run = null;
// For a test or a curious reader: the program's output this run, and how the run stands:
// starting, running, waiting (for a line), ended (with `status`), stopped (the module trapped),
// or failed (the module could not be loaded; no run can start).
window.listmenu = { output: '', state: 'starting', status: null, waits: 0, drawMs: 0, typed: '' };

// Says `text` in the terminal, set apart from the program's own output, and on the status line.
function say(text) {
    term.write(`\r\n\x1b[7m${text}\x1b[0m\r\n`);
    statusLine.textContent = text;
}

function view() {
    return new DataView(run.memory.buffer);
}

function copyOut(iovs, count) {
    let moved = 0;
    for (let i = 0; i < count && moved < typed.bytes.length; i++) {
        const at = view().getUint32(iovs + 8 * i, true);
        const room = view().getUint32(iovs + 8 * i + 4, true);
        const chunk = typed.bytes.subarray(moved, moved + room);
        new Uint8Array(run.memory.buffer, at, chunk.length).set(chunk);
        moved += chunk.length;
    }
    typed.bytes = typed.bytes.slice(moved);
    return moved;
}

function unwind() {
    if (run.stack === 0) {
        // A page of its own, taken once the program's allocator has claimed the memory it
        // started with; later growth of the heap comes after it.
        run.stack = run.memory.grow(1) * pageSize;
    }
    view().setUint32(run.stack, run.stack + 8, true);
    view().setUint32(run.stack + 4, run.stack + pageSize, true);
    run.exports.asyncify_start_unwind(run.stack);
}

const wasi = {
    fd_read(fd, iovs, count, read) {
        if (fd !== 0) {
            return errno.badf;
        }
        if (run.exports.asyncify_get_state() === asyncify.rewinding) {
            run.exports.asyncify_stop_rewind();
        } else if (typed.bytes.length === 0 && !typed.ended) {
            unwind();
            return errno.success;
        }
        view().setUint32(read, copyOut(iovs, count), true);  // 0 at the end of the input
        return errno.success;
    },
    fd_write(fd, iovs, count, written) {
        if (fd !== 1 && fd !== 2) {
            return errno.badf;
        }
        let moved = 0;
        for (let i = 0; i < count; i++) {
            const at = view().getUint32(iovs + 8 * i, true);
            const length = view().getUint32(iovs + 8 * i + 4, true);
            const text = decoder.decode(new Uint8Array(run.memory.buffer, at, length), { stream: true });
            window.listmenu.output += text;
            term.write(text);
            moved += length;
        }
        view().setUint32(written, moved, true);
        return errno.success;
    },
    // Standard input, output and error are a terminal's.
    fd_fdstat_get(fd, stat) {
        if (fd > 2) {
            return errno.badf;
        }
        new Uint8Array(run.memory.buffer, stat, 24).fill(0);
        view().setUint8(stat, characterDevice);
        view().setBigUint64(stat + 8, terminalRights, true);
        return errno.success;
    },
    fd_filestat_get(fd, stat) {
        if (fd > 2) {
            return errno.badf;
        }
        new Uint8Array(run.memory.buffer, stat, 64).fill(0);
        view().setUint8(stat + 16, characterDevice);
        return errno.success;
    },
    fd_fdstat_set_flags: () => errno.success,  // reads wait for a line whatever the flags say
    fd_seek: () => errno.spipe,
    fd_close: () => errno.success,
    poll_oneoff: () => errno.nosys,  // never reached: fd_read waits by itself
    proc_exit(status) {
        throw new Exit(status);
    },
};

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
const module = fromFile ? null : compile();

function cannotLoad(reason) {
    window.listmenu.state = 'failed';
    term.write('\x1b[?25l');  // no cursor: nothing typed here goes anywhere
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

async function start() {
    typed.bytes = new Uint8Array(0);
    typed.ended = false;
    typed.line = '';
    Object.assign(window.listmenu, { output: '', state: 'running', status: null, waits: 0, typed: '' });
    statusLine.textContent = 'listmenu is running.';
    picture.reset();
    let instance;
    try {
        const heap = picture.imports(() => run.memory);
        instance = await WebAssembly.instantiate(await module, { wasi_snapshot_preview1: wasi, heap });
    } catch (e) {
        cannotLoad(e.message);
        return;
    }
    run = { exports: instance.exports, memory: instance.exports.memory, stack: 0 };
    let status = 0;
    let trap = null;
    try {
        for (;;) {
            run.exports._start();
            if (run.exports.asyncify_get_state() !== asyncify.unwinding) {
                break;
            }
            run.exports.asyncify_stop_unwind();
            window.listmenu.drawMs = picture.draw(run.memory);
            window.listmenu.waits++;
            window.listmenu.state = 'waiting';
            await new Promise((resolve) => {
                typed.arrived = resolve;
            });
            typed.arrived = null;
            window.listmenu.state = 'running';
            run.exports.asyncify_start_rewind(run.stack);
        }
    } catch (e) {
        if (e instanceof Exit) {
            status = e.status;
        } else {
            trap = e;
        }
    }
    picture.draw(run.memory);
    run = null;
    if (trap) {
        window.listmenu.state = 'stopped';
        say(`listmenu stopped unexpectedly (${trap}). Press Enter to start a new run.`);
        return;
    }
    Object.assign(window.listmenu, { state: 'ended', status });
    say(`listmenu ended with status ${status}. Press Enter to start a new run.`);
}

// A terminal's line editing: characters echo as typed, Backspace takes the last one back, Enter
// hands the line over, and Control-D hands over a partial line, or on an empty line ends the
// input. A pasted block arrives here at once and is taken as lines typed ahead.
function edit(data) {
    for (const c of data) {
        const { state } = window.listmenu;
        if (state === 'ended' || state === 'stopped') {
            if (c === '\r') {
                term.write('\r\n');
                start();
            }
            continue;
        }
        if (typed.ended || state === 'failed') {
            continue;
        }
        if (c === '\r' || c === '\n') {
            term.write('\r\n');
            hand(typed.line + '\n');
            typed.line = '';
        } else if (c === '\x7f' || c === '\b') {
            if (typed.line !== '') {
                typed.line = typed.line.slice(0, -1);
                term.write('\b \b');
            }
        } else if (c === '\x04') {
            typed.ended = typed.line === '';
            hand(typed.line);
            typed.line = '';
        } else if (c >= ' ') {
            typed.line += c;
            term.write(c);
        }
    }
}
term.onData(edit);
// Tab moves the focus on through the page, as everywhere else; the program has no use for it.
term.attachCustomKeyEventHandler((e) => e.key !== 'Tab');

// A link whose fragment holds typed lines (index.html#1%205%0A2%0A) replays them as the page opens,
// so that a list's state can be shared; "Copy link" makes such a link of this run's typing.
const linkOut = document.getElementById('link');
document.getElementById('copy-link').addEventListener('click', async () => {
    const href = `${window.location.origin}${window.location.pathname}#${encodeURIComponent(window.listmenu.typed)}`;
    linkOut.href = href;
    linkOut.textContent = href;
    linkOut.hidden = false;
    try {
        await navigator.clipboard.writeText(href);
        statusLine.textContent = 'A link that replays this run is copied, and shown below the button.';
    } catch {
        statusLine.textContent = 'The link that replays this run is below the button, to copy.';
    }
});

start();
try {
    edit(decodeURIComponent(window.location.hash.slice(1)));
} catch {
    statusLine.textContent = "The link's typed lines could not be read; the page starts afresh.";
}
