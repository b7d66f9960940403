// The page's check of its one-file form, build/web/listmenu.html, opened from a file: the table's
// dialogues run in it as in the served page, and it asks for nothing, not even its own folder.
import assert from 'node:assert/strict';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { driver } from './page_drive.mjs';
import typing from './page_typing.mjs';

export default function oneFile(context) {
    const { browser, pageDir, probed } = context;
    return {
        async 'the one-file page opened from a file runs the dialogues, asking for nothing'() {
            const url = pathToFileURL(resolve(pageDir, 'listmenu.html')).href;
            const page = await probed(await browser.newPage());
            const problems = [];
            page.on('request', (r) => r.url().split('#')[0] === url || r.url().startsWith('data:') ||
                                      problems.push(`request: ${r.url()}`));
            page.on('pageerror', (e) => problems.push(`script error: ${e.message}`));
            page.on('console', (m) => m.type() === 'error' && problems.push(`console error: ${m.text()}`));
            try {
                const drive = driver(page, url.replace(/\/[^/]*$/, ''), 'listmenu.html');
                await typing({ ...context, drive })['dialogues of the table']();
                assert.deepEqual(problems, []);
            } finally {
                await page.close();
            }
        },
    };
}
