// The page in a real browser: Debian's Chromium, driven by playwright-core, against the built page
// served on 127.0.0.1 by Python's http.server, as the README serves it. Keys are typed as a person
// types them, and the terminal's text is read from the page as a screen reader reads it.
//
// Usage: node page_test.mjs PAGE_DIR NPM_DIR PYTHON TESTS_DIR SCREENSHOT_PNG
// (PAGE_TEST_ONLY=text in the environment runs only the checks whose names hold the text.)
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import assert from 'node:assert/strict';
import { launch } from './browser.mjs';
import { cases, end, letters, summary } from './step_cases.mjs';

const [pageDir, npmDir, python, testsDir, screenshot] = process.argv.slice(2);
const deadline = setTimeout(() => {
    console.error('page_test: still running after 280 s');
    process.exit(1);
}, 280000);

// The program's texts and the table of dialogues, read by the module every runner reads them with.
const read = (expression) => JSON.parse(execFileSync(python, ['-c', `import json, random, dialogue; print(json.dumps(${expression}))`],
                                                     { cwd: testsDir, encoding: 'latin1' }));
const texts = read('dict(M=dialogue.M, D=dialogue.D, P=dialogue.P, E=dialogue.E)');
const table = new Map(read('dialogue.table()').map(([name, typed, written, ending]) => [name, { typed, written, ending }]));

const { origin, browser, close } = await launch(pageDir, npmDir, python);
const problems = [];
function watched(p) {
    p.on('request', (r) => new URL(r.url()).origin === origin || r.url().startsWith('data:') ||
                           problems.push(`request off the origin: ${r.url()}`));
    p.on('pageerror', (e) => problems.push(`script error: ${e.message}`));
    p.on('console', (m) => m.type() === 'error' && problems.push(`console error: ${m.text()}`));
    return p;
}
const page = watched(await browser.newPage({ viewport: { width: 900, height: 760 } }));

// The terminal's rows as the DOM renderer shows them, each without its trailing blanks.
const screen = (on = page) => on.$$eval('.xterm-rows > div', (rows) => rows.map((r) => r.textContent.trimEnd()).join('\n'));
const state = (on = page) => on.evaluate(() => window.listmenu.state);
async function until(what, check, on = page, limit = 10000) {
    for (const stop = Date.now() + limit; Date.now() < stop; await on.waitForTimeout(20)) {
        if (await check()) {
            return;
        }
    }
    assert.fail(`waited ${limit / 1000} s for ${what}; the screen shows:\n${await screen(on)}`);
}
const type = (text) => page.keyboard.type(text.replace(/\n/g, '\r'));
const waits = () => page.evaluate(() => window.listmenu.waits);
// Types one line, and returns once the program waits for the next.
async function answer(line) {
    const before = await waits();
    await type(`${line}\n`);
    await until(`the program to take ${line}`, async () => (await waits()) > before);
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
    p.nodes.forEach((n, i) => assert.match(n.address, /^0x[0-9a-f]{8}$/));
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
const shown = (on = page) => on.evaluate(() => ({
    step: Number(document.getElementById('heap').dataset.step),
    steps: Number(document.getElementById('heap').dataset.steps),
    changes: [...document.querySelectorAll('#changes [data-change]')].map((li) => ({ ...li.dataset })),
    functions: document.getElementById('code').dataset.functions,
    code: [...document.querySelectorAll('#code [data-function]')].map((f) => [f.dataset.function, f.querySelector('pre').textContent]),
}));
// Each operation #code shows is its own definition in list/list.cpp, as the module was built from it.
const listSource = readFileSync(resolve(testsDir, '../list/list.cpp'), 'latin1');
function codeIsTheSource({ functions, code }) {
    assert.deepEqual(code.map(([name]) => name), [...new Set(functions.split(' ').filter(Boolean))]);
    for (const [name, text] of code) {
        assert.ok(new RegExp(`[\\s*]${name}\\(`).test(text.split('\n')[0]) && text.endsWith('\n}') && listSource.includes(text), name);
    }
}
// Goes to step `k` by Back, Forward, the range's arrow keys or the range itself, whichever
// `how` picks, and returns the step it should now show.
async function go(k, how, now, last) {
    if (how === 'back' || how === 'forward') {
        await page.focus(`#step-${how}`);  // by the keyboard: a pointer cannot press a button at its end
        await page.keyboard.press('Enter');
        return Math.max(0, Math.min(last, now + (how === 'back' ? -1 : 1)));
    }
    if (how === 'arrow') {
        await page.focus('#step');
        await page.keyboard.press(k < now ? 'ArrowLeft' : 'ArrowRight');
        return Math.max(0, Math.min(last, now + (k < now ? -1 : 1)));
    }
    await page.$eval('#step', (range, to) => {
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
    for (let i = 0, r = seed; i < moves; i++) {
        r = (r * 1103515245 + 12345) % 2147483648;
        const how = ['back', 'forward', 'arrow', 'range', 'range'][r % 5];
        now = await go(r % seen.length, how, now, seen.length - 1);
        assert.deepEqual(await seeing(), seen[now], `step ${now}, reached by ${how}`);
    }
}
const ctrlD = () => page.keyboard.press('Control+D');
// A page loaded anew, with `fragment` after its #: a fragment alone would not reload it.
async function open(fragment = '') {
    await page.goto('about:blank');
    await page.goto(`${origin}/${fragment}`);
}
async function fresh() {
    await open();
    await until('the menu', async () => (await state()) === 'waiting');
}

const checks = {
    async 'typed answers show the list, the menu on its line'() {
        await fresh();
        for (const line of ['1 5', '1 -7', '2', '3', '1 9']) {
            await type(line);
            await page.keyboard.press('Enter');
        }
        await until('5->-7->1.create linked list', async () => (await screen()).includes('5->-7->1.create linked list'));
        // The screenshot shows an append taking the block that the delete before it gave back.
        await until('the fifth step', async () => (await shown()).step === 5);
        await page.screenshot({ path: screenshot, fullPage: true });
    },
    async 'dialogues of the table'() {
        // Typed a line at a time, as at a terminal; Control-D ends a partial last line and then
        // the input, after which the program ends the prompt's line as it does at a terminal.
        for (const name of ['ValuesShowInTypedOrder', 'InvalidPositionsAskAgain', 'GarbageDiscardsTheRestOfItsLine',
                            'DeleteLastOnEmptyKeepsTheLine', 'SixWithoutLineEnd', 'EndAtDataPromptAddsNoNode']) {
            const row = table.get(name);
            await fresh();
            await type(row.typed);
            for (let presses = 0; presses < 2 && (await state()) !== 'ended'; presses++) {
                await until('the program to wait', async () => ['waiting', 'ended'].includes(await state()));
                await ctrlD();
            }
            await until('the end of the run', async () => (await state()) === 'ended');
            const output = await page.evaluate(() => window.listmenu.output);
            assert.equal(output, row.written + (row.ending === 'stopped' ? '\n' : ''), name);
        }
    },
    async 'Backspace takes back the last character'() {
        await fresh();
        await type('1 59');
        await page.keyboard.press('Backspace');
        await page.keyboard.press('Backspace');
        await type('7\n2\n');
        await until('7->', async () => (await screen()).includes('7->1.create linked list'));
        assert.ok(!(await screen()).includes('57->'));
    },
    async 'lines typed ahead are answers in order'() {
        await fresh();
        await page.evaluate((text) => {  // a paste, which arrives at once
            const data = new DataTransfer();
            data.setData('text/plain', text);
            document.querySelector('.xterm-helper-textarea')
                .dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true }));
        }, '1 3\n1 4\n2\n5 1\n2\n');
        await until('4->', async () => (await page.evaluate(() => window.listmenu.output)).endsWith(`4->${texts.M}`));
        const output = await page.evaluate(() => window.listmenu.output);
        assert.equal(output, [texts.M, texts.D, texts.M, texts.D, texts.M, '3->4->', texts.M, texts.P, texts.M, '4->',
                              texts.M].join(''));
    },
    async 'Control-D on an empty line ends the run'() {
        await fresh();
        await ctrlD();
        await until('the end', async () => (await state()) === 'ended');
        assert.equal(await page.evaluate(() => window.listmenu.status), 0);
        const said = 'listmenu ended with status 0. Press Enter to start a new run.';
        await until('the page to say so', async () => (await screen()).includes(said));
        assert.equal(await page.textContent('#status'), said);
    },
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
                codeIsTheSource(step);
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
                codeIsTheSource(step);
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
        await until('the replayed lines', async () => (await page.evaluate(() => window.listmenu.output)) ===
                                                     [texts.M, texts.D, texts.M, texts.D, texts.M, '5->-7->', texts.M].join(''));
        await until('the last step drawn', async () => (await shown()).steps === 4);
        await pictureShows([5, -7]);
        await until('the lines echoed', async () => (await screen()).includes('plz enter your choice1 -7'));
        await answer('3');
        // From the keyboard: Tab leaves the terminal for the steps' controls, then the button.
        const focused = [];
        for (let i = 0; i < 4; i++) {
            await page.keyboard.press('Tab');
            focused.push(await page.evaluate(() => document.activeElement.id));
        }
        assert.deepEqual(focused, ['step-back', 'step', 'step-forward', 'copy-link']);
        await page.keyboard.press('Enter');
        assert.equal(await page.getAttribute('#link', 'href'), `${origin}/#1%205%0A1%20-7%0A2%0A3%0A`);
    },
    async 'a link of 10,000 lines is 10,000 steps, each drawn in part and counted whole'() {
        const lines = Array.from({ length: 10000 }, (_, i) => `1 ${i}\n`).join('');
        await open(`#${encodeURIComponent(lines)}`);
        await until('10,000 steps', async () => (await shown()).steps === 10001, page, 60000);
        const values = Array.from({ length: 10000 }, (_, i) => i);
        for (const k of [10000, 1, 5000, 9999, 0, 7777]) {
            await go(k, 'range');
            const p = await pictureShows(values.slice(0, k));
            assert.ok(p.nodes.length <= 20, `${p.nodes.length} boxes drawn: a drawing must not grow with the list`);
        }
    },
    async 'axe-core finds nothing to fault'() {
        await fresh();
        for (const line of ['1 5', '1 -7', '5', '2']) {
            await answer(line);
        }
        await page.click('#copy-link');
        await page.addScriptTag({ path: resolve(npmDir, 'node_modules/axe-core/axe.min.js') });
        const { violations } = await page.evaluate(() => window.axe.run());
        assert.deepEqual(violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`), []);
    },
    async 'a page that cannot run says why, and no key pretends to listen'() {
        // A page of its own, whose failed requests are the point rather than problems.
        const broken = await browser.newPage();
        // The smallest module that traps: memory and a _start that reaches `unreachable`.
        const trap = Buffer.from('0061736d01000000010401600000030201000503010001071302066d656d6f7279' +
                                 '0200065f737461727400000a05010300000b', 'hex');
        const cases = [
            ['the module missing', (r) => r.fulfill({ status: 404, body: 'no such file' }), origin, 'failed',
             'listmenu.wasm could not be loaded: the server answered 404'],
            ['the page opened from a file', null, pathToFileURL(resolve(pageDir, 'index.html')).href, 'failed',
             `python3 -m http.server --bind 127.0.0.1 --directory ${resolve(pageDir)} 8000,`],
            ['a module that traps', (r) => r.fulfill({ body: trap, contentType: 'application/wasm' }), origin,
             'stopped', 'listmenu stopped unexpectedly (RuntimeError: unreachable). Press Enter to start a new run.'],
        ];
        for (const [name, answer, url, end, said] of cases) {
            await broken.unroute('**/listmenu.wasm');
            if (answer) {
                await broken.route('**/listmenu.wasm', answer);
            }
            await broken.goto(url);
            await until(`${name} to be said`, async () => (await state(broken)) === end, broken);
            assert.ok((await broken.textContent('#status')).includes(said), `${name}: ${await broken.textContent('#status')}`);
            // Long lines wrap across rows between words, never inside one.
            const rows = (await screen(broken)).split('\n').map((r) => r.trim()).join(' ');
            assert.ok(rows.includes(said), `${name}: the terminal does not say it in whole words`);
            const before = await screen(broken);
            await broken.keyboard.type('1 5');
            await broken.keyboard.press('Enter');
            if (end === 'failed') {
                await broken.evaluate(() => window.listmenu.settled());
                assert.equal(await screen(broken), before, `${name}: a key was echoed`);
                assert.equal(await broken.evaluate(() => window.listmenu.unread), '', `${name}: a key was taken`);
            } else {  // Enter starts a new run, which traps in its turn
                await until('a second run to stop', async () => (await screen(broken)).split('stopped unexpectedly').length === 3, broken);
            }
        }
        await broken.close();
    },
    async 'a 360-pixel phone: no sideways scroll, and text from its keyboard reaches the program'() {
        const phone = await browser.newContext({ viewport: { width: 360, height: 740 }, hasTouch: true, isMobile: true });
        const small = watched(await phone.newPage());
        await small.goto(origin);
        await until('the menu', async () => (await state(small)) === 'waiting', small);
        for (const line of ['1 5', '2']) {
            await small.keyboard.insertText(line);
            await small.keyboard.press('Enter');
        }
        const output = () => small.evaluate(() => window.listmenu.output);
        await until('5->', async () => (await output()).endsWith(`5->${texts.M}`), small);
        assert.equal(await output(), [texts.M, texts.D, texts.M, '5->', texts.M].join(''));
        const wide = await small.evaluate(() => document.documentElement.scrollWidth);
        assert.ok(wide <= 360, `the page is ${wide} px wide on a screen of 360`);
        await phone.close();
    },
    async 'Enter after Thank You! starts a new run with an empty list'() {
        await fresh();
        await type('1 8\n6\n');
        await until('Thank You!', async () => (await screen()).includes('Thank You!'));
        await page.keyboard.press('Enter');
        await until('a new run', async () => (await state()) === 'waiting');
        await type('2\n');
        await until('the empty list', async () => (await page.evaluate(() => window.listmenu.output)) ===
                                                  texts.M + texts.E + texts.M);
    },
};

let failed = 0;
try {
    // PAGE_TEST_ONLY=text runs only the checks whose names hold it.
    for (const [name, check] of Object.entries(checks).filter(([n]) => n.includes(process.env.PAGE_TEST_ONLY ?? ''))) {
        try {
            await check();
            console.log(`ok      ${name}`);
        } catch (e) {
            failed++;
            console.log(`FAILED  ${name}\n${e.message}`);
        }
    }
    for (const problem of problems) {
        failed++;
        console.log(`FAILED  ${problem}`);
    }
} finally {
    await close();
    clearTimeout(deadline);
}
process.exitCode = failed === 0 ? 0 : 1;
