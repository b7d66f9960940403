// The line steps' figures, for web/page_bench.mjs: in the page after a link of 10,000 appends, how
// long Line forward at the wait before answer 5,000 takes to show that answer's first line step,
// and how long each next line step takes to draw; then the JavaScript heap, where the engine tells
// it; and in a page after 2,000 appends and a display, how long Line back at the display's wait
// takes to show its last line step, of 6,000 or more: pressed as soon as the wait is shown, and
// once the page has counted them. Each is timed in the page, from the click to the page laid
// out with #heap saying it shows the line step.

// Clicks `button` and resolves to the ms until #heap holds `step` and `line` (a number, or 'last').
function timed(page, button, step, line) {
    return page.evaluate((id, k, j) => new Promise((done) => {
        const heap = document.getElementById('heap');
        const shows = () => heap.dataset.step === String(k) &&
            heap.dataset.lineStep === String(j === 'last' ? heap.dataset.lineSteps : j);
        const start = performance.now();
        const seen = new MutationObserver(() => {
            if (shows()) {
                seen.disconnect();
                document.body.getBoundingClientRect();  // laid out, so that the time includes it
                done(performance.now() - start);
            }
        });
        seen.observe(heap, { attributes: true });
        document.getElementById(id).click();
    }), button, step, line);
}

// Shows the wait that closes step `k`, and waits until it is drawn and, if `counted`, until its
// line steps are counted (the page traces the answer shown a moment after it is shown).
async function atWait(page, k, counted) {
    await page.$eval('#step', (range, to) => {
        range.value = String(to);
        range.dispatchEvent(new Event('input', { bubbles: true }));
    }, k);
    await page.waitForFunction((to, counted) => {
        const heap = document.getElementById('heap').dataset;
        return heap.step === String(to) && heap.lineStep === undefined && (!counted || heap.lineSteps !== undefined);
    }, { polling: 50, timeout: 60000 }, k, counted);
}

// `page` has replayed the link of 10,000 appends; `open(fragment)` gives a fresh page at the
// page's address with that fragment, replayed.
export async function lineFigures(page, open, steps = 50) {
    await atWait(page, 4999, true);
    const first = await timed(page, 'line-forward', 5000, 1);
    const next = [];
    for (let j = 2; j <= steps + 1; j++) {
        next.push(await timed(page, 'line-forward', 5000, j));
    }
    const heap = await page.evaluate(() => performance.memory?.usedJSHeapSize ?? null);
    const display = await open(`${Array.from({ length: 2000 }, (_, i) => `1 ${i}\n`).join('')}2\n`, 2002);
    // Asked for at once, before the page counts the display's line steps, and again once counted.
    await atWait(display, 2000, true);
    await atWait(display, 2001, false);
    const last = await timed(display, 'line-back', 2001, 'last');
    await atWait(display, 2001, true);
    const again = await timed(display, 'line-back', 2001, 'last');
    const count = Number(await display.$eval('#heap', (h) => h.dataset.lineSteps));
    await display.close();
    return { first, next, heap: heap === null ? null : heap / 2 ** 20, last, again, count };
}
