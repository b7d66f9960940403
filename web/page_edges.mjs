// The page's checks at its edges: a page that cannot run says why and takes no keys, a 360-pixel
// phone neither scrolls sideways nor loses its keyboard's text, and axe-core finds nothing to fault.
import assert from 'node:assert/strict';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { driver } from './page_drive.mjs';

export default function edges({ origin, browser, pageDir, npmDir, texts, probed, watched, drive }) {
    const { page, answer, fresh } = drive;
    return {
        async 'axe-core finds nothing to fault'() {
            await fresh();
            for (const line of ['1 5', '1 -7', '5', '2']) {
                await answer(line);
            }
            await page.click('#copy-link');
            await page.addScriptTag({ path: resolve(npmDir, 'node_modules/axe-core/axe.min.js') });
            const { violations } = await page.evaluate(() => window.axe.run());
            assert.deepEqual(violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`), []);
        },
        async 'a page that cannot run says why, and no key pretends to listen'() {
            // A page of its own, whose failed requests are the point rather than problems.
            const broken = await probed(await browser.newPage());
            const { screen, state, until } = driver(broken, origin);
            // The smallest module that traps: memory and a _start that reaches `unreachable`.
            const trap = Buffer.from('0061736d01000000010401600000030201000503010001071302066d656d6f7279' +
                                     '0200065f737461727400000a05010300000b', 'hex');
            const cases = [
                ['the module missing', (r) => r.fulfill({ status: 404, body: 'no such file' }), origin, 'failed',
                 'listmenu.wasm could not be loaded: the server answered 404'],
                ['the page opened from a file', null, pathToFileURL(resolve(pageDir, 'index.html')).href, 'failed',
                 `python3 -m http.server --bind 127.0.0.1 --directory ${resolve(pageDir)} 8000,`],
                ['a module that traps', (r) => r.fulfill({ body: trap, contentType: 'application/wasm' }), origin,
                 'stopped', 'listmenu stopped unexpectedly (RuntimeError: unreachable). Press Enter to start a new run.'],
            ];
            for (const [name, fulfil, url, end, said] of cases) {
                await broken.unroute('**/listmenu.wasm');
                if (fulfil) {
                    await broken.route('**/listmenu.wasm', fulfil);
                }
                await broken.goto(url);
                await until(`${name} to be said`, async () => (await state()) === end);
                assert.ok((await broken.textContent('#status')).includes(said), `${name}: ${await broken.textContent('#status')}`);
                // Long lines wrap across rows between words, never inside one.
                const rows = (await screen()).split('\n').map((r) => r.trim()).join(' ');
                assert.ok(rows.includes(said), `${name}: the terminal does not say it in whole words`);
                const before = await screen();
                await broken.keyboard.type('1 5');
                await broken.keyboard.press('Enter');
                if (end === 'failed') {
                    await broken.evaluate(() => window.listmenu.settled());
                    assert.equal(await screen(), before, `${name}: a key was echoed`);
                    assert.equal(await broken.evaluate(() => window.listmenu.unread), '', `${name}: a key was taken`);
                } else {  // Enter starts a new run, which traps in its turn
                    await until('a second run to stop', async () => (await screen()).split('stopped unexpectedly').length === 3);
                }
            }
            await broken.close();
        },
        async 'a 360-pixel phone: no sideways scroll, and text from its keyboard reaches the program'() {
            const phone = await browser.newContext({ viewport: { width: 360, height: 740 }, hasTouch: true, isMobile: true });
            const small = await watched(await phone.newPage());
            const { state, output, until } = driver(small, origin);
            await small.goto(origin);
            await until('the menu', async () => (await state()) === 'waiting');
            for (const line of ['1 5', '2']) {
                await small.keyboard.insertText(line);
                await small.keyboard.press('Enter');
            }
            await until('5->', async () => (await output()).endsWith(`5->${texts.M}`));
            assert.equal(await output(), [texts.M, texts.D, texts.M, '5->', texts.M].join(''));
            const wide = await small.evaluate(() => document.documentElement.scrollWidth);
            assert.ok(wide <= 360, `the page is ${wide} px wide on a screen of 360`);
            await phone.close();
        },
    };
}
