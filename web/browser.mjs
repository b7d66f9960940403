// The page in a real browser, for its test and its benchmark: the built page served on 127.0.0.1
// by Python's http.server, as the README serves it, and Debian's Chromium driven by playwright-core.
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';
import { createInterface } from 'node:readline';

export async function launch(pageDir, npmDir, python) {
    const { chromium } = createRequire(resolve(npmDir, 'package.json'))('playwright-core');
    const server = spawn(python, ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '--directory', pageDir, '0'],
                         { stdio: ['ignore', 'pipe', 'ignore'] });
    process.on('exit', () => server.kill());
    const [port] = await new Promise((found) => createInterface({ input: server.stdout })
        .on('line', (line) => /port (\d+)/.test(line) && found(line.match(/port (\d+)/).slice(1))));
    const browser = await chromium.launch({
        executablePath: '/usr/bin/chromium',
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
               '--disable-component-update', '--disable-sync', '--enable-precise-memory-info'],
    });
    const close = async () => {
        await browser.close();
        server.kill();
    };
    return { origin: `http://127.0.0.1:${port}`, browser, close };
}
