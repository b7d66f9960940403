// Runs a module of the page's build under Node.js, for the dialogue tests: WASI as
// cmake/wasi-run.mjs gives it, and the page's "heap" functions as ones that do nothing, since no
// one draws. `--dir DIR` lets the module open the files under DIR (the corpus replay's).
//
// Usage: node --no-warnings node_run.mjs [--dir DIR] MODULE.wasm [ARG...]
import { readFile } from 'node:fs/promises';
import { WASI } from 'node:wasi';

const preopens = {};
let [file, ...args] = process.argv.slice(2);
while (file === '--dir' && args.length > 1) {
    const dir = args.shift();
    preopens[dir] = dir;
    file = args.shift();
}
if (file === undefined || file.startsWith('-')) {
    console.error('usage: node --no-warnings node_run.mjs [--dir DIR] MODULE.wasm [ARG...]');
    process.exit(2);
}
const module = await WebAssembly.compile(await readFile(file));
const heap = Object.fromEntries(WebAssembly.Module.imports(module)
    .filter((i) => i.module === 'heap').map((i) => [i.name, () => {}]));
const wasi = new WASI({ version: 'preview1', args: [file, ...args], env: {}, preopens, returnOnExit: true });
const instance = await WebAssembly.instantiate(module, { wasi_snapshot_preview1: wasi.wasiImport, heap });
process.exitCode = wasi.start(instance);
