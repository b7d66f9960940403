// The module, fetched once as the page opens or taken from the one-file page (web/inline.cmake),
// and what the page says when it cannot have it.
'use strict';

const load = (() => {
    // The one-file page's module, as hex, so that it runs opened from a file.
    const embedded = typeof listmenuModule === 'string' ? listmenuModule : null;

    // Compiled from the bytes rather than the stream, so that a server that does not know .wasm
    // files (and so does not say application/wasm) serves the page as well.
    async function compile() {
        if (embedded !== null) {
            const bytes = new Uint8Array(embedded.length / 2);
            for (let i = 0; i < bytes.length; i++) {
                bytes[i] = parseInt(embedded.slice(2 * i, 2 * i + 2), 16);
            }
            return WebAssembly.compile(bytes);
        }
        const response = await fetch('listmenu.wasm');
        if (!response.ok) {
            throw new Error(`the server answered ${response.status} ${response.statusText}`.trim());
        }
        return WebAssembly.compile(await response.arrayBuffer());
    }

    // Browsers fetch nothing for a page opened from a file: without the module inside it, there is
    // nothing to try.
    const fromFile = window.location.protocol === 'file:' && embedded === null;
    const compiled = fromFile ? null : compile();

    // Why no run can start, `reason` being what went wrong when the module was fetched.
    function failure(reason) {
        if (!fromFile) {
            return `listmenu.wasm could not be loaded: ${reason}. Reload the page to try again.`;
        }
        // The one file holds the module and so needs no fetch; it is built and zipped beside this page.
        return 'This page cannot load listmenu.wasm when it is opened from a file. ' +
            'Open listmenu.html, beside this page, instead: it is the whole page in one file, and runs opened from a file.';
    }

    // The module being compiled; null for a page opened from a file with no module inside it.
    return { compiled, failure };
})();
