// The line steps' record (web/trace.js's recorder, web/frames.js, web/steps.js) under Node.js, on
// crafted events and memory as the line hooks tell them; and the crossing from one answer's line
// steps into the next.
//
// Usage: node --test trace_unit_test.mjs
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { local, named, page, plain, values } from './page_scripts.mjs';

const { walk, trace, waits } = page;

test('crafted: frames pushed and popped, a dangling pointer, a field\'s last writer, a node\'s data written again', () => {
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
    listener.line(23);
    listener.taken(0x300, 8);
    view.setInt32(0x300, 7, true);
    listener.stored(0x300);
    view.setUint32(0x304, 0, true);
    listener.stored(0x304);
    view.setUint32(0x828, 0x300, true);
    at(2, 27, 0b100);
    listener.line(27);
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

test('copies of the run: the first kept, few in all, and no two further apart than the copies say', () => {
    const own = waits.create();
    const snapshot = () => ({ bytes: new Uint8Array(16), stackPointer: 0, unwound: 0 });
    for (let step = 0; step <= 5000; step++) {
        own.steps.push({});
        waits.keep(own, 0, snapshot, { apart: Infinity, every: 1 });
    }
    const at = own.checkpoints.map((c) => c.step);
    assert.ok(at.length <= 64, `${at.length} copies`);
    assert.equal(at[0], 1, 'the first copy');
    const widest = Math.max(...at.slice(1).map((s, i) => s - at[i]), 5000 - at[at.length - 1]);
    assert.ok(widest <= 2 ** own.thinned, `copies ${widest} waits apart, ${2 ** own.thinned} at most`);
    assert.ok(2 ** own.thinned <= 2 * 5000 / 64, `thinned ${own.thinned} times`);
});
