// The page's checks at its edges: a page that cannot run says why and takes no keys, a 360-pixel
// phone neither scrolls sideways nor loses its keyboard's text, and axe-core finds nothing to fault.
import assert from 'node:assert/strict';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { newPage } from './browser.mjs';
import { driver } from './page_drive.mjs';

export default function edges({ engine, form, browser, pageDir, npmDir, texts, probed, watched, drive, note }) {
    const { page, home, answer, fresh } = drive;
    const checks = {
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
        async 'a 360-pixel phone: no sideways scroll, and text from its keyboard reaches the program'() {
            const phone = await browser.createBrowserContext();
            try {
                const small = await watched(await phone.newPage());
                await small.setViewport({ width: 360, height: 740, hasTouch: true, isMobile: true });
                const { state, output, until } = driver(small, home);
                await small.goto(home);
                await until('the menu', async () => (await state()) === 'waiting');
                // As an on-screen keyboard gives text: characters with no key pressed for them.
                for (const line of ['1 5', '2']) {
                    for (const character of line) {
                        await small.keyboard.sendCharacter(character);
                    }
                    await small.keyboard.press('Enter');
                }
                await until('5->', async () => (await output()).endsWith(`5->${texts.M}`));
                assert.equal(await output(), [texts.M, texts.D, texts.M, '5->', texts.M].join(''));
                const [wide, touch] = await small.evaluate(() => [document.documentElement.scrollWidth, navigator.maxTouchPoints]);
                assert.ok(wide <= 360, `the page is ${wide} px wide on a screen of 360`);
                if (touch === 0) {
                    note('no touch screen is emulated (maxTouchPoints 0): the phone is a 360-pixel window with a mouse');
                }
                if (engine === 'firefox') {
                    note("a phone keyboard's text arrives as execCommand('insertText') under WebDriver BiDi, " +
                         "not as an input method's commit");
                }
            } finally {
                await phone.close();
            }
        },
    };
    if (form.name !== 'served') {
        return checks;  // the pages that cannot run are the folder page's
    }
    return {
        ...checks,
        async 'a page that cannot run says why, and no key pretends to listen'() {
            // A page of its own, whose failed requests are the point rather than problems.
            const broken = await probed(await newPage(browser));
            try {
                await cannotRun(broken);
            } finally {
                await broken.close();  // so that a page left stopped cannot hold up the checks after it
            }
        },
    };

    // The folder page when its module is missing, when it is opened from a file, and when its
    // module traps, each in `broken`.
    async function cannotRun(broken) {
        let answered = null;  // what the server is made to answer for the module, if not the module
        await broken.setRequestInterception(true);
        broken.on('request', (r) => (answered && r.url().endsWith('/listmenu.wasm') ? r.respond(answered) : r.continue()));
        const { screen, state, until, text } = driver(broken, home);
        // The smallest module that traps: memory and a _start that reaches `unreachable`.
        const trap = Buffer.from('0061736d01000000010401600000030201000503010001071302066d656d6f7279' +
                                 '0200065f737461727400000a05010300000b', 'hex');
        // The trap as this engine words it ("unreachable", "unreachable executed").
        await broken.goto(home);
        const trapped = await broken.evaluate((hex) => {
            const bytes = new Uint8Array(hex.match(/../g).map((b) => parseInt(b, 16)));
            return WebAssembly.instantiate(bytes).then((m) => m.instance.exports._start()).catch(String);
        }, trap.toString('hex'));
        // name | the module's answer | address | the run's end | what is said | what must not be
        const cases = [
            ['the module missing', { status: 404, body: 'no such file' }, home, 'failed',
             'listmenu.wasm could not be loaded: the server answered 404', null],
            ['the page opened from a file', null, pathToFileURL(resolve(pageDir, 'index.html')).href, 'failed',
             'Open listmenu.html, beside this page, instead', /server/i],
            ['a module that traps', { status: 200, body: trap, contentType: 'application/wasm' }, home,
             'stopped', `listmenu stopped unexpectedly (${trapped}). Press Enter to start a new run.`, null],
        ];
        for (const [name, reply, url, end, said, unsaid] of cases) {
            answered = reply;
            await broken.goto(url);
            await until(`${name} to be said`, async () => (await state()) === end);
            const status = await text('#status');
            assert.ok(status.includes(said), `${name}: ${status}`);
            if (unsaid) {
                assert.doesNotMatch(status, unsaid, `${name}: ${status}`);
            }
            // Long lines wrap across rows between words, never inside one; the terminal draws
            // them a frame or so after #status has them.
            const words = async () => (await screen()).split('\n').map((r) => r.trim()).join(' ');
            await until(`${name} said on the terminal in whole words`, async () => (await words()).includes(said), 2000);
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
    }
}
