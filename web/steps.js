// The steps of a run: what the program's memory held at each wait for an answer, kept as what
// each answer changed rather than as a copy of the list per step. Step 0 is the list at the first
// wait; each line handed to the program closes one more step when the program waits again (or
// ends). Moving to a step applies or reverts the changes in between, so any step is as it was.
//
// Plain functions on a plain record, with no browser in sight: the module's calls come in as
// numbers, memory as a DataView. web/steps_test.mjs runs them under Node.js on crafted memory.
'use strict';

const steps = (() => {
    const nodeSize = 8;  // data, then next: two 32-bit words on wasm32

    // A run's record. `blocks` holds the node-sized blocks the program holds at the newest step,
    // `known` from the step that links a block (its fields mean something from then on); their
    // fields hold the values of the shown step. The program's other blocks, its two buffers, are
    // taken before step 0.
    function create() {
        return {
            steps: [],           // { line, changes, calls, pending } each
            shown: -1,           // the step that `first`, `firstBlock` and the blocks' fields stand at
            first: 0,
            firstBlock: undefined,  // the block `first` points to
            blocks: new Map(),   // address → { size, data, next, nextBlock, known, walked }
            pending: new Map(),  // the blocks not linked yet, by address
            firstAt: 0,          // where the program keeps `first`
            running: [],         // the operations on the program's stack now, outermost first
            events: [],          // blocks taken and released, and stores, since the last step
            calls: [],           // operations that ran since the last step
            releasedIn: new Map(),  // address → the step that last released it
            walks: 0,            // walks made so far, each marking the blocks it passes (web/walk.js)
        };
    }

    // The list's operations as they are entered and left, nested ones included.
    function entered(run, name) {
        run.running.push(name);
        run.calls.push(name);
    }

    function left(run) {
        run.running.pop();
    }

    function taken(run, address, size) {
        if (size === nodeSize) {
            run.events.push({ change: 'taken', address, from: null, to: size });
        }
    }

    function released(run, address) {
        run.events.push({ change: 'released', address });
    }

    // A store through a pointer, which is how the program writes `first` and the nodes' fields.
    function stored(run, address) {
        run.events.push({ change: 'stored', address });
    }

    // Each taking of a block has its own record, `c.block`, which every change to the block in
    // that life shares, and each pointer written names the record it points to: moving between
    // steps writes fields and looks nothing up.
    function put(run, c, value, block, forward) {
        if (c.change === 'first') {
            run.first = value;
            run.firstBlock = block;
        } else if (c.change === 'data' || c.change === 'next') {
            c.block[c.change] = value;
            if (c.change === 'next') {
                c.block.nextBlock = block;
            }
        } else if (c.change === 'released') {
            c.block.gone = forward;  // a pointer left to it dangles
        }
    }

    const apply = (run, c) => put(run, c, c.to, c.toBlock, true);
    const revert = (run, c) => put(run, c, c.from ?? 0, c.fromBlock, false);

    // Moves `first` and the blocks' fields to step `to` (clamped to the steps there are).
    function go(run, to) {
        const target = Math.min(Math.max(0, to), run.steps.length - 1);
        while (run.shown < target) {
            run.shown++;
            for (const c of run.steps[run.shown].changes) {
                apply(run, c);
            }
        }
        while (run.shown > target) {
            const { changes } = run.steps[run.shown];
            for (let i = changes.length - 1; i >= 0; i--) {
                revert(run, changes[i]);
            }
            run.shown--;
        }
        return run.shown;
    }

    const none = Object.freeze([]);

    // Closes a step: compares memory at this wait (`view`) with the last step where the program
    // stored, and keeps the difference, with `line`, the text handed over for it, the operations
    // that ran, and `at`, what the caller keeps of the step.
    function record(run, view, line, at = null) {
        go(run, run.steps.length - 1);
        if (run.events.length === 0 && run.steps.length > 0) {
            // Nothing stored, taken or released: nothing changed.
            const index = run.steps.push({ line, changes: none, calls: run.calls, pending: run.steps[run.shown].pending, at }) - 1;
            run.shown = index;
            run.calls = [...run.running];
            return index;
        }
        const changes = [];
        const change = (c) => {
            apply(run, c);
            changes.push(c);
        };
        const index = run.steps.length;
        const stores = new Set();
        for (const e of run.events) {
            if (e.change === 'stored') {
                stores.add(e.address);
            } else if (e.change === 'taken') {
                const block = { size: e.to, data: 0, next: 0, nextBlock: undefined, known: false, gone: false, walked: 0 };
                run.blocks.set(e.address, block);
                run.pending.set(e.address, block);
                change({ ...e, block, reused: run.releasedIn.get(e.address) ?? null });
            } else if (run.blocks.has(e.address)) {
                const block = run.blocks.get(e.address);
                run.blocks.delete(e.address);
                run.pending.delete(e.address);
                change({ change: 'released', address: e.address, from: block.known ? block.data : null, to: null, block });
                run.releasedIn.set(e.address, index);
            }
        }
        // A pointer is written when its value changed, or when the block held at its address is
        // not the one it pointed to: a line that deletes and appends may give a block back and
        // take it again, leaving the same address where two writes happened. A pointer to a block
        // just given back is left as it was: it dangles.
        const moved = (value, target, to) => value !== to || (run.blocks.has(to) && run.blocks.get(to) !== target);
        const head = run.firstAt === 0 ? 0 : view.getUint32(run.firstAt, true);
        const pointers = [];
        if (moved(run.first, run.firstBlock, head)) {
            change({ change: 'first', address: 'first', from: run.first, to: head,
                     fromBlock: run.firstBlock, toBlock: run.blocks.get(head) });
            pointers.push(head);
        }
        // Only a block's fields that were stored to can have changed; a block not linked yet
        // holds nothing that means anything.
        for (const at of stores) {
            const address = run.blocks.has(at) ? at : at - 4;
            const b = run.blocks.get(address);
            if (b === undefined || !b.known) {
                continue;
            }
            if (address === at) {
                const data = view.getInt32(address, true);
                if (data !== b.data) {
                    change({ change: 'data', address, from: b.data, to: data, block: b });
                }
            } else {
                const next = view.getUint32(at, true);
                if (moved(b.next, b.nextBlock, next)) {
                    change({ change: 'next', address, from: b.next, to: next, block: b,
                             fromBlock: b.nextBlock, toBlock: run.blocks.get(next) });
                    pointers.push(next);
                }
            }
        }
        // Blocks linked since the last step: their fields had no meaning before.
        for (let at of pointers) {
            for (let b = run.pending.get(at); b !== undefined; b = run.pending.get(at)) {
                b.known = true;
                run.pending.delete(at);
                change({ change: 'data', address: at, from: null, to: view.getInt32(at, true), block: b });
                const next = view.getUint32(at + 4, true);
                change({ change: 'next', address: at, from: null, to: next, block: b, toBlock: run.blocks.get(next) });
                at = next;
            }
        }
        const pending = run.pending.size === 0 ? none : [...run.pending].map(([address, b]) => ({ address, size: b.size }));
        run.steps.push({ line, changes, calls: run.calls, pending, at });
        run.shown = index;
        run.events = [];
        run.calls = [...run.running];  // what is still running runs on in the next step
        return index;
    }

    // Whether the block at `address` was given back and not taken again, at the newest step.
    const givenBack = (run, address) => !run.blocks.has(address) && run.releasedIn.has(address);

    // Blocks taken and not yet linked at the shown step: no field of theirs means anything yet.
    const unlinked = (run) => run.steps[run.shown].pending;

    return { nodeSize, create, entered, left, taken, released, stored, record, go, givenBack, unlinked };
})();

if (typeof module === 'object') {
    module.exports = steps;
}
