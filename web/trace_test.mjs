// The line steps (web/trace.js, web/frames.js, web/steps.js) under Node.js: on crafted events and
// memory, as the line hooks tell them, and on the real module, whose traced answers must agree
// with the model of the dialogue (tests/dialogue.py) and with the sources they step through.
//
// Usage: node trace_test.mjs PAGE_DIR PYTHON TESTS_DIR
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import vm from 'node:vm';
import { cases, end } from './step_cases.mjs';

const [pageDir, python, testsDir] = process.argv.slice(2);
// The page's scripts as the page runs them, one global scope for all.
const page = vm.createContext({ console, performance, setTimeout, TextDecoder, TextEncoder, WebAssembly });
for (const file of ['wasi.js', 'lines.js', 'run.js', 'steps.js', 'walk.js', 'frames.js', 'page.js', 'trace.js', 'waits.js']) {
    vm.runInContext(readFileSync(new URL(file, import.meta.url), 'utf8'), page, { filename: file });
}
const { steps, walk, frames, trace, waits, lines, run, pageImports } = vm.runInContext('({ steps, walk, frames, trace, waits, lines, run, pageImports })', page);
// The scripts' objects are another realm's: compared as plain data.
const plain = (x) => JSON.parse(JSON.stringify(x));
const values = (record) => plain(walk(record, Infinity).nodes.map((n) => n.data));
const named = (t, j) => frames.named(t.record.steps[j].at.stack, t, t.record.steps[j].at.from, t.record.steps[j].at.gone);
const local = (stack, frame, name) => stack.find((f) => f.name === frame).locals.find((l) => l.name === name);

test('crafted: frames pushed and popped, a local before its declaration, a dangling pointer, a field\'s last writer', () => {
    const view = new DataView(new ArrayBuffer(4096));
    const state = 0x40;  // line_state: tracing, depth, lines[16], declared[16]
    const at = (depth, line, declared) => {
        view.setInt32(state + 4, depth, true);
        view.setInt32(state + 8 + 4 * depth, line, true);
        view.setUint32(state + 72 + 4 * depth, declared, true);
    };
    const console_ = { name: 'io', kind: 'ref-console:0:4', line: 0 };
    const menu = { name: 'menu', file: 'menu/menu.cpp', line: 20, locals: [console_, { name: 'first', kind: 'ref-ptr', line: 0 }] };
    const create = { name: 'create', file: 'list/list.cpp', line: 22,
                     locals: [console_, { name: 'first', kind: 'ref-ptr', line: 0 }, { name: 'fresh', kind: 'ptr', line: 23 }] };
    const { listener, waited, result } = trace.recorder(1, () => view);
    const t = result;
    listener.head(0x10);
    listener.lines(state);
    for (const [slot, value] of [[0x800, 0x900], [0x804, 0x10], [0x820, 0x900], [0x824, 0x10]]) view.setUint32(slot, value, true);
    listener.frame(menu, [0x800, 0x804]);
    at(1, 22, 0);
    assert.equal(waited(), false, 'the wait before the answer');
    assert.equal(view.getInt32(state, true), 1, 'tracing switched on');
    at(1, 25, 0);
    listener.line(25);
    listener.frame(create, [0x820, 0x824, 0x828]);
    at(2, 23, 0);
    view.setUint32(0x828, 0xdead, true);  // what the stack held before
    listener.line(23);
    assert.equal(local(named(t, 2), 'create', 'fresh').value, null, 'fresh before its declaration');
    listener.taken(0x300, 8);
    view.setInt32(0x300, 7, true);
    listener.stored(0x300);
    view.setUint32(0x304, 0, true);
    listener.stored(0x304);
    view.setUint32(0x828, 0x300, true);
    at(2, 27, 0b100);
    listener.line(27);
    assert.equal(local(named(t, 3), 'create', 'fresh').value, 0x300, 'fresh once declared');
    view.setUint32(0x10, 0x300, true);
    listener.stored(0x10);
    at(2, 28, 0b100);
    listener.line(28);
    assert.deepEqual(values(t.record), [7], 'linked by the store to first');
    assert.equal(local(named(t, 4), 'menu', 'first').value, 0x300, 'a reference read as what it refers to');
    view.setInt32(0x300, 8, true);  // a linked node's data written again
    listener.stored(0x300);
    view.setUint32(0x304, 0x300, true);  // and its next, a second time
    listener.stored(0x304);
    at(2, 29, 0b100);
    listener.line(29);
    assert.deepEqual(plain(t.record.steps[5].changes.map((c) => [c.change, c.from, c.to])),
                     [['data', 7, 8], ['next', 0, 0x300]], 'what the line before wrote');
    listener.released(0x300);
    at(2, 30, 0b100);
    listener.line(30);
    assert.deepEqual(plain(t.record.steps[6].changes.map((c) => [c.change, c.from, c.to])), [['released', 8, null]],
                     'a release, and first left as it was');
    assert.equal(local(named(t, 6), 'create', 'fresh').dangling, true, 'fresh after its block went back');
    assert.equal(walk(t.record, 5).stray, 0x300, 'the walk stops at the released block');
    assert.equal(local(named(t, 5), 'create', 'fresh').dangling, false, 'and not before');
    listener.left();
    at(1, 26, 0);
    listener.line(26);
    assert.deepEqual(plain(named(t, 7).map((f) => f.name)), ['menu'], 'create popped');
    assert.deepEqual(plain(named(t, 6).map((f) => f.name)), ['menu', 'create'], 'and there the step before');
    const writes = plain(t.stores.filter((s) => s.address === 0x304).map((s) => t.record.steps[s.step].at.line));
    assert.deepEqual(writes, [23, 28], 'the lines that wrote next, in order');
    assert.equal(waited(), true, 'the answer is over at the next wait');
});

test('crossing: a line step back or on, from one answer into the next', () => {
    const wait = (k) => ({ k, line: null });
    const line = (k, n) => ({ k, line: n });
    for (const [from, by, count, newest, to] of [
        [wait(3), -1, 5, 9, line(3, 5)], [wait(3), 1, 5, 9, line(4, 1)], [line(3, 5), 1, 5, 9, wait(3)],
        [line(3, 1), -1, 5, 9, wait(2)], [line(3, 2), -1, 5, 9, line(3, 1)], [line(3, 2), 1, 5, 9, line(3, 3)],
        [wait(9), 1, 5, 9, null], [line(0, 1), -1, 2, 9, null], [wait(0), -1, 0, 9, null], [wait(4), -1, 0, 9, wait(3)]]) {
        assert.deepEqual(plain(trace.cross(from, by, count, newest)), to, `${JSON.stringify(from)} by ${by}`);
    }
});

// The real module, each answer of the table's sessions traced.
const compiled = await WebAssembly.compile(readFileSync(resolve(pageDir, 'listmenu.wasm')));
const model = (typed) => JSON.parse(execFileSync(python, [resolve(testsDir, 'dialogue.py'), 'events'], {
    input: JSON.stringify(typed), encoding: 'utf8', timeout: 30000, maxBuffer: 1 << 20,
}));
const written = (text) => execFileSync(python, [resolve(testsDir, 'dialogue.py'), 'written'], { input: text, encoding: 'latin1', timeout: 30000 });
const sources = { 'list/list.cpp': '../list/list.cpp', 'menu/menu.cpp': '../menu/menu.cpp' };
const source = Object.fromEntries(Object.entries(sources).map(([f, p]) => [f, readFileSync(resolve(testsDir, p), 'latin1').split('\n')]));
const handed = (typed) => typed.map((t) => (t === end ? { text: '', end: true } : { text: `${t}\n`, end: false }));
// The module run as the page runs it, untraced, to its last wait or its end: what it wrote, and
// the page's record of it, with a copy of the run kept at every wait.
function untraced(typed) {
    const input = lines.create(() => {});
    input.queue.push(...handed(typed).map((e) => ({ ...e, echoed: true })));
    const own = waits.create();
    const now = run.create();
    return new Promise((done) => run.start(compiled, now, {
        page: (m) => pageImports(waits.listener(own), m, () => waits.close(own, new DataView(m().buffer), input.last, now)),
        input, rest: false, write: () => {},
        waited(m, snapshot) {
            waits.close(own, new DataView(m.buffer), input.last, now);
            trace.keep(own, now.busy, snapshot, { apart: 0, waits: 1 });
            if (own.steps.length > typed.length) {
                done({ text: now.written, own });
            }
        },
    }).then(() => done({ text: now.written, own })));
}
// A trace as the page shows it: each line step's place, frames, list, output so far and stores.
const shown = (t) => plain(t.record.steps.slice(1).map((s, j) => {
    steps.go(t.record, j + 1);
    return [s.at.file, s.at.line, named(t, j + 1), values(t.record), t.output.slice(0, s.at.written)];
}).concat([t.stores]));

for (const [name, typed] of [...cases, ['a display walks each node once', ['1 5', '1 6', '1 7', '2', '4']]]) {
    test(`module: ${name}`, async () => {
        const after = model(typed);
        const { text, own } = await untraced(typed);
        let output = '';
        for (let k = 0; k <= typed.length; k++) {
            const t = await trace.answer(compiled, handed(typed), k);
            output += t.output;
            if (k > 0) {
                const copied = await trace.answer(compiled, handed(typed), k, own.checkpoints);
                assert.deepEqual(shown(copied), shown(t), `step ${k} traced from the copy of the run at its wait`);
            }
            const last = t.record.steps.length - 1;
            assert.ok(last > 0, `step ${k} runs lines`);
            if (k > 0) {
                steps.go(t.record, last);
                assert.deepEqual(values(t.record), after[k - 1].values, `the list at step ${k}'s last line`);
            }
            for (let j = 1; j <= last; j++) {
                const { file, line } = t.record.steps[j].at;
                const text = source[file][line - 1];
                assert.ok(text !== undefined && !/^\s*(\/\/.*)?$/.test(text), `step ${k}.${j}: ${file}:${line} is code`);
                const stack = named(t, j);
                assert.equal(stack[0].name, 'menu', `step ${k}.${j}: menu outermost`);
                assert.ok(stack.every((f) => f.line >= f.start), `step ${k}.${j}: each frame inside its function`);
            }
        }
        assert.equal(output, text, 'the answers wrote what the untraced run writes');
        if (!typed.includes(end)) {
            assert.equal(output, written(typed.map((t) => `${t}\n`).join('')), 'and what the model writes');
        }
    });
}

test('module: a run started again from a copy at one wait is, at the next, the very run: memory and stack pointer', async () => {
    const typed = ['1 5', '1', '6', '5', '1', '1 7', '5', '2', '4'];
    const { own } = await untraced(typed);
    const kept = own.checkpoints;
    assert.equal(kept.length, typed.length + 1, 'a copy at every wait');
    const quiet = new Proxy({}, { get: () => () => {} });
    for (let k = 1; k < kept.length; k++) {
        const input = lines.create(() => {});
        input.queue.push({ ...handed(typed)[k - 1], echoed: true });
        const next = await new Promise((done) => {
            let seen = 0;
            run.start(compiled, run.create(), { page: (m) => pageImports(quiet, m, () => {}), input, rest: false, write: () => {},
                                                from: kept[k - 1], waited: (m, snapshot) => seen++ === 1 && done(snapshot()) });
        });
        assert.equal(next.stackPointer, kept[k].stackPointer, `the stack pointer at wait ${k}`);
        assert.ok(Buffer.from(next.bytes).equals(Buffer.from(kept[k].bytes)), `the memory at wait ${k}`);
    }
});

test('module: a loop\'s line is a step each time its test runs; a local before its declaration; a field\'s last ' +
     'writer; a delete leaves a dangling next for one line', async () => {
    const typed = ['1 5', '1 6', '1 7', '2', '4'];
    const list = source['list/list.cpp'];
    const append = await trace.answer(compiled, handed(typed), 3);
    const line = (text) => list.lastIndexOf(text) + 1;  // create's own `fresh == nullptr`, after create_node's
    const step = (t, text) => t.record.steps.findIndex((s) => s.at.file === 'list/list.cpp' && s.at.line === line(text));
    const first = step(append, '    node *fresh = create_node(io);');
    const next = step(append, '    if (fresh == nullptr) {');
    const inner = step(append, '    node *fresh = new (std::nothrow) node;');
    assert.deepEqual([first, inner, next].map((j) => local(named(append, j), 'create', 'fresh').value === null),
                     [true, true, false], 'fresh, while its declaration runs, then declared');
    const fresh = local(named(append, next), 'create', 'fresh').value;
    const wrote = (t, address) => t.record.steps[t.stores.filter((s) => s.address === address).at(-1).step].at.line;
    assert.deepEqual([wrote(append, fresh), wrote(append, fresh + 4)],
                     [line('    fresh->data = x;'), line('    fresh->next = nullptr;')], 'the lines that wrote its fields');
    const display = await trace.answer(compiled, handed(typed), 4);
    const at = (t, line) => t.record.steps.filter((s) => s.at.file === 'list/list.cpp' && s.at.line === line).length;
    const loop = list.findIndex((l) => l.includes('for (const node *at = first;')) + 1;
    assert.deepEqual([at(display, loop), at(display, loop + 1)], [4, 3], 'the for line and its body, with 3 nodes');
    const del = await trace.answer(compiled, handed(typed), 5);
    const j = step(del, '    before->next = nullptr;');
    const last = local(named(del, j), 'delete_at_last', 'last');
    assert.equal(last.dangling, true, 'last after delete last');
    steps.go(del.record, j);
    assert.equal(walk(del.record, 9).stray, last.value, 'the list still points at it');
    steps.go(del.record, j + 1);
    assert.deepEqual(values(del.record), [5, 6], 'and no more on the next line');
});
