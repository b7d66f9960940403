// The line steps on the real module under Node.js: every answer of the table's sessions traced,
// which must agree with the model of the dialogue (tests/dialogue.py), with the untraced run and
// with the sources they step through; copies of the run started again; loops, declarations,
// writers and a dangling next.
//
// Usage: node trace_test.mjs PAGE_DIR PYTHON TESTS_DIR
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { cases, end } from './step_cases.mjs';
import { local, named, page, plain, values } from './page_scripts.mjs';

const [pageDir, python, testsDir] = process.argv.slice(2);
const { steps, walk, trace, waits, lines, run, pageImports } = page;

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
            waits.keep(own, now.busy, snapshot, { apart: 0, every: 1 });
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
    // Untraced, too: at the wait for the value, create's fresh is still being declared.
    const { own } = await untraced(['1', '9']);
    assert.deepEqual(plain(own.steps[1].at.stack.map((f) => [f.name, f.locals.map((l) => [l.name, l.value === null])])),
                     [['menu', [['first', false], ['choices', false]]], ['create', [['first', false], ['fresh', true], ['last', true]]],
                      ['create_node', [['fresh', false], ['x', false]]]], 'the frames waiting for the value');
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
