// The page's figures, in one engine (web/browser.mjs) and one form (web/forms.mjs): how long the
// page takes from being opened to its first prompt on screen; how long a link of 10,000 appends
// takes to replay as 10,000 steps; how long a jump to a random step takes to draw (timed here,
// from the range's input event to the page laid out); and the JavaScript heap after the replay,
// where the engine tells it; and the line steps' figures (web/page_bench_lines.mjs). Medians of
// --runs runs (default 3), each in a page of its own.
//
// Usage: node page_bench.mjs PAGE_DIR NPM_DIR PYTHON [--engine chromium|firefox] [--form served|file] [--runs N]
// e.g.   node web/page_bench.mjs build/web build/web-build/web/npm python3 --engine firefox --form file
import { readFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import { parseArgs } from 'node:util';
import { engineNames, launch, newPage } from './browser.mjs';
import { pageForms } from './forms.mjs';
import { draws } from './random.mjs';
import { lineFigures } from './page_bench_lines.mjs';

const { positionals: [pageDir, npmDir, python], values: options } = parseArgs({
    allowPositionals: true,
    options: { engine: { type: 'string', default: 'chromium' }, form: { type: 'string', default: 'served' },
               runs: { type: 'string', default: '3' } },
});
if (!engineNames.includes(options.engine) || !['served', 'file'].includes(options.form) || !python) {
    console.error(`usage: node page_bench.mjs PAGE_DIR NPM_DIR PYTHON [--engine ${engineNames.join('|')}] ` +
                  '[--form served|file] [--runs N]');
    process.exit(2);
}
const runs = Number(options.runs);
const lines = 10000;
const jumps = 50;
const deadline = setTimeout(() => {
    console.error('page_bench: still running after 600 s');
    process.exit(1);
}, 600000);

let displayLines = 0;  // the display's line steps
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const probes = readFileSync(fileURLToPath(new URL('probes.js', import.meta.url)), 'utf8');
// The page's clock at the first frame in which `test`, which gives it once it holds, holds.
const clock = async (page, test, ...args) => (await page.waitForFunction(test, { polling: 'raf', timeout: 300000 },
                                                                         ...args)).jsonValue();

const { origin, browser, close } = await launch(options.engine, pageDir, npmDir, python);
const { forms, remove } = pageForms(origin, pageDir);
const { home } = forms.find((f) => f.name === options.form);
const figures = { prompt: [], replay: [], jump: [], most: [], heap: [], first: [], line: [], lineMost: [], lineHeap: [],
                  last: [], again: [] };
// A fresh page at the page's address with `typed` as its link, once it has replayed as `steps` steps.
async function open(typed, steps) {
    const page = await newPage(browser);
    await page.goto(`${home}#${encodeURIComponent(typed)}`, { waitUntil: 'domcontentloaded' });
    await clock(page, (n) => document.getElementById('heap')?.dataset.steps === String(n) && performance.now(), steps);
    return page;
}
try {
    for (let run = 0; run < runs; run++) {
        const page = await newPage(browser);
        await page.evaluateOnNewDocument(probes);
        await page.goto(home, { waitUntil: 'domcontentloaded' });
        figures.prompt.push(await clock(page, () => window.listmenu.state === 'waiting' &&
            document.querySelector('.xterm-rows').textContent.includes('plz enter your choice') && performance.now()));
        const typed = Array.from({ length: lines }, (_, i) => `1 ${i}\n`).join('');
        await page.goto('about:blank');
        await page.goto(`${home}#${encodeURIComponent(typed)}`, { waitUntil: 'domcontentloaded' });
        figures.replay.push(await clock(page, (n) => document.getElementById('heap')?.dataset.steps === String(n + 1) &&
            performance.now(), lines) / 1000);
        const heap = await page.evaluate(() => performance.memory?.usedJSHeapSize ?? null);
        if (heap !== null) {
            figures.heap.push(heap / 2 ** 20);
        }
        const times = [];
        const next = draws(run + 1);
        for (let i = 0; i < jumps; i++) {
            times.push(await page.$eval('#step', (range, to) => {
                const start = performance.now();
                range.value = String(to);
                range.dispatchEvent(new Event('input', { bubbles: true }));
                document.body.getBoundingClientRect();  // lays the page out now, so that the time includes it
                return performance.now() - start;
            }, next() % (lines + 1)));
        }
        figures.jump.push(median(times));
        figures.most.push(Math.max(...times));
        const lined = await lineFigures(page, open);
        figures.first.push(lined.first);
        figures.line.push(median(lined.next));
        figures.lineMost.push(Math.max(...lined.next));
        if (lined.heap !== null) {
            figures.lineHeap.push(lined.heap);
        }
        figures.last.push(lined.last);
        figures.again.push(lined.again);
        displayLines = lined.count;
        await page.close();
    }
} finally {
    await close();
    remove();
    clearTimeout(deadline);
}
const f = (xs, digits) => `${median(xs).toFixed(digits)} (runs: ${xs.map((x) => x.toFixed(digits)).join(', ')})`;
const where = `${options.engine}, ${options.form === 'file' ? 'the one file from a file' : 'the folder page served'}`;
console.log(`${where}: opened to its first prompt on screen: ${f(figures.prompt, 0)} ms`);
console.log(`${where}: ${lines} lines replayed as ${lines} steps, page open to last step: ${f(figures.replay, 1)} s`);
console.log(`${where}: jump to a random step, drawn with its layout: median ${f(figures.jump, 1)} ms, ` +
            `most ${f(figures.most, 1)} ms`);
console.log(figures.heap.length > 0 ? `${where}: usedJSHeapSize after the replay: ${f(figures.heap, 1)} MB`
                                    : `${where}: the JavaScript heap: not told (no performance.memory in ${options.engine})`);
console.log(`${where}: Line forward at step 4,999's wait to answer 5,000's first line step: ${f(figures.first, 1)} ms`);
console.log(`${where}: each next line step, drawn with its layout: median ${f(figures.line, 1)} ms, most ${f(figures.lineMost, 1)} ms`);
if (figures.lineHeap.length > 0) {
    console.log(`${where}: usedJSHeapSize after those line steps: ${f(figures.lineHeap, 1)} MB`);
}
console.log(`${where}: the last of a 2,000-node display's ${displayLines} line steps, asked for at once: ${f(figures.last, 1)} ms; ` +
            `once counted: ${f(figures.again, 1)} ms`);
