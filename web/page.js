// The module's "page" imports (web/page.hpp), which tell a run's record (web/steps.js) where
// `first` lives, the blocks taken and released, the list operations entered and left, and
// list.cpp's text; `ended` is called when the menu returns, with `first` in scope.
'use strict';

function pageImports(record, memory, ended) {
    const decoder = new TextDecoder();
    const text = (at, size) => decoder.decode(new Uint8Array(memory().buffer, at, size));
    return {
        head(at) {
            record.firstAt = at;
        },
        source(at, size) {
            record.source = text(at, size);
        },
        operation(code, at, size) {
            steps.operation(record, code, text(at, size));
        },
        taken: (block, size) => steps.taken(record, block, size),
        released: (block) => steps.released(record, block),
        entered: (code) => steps.entered(record, code),
        left: () => steps.left(record),
        ended,
    };
}
