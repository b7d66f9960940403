// Back, Forward and the range over a run's steps, and for the step shown: the list of what its
// answer wrote in memory (#changes) and, at its wait, the source of the list operations it ran
// (#code); the picture and the frames are web/linesteps.js's.
'use strict';

const stepper = (() => {
    const back = document.getElementById('step-back');
    const forward = document.getElementById('step-forward');
    const range = document.getElementById('step');
    const said = document.getElementById('step-text');
    const list = document.getElementById('changes');
    const { hex, link } = picture;
    let current = null;     // the run whose steps are shown

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

    // Shows step `k` of `run` but for the picture and the code, which the line steps draw.
    let listed = null;  // the step whose changes #changes lists, kept while line steps move in it
    function answer(run, k) {
        if (run !== current) {
            current = run;
            code.reset(run.sources);
            listed = null;
        }
        steps.go(run, k);
        const step = run.steps[run.shown];
        if (step === listed) {
            return;
        }
        listed = step;
        const items = step.changes.map((c) => item(c, run));
        if (items.length === 0) {
            const li = document.createElement('li');
            li.textContent = 'Nothing in the list\'s memory changed at this step.';
            items.push(li);
        }
        list.replaceChildren(...items);
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

    // Shows the wait that closes step `k` of `run`, with the list operations it ran.
    function show(run, k) {
        answer(run, k);
        code.operations(run.steps[run.shown].calls);
        linesteps.waiting(run);
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

    return { show: newest, at: show, answer };
})();
