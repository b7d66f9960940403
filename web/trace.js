// The line steps of one answer, found when asked for: the program is run afresh in a module of
// its own and handed the same lines, so it runs exactly as it did on the page, quietly up to the
// wait before that answer; then the line hooks (web/lines.cpp) are switched on, and each line
// the answer runs closes one step of a record of its own (web/steps.js), with the frames and the
// output as they stood just before that line ran.
'use strict';

const trace = (() => {
    // Traces step `k` of a run whose steps 1..k were handed `handed` (web/lines.js's entries), on
    // `compiled`. Resolves to { record, stores, output, ended, lines, values }: `record` has the
    // wait before the answer as its step 0 and a step per line after it, each step's `at` being
    // { file, line, stack, from, written }: the frames, where their reading starts in `lines` and
    // `values` (web/frames.js), and how much of `output` the answer had written; `stores` says
    // which step's line stored to each address, in order; `output` is what the answer wrote.
    function answer(compiled, handed, k) {
        const record = steps.create();
        const f = frames.create();
        const input = lines.create(() => {});
        for (const entry of handed.slice(0, k)) {
            input.queue.push({ ...entry, echoed: true });
        }
        const result = { record, stores: [], output: '', ended: false, lines: [], values: [] };
        let memory = null;
        let tracing = false;
        let waits = 0;
        let seen = null;  // made again only once the memory has grown
        const view = () => (seen?.buffer === memory().buffer ? seen : (seen = new DataView(memory().buffer)));
        // The page as it stands now, just before `line` runs. A copy of the stack is made only when
        // it has moved since the last step.
        let stack = [];
        let moved = -1;
        const state = (line) => {
            const now = view();
            if (f.moved !== moved) {
                stack = f.stack.slice();
                moved = f.moved;
            }
            const from = frames.read(f, now, result);
            const top = stack[stack.length - 1];
            return { file: top?.about.file ?? null, line, stack, from, written: result.output.length + from.buffered, view: now };
        };
        function start() {
            tracing = true;
            const { view: now, ...at } = state(null);
            steps.record(record, now, null, at);
            frames.tracing(f, now, true);
        }
        const listener = {
            head: (at) => {
                record.firstAt = at;
            },
            source() {},
            taken: (block, size) => steps.taken(record, block, size),
            released: (block) => steps.released(record, block),
            frame: (about, addresses) => frames.enter(f, about, addresses),
            left: () => frames.leave(f),
            line(line) {
                const { view: now, ...at } = state(line);
                steps.record(record, now, null, at);
                at.gone = frames.dangling(at.stack, result, at.from, (a) => record.blocks.has(a));
            },
            stored(at) {
                steps.stored(record, at);
                if (tracing) {
                    result.stores.push({ address: at, step: record.steps.length - 1 });
                }
            },
            lines(at) {
                f.stateAt = at;
                if (k === 0) {
                    start();
                }
            },
        };
        return new Promise((resolve, reject) => {
            const own = run.create();
            const waited = () => {
                if (waits === k) {
                    resolve(result);
                } else if (++waits === k) {
                    start();
                }
            };
            run.start(compiled, own, {
                page: (m) => {
                    memory = m;
                    return pageImports(listener, m, () => {});
                },
                input,
                write: (text) => {
                    if (tracing) {
                        result.output += text;
                    }
                },
                waited,
                rest: false,
            }).then(() => {
                result.ended = true;
                resolve(result);
            }, reject);
        });
    }

    return { answer };
})();
