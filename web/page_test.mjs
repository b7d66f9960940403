// The page in a real browser, Debian's Chromium or Firefox ESR (web/browser.mjs), on both of its
// forms (web/forms.mjs): the folder page served on 127.0.0.1 by Python's http.server, as the
// README serves it, and the one file, listmenu.html, opened from a file. Every suite's checks run
// on each form; a suite is a module whose default export takes the context below and returns its
// checks by name. Each page opened carries web/probes.js, and none may request anything but what
// its form allows or meet a script error. Where the engine cannot show something a check looks
// at, the check says so in a `note` line, and checks what it can.
//
// Usage: node page_test.mjs ENGINE PAGE_DIR NPM_DIR PYTHON TESTS_DIR SCREENSHOT_PNG
// (PAGE_TEST_ONLY=text in the environment runs only the checks whose names hold the text.)
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, newPage } from './browser.mjs';
import { pageForms } from './forms.mjs';
import { driver } from './page_drive.mjs';
import typing from './page_typing.mjs';
import stepping from './page_stepping.mjs';
import edges from './page_edges.mjs';
import oneFile from './page_file.mjs';
import lines from './page_lines.mjs';

const suites = [typing, stepping, edges, oneFile, lines];

const [engine, pageDir, npmDir, python, testsDir, screenshot] = process.argv.slice(2);
const limit = 280;
const deadline = setTimeout(() => {
    console.error(`page_test: still running in ${engine} after ${limit} s`);
    process.exit(1);
}, limit * 1000);

// The program's texts and the table of dialogues, read by the module every runner reads them with.
const read = (expression) => JSON.parse(execFileSync(python, ['-c', `import json, random, dialogue; print(json.dumps(${expression}))`],
                                                     { cwd: testsDir, encoding: 'latin1', timeout: 30000, maxBuffer: 1 << 24 }));
const texts = read('dict(M=dialogue.M, D=dialogue.D, P=dialogue.P, E=dialogue.E)');
const table = new Map(read('dialogue.table()').map(([name, typed, written, ending]) => [name, { typed, written, ending }]));
const listSource = readFileSync(resolve(testsDir, '../list/list.cpp'), 'latin1');
const probes = readFileSync(fileURLToPath(new URL('probes.js', import.meta.url)), 'utf8');

const { origin, browser, close } = await launch(engine, pageDir, npmDir, python);
const { forms, remove } = pageForms(origin, pageDir);
const probed = async (p) => {
    await p.evaluateOnNewDocument(probes);
    return p;
};
const problems = [];
const said = new Set();
// What this engine cannot show a check, said once however many forms run it.
const note = (text) => said.has(text) || (said.add(text), console.log(`note    ${engine}: ${text}`));

let passed = 0;
let failed = 0;
try {
    for (const form of forms) {
        // `allows`: the requests a page may make; by default, those its form allows.
        const watched = (p, allows = form.allows) => {
            p.on('request', (r) => allows(r.url()) || r.url().startsWith('data:') ||
                                   problems.push(`${form.name}: a request it may not make: ${r.url()}`));
            p.on('pageerror', (e) => problems.push(`${form.name}: script error: ${e.message}`));
            p.on('console', (m) => m.type() === 'error' && problems.push(`${form.name}: console error: ${m.text()}`));
            return probed(p);
        };
        const page = await watched(await newPage(browser));
        const context = { engine, origin, form, browser, pageDir, npmDir, texts, table, read, listSource, probed, watched,
                          note, screenshot: screenshot.replace(/\.png$/, `-${form.name}.png`), drive: driver(page, form.home) };
        const checks = Object.assign({}, ...suites.map((suite) => suite(context)));
        for (const [name, check] of Object.entries(checks).filter(([n]) => n.includes(process.env.PAGE_TEST_ONLY ?? ''))) {
            const start = Date.now();
            try {
                await check();
                passed++;
                console.log(`ok      ${form.name}: ${name} (${((Date.now() - start) / 1000).toFixed(1)} s)`);
            } catch (e) {
                failed++;
                console.log(`FAILED  ${form.name}: ${name}\n${e.message}`);
            }
        }
        await page.close();
    }
    for (const problem of problems) {
        failed++;
        console.log(`FAILED  ${problem}`);
    }
} finally {
    await close();
    remove();
    clearTimeout(deadline);
}
console.log(`${engine}: ${passed} passed, ${failed} failed`);
process.exitCode = failed === 0 && passed > 0 ? 0 : 1;
