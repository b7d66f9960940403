// The module's "page" imports (web/page.hpp), handed to `listener`: where `first` lives, the
// sources, the blocks taken and released, the frames of list/ and menu/ entered and left, their
// lines while traced, their stores, and where the line hooks keep their record; `ended` is called
// when the menu returns, with `first` in scope. The page's own run (web/listmenu.js) and a traced
// run (web/trace.js) each listen in their own way.
'use strict';

function pageImports(listener, memory, ended) {
    const decoder = new TextDecoder();
    const text = (at, size) => decoder.decode(new Uint8Array(memory().buffer, at, size));
    const seen = wasi.viewer(memory);
    const abouts = new Map();  // the functions' descriptions, read once each, by address
    function about(at) {
        if (!abouts.has(at)) {
            const bytes = new Uint8Array(memory().buffer, at);
            abouts.set(at, JSON.parse(decoder.decode(bytes.subarray(0, bytes.indexOf(0)))));
        }
        return abouts.get(at);
    }
    return {
        head: (at) => listener.head(at),
        source: (file, length, at, size) => listener.source(text(file, length), text(at, size)),
        taken: (block, size) => listener.taken(block, size),
        released: (block) => listener.released(block),
        frame(at, locals) {
            const f = about(at);
            const view = seen();
            listener.frame(f, f.locals.map((_, i) => view.getUint32(locals + 4 * i, true)));
        },
        left: () => listener.left(),
        line: (line) => listener.line(line),
        stored: (at) => listener.stored(at),
        lines: (at) => listener.lines(at),
        ended,
    };
}
