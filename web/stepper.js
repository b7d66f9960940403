// Back, Forward and the range over a run's steps, and for the step shown: the picture, the list of
// what its answer wrote in memory (#changes), and the source of the list operations it ran (#code).
'use strict';

const stepper = (() => {
    const back = document.getElementById('step-back');
    const forward = document.getElementById('step-forward');
    const range = document.getElementById('step');
    const said = document.getElementById('step-text');
    const list = document.getElementById('changes');
    const code = document.getElementById('code');
    const { hex, link } = picture;
    let current = null;     // the run whose steps are shown
    let sourceOf = new Map();  // its operations' sources, by name

    // The source of each operation in `text` (list.cpp): a definition starts at the line that
    // names it at the margin and ends at the margin's closing brace.
    function sources(text, names) {
        const lines = text.split('\n');
        const found = new Map();
        for (const name of names) {
            const named = new RegExp(`^\\S.*[\\s*&]${name}\\(.*\\{$`);
            const start = lines.findIndex((l) => named.test(l));
            const end = lines.indexOf('}', start);
            if (start >= 0 && end > start) {
                found.set(name, { line: start + 1, text: lines.slice(start, end + 1).join('\n') });
            }
        }
        return found;
    }

    function item(c, run) {
        const li = document.createElement('li');
        const at = c.address === 'first' ? 'first' : hex(c.address);
        const word = (v) => (v === null ? '' : c.change === 'data' || c.change === 'released' ? String(v) : link(v));
        let text;
        switch (c.change) {
            case 'taken':
                text = `${at}: a block of ${c.to} bytes taken from the heap`;
                if (c.reused !== null) {
                    li.dataset.reused = String(c.reused);
                    text += c.reused === run.shown ? ', where a block was released earlier in this step: the heap hands it out again'
                        : `, the very block released at step ${c.reused}: the heap hands it out again`;
                }
                li.dataset.from = '';
                li.dataset.to = String(c.to);
                break;
            case 'released':
                text = c.block.known ? `${at}: released, holding ${c.block.data}`
                    : `${at}: released without ever holding a list node`;
                li.dataset.from = word(c.from);
                li.dataset.to = '';
                break;
            default:
                text = c.from === null ? `${at}.${c.change} = ${word(c.to)} (a fresh block: nothing before)`
                    : `${at === 'first' ? 'first' : `${at}.${c.change}`}: ${word(c.from)} → ${word(c.to)}`;
                li.dataset.from = word(c.from);
                li.dataset.to = word(c.to);
        }
        li.dataset.change = c.change;
        li.dataset.address = at;
        li.textContent = text;
        return li;
    }

    // Each operation's source, made once per run and shown again as steps call for it.
    let figures = new Map();
    function figure(name) {
        if (!figures.has(name)) {
            const s = sourceOf.get(name);
            const f = document.createElement('figure');
            f.dataset.function = name;
            const title = document.createElement('figcaption');
            title.textContent = s ? `${name}, list/list.cpp line ${s.line}` : name;
            const pre = document.createElement('pre');
            pre.textContent = s ? s.text : '';
            f.append(title, pre);
            figures.set(name, f);
        }
        return figures.get(name);
    }
    const idle = document.createElement('p');
    idle.textContent = 'No list operation ran at this step.';

    function showCode(calls) {
        code.dataset.functions = calls.join(' ');
        code.replaceChildren(...(calls.length === 0 ? [idle] : [...new Set(calls)].map(figure)));
    }

    // Shows step `k` of `run`.
    function show(run, k) {
        if (run !== current) {
            current = run;
            sourceOf = sources(run.source, run.names.values());
            figures = new Map();
        }
        steps.go(run, k);
        picture.draw(run);
        const step = run.steps[run.shown];
        const items = step.changes.map((c) => item(c, run));
        if (items.length === 0) {
            const li = document.createElement('li');
            li.textContent = 'Nothing in the list\'s memory changed at this step.';
            items.push(li);
        }
        list.replaceChildren(...items);
        showCode(step.calls);
        const last = run.steps.length - 1;
        range.max = String(last);
        range.value = String(run.shown);
        range.setAttribute('aria-valuetext', `step ${run.shown} of ${last}`);
        // aria-disabled rather than disabled, so that Tab still reaches both buttons.
        back.setAttribute('aria-disabled', String(run.shown === 0));
        forward.setAttribute('aria-disabled', String(run.shown === last));
        said.textContent = run.shown === 0 ? `Step 0 of ${last}: the program's first wait for an answer.`
            : `Step ${run.shown} of ${last}: after ${step.line === null ? 'the end of the input' : `the line ${JSON.stringify(step.line)}`}.`;
    }

    function move(by, to) {
        if (current !== null && current.steps.length > 0) {
            show(current, to ?? current.shown + by);
        }
    }
    back.addEventListener('click', () => move(-1));
    forward.addEventListener('click', () => move(1));
    range.addEventListener('input', () => move(0, Number(range.value)));

    // Shows the newest step of `run`, as each answer does.
    const newest = (run) => show(run, run.steps.length - 1);

    return { show: newest };
})();
