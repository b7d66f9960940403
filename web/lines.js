// A terminal's line editing, as a POSIX terminal does it before a program sees a line: characters
// echo as typed, Backspace takes the last one back, Enter hands the line over, and Control-D hands
// over a partial line, or on an empty line ends the input. Lines wait in a queue and go to the
// program one at a time, one per wait, so that each is a step; a line that was not echoed as it
// was typed (a paste, a link's lines, typing ahead) is echoed as it is handed over.
'use strict';

const lines = (() => {
    const encoder = new TextEncoder();

    // `echo` writes to the terminal.
    function create(echo) {
        return {
            echo,
            line: '',           // the line being typed
            echoed: 0,          // how much of it is on the screen
            queue: [],          // lines typed and not yet handed over: { text, echoed, end }
            waiting: null,      // while the program waits on an empty queue: resolves its wait
            bytes: new Uint8Array(0),  // handed over, not yet read by the program
            ended: false,
            typed: '',          // all handed over this run, for a link that replays it
            last: null,         // the line handed over last
            closed: false,      // the end of the input is queued: nothing typed counts any more
        };
    }

    function push(input, entry) {
        input.queue.push(entry);
        input.closed = entry.end;
        input.line = '';
        input.echoed = 0;
        if (input.waiting) {
            const resume = input.waiting;
            input.waiting = null;
            resume();
        }
    }

    // One character typed.
    function edit(input, c) {
        if (input.closed) {
            return;
        }
        const shown = input.waiting !== null && input.echoed === input.line.length;
        if (c === '\r' || c === '\n') {
            if (shown) {
                input.echo('\r\n');
            }
            push(input, { text: `${input.line}\n`, echoed: shown, end: false });
        } else if (c === '\x7f' || c === '\b') {
            if (input.line !== '') {
                if (input.echoed === input.line.length) {
                    input.echo('\b \b');
                    input.echoed--;
                }
                input.line = input.line.slice(0, -1);
            }
        } else if (c === '\x04') {
            push(input, { text: input.line, echoed: shown, end: input.line === '' });
        } else if (c >= ' ') {
            input.line += c;
            if (shown) {
                input.echo(c);
                input.echoed++;
            }
        }
    }

    // Lines to be handed over in turn, echoed as they go.
    function queue(input, text) {
        const parts = text.split('\n');
        const rest = parts.pop();
        for (const part of parts) {
            push(input, { text: `${part}\n`, echoed: false, end: false });
        }
        for (const c of rest) {
            edit(input, c);
        }
    }

    // Waits until a line is there and hands it over. Until then, what has been typed
    // of the next line shows after the program's prompt.
    async function next(input) {
        if (input.queue.length === 0) {
            input.echo(input.line.slice(input.echoed));
            input.echoed = input.line.length;
            await new Promise((resume) => {
                input.waiting = resume;
            });
        }
        const entry = input.queue.shift();
        if (!entry.echoed) {
            input.echo(entry.text.replace('\n', '\r\n'));
        }
        input.bytes = encoder.encode(entry.text);
        input.ended = entry.end;
        input.typed += entry.text;
        input.last = entry;
    }

    const ready = (input) => input.bytes.length > 0 || input.ended;

    // Up to `room` bytes of what was handed over; none at the end of the input.
    function take(input, room) {
        const chunk = input.bytes.subarray(0, room);
        input.bytes = input.bytes.subarray(chunk.length);
        return chunk;
    }

    return { create, edit, queue, next, ready, take };
})();
