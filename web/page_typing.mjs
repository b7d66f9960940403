// The page's checks of what is typed: it reaches the program as at a terminal, line by line, and
// the program's dialogue comes back byte for byte, the table's rows included.
import assert from 'node:assert/strict';

export default function typing({ screenshot, texts, table, drive, note }) {
    const { page, screen, state, output, until, type, ctrlD, text, fresh, shown } = drive;
    return {
        async 'typed answers show the list, the menu on its line'() {
            await fresh();
            for (const line of ['1 5', '1 -7', '2', '3', '1 9']) {
                await type(line);
                await page.keyboard.press('Enter');
            }
            await until('5->-7->1.create linked list', async () => (await screen()).includes('5->-7->1.create linked list'));
            // The screenshot shows an append taking the block that the delete before it gave back.
            await until('the fifth step', async () => (await shown()).step === 5);
            await page.screenshot({ path: screenshot, fullPage: true });
        },
        async 'dialogues of the table'() {
            // Typed a line at a time, as at a terminal; Control-D ends a partial last line and then
            // the input, after which the program ends the prompt's line as it does at a terminal.
            for (const name of ['ValuesShowInTypedOrder', 'InvalidPositionsAskAgain', 'GarbageDiscardsTheRestOfItsLine',
                                'DeleteLastOnEmptyKeepsTheLine', 'SixWithoutLineEnd', 'EndAtDataPromptAddsNoNode']) {
                const row = table.get(name);
                await fresh();
                await type(row.typed);
                for (let presses = 0; presses < 2 && (await state()) !== 'ended'; presses++) {
                    await until('the program to wait', async () => ['waiting', 'ended'].includes(await state()));
                    await ctrlD();
                }
                await until('the end of the run', async () => (await state()) === 'ended');
                assert.equal(await output(), row.written + (row.ending === 'stopped' ? '\n' : ''), name);
            }
        },
        async 'Backspace takes back the last characters typed'() {
            await fresh();
            await type('1 59');
            await page.keyboard.press('Backspace');
            await page.keyboard.press('Backspace');
            await type('7\n2\n');
            await until('7->', async () => (await output()).endsWith(`->${texts.M}`));
            assert.equal(await output(), [texts.M, texts.D, texts.M, '7->', texts.M].join(''), 'the line handed over is 1 7');
        },
        async 'lines typed ahead are answers in order'() {
            await fresh();
            const carried = await page.evaluate((text) => {  // a paste, which arrives at once
                const data = new DataTransfer();
                data.setData('text/plain', text);
                const paste = new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true });
                // Firefox hands a constructed event an empty copy of the data: the event is given it.
                const carries = paste.clipboardData?.getData('text/plain') === text;
                if (!carries) {
                    Object.defineProperty(paste, 'clipboardData', { value: data });
                }
                document.querySelector('.xterm-helper-textarea').dispatchEvent(paste);
                return carries;
            }, '1 3\n1 4\n2\n5 1\n2\n');
            if (!carried) {
                note("a paste event made by the page carries no text here: the test gives the event its data itself");
            }
            await until('4->', async () => (await output()).endsWith(`4->${texts.M}`));
            assert.equal(await output(), [texts.M, texts.D, texts.M, texts.D, texts.M, '3->4->', texts.M, texts.P, texts.M,
                                          '4->', texts.M].join(''));
        },
        async 'Control-D on an empty line ends the run'() {
            await fresh();
            await ctrlD();
            await until('the end', async () => (await state()) === 'ended');
            assert.equal(await page.evaluate(() => window.listmenu.status), 0);
            const said = 'listmenu ended with status 0. Press Enter to start a new run.';
            await until('the page to say so', async () => (await screen()).includes(said));
            assert.equal(await text('#status'), said);
        },
        async 'Enter after Thank You! starts a new run with an empty list'() {
            await fresh();
            await type('1 8\n6\n');
            await until('Thank You!', async () => (await screen()).includes('Thank You!'));
            await page.keyboard.press('Enter');
            await until('a new run', async () => (await state()) === 'waiting');
            await type('2\n');
            await until('the empty list', async () => (await output()) === texts.M + texts.E + texts.M);
        },
    };
}
