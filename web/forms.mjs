// The page's two forms, on which its test runs every check and its benchmark times either: the
// folder page as a server gives it, and the one file, listmenu.html, opened from a file.
// The one file is opened from a folder that holds nothing else, as a file handed out would be,
// so that a load of anything beside it fails in either engine, whether or not the engine tells
// of a file's request (Firefox's WebDriver BiDi tells of none).
import { copyFileSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

// Each form: its name, the page's address (`home`, to which a link's # and lines are added), and
// the requests it may make.
export function pageForms(origin, pageDir) {
    const alone = mkdtempSync(join(tmpdir(), 'listmenu-one-file-'));
    copyFileSync(resolve(pageDir, 'listmenu.html'), join(alone, 'listmenu.html'));
    const file = pathToFileURL(join(alone, 'listmenu.html')).href;
    const remove = () => rmSync(alone, { recursive: true, force: true });
    process.on('exit', remove);
    return {
        forms: [
            { name: 'served', home: `${origin}/`, allows: (url) => new URL(url).origin === origin },
            // Nothing but the page itself: not even its own folder.
            { name: 'file', home: file, allows: (url) => url.split('#')[0] === file },
        ],
        remove,
    };
}
