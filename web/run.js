// One run of the module. It is the program built for WASI, made able to pause inside fd_read by
// binaryen's asyncify: when no answer has been handed over, fd_read unwinds the module's stack
// into memory and returns to this script, which waits for a line and then rewinds the module to
// where it stopped.
'use strict';

const run = (() => {
    const asyncify = { normal: 0, unwinding: 1, rewinding: 2 };
    const pageSize = 65536;
    const busy = 10;  // ms of lines handed over without a pause, so that the page still draws

    // Runs `compiled` to its end. `heap(memory)` gives the module's "heap" imports; `input` is
    // web/lines.js's; `write(text)` takes the output; `waited(memory)` is called at each wait
    // for a line. Resolves to { status } or { trap }; rejects when the module cannot start.
    async function start(compiled, { heap, input, write, waited }) {
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
        const imports = { wasi_snapshot_preview1: wasi.imports({ memory, read, write }), heap: heap(memory) };
        exports = (await WebAssembly.instantiate(compiled, imports)).exports;
        let rested = performance.now();
        try {
            for (;;) {
                exports._start();
                if (exports.asyncify_get_state() !== asyncify.unwinding) {
                    return { status: 0 };
                }
                exports.asyncify_stop_unwind();
                waited(exports.memory);
                if (performance.now() - rested > busy) {
                    await new Promise((rest) => setTimeout(rest));
                    rested = performance.now();
                }
                await lines.next(input);
                exports.asyncify_start_rewind(stack);
            }
        } catch (e) {
            return e instanceof wasi.Exit ? { status: e.status } : { trap: e };
        }
    }

    return { start };
})();
