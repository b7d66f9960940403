// Line Back, Line Forward and the range over the line steps of the answer shown, found when asked
// for (web/trace.js), and for what is shown, a wait or a line step: the picture, the frames with
// their locals (#frames), what the answer has written (#output) and, at a line step, the code.
// A node's data or next, pressed, shows the line step whose line last wrote it.
'use strict';

const linesteps = (() => {
    const heap = document.getElementById('heap');
    const back = document.getElementById('line-back');
    const forward = document.getElementById('line-forward');
    const range = document.getElementById('line');
    const said = document.getElementById('line-text');
    const panel = document.getElementById('frames');
    const output = document.getElementById('output');
    const { link } = picture;
    const kept = 4;          // traced answers kept, the latest asked for
    let run = null;          // the page's run, whose steps are shown
    let traces = new Map();  // answer step → the promise of its trace
    let line = null;         // the line step shown, from 1, or null at a wait
    let asked = 0;           // what was asked for last, so that a later ask overrides a slower one

    function traced(k) {
        if (!traces.has(k)) {
            const handed = run.steps.slice(1, k + 1).map((s) => s.at.handed);
            const mine = traces;
            traces.set(k, load.compiled.then((compiled) => trace.answer(compiled, handed, k, run.checkpoints)).catch((e) => {
                mine.delete(k);  // to be tried again when next asked for
                throw e;
            }));
            if (traces.size > kept) {
                traces.delete(traces.keys().next().value);
            }
        }
        return traces.get(k);
    }
    const count = (t) => t.record.steps.length - 1;

    // The frames, outermost first, each local with its value as the picture writes it.
    function drawFrames(stack) {
        panel.replaceChildren(...stack.map((f) => {
            const frame = document.createElement('section');
            frame.dataset.frame = f.name;
            const title = document.createElement('h3');
            title.textContent = `${f.name}, ${f.file} line ${f.line}`;
            const list = document.createElement('dl');
            for (const l of f.locals) {
                const value = l.value === null ? '?' : l.pointer ? link(l.value) : String(l.value);
                const item = document.createElement('div');
                item.dataset.local = l.name;
                item.dataset.value = value;
                const name = document.createElement('dt');
                name.textContent = l.name;
                const shown = document.createElement('dd');
                shown.textContent = value;
                if (l.dangling) {
                    item.dataset.dangling = '';
                    shown.textContent += ' (dangling: given back to the heap)';
                }
                item.append(name, shown);
                list.append(item);
            }
            frame.append(title, list);
            return frame;
        }));
    }

    function controls(k, steps) {
        if (steps === null) {
            delete heap.dataset.lineSteps;
        } else {
            heap.dataset.lineSteps = String(steps);
        }
        range.max = String(Math.max(1, steps ?? 1));
        range.value = String(line ?? steps ?? 1);
        range.setAttribute('aria-valuetext', line === null ? 'the wait after the answer' : `line step ${line} of ${steps}`);
        // aria-disabled rather than disabled, so that Tab still reaches both buttons.
        const none = (by) => String(trace.cross({ k, line }, by, steps ?? 1, run.steps.length - 1) === null);
        back.setAttribute('aria-disabled', none(-1));
        forward.setAttribute('aria-disabled', none(1));
    }

    // The wait that closes the answer step `page` (the page's run) shows. Its line steps are
    // counted once it has been shown a moment, so that a replay's passing steps trace nothing.
    let counting = 0;
    function waiting(page) {
        if (page !== run) {
            traces = new Map();
            run = page;
        }
        line = null;
        const k = run.shown;
        const step = run.steps[k];
        picture.draw(run, frames.pointing(step.at.stack));
        delete heap.dataset.lineStep;
        drawFrames(step.at.stack);
        const before = k === 0 ? 0 : run.steps[k - 1].at.written;
        output.textContent = run.written.slice(before, step.at.written);
        said.textContent = `The wait for the next answer, after step ${k}'s lines.`;
        controls(k, null);
        const ask = ++asked;
        clearTimeout(counting);
        if (load.compiled !== null) {
            counting = setTimeout(() => traced(k).then((t) => ask === asked && controls(k, count(t)), failed), 150);
        }
    }

    // Shows line step `j` of answer step `k` (clamped).
    async function show(k, j) {
        const ask = ++asked;
        const t = await traced(k);
        if (ask !== asked) {
            return;
        }
        const n = count(t);
        if (n === 0) {
            stepper.at(run, k);
            return;
        }
        stepper.answer(run, k);
        line = Math.min(Math.max(1, j), n);
        steps.go(t.record, line);
        const at = t.record.steps[line].at;
        const stack = frames.named(at.stack, t, at.from, at.gone);
        picture.draw(t.record, frames.pointing(stack), { step: k, steps: run.steps.length });
        heap.dataset.lineStep = String(line);
        drawFrames(stack);
        code.stack(stack);
        const text = t.output.slice(0, at.written);
        if (output.textContent !== text) {
            output.textContent = text;
        }
        said.textContent = `Line step ${line} of ${n} of step ${k}: ${at.file} line ${at.line} is about to run.`;
        controls(k, n);
    }

    async function move(by) {
        if (run === null || (by < 0 ? back : forward).getAttribute('aria-disabled') === 'true') {
            return;
        }
        const k = run.shown;
        const ask = ++asked;
        // On from a wait, no count of its own lines is needed: the next answer's are.
        const lines = line === null && by > 0 ? 0 : count(await traced(k));
        if (ask !== asked) {
            return;  // something else was shown meanwhile
        }
        const to = trace.cross({ k, line }, by, lines, run.steps.length - 1);
        if (to !== null && to.line === null) {
            stepper.at(run, to.k);
        } else if (to !== null) {
            await show(to.k, to.line);
        }
    }

    // The line step whose line last wrote the field at `address`, from what is shown back.
    async function writer(address) {
        const shown = run.shown;
        let before = line ?? Infinity;
        for (let k = shown; k >= 0; k--, before = Infinity) {
            if (k < shown && !run.steps[k].at.stores.includes(address)) {
                continue;
            }
            const ask = ++asked;
            const stores = (await traced(k)).stores.filter((s) => s.address === address && s.step < before);
            if (ask !== asked) {
                return undefined;  // something else was shown meanwhile
            }
            if (stores.length > 0) {
                return show(k, stores[stores.length - 1].step);
            }
        }
        said.textContent = 'No line of this run wrote that field.';
    }

    // A trace that cannot be made says so where the line steps are told.
    const failed = (e) => {
        said.textContent = `The line steps cannot be found: ${e.message}.`;
    };
    back.addEventListener('click', () => move(-1).catch(failed));
    forward.addEventListener('click', () => move(1).catch(failed));
    range.addEventListener('input', () => run !== null && show(run.shown, Number(range.value)).catch(failed));
    heap.addEventListener('click', (e) => {
        const field = e.target.closest('[data-field]');
        if (field !== null && run !== null) {
            const address = parseInt(field.closest('[data-address]').dataset.address, 16);
            writer(field.dataset.field === 'next' ? address + 4 : address).catch(failed);
        }
    });
    // The arrow keys step lines wherever they are not the terminal's or a control's own.
    document.addEventListener('keydown', (e) => {
        const own = e.target.closest?.('#terminal, input, textarea, select');
        if (!own && (e.key === 'ArrowLeft' || e.key === 'ArrowRight') && !e.altKey && !e.ctrlKey && !e.metaKey) {
            e.preventDefault();
            move(e.key === 'ArrowLeft' ? -1 : 1).catch(failed);
        }
    });

    return { waiting };
})();
