// The list as a textbook draws it, read from the module's own memory each time the program waits
// for an answer: `first`, then one box per node with its address, its data and its next, and an
// arrow to the node after it. The module tells the page where `first` lives and which heap blocks
// it takes and gives back (web/heap.cpp); everything else is read from memory here.
'use strict';

const picture = (() => {
    const nodeSize = 8;  // data, then next: two 32-bit words on wasm32
    const shown = 40;    // boxes drawn at most; the count and the text still cover the whole list
    const heap = document.getElementById('heap');
    const caption = document.getElementById('heap-text');

    // Where `first` lives, what the last drawing listed, and what the module said since.
    const blank = () => ({ first: 0, listed: new Set(), taken: new Set(), released: [] });
    let state = blank();

    const thousands = (n) => String(n).replace(/\B(?=(\d{3})+(?!\d))/g, ',');
    const hex = (address) => `0x${address.toString(16).padStart(8, '0')}`;
    const link = (address) => (address === 0 ? 'NULL' : hex(address));

    function element(tag, className, text) {
        const e = document.createElement(tag);
        e.className = className;
        if (text !== undefined) {
            e.textContent = text;
        }
        return e;
    }

    // One node's box: its address above its two fields, as a textbook draws it. A released node
    // has no next any more.
    function box(address, value, next) {
        const b = element('div', 'node');
        b.dataset.address = hex(address);
        b.dataset.value = String(value);
        b.append(element('div', 'address', hex(address)));
        const fields = element('div', 'fields');
        fields.append(element('span', 'data', String(value)), element('span', 'next', next === null ? '' : link(next)));
        if (next !== null) {
            b.dataset.next = link(next);
        }
        b.append(fields);
        return b;
    }

    // The module's imports: where `first` is, and the blocks the program takes and gives back.
    function imports(memory) {
        const word = (address) => new DataView(memory().buffer).getUint32(address, true);
        return {
            head(at) {
                state.first = at;
            },
            taken(block, size) {
                if (size === nodeSize) {
                    state.taken.add(block);
                }
            },
            // Called before the block is given back, so its value can still be read.
            released(block) {
                if (state.listed.has(block) || state.taken.has(block)) {
                    state.released.push({ address: block, value: word(block) | 0 });
                    state.taken.delete(block);
                }
            },
        };
    }

    function reset() {
        state = blank();
        heap.replaceChildren();
        delete heap.dataset.count;
        delete heap.dataset.first;
        caption.textContent = 'The list appears here once the program starts.';
    }

    // Draws the list as it stands in `memory` now; returns the milliseconds it took, its layout
    // included.
    function draw(memory) {
        const start = performance.now();
        if (state.first === 0) {
            return 0;
        }
        const view = new DataView(memory.buffer);
        const head = view.getUint32(state.first, true);
        const listed = new Set();
        const boxes = [];
        const values = [];
        // A list longer than memory could hold nodes would be a cycle: stop there.
        for (let at = head; at !== 0 && listed.size < memory.buffer.byteLength / nodeSize; at = view.getUint32(at + 4, true)) {
            listed.add(at);
            if (boxes.length < shown) {
                const value = view.getInt32(at, true);
                const b = box(at, value, view.getUint32(at + 4, true));
                b.dataset.index = String(listed.size);
                if (state.taken.has(at)) {
                    b.classList.add('appended');
                    b.append(element('div', 'tag', 'just appended'));
                }
                boxes.push(b);
                values.push(value);
            }
        }
        const count = listed.size;
        const first = element('div', 'first');
        first.append(element('div', 'address', 'first'), element('span', 'next', link(head)));
        const row = [first];
        for (const b of boxes) {
            row.push(element('span', 'arrow', '→'), b);
        }
        const more = count - boxes.length;
        if (more > 0) {
            row.push(element('span', 'arrow', '→'), element('div', 'more', `… ${thousands(more)} more nodes not shown`));
        }
        row.push(element('span', 'arrow', '→'), element('div', 'null', 'NULL'));
        for (const gone of state.released) {
            const b = box(gone.address, gone.value, null);
            b.dataset.released = hex(gone.address);
            b.classList.add('released');
            b.append(element('div', 'tag', 'just released'));
            row.push(b);
        }
        heap.replaceChildren(...row);
        heap.dataset.count = String(count);
        heap.dataset.first = link(head);

        const words = ['first', ...values.map(String)];
        if (more > 0) {
            words.push(`… ${thousands(more)} more`);
        }
        words.push('NULL');
        const nodes = count === 1 ? '1 node' : `${thousands(count)} nodes`;
        const gone = state.released.map((r) => `, ${r.value} just released`).join('');
        caption.textContent = `${words.join(' → ')} (${nodes}${gone})`;

        state.listed = listed;
        state.taken = new Set();
        state.released = [];
        heap.getBoundingClientRect();  // lays the page out now, so that the time includes it
        return performance.now() - start;
    }

    return { imports, reset, draw };
})();
