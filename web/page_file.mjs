// The one file's own checks, beside all the others, which run on it as well (web/forms.mjs): both
// licences travel inside it, each where it belongs, and nothing in it would load another file.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';

export default function oneFile({ engine, form, pageDir, drive, note }) {
    if (form.name !== 'file') {
        return {};
    }
    const { page, open } = drive;
    const licence = (name) => `\n${readFileSync(resolve(pageDir, name), 'utf8')}`;
    return {
        async "the one file carries both licences, ours at its head and xterm.js's beside its copy"() {
            await open();  // the page as parsed: no run needed
            // As the browser parsed them: comments that a stray --> would have cut short.
            const [head, beside] = await page.evaluate(() => {
                const comment = (n) => (n?.nodeType === Node.COMMENT_NODE ? n.data : null);
                let before = [...document.scripts].find((s) => s.text.startsWith('// xterm.js\n'))?.previousSibling;
                while (before?.nodeType === Node.TEXT_NODE && before.data.trim() === '') {
                    before = before.previousSibling;
                }
                return [comment(document.childNodes[1]), comment(before)];
            });
            assert.equal(head, licence('LICENSE.txt'), 'our licence, after <!doctype html>');
            assert.equal(beside, licence('LICENSE-xterm.txt'), "xterm.js's licence, before its script");
        },
        async 'nothing in the one file would load another file'() {
            await open();
            const loading = await page.evaluate(() => [...document.querySelectorAll('[src], link[href]')]
                .filter((e) => !(e.getAttribute('src') ?? e.getAttribute('href')).startsWith('data:'))
                .map((e) => e.outerHTML.slice(0, 100)));
            assert.deepEqual(loading, []);
            if (engine === 'firefox') {
                note('WebDriver BiDi tells of no request for a file, nor does a failed fetch of one show: here the ' +
                     'one file is checked by its tags alone, and a script that fetched a file beside it would pass');
            }
        },
    };
}
