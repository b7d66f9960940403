// The page's check of its one-file form, build/web/listmenu.html, opened from a file: the table's
// dialogues run in it as in the served page, and it asks for nothing, not even its own folder.
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { driver } from './page_drive.mjs';
import typing from './page_typing.mjs';

export default function oneFile(context) {
    const { browser, pageDir, watched } = context;
    return {
        async 'the one-file page opened from a file runs the dialogues, asking for nothing'() {
            const url = pathToFileURL(resolve(pageDir, 'listmenu.html')).href;
            // Nothing but the page itself: not even its own folder.
            const page = await watched(await browser.newPage(), (asked) => asked.split('#')[0] === url);
            try {
                const drive = driver(page, url.replace(/\/[^/]*$/, ''), 'listmenu.html');
                await typing({ ...context, drive })['dialogues of the table']();
            } finally {
                await page.close();
            }
        },
    };
}
