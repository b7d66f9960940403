// The page's checks of the picture and the steps: after each answer the list drawn from the
// module's memory, what the answer wrote (#changes), the code that ran (#code), and any step found
// again as it was by Back, Forward and the range; the table's sessions, links, and 10,000 steps.
import assert from 'node:assert/strict';
import { codeIsTheSource } from './page_drive.mjs';
import { cases, end, letters, summary } from './step_cases.mjs';

export default function stepping({ texts, read, listSource, drive, note }) {
    const { page, home, screen, state, output, until, answer, ctrlD, open, fresh, picture, pictureShows, shown, go, seeing,
            revisit } = drive;
    return {
        async 'the picture follows the list after every answer, and Back, Forward and the range find each step again'() {
            await fresh();
            let values = [];
            const seen = [await seeing()];
            for (const [answers, after] of read('dialogue.random_model(random.Random(11), 150).steps')) {
                for (const [i, line] of answers.entries()) {
                    await answer(line);
                    await pictureShows(i === answers.length - 1 ? after : values);
                    const step = await shown();
                    assert.deepEqual([step.step, step.steps], [seen.length, seen.length + 1]);
                    codeIsTheSource(step, listSource);
                    seen.push(await seeing());
                }
                values = after;
            }
            await revisit(seen, 11, 40);
            await page.click('#terminal');
            await answer('2');  // a line typed shows the newest step again
            assert.equal((await shown()).step, seen.length);
        },
        async "each answer of the table's sessions: what it wrote, and the code that ran"() {
            for (const [name, typed, expected] of cases) {
                await fresh();
                const letter = letters();
                const seen = [await seeing()];
                for (const [i, line] of typed.entries()) {
                    if (line === end) {
                        await ctrlD();
                        await until('the end', async () => (await state()) === 'ended');
                    } else {
                        await answer(line);
                    }
                    const step = await shown();
                    assert.deepEqual([step.step, step.functions, summary(step.changes, letter)], [i + 1, ...expected[i]],
                                     `${name}, after ${line}`);
                    codeIsTheSource(step, listSource);
                    // The picture marks what changed in each node it draws, as #changes lists it.
                    const marks = new Map();
                    step.changes.filter((c) => c.address !== 'first' && c.change !== 'released')
                        .forEach((c) => marks.set(c.address, [marks.get(c.address), c.change].filter(Boolean).join(' ')));
                    const p = await picture();
                    assert.deepEqual(p.nodes.filter((n) => n.changed).map((n) => [n.address, n.changed]),
                                     p.nodes.filter((n) => marks.has(n.address)).map((n) => [n.address, marks.get(n.address)]));
                    seen.push(await seeing());
                }
                await revisit(seen, typed.length, 12);
            }
        },
        async 'a released node is shown as released until the next answer'() {
            await fresh();
            for (const line of ['1 5', '1 -7', '1 9']) {
                await answer(line);
            }
            const before = await pictureShows([5, -7, 9]);
            await answer('5');
            await answer('2');
            const after = await pictureShows([5, 9]);
            assert.deepEqual(after.nodes.map((n) => n.address), [before.nodes[0].address, before.nodes[2].address]);
            assert.deepEqual(after.released.map((n) => [n.released, n.value]), [[before.nodes[1].address, '-7']]);
            assert.equal(after.text, 'first → 5 → 9 → NULL (2 nodes, -7 released)');
            await answer('1 4');
            assert.deepEqual((await pictureShows([5, 9, 4])).released, []);
        },
        async 'a link replays its typed lines a step each, echoed, and Copy link makes one'() {
            await open('#1%205%0A1%20-7%0A2%0A');
            await until('the replayed lines', async () => (await output()) ===
                                                         [texts.M, texts.D, texts.M, texts.D, texts.M, '5->-7->', texts.M].join(''));
            await until('the last step drawn', async () => (await shown()).steps === 4);
            await pictureShows([5, -7]);
            await until('the lines echoed', async () => (await screen()).includes('plz enter your choice1 -7'));
            await answer('3');
            // From the keyboard: Tab leaves the terminal for the steps' controls, the line steps'
            // controls and the one node's fields, then the button.
            const focused = [];
            for (let i = 0; i < 9; i++) {
                await page.keyboard.press('Tab');
                focused.push(await page.evaluate(() => document.activeElement.id || document.activeElement.dataset.field));
            }
            assert.deepEqual(focused, ['step-back', 'step', 'step-forward', 'line-back', 'line', 'line-forward', 'data', 'next',
                                       'copy-link']);
            await page.keyboard.press('Enter');
            const link = `${home}#1%205%0A1%20-7%0A2%0A3%0A`;
            assert.equal(await page.$eval('#link', (a) => a.getAttribute('href')), link);
            // The clipboard as well, where the engine lets the page read it back.
            const copied = await page.evaluate(() => navigator.clipboard.readText().catch((e) => ({ cannot: String(e) })));
            if (typeof copied === 'string') {
                assert.equal(copied, link, 'the clipboard');
            } else {
                note(`the clipboard cannot be read back (${copied.cannot}); the link is checked as the page shows it`);
            }
        },
        async 'a link of 10,000 lines is 10,000 steps, each drawn in part and counted whole'() {
            const lines = Array.from({ length: 10000 }, (_, i) => `1 ${i}\n`).join('');
            await open(`#${encodeURIComponent(lines)}`);
            await until('10,000 steps', async () => (await shown()).steps === 10001, 60000);
            const values = Array.from({ length: 10000 }, (_, i) => i);
            for (const k of [10000, 1, 5000, 9999, 0, 7777]) {
                await go(k, 'range');
                const p = await pictureShows(values.slice(0, k));
                assert.ok(p.nodes.length <= 20, `${p.nodes.length} boxes drawn: a drawing must not grow with the list`);
            }
        },
    };
}
