// The page's figures at 10,000 steps, in Chromium: how long a link of 10,000 appends takes to
// replay as 10,000 steps, how long a jump to a random step takes to draw (timed here, from the
// range's input event to the page laid out), and the JavaScript heap after the replay. Medians
// of --runs runs (default 3).
//
// Usage: node page_bench.mjs PAGE_DIR NPM_DIR PYTHON [--runs N]
// e.g.   node web/page_bench.mjs build/web build/web-build/web/npm python3
import { launch } from './browser.mjs';

const [pageDir, npmDir, python, option, value] = process.argv.slice(2);
const runs = option === '--runs' ? Number(value) : 3;
const lines = 10000;
const jumps = 50;
const deadline = setTimeout(() => {
    console.error('page_bench: still running after 600 s');
    process.exit(1);
}, 600000);

const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const { origin, browser, close } = await launch(pageDir, npmDir, python);
const figures = { replay: [], jump: [], most: [], heap: [] };
try {
    for (let run = 0; run < runs; run++) {
        const page = await browser.newPage({ viewport: { width: 900, height: 760 } });
        const typed = Array.from({ length: lines }, (_, i) => `1 ${i}\n`).join('');
        await page.goto(`${origin}/#${encodeURIComponent(typed)}`);
        await page.waitForFunction((n) => document.getElementById('heap').dataset.steps === String(n + 1), lines,
                                   { polling: 100, timeout: 300000 });
        figures.replay.push(await page.evaluate(() => performance.now()) / 1000);
        figures.heap.push(await page.evaluate(() => performance.memory.usedJSHeapSize) / 2 ** 20);
        const times = [];
        for (let i = 0, r = run + 1; i < jumps; i++) {
            r = (r * 1103515245 + 12345) % 2147483648;
            times.push(await page.$eval('#step', (range, to) => {
                const start = performance.now();
                range.value = String(to);
                range.dispatchEvent(new Event('input', { bubbles: true }));
                document.body.getBoundingClientRect();  // lays the page out now, so that the time includes it
                return performance.now() - start;
            }, r % (lines + 1)));
        }
        figures.jump.push(median(times));
        figures.most.push(Math.max(...times));
        await page.close();
    }
} finally {
    await close();
    clearTimeout(deadline);
}
const f = (xs, digits) => `${median(xs).toFixed(digits)} (runs: ${xs.map((x) => x.toFixed(digits)).join(', ')})`;
console.log(`${lines} lines replayed as ${lines} steps, page open to last step: ${f(figures.replay, 1)} s`);
console.log(`jump to a random step, drawn with its layout: median ${f(figures.jump, 1)} ms, most ${f(figures.most, 1)} ms`);
console.log(`usedJSHeapSize after the replay: ${f(figures.heap, 1)} MB`);
