// web/steps.js and web/walk.js on crafted memory: the table's sessions (web/step_cases.mjs) as the
// model of the dialogue says they go (tests/dialogue.py events), written into memory as the module
// lays it out, then stepped back and forth; and lists no program makes.
//
// Usage: node steps_test.mjs PYTHON TESTS_DIR
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';
import { cases, letters, summary } from './step_cases.mjs';

const [python, testsDir] = process.argv.slice(2);
const require = createRequire(import.meta.url);
const steps = require('./steps.js');
const walk = require('./walk.js');
const firstAt = 8;
const nodeSize = 8;  // data, then next, on wasm32

// For each typed line (null: the input ends), what the model says it did to the list, and the
// list after it: { events, values }.
const modelled = (typed) => JSON.parse(execFileSync(python, [resolve(testsDir, 'dialogue.py'), 'events'], {
    input: JSON.stringify(typed), encoding: 'utf8', timeout: 30000, maxBuffer: 1 << 20,
}));

// Writes the model's events into `view` and tells `run` of the blocks and the stores, as the module
// would: blocks of 16 bytes from 0x100 up, the last one released taken first, a node's next 4
// bytes after its data, and `first` at firstAt. What the events mean is the model's alone.
function standIn(run, view) {
    let top = 0x100;
    const free = [];
    let fresh = null;  // the block taken last, until its value is read or it is given back
    const get = (at) => view.getUint32(at, true);
    const set = (at, value) => {
        view.setUint32(at, value, true);
        steps.stored(run, at);
    };
    // Where the pointer to the node at `index` is kept: `first`, or the next of the node before.
    const link = (index) => {
        let at = firstAt;
        for (let i = 0; i < index; i++) at = get(at) + 4;
        return at;
    };
    let length = 0;
    const give = (block) => {
        steps.released(run, block);
        free.push(block);
    };
    return ([event, value]) => {
        if (event === 'taken') {
            fresh = free.pop() ?? (top += 16) - 16;
            steps.taken(run, fresh, nodeSize);
            return;
        }
        if (event === 'removed') {
            assert.ok(value >= 0 && value < length, `removed ${value} of ${length} nodes`);
            const before = link(value);
            const gone = get(before);
            set(before, get(gone + 4));
            length--;
            give(gone);
            return;
        }
        assert.notEqual(fresh, null, `${event} with no block taken`);
        if (event === 'data') {
            view.setInt32(fresh, value, true);
            steps.stored(run, fresh);
            set(fresh + 4, 0);
            set(link(length), fresh);
            length++;
        } else {
            assert.equal(event, 'dropped');
            give(fresh);
        }
        fresh = null;
    };
}

const hex = (a) => (a === 0 ? 'NULL' : `0x${a.toString(16).padStart(8, '0')}`);
// A step's changes as the page writes them.
const text = (c, v) => (v === null ? '' : ['data', 'taken', 'released'].includes(c.change) ? String(v) : hex(v));
const written = (changes) => changes.map((c) => ({
    change: c.change, address: c.address === 'first' ? 'first' : hex(c.address), reused: (c.reused ?? null) !== null,
    from: text(c, c.from), to: text(c, c.to),
}));
// The list at the shown step, where its walk stops, and the blocks not linked yet.
const state = (run) => {
    const { nodes, cycle, stray } = walk(run, Infinity);
    return { values: nodes.map((n) => n.data), cycle, stray, unlinked: steps.unlinked(run) };
};

for (const [name, typed, expected] of cases) {
    test(name, () => {
        const model = modelled(typed);
        assert.equal(model.length, typed.length, 'the model answers each line');
        const view = new DataView(new ArrayBuffer(4096));
        const run = steps.create();
        run.firstAt = firstAt;
        const write = standIn(run, view);
        steps.record(run, view, '');
        const letter = letters();
        const lists = [state(run)];
        typed.forEach((line, i) => {
            model[i].events.forEach(write);
            steps.record(run, view, line);
            assert.equal(summary(written(run.steps[i + 1].changes), letter), expected[i][1], `after ${line}`);
            assert.deepEqual(state(run).values, model[i].values, `the list after ${line}`);
            lists.push(state(run));
        });
        // Any step, reached from any other, is the list as it was: each step back, each step
        // forward, then jumps.
        const back = typed.map((_, i) => typed.length - 1 - i);
        for (const k of [...back, ...typed.map((_, i) => i + 1), 0, typed.length, 1, typed.length - 1]) {
            steps.go(run, k);
            assert.deepEqual(state(run), lists[Math.max(0, Math.min(k, typed.length))], `step ${k}`);
        }
    });
}

test('a walk stops where the list comes back on itself, or leaves the blocks held', { timeout: 5000 }, () => {
    for (const [label, link, stop] of [['cycle', 0x110, { cycle: 0x110, stray: null }],
                                       ['stray', 0x400, { cycle: null, stray: 0x400 }]]) {
        const view = new DataView(new ArrayBuffer(4096));
        const run = steps.create();
        run.firstAt = firstAt;
        steps.record(run, view, '');
        for (const a of [0x110, 0x120, 0x130]) steps.taken(run, a, nodeSize);
        for (const [at, value] of [[firstAt, 0x110], [0x114, 0x120], [0x124, 0x130], [0x134, link]]) {
            view.setUint32(at, value, true);
            steps.stored(run, at);
        }
        steps.record(run, view, '');
        const { count, cycle, stray } = walk(run, 2);
        assert.deepEqual({ count, cycle, stray }, { count: 3, ...stop }, label);
    }
});
