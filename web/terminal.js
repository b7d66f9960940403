// The terminal on the page (xterm.js): as wide as the page allows, the page's own messages wrapped
// at word boundaries, Tab left to the page, and text that arrives as input events (on-screen
// keyboards, voice typing, autocomplete) taken as typed.
'use strict';

const terminal = (() => {
    const box = document.getElementById('terminal');
    const term = new Terminal({ convertEol: true, screenReaderMode: true, cursorBlink: true, rows: 22 });
    term.open(box);
    term.focus();
    // Tab moves the focus on through the page, as everywhere else; the program has no use for it.
    term.attachCustomKeyEventHandler((e) => e.key !== 'Tab');

    // As many columns as the box holds, so that a narrow screen wraps the program's lines rather
    // than scrolling the page sideways. A cell is measured in the terminal's own font.
    const scrollbar = 16;  // px kept for the terminal's scroll bar
    function fit() {
        const probe = document.createElement('span');
        probe.style.cssText = `position: absolute; visibility: hidden; white-space: pre;
                               font: ${term.options.fontSize}px ${term.options.fontFamily}`;
        probe.textContent = 'W'.repeat(100);
        document.body.append(probe);
        const cell = probe.getBoundingClientRect().width / 100;
        probe.remove();
        const style = getComputedStyle(box);
        const room = box.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight) - scrollbar;
        const columns = Math.max(20, Math.floor(room / cell));
        if (columns !== term.cols) {
            term.resize(columns, term.rows);
        }
    }
    fit();
    window.addEventListener('resize', fit);

    // Lines of at most `width` characters, broken between words; a longer word has a line of its own.
    function wrap(text, width) {
        const lines = [''];
        for (const word of text.split(' ')) {
            const last = lines[lines.length - 1];
            if (last === '' || last.length + 1 + word.length <= width) {
                lines[lines.length - 1] = last === '' ? word : `${last} ${word}`;
            } else {
                lines.push(word);
            }
        }
        return lines;
    }

    // Says `text` in the terminal, set apart from the program's own output.
    function say(text) {
        term.write(`\r\n${wrap(text, term.cols).map((l) => `\x1b[7m${l}\x1b[0m`).join('\r\n')}\r\n`);
    }

    // Calls `handler` with what is typed. xterm.js leaves input events to the page in its
    // screen-reader mode; those that follow a key press are the key's, which xterm.js has
    // already taken, so only the others are handed on.
    function listen(handler) {
        term.onData(handler);
        let keyed = false;
        const area = term.textarea;
        area.addEventListener('keydown', () => { keyed = true; }, true);
        area.addEventListener('keyup', () => { keyed = false; }, true);
        area.addEventListener('blur', () => { keyed = false; });
        area.addEventListener('input', (e) => {
            if (keyed) {
                return;
            }
            if (e.inputType === 'insertText' && e.data) {
                handler(e.data.replace(/\n/g, '\r'));
            } else if (e.inputType === 'insertLineBreak') {
                handler('\r');
            }
        });
    }

    // Resolves once the terminal has taken in everything written to it so far.
    const drained = () => new Promise((done) => term.write('', done));

    return { write: (text) => term.write(text), say, listen, drained, hideCursor: () => term.write('\x1b[?25l') };
})();
