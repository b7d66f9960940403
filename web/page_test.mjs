// The page in a real browser: Debian's Chromium, driven by playwright-core, against the built page
// served on 127.0.0.1 by Python's http.server, as the README serves it. Each page opened carries
// web/probes.js, and none may request anything off the page's origin or meet a script error;
// the one-file page, opened from a file, may request nothing at all (web/page_file.mjs).
//
// Usage: node page_test.mjs PAGE_DIR NPM_DIR PYTHON TESTS_DIR SCREENSHOT_PNG
// (PAGE_TEST_ONLY=text in the environment runs only the checks whose names hold the text.)
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch } from './browser.mjs';
import { driver } from './page_drive.mjs';
import typing from './page_typing.mjs';
import stepping from './page_stepping.mjs';
import edges from './page_edges.mjs';
import oneFile from './page_file.mjs';

const [pageDir, npmDir, python, testsDir, screenshot] = process.argv.slice(2);
const deadline = setTimeout(() => {
    console.error('page_test: still running after 280 s');
    process.exit(1);
}, 280000);

// The program's texts and the table of dialogues, read by the module every runner reads them with.
const read = (expression) => JSON.parse(execFileSync(python, ['-c', `import json, random, dialogue; print(json.dumps(${expression}))`],
                                                     { cwd: testsDir, encoding: 'latin1', timeout: 30000, maxBuffer: 1 << 24 }));
const texts = read('dict(M=dialogue.M, D=dialogue.D, P=dialogue.P, E=dialogue.E)');
const table = new Map(read('dialogue.table()').map(([name, typed, written, ending]) => [name, { typed, written, ending }]));
const listSource = readFileSync(resolve(testsDir, '../list/list.cpp'), 'latin1');

const { origin, browser, close } = await launch(pageDir, npmDir, python);
const probes = fileURLToPath(new URL('probes.js', import.meta.url));
const probed = async (p) => {
    await p.addInitScript({ path: probes });
    return p;
};
const problems = [];
// `allowed`: the requests the page may make; by default, those to its own origin.
function watched(p, allowed = (url) => new URL(url).origin === origin) {
    p.on('request', (r) => allowed(r.url()) || r.url().startsWith('data:') ||
                           problems.push(`request off the origin: ${r.url()}`));
    p.on('pageerror', (e) => problems.push(`script error: ${e.message}`));
    p.on('console', (m) => m.type() === 'error' && problems.push(`console error: ${m.text()}`));
    return probed(p);
}
const page = await watched(await browser.newPage({ viewport: { width: 900, height: 760 } }));
const context = { origin, browser, pageDir, npmDir, screenshot, texts, table, read, listSource, probed, watched,
                  drive: driver(page, origin) };
const checks = { ...typing(context), ...stepping(context), ...edges(context), ...oneFile(context) };

let failed = 0;
try {
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
