// The list as a textbook draws it, at the step shown: `first`, then one box per node with its
// address above its two fields, data and next, and an arrow to the node after it; the last
// node's next says NULL. Blocks released at this step, and blocks taken but not yet linked, are
// drawn apart under headings of their own. What changed at this step is highlighted.
'use strict';

const picture = (() => {
    const shown = 20;  // boxes drawn at most; the count and the text still cover the whole list
    const heap = document.getElementById('heap');
    const caption = document.getElementById('heap-text');

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

    // A field; in a node of the list its value is a button, which asks where the value came from.
    function field(name, value, asked) {
        const f = element('span', `field ${name}`);
        const v = element(asked ? 'button' : 'span', 'value', value);
        if (asked) {
            v.type = 'button';
            v.dataset.field = name;
            v.setAttribute('aria-label', `${name} of ${asked}: ${value}. Show the line that wrote it.`);
        }
        f.append(element('span', 'label', name), v);
        return f;
    }

    // A node's box; a block that holds no node has no fields worth showing, and says why instead.
    function box(address, fields, tag, empty = 'never a list node', asked = '') {
        const b = element('div', 'node');
        b.dataset.address = hex(address);
        b.append(element('div', 'address', hex(address)));
        const row = element('div', 'fields');
        if (fields) {
            row.append(field('data', String(fields.data), asked), field('next', fields.next === null ? '—' : link(fields.next), asked));
            b.dataset.value = String(fields.data);
        } else {
            row.append(element('span', 'empty', empty));
        }
        b.append(row);
        if (tag) {
            b.append(element('div', 'tag', tag));
        }
        return b;
    }

    function group(title, boxes) {
        const g = element('div', 'apart');
        g.append(element('h3', 'apart-title', title), ...boxes);
        return g;
    }

    function reset() {
        heap.replaceChildren();
        for (const name of ['count', 'first', 'step', 'steps']) {
            delete heap.dataset[name];
        }
        caption.textContent = 'The list appears here once the program starts.';
    }

    const arrow = () => {
        const a = element('span', 'arrow', '→');
        a.setAttribute('aria-hidden', 'true');
        return a;
    };

    // Draws `run` (web/steps.js) at its shown step; `locals` maps addresses to the names of the
    // locals that point there, and `at` numbers the step among the page's.
    function draw(run, locals = new Map(), at = { step: run.shown, steps: run.steps.length }) {
        // A box a local points to says so, under it.
        const named = (b, address) => {
            if (locals.has(address)) {
                b.dataset.locals = locals.get(address).join(' ');
                b.append(element('div', 'named', `↑ ${locals.get(address).join(', ')}`));
            }
        };
        const step = run.steps[run.shown];
        // Address → what changed in the block there now; a release is drawn apart, with the block
        // released, even where the same address was taken again.
        const changed = new Map();
        for (const c of step.changes.filter((c) => c.change !== 'released')) {
            changed.set(c.address, [...(changed.get(c.address) ?? []), c.change]);
        }
        const { nodes, count, cycle, stray } = walk(run, shown);

        const first = element('div', 'first');
        first.append(element('div', 'address', 'first'), element('span', 'value', link(run.first)));
        first.classList.toggle('changed', changed.has('first'));
        const row = [first];
        nodes.forEach((n, i) => {
            const b = box(n.address, n, changed.has(n.address) && changed.get(n.address).includes('taken') ? 'just taken' : '',
                          undefined, `node ${i + 1}`);
            b.dataset.index = String(i + 1);
            named(b, n.address);
            b.dataset.next = link(n.next);
            if (changed.has(n.address)) {
                b.dataset.changed = changed.get(n.address).join(' ');
            }
            row.push(arrow(), b);
        });
        const more = count - nodes.length;
        if (more > 0) {
            row.push(arrow(), element('div', 'more', `… ${thousands(more)} more nodes not shown`));
        }
        let end = '';
        if (cycle !== null) {
            end = `the list has a cycle: it comes back to ${hex(cycle)}`;
        } else if (stray !== null) {
            end = run.releasedIn.has(stray) ? `the list points to ${hex(stray)}, a block given back to the heap: a dangling pointer`
                : `the list points to ${hex(stray)}, which holds no node`;
        }
        if (end) {
            row.push(arrow(), element('div', 'stop', end));
        }

        const gone = step.changes.filter((c) => c.change === 'released').map((c) => {
            const b = box(c.address, c.block.known ? { data: c.block.data, next: null } : null, 'released');
            b.dataset.released = hex(c.address);
            b.classList.add('released');
            named(b, c.address);
            return b;
        });
        if (gone.length > 0) {
            row.push(group('Given back to the heap at this step', gone));
        }
        const waiting = steps.unlinked(run).map((u) => {
            const b = box(u.address, null, 'not linked yet', 'no value yet');
            b.classList.add('unlinked');
            named(b, u.address);
            if (changed.has(u.address)) {
                b.dataset.changed = changed.get(u.address).join(' ');
            }
            return b;
        });
        if (waiting.length > 0) {
            row.push(group('Taken from the heap, not in the list yet', waiting));
        }
        heap.replaceChildren(...row);
        heap.dataset.count = String(count);
        heap.dataset.first = link(run.first);
        heap.dataset.step = String(at.step);
        heap.dataset.steps = String(at.steps);

        const words = ['first', ...nodes.map((n) => String(n.data))];
        if (more > 0) {
            words.push(`… ${thousands(more)} more`);
        }
        const length = count === 1 ? '1 node' : `${thousands(count)} nodes`;
        const released = step.changes.filter((c) => c.change === 'released')
            .map((c) => (c.block.known ? `, ${c.block.data} released` : ', a block released that never held a node'));
        const nul = cycle === null && stray === null ? ' → NULL' : '';
        const taken = waiting.length === 0 ? '' : `, ${waiting.length === 1 ? 'a block' : `${waiting.length} blocks`} taken, not linked yet`;
        caption.textContent = `${words.join(' → ')}${nul} (${length}${released.join('')}${taken}${end ? `; ${end}` : ''})`;
    }

    return { reset, draw, hex, link };
})();
