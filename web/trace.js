// The line steps of one answer, found when asked for: the program is run afresh in a module of
// its own and handed the same lines, so it runs exactly as it did on the page, quietly up to the
// wait before that answer; then the line hooks (web/lines.cpp) are switched on, and each line
// the answer runs closes one step of a record of its own (web/steps.js), with the frames and the
// output as they stood just before that line ran.
'use strict';

const trace = (() => {
    // What a traced run tells, kept for answer step `k`; `view()` reads the module's memory. The
    // result: `record` has the wait before the answer as its step 0 and a step per line after it,
    // each step's `at` being { file, line, stack, from, written, gone }: the frames, where their
    // reading starts in `lines` and `values` (web/frames.js), how much of `output` the answer had
    // written, and which pointers dangle; `stores` says which step's line stored to each address,
    // in order; `output` is what the answer wrote.
    // `from`, a copy web/waits.js kept, starts the run at its wait instead of the start.
    function recorder(k, view, from = null) {
        const record = steps.create();
        const f = frames.create();
        const result = { record, stores: [], output: '', lines: [], values: [] };
        let tracing = false;
        let waits = 0;
        if (from !== null) {
            waits = from.step;
            f.stack = from.frames.slice();
            f.stateAt = from.stateAt;
            record.firstAt = from.firstAt;
            for (const block of from.held) {
                steps.taken(record, block, steps.nodeSize);
            }
            for (const block of from.released) {
                record.releasedIn.set(block, 0);
            }
        }
        // The page as it stands now, just before `line` runs: a copy of the stack is made only
        // when it has moved since the last step.
        let stack = [];
        let moved = -1;
        function close(line) {
            const now = view();
            if (f.moved !== moved) {
                stack = f.stack.slice();
                moved = f.moved;
            }
            const from = frames.read(f, now, result);
            const at = { file: stack[stack.length - 1]?.about.file ?? null, line, stack, from,
                         written: result.output.length + from.buffered, gone: null };
            steps.record(record, now, null, at);
            at.gone = frames.dangling(stack, result, from, (a) => steps.givenBack(record, a));
        }
        function start() {
            tracing = true;
            close(null);
            frames.trace(f, view());
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
            line: close,
            // Until the trace starts, every block is as good as unlinked: where the program stored
            // then does not matter, since the trace's first step reads the list whole.
            stored(at) {
                if (tracing) {
                    steps.stored(record, at);
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
        // At each wait: true once the answer is over.
        function waited() {
            if (waits === k) {
                return true;
            }
            if (++waits === k) {
                start();
            }
            return false;
        }
        const wrote = (text) => {
            if (tracing) {
                result.output += text;
            }
        };
        return { listener, waited, wrote, result };
    }

    // Traces step `k` of a run whose steps 1..k were handed `handed` (web/lines.js's entries), on
    // `compiled`, from the latest of `kept` (web/waits.js's copies) before it; resolves to the
    // recorder's result.
    function answer(compiled, handed, k, kept = []) {
        const from = kept.findLast((c) => c.step < k) ?? null;
        const input = lines.create(() => {});
        for (const entry of handed.slice(from?.step ?? 0, k)) {
            input.queue.push({ ...entry, echoed: true });
        }
        let memory = null;
        const view = wasi.viewer(() => memory());
        const { listener, waited, wrote, result } = recorder(k, view, from);
        return new Promise((resolve, reject) => {
            const page = (m) => {
                memory = m;
                return pageImports(listener, m, () => {});
            };
            // Once the answer is over, the run waits for a line that never comes.
            const over = () => waited() && resolve(result);
            run.start(compiled, run.create(), { page, input, write: wrote, waited: over, from, rest: false }).then(() => {
                resolve(result);  // the run ended in the answer
            }, reject);
        });
    }

    // Where one line step back (by -1) or on (by 1) from `at` lands, `at` being { k, line }: line
    // step `line` of answer step k, or its wait when `line` is null; `count` is step k's line
    // steps, and `newest` the newest answer step. Past an answer's lines is its wait; past a wait,
    // the next answer's first line, or back, its own last. Null where there is nothing further.
    function cross({ k, line }, by, count, newest) {
        if (line === null) {
            if (by < 0) {
                return count > 0 ? { k, line: count } : k > 0 ? { k: k - 1, line: null } : null;
            }
            return k < newest ? { k: k + 1, line: 1 } : null;
        }
        const to = line + by;
        if (to < 1) {
            return k > 0 ? { k: k - 1, line: null } : null;
        }
        return to > count ? { k, line: null } : { k, line: to };
    }

    return { recorder, answer, cross };
})();

if (typeof module === 'object') {
    module.exports = trace;
}
