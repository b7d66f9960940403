// The page in a real browser: Debian's Chromium, driven by playwright-core, against the built page
// served on 127.0.0.1 by Python's http.server, as the README serves it. Keys are typed as a person
// types them, and the terminal's text is read from the page as a screen reader reads it.
//
// Usage: node page_test.mjs PAGE_DIR NPM_DIR PYTHON TESTS_DIR SCREENSHOT_PNG
import { execFileSync, spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';
import { createInterface } from 'node:readline';
import assert from 'node:assert/strict';

const [pageDir, npmDir, python, testsDir, screenshot] = process.argv.slice(2);
const { chromium } = createRequire(resolve(npmDir, 'package.json'))('playwright-core');
const deadline = setTimeout(() => {
    console.error('page_test: still running after 240 s');
    process.exit(1);
}, 240000);

// The program's texts and the table of dialogues, read by the module every runner reads them with.
const read = (expression) => JSON.parse(execFileSync(python, ['-c', `import json, dialogue; print(json.dumps(${expression}))`],
                                                     { cwd: testsDir, encoding: 'latin1' }));
const texts = read('dict(M=dialogue.M, D=dialogue.D, P=dialogue.P, E=dialogue.E)');
const table = new Map(read('dialogue.table()').map(([name, typed, written, ending]) => [name, { typed, written, ending }]));

const server = spawn(python, ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '--directory', pageDir, '0'],
                     { stdio: ['ignore', 'pipe', 'ignore'] });
const [port] = await new Promise((found) => createInterface({ input: server.stdout })
    .on('line', (line) => /port (\d+)/.test(line) && found(line.match(/port (\d+)/).slice(1))));
const origin = `http://127.0.0.1:${port}`;
process.on('exit', () => server.kill());

const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
});
const page = await browser.newPage({ viewport: { width: 900, height: 760 } });
const problems = [];
page.on('request', (r) => new URL(r.url()).origin === origin || r.url().startsWith('data:') ||
                          problems.push(`request off the origin: ${r.url()}`));
page.on('pageerror', (e) => problems.push(`script error: ${e.message}`));
page.on('console', (m) => m.type() === 'error' && problems.push(`console error: ${m.text()}`));

// The terminal's rows as the DOM renderer shows them, each without its trailing blanks.
const screen = () => page.$$eval('.xterm-rows > div', (rows) => rows.map((r) => r.textContent.trimEnd()).join('\n'));
const state = () => page.evaluate(() => window.listmenu.state);
async function until(what, check) {
    for (const stop = Date.now() + 10000; Date.now() < stop; await page.waitForTimeout(20)) {
        if (await check()) {
            return;
        }
    }
    assert.fail(`waited 10 s for ${what}; the screen shows:\n${await screen()}`);
}
const type = (text) => page.keyboard.type(text.replace(/\n/g, '\r'));
const ctrlD = () => page.keyboard.press('Control+D');
async function fresh() {
    await page.goto(origin);
    await until('the menu', async () => (await state()) === 'waiting');
}

const checks = {
    async 'typed answers show the list, the menu on its line'() {
        await fresh();
        for (const line of ['1 5', '1 -7', '2']) {
            await type(line);
            await page.keyboard.press('Enter');
        }
        await until('5->-7->1.create linked list', async () => (await screen()).includes('5->-7->1.create linked list'));
        await page.screenshot({ path: screenshot });
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
    for (const [name, check] of Object.entries(checks)) {
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
    await browser.close();
    server.kill();
    clearTimeout(deadline);
}
process.exitCode = failed === 0 ? 0 : 1;
