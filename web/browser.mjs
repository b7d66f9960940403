// The page in a real browser, for its test and its benchmark: the built page served on 127.0.0.1
// by Python's http.server, as the README serves it, and one of Debian's own browsers driven by
// puppeteer-core: Chromium through its DevTools protocol, Firefox ESR through WebDriver BiDi.
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';
import { createInterface } from 'node:readline';

// Each engine as Debian installs it; none is ever downloaded.
const engines = {
    chromium: {
        browser: 'chrome', executablePath: '/usr/bin/chromium',
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
               '--disable-component-update', '--disable-sync', '--enable-precise-memory-info'],
        // So that the test can read back what "Copy link" copied; Firefox lets it without asking.
        grants: ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write'],
    },
    firefox: { browser: 'firefox', executablePath: '/usr/bin/firefox-esr', protocol: 'webDriverBiDi' },
};

export const engineNames = Object.keys(engines);

export async function launch(engine, pageDir, npmDir, python) {
    if (!(engine in engines)) {
        throw new Error(`no engine ${engine}: one of ${engineNames.join(', ')}`);
    }
    const puppeteer = createRequire(resolve(npmDir, 'package.json'))('puppeteer-core');
    const server = spawn(python, ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '--directory', pageDir, '0'],
                         { stdio: ['ignore', 'pipe', 'ignore'] });
    process.on('exit', () => server.kill());
    const [port] = await new Promise((found) => createInterface({ input: server.stdout })
        .on('line', (line) => /port (\d+)/.test(line) && found(line.match(/port (\d+)/).slice(1))));
    const { grants, ...options } = engines[engine];
    const browser = await puppeteer.launch({ ...options, headless: true, timeout: 60000, protocolTimeout: 120000 });
    for (const where of grants ? [`http://127.0.0.1:${port}`, 'file://'] : []) {
        await browser.defaultBrowserContext().overridePermissions(where, grants);
    }
    const close = async () => {
        await browser.close();
        server.kill();
    };
    return { engine, origin: `http://127.0.0.1:${port}`, browser, close };
}

// A fresh page `width` by `height`, in `browser` or in one of its contexts.
export async function newPage(where, width = 900, height = 760) {
    const page = await where.newPage();
    await page.setViewport({ width, height });
    return page;
}

export const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
