// The page's scripts under Node.js, as the page runs them, in one global scope of their own, for
// web/trace_test.mjs and web/trace_unit_test.mjs; and what those tests read of a trace.
import { readFileSync } from 'node:fs';
import vm from 'node:vm';

const scope = vm.createContext({ console, performance, setTimeout, TextDecoder, TextEncoder, WebAssembly });
for (const file of ['wasi.js', 'lines.js', 'run.js', 'steps.js', 'walk.js', 'frames.js', 'page.js', 'trace.js', 'waits.js']) {
    vm.runInContext(readFileSync(new URL(file, import.meta.url), 'utf8'), scope, { filename: file });
}
export const page = vm.runInContext('({ steps, walk, frames, trace, waits, lines, run, pageImports })', scope);
const { walk, frames } = page;
// The scripts' objects are another realm's: compared as plain data.
export const plain = (x) => JSON.parse(JSON.stringify(x));
export const values = (record) => plain(walk(record, Infinity).nodes.map((n) => n.data));
// Line step `j` of a trace's frames, named; one frame's local by name.
export const named = (t, j) => frames.named(t.record.steps[j].at.stack, t, t.record.steps[j].at.from, t.record.steps[j].at.gone);
export const local = (stack, frame, name) => stack.find((f) => f.name === frame).locals.find((l) => l.name === name);
