// One run of the module. It is the program built for WASI, made able to pause inside fd_read by
// binaryen's asyncify: when no answer has been handed over, fd_read unwinds the module's stack
// into memory and returns to this script, which waits for a line and then rewinds the module to
// where it stopped.
'use strict';

const run = (() => {
    const asyncify = { normal: 0, unwinding: 1, rewinding: 2 };
    const pageSize = 65536;
    const busy = 10;  // ms of lines handed over without a pause, so that the page still draws

    // How a run stands: running, waiting (for a line), ended (with `status`) or stopped (by
    // `trap`, the module's fault), with its waits so far, all it has written, and the time the
    // module has run, in ms.
    const create = () => ({ state: 'running', waits: 0, written: '', status: null, trap: null, busy: 0 });

    // Runs `compiled` to its end, keeping `own` (from create) up to date. `page(memory)` gives the
    // module's "page" imports; `input` is web/lines.js's; `write(text)` takes the output;
    // `waited(memory, snapshot)` is called at each wait for a line, where snapshot() copies the
    // run as it waits; `from`, such a copy, starts the run at that wait instead of the start;
    // `rest: false` runs on without pausing for the page to draw. Resolves once the run has ended
    // or stopped; rejects when the module cannot start.
    async function start(compiled, own, { page, input, write, waited, from = null, rest = true }) {
        let exports = null;
        let stack = 0;
        const memory = () => exports.memory;
        const view = () => new DataView(exports.memory.buffer);
        function unwind() {
            if (stack === 0) {
                // A page of its own, taken once the program's allocator has claimed the memory it
                // started with; later growth of the heap comes after it.
                stack = exports.memory.grow(1) * pageSize;
            }
            view().setUint32(stack, stack + 8, true);
            view().setUint32(stack + 4, stack + pageSize, true);
            exports.asyncify_start_unwind(stack);
        }
        function read(room) {
            if (exports.asyncify_get_state() === asyncify.rewinding) {
                exports.asyncify_stop_rewind();
            } else if (!lines.ready(input)) {
                unwind();
                return null;
            }
            return lines.take(input, room);
        }
        const written = (text) => {
            own.written += text;
            write(text);
        };
        const imports = { wasi_snapshot_preview1: wasi.imports({ memory, read, write: written }), page: page(memory) };
        exports = (await WebAssembly.instantiate(compiled, imports)).exports;
        // A waiting run is its memory, its stack pointer and where its stack was unwound: the
        // module keeps nothing else of its own between calls.
        const snapshot = () => ({ bytes: new Uint8Array(exports.memory.buffer).slice(),
                                  stackPointer: exports.__stack_pointer.value, unwound: stack });
        if (from !== null) {
            exports.memory.grow((from.bytes.length - exports.memory.buffer.byteLength) / pageSize);
            new Uint8Array(exports.memory.buffer).set(from.bytes);
            exports.__stack_pointer.value = from.stackPointer;
            stack = from.unwound;
        }
        let rested = performance.now();
        try {
            for (let waiting = from !== null; ; waiting = false) {
                if (!waiting) {
                    const began = performance.now();
                    exports._start();
                    own.busy += performance.now() - began;
                    if (exports.asyncify_get_state() !== asyncify.unwinding) {
                        Object.assign(own, { state: 'ended', status: 0 });
                        return;
                    }
                    exports.asyncify_stop_unwind();
                }
                own.state = 'waiting';
                own.waits++;
                waited(exports.memory, snapshot);
                if (rest && performance.now() - rested > busy) {
                    await new Promise((rest) => setTimeout(rest));
                    rested = performance.now();
                }
                await lines.next(input);
                own.state = 'running';
                exports.asyncify_start_rewind(stack);
            }
        } catch (e) {
            Object.assign(own, e instanceof wasi.Exit ? { state: 'ended', status: e.status } : { state: 'stopped', trap: e });
        }
    }

    return { create, start };
})();
