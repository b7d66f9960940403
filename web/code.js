// The code panel (#code): at a wait, the source of each list operation the step ran; at a line
// step, each function on the stack, outermost first, with the line about to run marked
// (aria-current) and each caller's calling line marked apart. Each line of a function is an
// element of its own, so that marking one changes two attributes and lays out nothing else.
'use strict';

const code = (() => {
    const panel = document.getElementById('code');
    const idle = document.createElement('p');
    idle.textContent = 'No list operation ran at this step.';
    let sources = new Map();  // file → its text, as the module was built from it
    let figures = new Map();  // "file name" → the function's figure, made once per run
    let marked = [];          // the lines marked now

    // Where `name` is defined in `text`: from the line that names it at the margin to the
    // margin's closing brace.
    function find(text, name) {
        const lines = text.split('\n');
        const named = new RegExp(`^\\S.*[\\s*&]${name}\\(.*\\{$`);
        const start = lines.findIndex((l) => named.test(l));
        const end = lines.indexOf('}', start);
        return start >= 0 && end > start ? { line: start + 1, lines: lines.slice(start, end + 1) } : null;
    }

    function figure(file, name) {
        const key = `${file} ${name}`;
        if (!figures.has(key)) {
            const s = find(sources.get(file) ?? '', name);
            const f = document.createElement('figure');
            f.dataset.function = name;
            const title = document.createElement('figcaption');
            title.textContent = s ? `${name}, ${file} line ${s.line}` : name;
            const pre = document.createElement('pre');
            (s ? s.lines : []).forEach((text, i) => {
                const line = document.createElement('span');
                line.dataset.line = String(s.line + i);
                line.textContent = text;
                pre.append(...(i === 0 ? [line] : ['\n', line]));
            });
            f.append(title, pre);
            figures.set(key, f);
        }
        return figures.get(key);
    }

    function unmark() {
        for (const line of marked) {
            line.removeAttribute('aria-current');
            delete line.dataset.calling;
        }
        marked = [];
        delete panel.dataset.file;
        delete panel.dataset.line;
    }

    // A new run's sources (a Map of file → text).
    function reset(texts) {
        sources = texts;
        figures = new Map();
        marked = [];
    }

    // At a wait: the list operations `calls` ran, each once, in the order they first ran.
    function operations(calls) {
        unmark();
        panel.dataset.functions = calls.join(' ');
        panel.replaceChildren(...(calls.length === 0 ? [idle] : [...new Set(calls)].map((n) => figure('list/list.cpp', n))));
    }

    // At a line step: `stack`, the frames outermost first (web/frames.js's named()).
    function stack(frames) {
        unmark();
        panel.dataset.functions = frames.map((f) => f.name).join(' ');
        const shown = frames.map((f) => figure(f.file, f.name));
        if (shown.length !== panel.children.length || shown.some((f, i) => panel.children[i] !== f)) {
            panel.replaceChildren(...shown);
        }
        frames.forEach((f, i) => {
            const line = shown[i].querySelector(`[data-line="${f.line}"]`);
            if (line === null) {
                return;
            }
            if (i === frames.length - 1) {
                line.setAttribute('aria-current', 'step');
                panel.dataset.file = f.file;
                panel.dataset.line = String(f.line);
            } else {
                line.dataset.calling = '';
            }
            marked.push(line);
        });
    }

    return { reset, operations, stack };
})();
