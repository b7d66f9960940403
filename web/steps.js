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

    // A run's record. `blocks` holds the node-sized blocks the program holds at the shown step:
    // `known` once a block is linked (its fields mean something from then on), with the values
    // its fields held. The program's other blocks, its two buffers, are taken before step 0.
    function create() {
        return {
            steps: [],           // { line, changes, calls } each
            shown: -1,           // the step `first` and `blocks` stand at
            first: 0,
            blocks: new Map(),   // address → { size, data, next, known, walked }
            pending: new Set(),  // the addresses of blocks not known yet
            firstAt: 0,          // where the program keeps `first`
            source: '',          // list.cpp, as the module was built from it
            names: new Map(),    // code address → name, for the list's operations
            running: [],         // the operations on the program's stack now, outermost first
            events: [],          // blocks taken and released since the last step
            calls: [],           // operations that ran since the last step
            releasedIn: new Map(),  // address → the step that last released it
            walks: 0,
        };
    }

    function operation(run, code, name) {
        run.names.set(code, name);
    }

    function entered(run, code) {
        const name = run.names.get(code);
        if (name !== undefined) {
            run.running.push(name);
            run.calls.push(name);
        }
    }

    function left(run, code) {
        if (run.names.has(code)) {
            run.running.pop();
        }
    }

    function taken(run, address, size) {
        if (size === nodeSize) {
            run.events.push({ change: 'taken', address, from: null, to: size });
        }
    }

    function released(run, address) {
        run.events.push({ change: 'released', address });
    }

    // Each taking of a block has its own record, `c.block`, which every change to the block in
    // that life shares, so that moving between steps needs no lookups.
    function apply(run, c) {
        switch (c.change) {
            case 'taken':
                run.blocks.set(c.address, c.block);
                run.pending.add(c.address);
                break;
            case 'released':
                run.blocks.delete(c.address);
                run.pending.delete(c.address);
                break;
            case 'first':
                run.first = c.to;
                break;
            default:  // data or next
                c.block[c.change] = c.to;
                c.block.known = true;
                run.pending.delete(c.address);
        }
    }

    function revert(run, c) {
        switch (c.change) {
            case 'taken':
                run.blocks.delete(c.address);
                run.pending.delete(c.address);
                break;
            case 'released':
                run.blocks.set(c.address, c.block);
                if (!c.block.known) {
                    run.pending.add(c.address);
                }
                break;
            case 'first':
                run.first = c.from;
                break;
            default:
                c.block[c.change] = c.from ?? 0;
                c.block.known = c.from !== null;
                if (!c.block.known) {
                    run.pending.add(c.address);
                }
        }
    }

    // Moves `first` and `blocks` to step `to` (clamped to the steps there are).
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

    // Closes a step: compares memory at this wait (`view`) with the last step, and keeps the
    // difference, with `line`, the text handed over for it, and the operations that ran.
    function record(run, view, line) {
        go(run, run.steps.length - 1);
        const changes = [];
        const change = (c) => {
            apply(run, c);
            changes.push(c);
        };
        const index = run.steps.length;
        for (const e of run.events) {
            if (e.change === 'taken') {
                const block = { size: e.to, data: 0, next: 0, known: false, walked: 0 };
                change({ ...e, block, reused: run.releasedIn.get(e.address) ?? null });
            } else if (run.blocks.has(e.address)) {
                const block = run.blocks.get(e.address);
                change({ change: 'released', address: e.address, from: block.known ? block.data : null, to: null, block });
                run.releasedIn.set(e.address, index);
            }
        }
        const head = run.firstAt === 0 ? 0 : view.getUint32(run.firstAt, true);
        const pointers = [];
        if (head !== run.first) {
            change({ change: 'first', address: 'first', from: run.first, to: head });
            pointers.push(head);
        }
        for (const [address, b] of run.blocks) {
            if (b.known) {
                const data = view.getInt32(address, true);
                const next = view.getUint32(address + 4, true);
                if (data !== b.data) {
                    change({ change: 'data', address, from: b.data, to: data, block: b });
                }
                if (next !== b.next) {
                    change({ change: 'next', address, from: b.next, to: next, block: b });
                    pointers.push(next);
                }
            }
        }
        // Blocks linked since the last step: their fields had no meaning before.
        for (let at of pointers) {
            for (let b = run.blocks.get(at); b !== undefined && !b.known; b = run.blocks.get(at)) {
                change({ change: 'data', address: at, from: null, to: view.getInt32(at, true), block: b });
                const next = view.getUint32(at + 4, true);
                change({ change: 'next', address: at, from: null, to: next, block: b });
                at = next;
            }
        }
        run.steps.push({ line, changes, calls: run.calls });
        run.shown = index;
        run.events = [];
        run.calls = [...run.running];  // what is still running runs on in the next step
        return index;
    }

    // The list at the shown step, from `first`: its length, the first `limit` nodes, and where
    // it stops: at NULL, at an address it has already seen (a cycle), or at a block the program
    // does not hold (stray).
    function walk(run, limit) {
        const stamp = ++run.walks;
        const nodes = [];
        let count = 0;
        let cycle = null;
        let stray = null;
        for (let at = run.first; at !== 0;) {
            const b = run.blocks.get(at);
            if (b === undefined || !b.known) {
                stray = at;
                break;
            }
            if (b.walked === stamp) {
                cycle = at;
                break;
            }
            b.walked = stamp;
            count++;
            if (nodes.length < limit) {
                nodes.push({ address: at, data: b.data, next: b.next });
            }
            at = b.next;
        }
        return { nodes, count, cycle, stray };
    }

    // Blocks taken and not yet linked at the shown step: no field of theirs means anything yet.
    function unlinked(run) {
        return [...run.pending].map((address) => ({ address, size: run.blocks.get(address).size }));
    }

    // The source of each operation in `text` (list.cpp): a definition starts at the line that
    // names it at the margin and ends at the margin's closing brace.
    function sources(text, names) {
        const lines = text.split('\n');
        const found = new Map();
        for (const name of names) {
            const named = new RegExp(`^\\S.*[\\s*&]${name}\\(.*\\{$`);
            const start = lines.findIndex((l) => named.test(l));
            const end = lines.indexOf('}', start);
            if (start >= 0 && end > start) {
                found.set(name, { line: start + 1, text: lines.slice(start, end + 1).join('\n') });
            }
        }
        return found;
    }

    return { nodeSize, create, operation, entered, left, taken, released, record, go, walk, unlinked, sources };
})();

if (typeof module === 'object') {
    module.exports = steps;
}
