// Driving the page in a browser (puppeteer-core) for web/page_test.mjs: keys typed as a person
// types them, the terminal read as a screen reader reads it, and the picture, #changes and #code
// read as their data attributes give them. web/probes.js gives the run's state and output.
import assert from 'node:assert/strict';
import { sleep } from './browser.mjs';
import { draws } from './random.mjs';

// The helpers for one browser page, whose address is `home` (web/forms.mjs).
export function driver(page, home) {
    // Elements are reached in one call of the page's own script, never through handles, each of
    // which costs a round trip of its own (tens of milliseconds in Firefox).
    // The terminal's rows as the DOM renderer shows them, each without its trailing blanks.
    const screen = () => page.evaluate(() => [...document.querySelectorAll('.xterm-rows > div')]
        .map((r) => r.textContent.trimEnd()).join('\n'));
    const state = () => page.evaluate(() => window.listmenu.state);
    const output = () => page.evaluate(() => window.listmenu.output);
    async function until(what, check, limit = 10000) {
        for (const stop = Date.now() + limit; Date.now() < stop; await sleep(20)) {
            if (await check()) {
                return;
            }
        }
        assert.fail(`waited ${limit / 1000} s for ${what}; the screen shows:\n${await screen()}`);
    }
    const type = (text) => page.keyboard.type(text.replace(/\n/g, '\r'));
    const waits = () => page.evaluate(() => window.listmenu.waits);
    // Types one line, and returns once the program waits for the next.
    async function answer(line) {
        const before = await waits();
        await type(`${line}\n`);
        await until(`the program to take ${line}`, async () => (await waits()) > before);
    }
    async function ctrlD() {
        await page.keyboard.down('Control');
        await page.keyboard.press('d');
        await page.keyboard.up('Control');
    }
    const text = (selector) => page.evaluate((s) => document.querySelector(s).textContent, selector);
    const focus = (selector) => page.evaluate((s) => document.querySelector(s).focus(), selector);
    // A page loaded anew, with `fragment` after its #: a fragment alone would not reload it.
    async function open(fragment = '') {
        await page.goto('about:blank');
        await page.goto(`${home}${fragment}`);
    }
    async function fresh() {
        await open();
        await until('the menu', async () => (await state()) === 'waiting');
    }

    // The picture as its contract gives it.
    const picture = () => page.evaluate(() => {
        const heap = document.getElementById('heap');
        const all = (selector) => [...heap.querySelectorAll(selector)].map((e) => ({ ...e.dataset }));
        return { count: Number(heap.dataset.count), first: heap.dataset.first, nodes: all('[data-index]'),
                 released: all('[data-released]'), text: document.getElementById('heap-text').textContent };
    });
    // The picture shows `values`, linked from first to NULL by real addresses; a long list in part.
    async function pictureShows(values) {
        const p = await picture();
        assert.equal(p.count, values.length, 'data-count');
        assert.deepEqual(p.nodes.map((n) => Number(n.value)), values.slice(0, p.nodes.length), 'values');
        assert.deepEqual(p.nodes.map((n) => Number(n.index)), p.nodes.map((n, i) => i + 1), 'indexes');
        assert.equal(p.first, p.nodes[0]?.address ?? 'NULL', 'data-first');
        p.nodes.forEach((n) => assert.match(n.address, /^0x[0-9a-f]{8}$/));
        // Each drawn node's next is the following one's address; the last node's is NULL.
        const whole = p.nodes.length > 0 && p.nodes.length === values.length;
        const nexts = p.nodes.slice(1).map((n) => n.address).concat(whole ? ['NULL'] : []);
        assert.deepEqual(p.nodes.slice(0, nexts.length).map((n) => n.next), nexts, 'data-next');
        if (p.nodes.length < values.length) {
            assert.ok(p.text.includes(`${(values.length - p.nodes.length).toLocaleString('en')} more`), p.text);
        }
        return p;
    }
    // The step shown: its number, what #changes says it wrote, the operations #code names and shows.
    const shown = () => page.evaluate(() => ({
        step: Number(document.getElementById('heap').dataset.step),
        steps: Number(document.getElementById('heap').dataset.steps),
        changes: [...document.querySelectorAll('#changes [data-change]')].map((li) => ({ ...li.dataset })),
        functions: document.getElementById('code').dataset.functions,
        code: [...document.querySelectorAll('#code [data-function]')].map((f) => [f.dataset.function, f.querySelector('pre').textContent]),
    }));
    // Goes to step `k` by Back, Forward, the range's arrow keys or the range itself, whichever
    // `how` picks, and returns the step it should now show.
    async function go(k, how, now, last) {
        if (how === 'back' || how === 'forward') {
            await focus(`#step-${how}`);  // by the keyboard: a pointer cannot press a button at its end
            await page.keyboard.press('Enter');
            return Math.max(0, Math.min(last, now + (how === 'back' ? -1 : 1)));
        }
        if (how === 'arrow') {
            await focus('#step');
            await page.keyboard.press(k < now ? 'ArrowLeft' : 'ArrowRight');
            return Math.max(0, Math.min(last, now + (k < now ? -1 : 1)));
        }
        await page.evaluate((to) => {
            const range = document.getElementById('step');
            range.value = String(to);
            range.dispatchEvent(new Event('input', { bubbles: true }));
        }, k);
        return k;
    }
    // The step shown and the picture, as they stay while later steps are added.
    async function seeing() {
        const { steps, ...step } = await shown();
        return [step, await picture()];
    }
    // Moves through the steps at random points, and finds each as it was shown when it was new.
    async function revisit(seen, seed, moves) {
        let now = seen.length - 1;
        const next = draws(seed);
        for (let i = 0; i < moves; i++) {
            const r = next();
            const how = ['back', 'forward', 'arrow', 'range', 'range'][r % 5];
            now = await go(r % seen.length, how, now, seen.length - 1);
            assert.deepEqual(await seeing(), seen[now], `step ${now}, reached by ${how}`);
        }
    }

    return { page, home, screen, state, output, until, type, answer, ctrlD, text, focus, open, fresh, picture,
             pictureShows, shown, go, seeing, revisit };
}

// Each operation #code shows is its own definition in `listSource` (list/list.cpp), as the
// module was built from it.
export function codeIsTheSource({ functions, code }, listSource) {
    assert.deepEqual(code.map(([name]) => name), [...new Set(functions.split(' ').filter(Boolean))]);
    for (const [name, text] of code) {
        assert.ok(new RegExp(`[\\s*]${name}\\(`).test(text.split('\n')[0]) && text.endsWith('\n}') && listSource.includes(text), name);
    }
}
