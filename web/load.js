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
        // The page's own folder, as a command line names it (C:\... on Windows).
        const folder = decodeURIComponent(window.location.pathname.replace(/\/[^/]*$/, ''))
            .replace(/^\/([A-Za-z]:)/, '$1');
        const named = /\s/.test(folder) ? `"${folder}"` : folder;
        return 'listmenu.wasm cannot be loaded by a page opened from a file: browsers fetch modules only ' +
            'from a web server. Serve this folder, for example with ' +
            `python3 -m http.server --bind 127.0.0.1 --directory ${named} 8000, ` +
            'and open http://127.0.0.1:8000/ instead.';
    }

    // The module being compiled; null for a page opened from a file with no module inside it.
    return { compiled, failure };
})();
