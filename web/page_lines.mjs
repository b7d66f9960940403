// The page's checks of its line steps: Line back and forward, their range and the arrow keys cross
// from one answer's lines into the next; at each line step the code marks the line about to run,
// as the file has it, the frames give their locals from the program's memory, the output is the
// answer's so far, and a node's field finds the line that last wrote it.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';

const source = Object.fromEntries(['list/list.cpp', 'menu/menu.cpp'].map((file) =>
    [file, readFileSync(new URL(`../${file}`, import.meta.url), 'latin1').split('\n')]));
const lineOf = (file, text) => source[file].indexOf(text) + 1;

export default function lines({ drive }) {
    const { page, open, until } = drive;
    // What is shown: the step and line step, the line marked in #code, the frames and the output.
    const shown = () => page.evaluate(() => {
        const heap = document.getElementById('heap').dataset;
        const code = document.getElementById('code');
        const current = code.querySelectorAll('[aria-current="step"]');
        const frames = [...document.querySelectorAll('#frames > [data-frame]')].map((f) => ({
            name: f.dataset.frame,
            locals: Object.fromEntries([...f.querySelectorAll('[data-local]')].map((l) => [l.dataset.local,
                l.dataset.value + (l.hasAttribute('data-dangling') ? ' dangling' : '')])),
        }));
        return {
            step: Number(heap.step), line: heap.lineStep === undefined ? null : Number(heap.lineStep), lines: Number(heap.lineSteps),
            file: code.dataset.file ?? null, at: Number(code.dataset.line), marked: [...current].map((e) => e.textContent),
            calling: code.querySelectorAll('[data-calling]').length, frames, output: document.getElementById('output').textContent,
            values: [...document.querySelectorAll('#heap [data-index]')].map((b) => Number(b.dataset.value)),
            pointed: Object.fromEntries([...document.querySelectorAll('#heap [data-locals]')].map((b) => [b.dataset.index, b.dataset.locals])),
            text: document.getElementById('heap-text').textContent, range: document.getElementById('line').max,
        };
    });
    // Sets the range `id` to `to` (its max when null) as a person dragging it would.
    const slide = (id, to = null) => page.$eval(`#${id}`, (r, v) => {
        r.value = v ?? r.max;
        r.dispatchEvent(new Event('input', { bubbles: true }));
    }, to);
    const press = async (id) => {
        const before = JSON.stringify(await shown());
        await page.click(`#${id}`);
        await until(`${id} to move`, async () => JSON.stringify(await shown()) !== before);
        return shown();
    };
    // The link's four answers, shown at the last wait once its line steps are counted.
    async function session(fragment = '#1%205%0A1%207%0A1%209%0A4%0A', steps = 5) {
        await open(fragment);
        await until('the last wait, its lines counted', async () => {
            const s = await shown();
            return s.step === steps - 1 && s.lines > 0;
        });
    }
    // Steps back a line at a time until `text` in `file` is about to run; the step there.
    async function backTo(file, text) {
        for (let i = 0; i < 80; i++) {
            const s = await press('line-back');
            if (s.file === file && s.at === lineOf(file, text)) {
                return s;
            }
        }
        return assert.fail(`never reached ${file}: ${text}`);
    }
    return {
        async 'line steps: each marks the line about to run as its file has it, outermost frame menu'() {
            await session();
            let s = await press('line-back');
            assert.equal(s.line, s.lines, 'the last line step first');
            assert.equal(Number(s.range), s.lines, 'the range runs over them');
            for (let i = 0; i < 12; i++, s = await press('line-back')) {
                assert.deepEqual(s.marked, [source[s.file][s.at - 1]], `line step ${s.line}: one line marked`);
                assert.equal(s.frames[0].name, 'menu');
                assert.equal(s.calling, s.frames.length - 1, 'each caller\'s calling line marked apart');
            }
        },
        async 'line steps: before a declaration a local is ?, after delete last the next dangles for one line'() {
            await session();
            const at = await backTo('list/list.cpp', '    before->next = nullptr;');
            const last = at.frames.find((f) => f.name === 'delete_at_last').locals.last;
            assert.match(last, /^0x[0-9a-f]{8} dangling$/, 'last, released');
            assert.match(at.text, new RegExp(`points to ${last.split(' ')[0]}, a block given back to the heap: a dangling`),
                         'the picture says the list points at the released block');
            assert.deepEqual(at.values, [5, 7], 'up to the node before it');
            const after = await press('line-forward');
            assert.deepEqual([after.values, /dangling/.test(after.text)], [[5, 7], false], 'the next line ends the list');
            const early = await backTo('list/list.cpp', '    node *before = first;');
            assert.deepEqual(early.frames.find((f) => f.name === 'delete_at_last').locals, { first: early.frames[0].locals.first,
                                                                                             before: '?', last: '?' });
            assert.equal(early.pointed['1'], 'first', 'the nodes named by the locals that point to them');
            // At the wait for a value, create's fresh is still being declared as create_node asks.
            await session('#1%205%0A1%0A', 3);
            const waiting = (await shown()).frames;
            assert.deepEqual(waiting.map((f) => [f.name, f.locals.fresh === undefined ? '-' : /^0x[0-9a-f]{8}$/.test(f.locals.fresh)
                ? 'an address' : f.locals.fresh]), [['menu', '-'], ['create', '?'], ['create_node', 'an address']]);
        },
        async 'line steps: Line forward crosses into the next answer, the range picks a line, the arrow keys step'() {
            await session();
            await page.click('#step-back');
            await until('step 3', async () => (await shown()).step === 3);
            const first = await press('line-forward');
            assert.deepEqual([first.step, first.line], [4, 1], 'from the wait to the next answer\'s first line');
            await slide('line', '3');
            await until('line step 3', async () => (await shown()).line === 3);
            await page.focus('#line-back');
            await page.keyboard.press('ArrowRight');
            await until('line step 4', async () => (await shown()).line === 4);
            await page.keyboard.press('ArrowLeft');
            await until('line step 3 again', async () => (await shown()).line === 3);
            await page.focus('.xterm-helper-textarea');
            await page.keyboard.press('ArrowLeft');
            assert.equal((await shown()).line, 3, 'the terminal keeps its arrow keys');
        },
        async 'line steps: the cursors of delete at last and at a position move as their loops run, on a phone too'() {
            await page.setViewport({ width: 360, height: 740 });
            try {
                await session('#1%205%0A1%206%0A1%207%0A1%208%0A4%0A5%0A2%0A', 8);
                // delete at position 2 of 5, 6, 7: the node before it, the target, the count
                const at = await backTo('list/list.cpp', '        before->next = target->next;');
                const frames = at.frames.map((f) => f.name);
                assert.deepEqual(frames, ['menu', 'delete_at_position'], 'the frames');
                const { position, n, before, target } = at.frames[1].locals;
                assert.deepEqual([position, n, before], ['2', '3', at.frames[0].locals.first], 'position, count, before');
                assert.equal(at.pointed['2'].split(' ').includes('target'), true, 'target names node 2');
                assert.match(target, /^0x[0-9a-f]{8}$/);
                assert.ok(await page.evaluate(() => document.documentElement.scrollWidth) <= 360, 'no sideways scroll');
                // delete at last of 5, 6, 7, 8: the loop's cursors, step by step
                await slide('step', '5');
                await until('step 5', async () => (await shown()).step === 5 && (await shown()).line === null);
                const loop = source['list/list.cpp'].lastIndexOf('    while (last->next != nullptr) {') + 1;  // not create's
                const cursors = [];
                for (let s = await press('line-back'); s.line !== null; s = await press('line-back')) {
                    const frame = s.frames.find((f) => f.name === 'delete_at_last');
                    if (frame && s.at === loop) {
                        cursors.unshift([s.pointed, frame.locals.before, frame.locals.last]);
                    }
                }
                const nodes = (p, x) => Object.keys(p).filter((i) => p[i].split(' ').includes(x)).map(Number);
                assert.deepEqual(cursors.map(([p]) => [nodes(p, 'before'), nodes(p, 'last')]), [[[1], [1]], [[2], [3]], [[3], [4]]],
                                 'before and last at each test of the loop');
            } finally {
                await page.setViewport({ width: 900, height: 760 });
            }
        },
        async 'line steps: the output is the answer\'s so far'() {
            await session('#1%205%0A1%207%0A2%0A', 4);
            const texts = new Set();
            for (let s = await press('line-back'); s.line !== null; s = await press('line-back')) {
                texts.add(s.output);
            }
            assert.deepEqual([...texts], ['5->7->', '5->', ''], 'display\'s writes, line by line');
        },
        async 'line steps: a node\'s data or next shows the line that last wrote it'() {
            // The last session's 4 1 7 writes node 1's next twice: NULL, then the new node.
            for (const [fragment, steps, writes] of [
                ['#1%205%0A1%207%0A1%209%0A4%0A', 5, [[2, 'data', 2, '    fresh->data = x;'], [1, 'next', 2, '    last->next = fresh;'],
                                                      [2, 'next', 4, '    before->next = nullptr;']]],
                ['#1%205%0A1%206%0A4%201%207%0A', 4, [[1, 'next', 3, '    last->next = fresh;']]]]) {
                await session(fragment, steps);
                for (const [index, field, step, text] of writes) {
                    await slide('step');  // back at the last wait
                    await until('the last wait', async () => (await shown()).line === null && (await shown()).step === steps - 1);
                    await page.click(`#heap [data-index="${index}"] [data-field="${field}"]`);
                    await until(`the writer of node ${index}'s ${field}`, async () => (await shown()).line !== null);
                    const s = await shown();
                    assert.deepEqual([s.step, s.marked], [step, [text]], `node ${index}'s ${field}`);
                }
            }
        },
    };
}
