// web/steps.js on crafted memory: the table's sessions played by a stand-in for the program that
// writes what the program would write, then stepped back and forth; and lists no program makes.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { cases, end, letters, summary } from './step_cases.mjs';

const steps = createRequire(import.meta.url)('./steps.js');
const firstAt = 8;

// The program's effects on memory for the table's answers: blocks of 16 bytes from 0x100 up, the
// last one released taken first, as the module's allocator does.
function program(run, view) {
    let top = 0x100;
    const free = [];
    let prompt = 'menu';
    let fresh = 0;
    const get = (a) => (a === 'first' ? view.getUint32(firstAt, true) : view.getUint32(a + 4, true));
    const set = (a, v) => (a === 'first' ? view.setUint32(firstAt, v, true) : view.setUint32(a + 4, v, true));
    const before = (n) => {  // the link that points at the nth node, counted from 1
        let at = 'first';
        for (let i = 1; i < n; i++) at = get(at);
        return at;
    };
    const count = () => {
        let n = 0;
        for (let at = get('first'); at !== 0; at = get(at)) n++;
        return n;
    };
    const remove = (n) => {
        const link = before(n);
        const gone = get(link);
        steps.released(run, gone);
        free.push(gone);
        set(link, get(gone));
    };
    return (line) => {
        if (line === end) {
            if (prompt === 'data') steps.released(run, fresh);
            return;
        }
        for (const answer of line.split(' ').map(Number)) {
            if (prompt === 'data') {
                view.setInt32(fresh, answer, true);
                set(fresh, 0);
                set(before(count() + 1), fresh);
                prompt = 'menu';
            } else if (prompt === 'position') {
                const n = count();
                if (answer >= 1 && answer <= n) {
                    remove(answer);
                    prompt = 'menu';
                }
            } else if (answer === 1) {
                fresh = free.pop() ?? (top += 16);
                steps.taken(run, fresh, 8);
                prompt = 'data';
            } else if (answer === 3 || answer === 4) {
                if (count() > 0) remove(answer === 3 ? 1 : count());
            } else if (answer === 5) {
                prompt = 'position';
            }
        }
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
    const { nodes, cycle, stray } = steps.walk(run, Infinity);
    return { values: nodes.map((n) => n.data), cycle, stray, unlinked: steps.unlinked(run) };
};

// The values of the list as the crafted memory holds it.
const held = (view) => {
    const values = [];
    for (let at = view.getUint32(firstAt, true); at !== 0; at = view.getUint32(at + 4, true)) {
        values.push(view.getInt32(at, true));
    }
    return values;
};

for (const [name, typed, expected] of cases) {
    test(name, () => {
        const view = new DataView(new ArrayBuffer(4096));
        const run = steps.create();
        run.firstAt = firstAt;
        const play = program(run, view);
        steps.record(run, view, '');
        const name = letters();
        const lists = [state(run)];
        typed.forEach((line, i) => {
            play(line);
            steps.record(run, view, line);
            assert.equal(summary(written(run.steps[i + 1].changes), name), expected[i][1], `after ${line}`);
            assert.deepEqual(state(run).values, held(view), `the list in memory after ${line}`);
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
        for (const a of [0x110, 0x120, 0x130]) steps.taken(run, a, 8);
        view.setUint32(firstAt, 0x110, true);
        view.setUint32(0x114, 0x120, true);
        view.setUint32(0x124, 0x130, true);
        view.setUint32(0x134, link, true);
        steps.record(run, view, '');
        const { count, cycle, stray } = steps.walk(run, 2);
        assert.deepEqual({ count, cycle, stray }, { count: 3, ...stop }, label);
    }
});
