// Runs listmenu.wasm, or any WASI module, with Node.js 18 or newer:
//
//     node --no-warnings run.mjs listmenu.wasm
//
// The module gets this process's standard input, output and error, and nothing else: no files and
// no environment. Its exit status becomes this process's. (--no-warnings keeps Node.js from
// noting on standard error that WASI is experimental.) `--dir DIR` lets the module open the files
// under DIR, for a program given file names; listmenu opens none.
import { readFile } from 'node:fs/promises';
import { WASI } from 'node:wasi';

const usage = 'usage: node --no-warnings run.mjs [--dir DIR] MODULE.wasm [ARG...]';
const preopens = {};
let [module, ...args] = process.argv.slice(2);
while (module === '--dir' && args.length > 1) {
    const dir = args.shift();
    preopens[dir] = dir;
    module = args.shift();
}
if (module === undefined || module.startsWith('-')) {
    console.error(usage);
    process.exit(2);
}
let bytes;
try {
    bytes = await readFile(module);
} catch (e) {
    console.error(`run.mjs: cannot read ${module}: ${e.message}\n${usage}`);
    process.exit(2);
}
// wasiImport rather than getImportObject(), which Node.js 18 does not have.
const wasi = new WASI({ version: 'preview1', args: [module, ...args], env: {}, preopens, returnOnExit: true });
const imports = { wasi_snapshot_preview1: wasi.wasiImport };
const compiled = await WebAssembly.compile(bytes);
// Anything else it imports gets a function that does nothing: the web page's build of listmenu
// tells the page about its memory, and here no one draws.
for (const { module: from, name } of WebAssembly.Module.imports(compiled)) {
    imports[from] ??= {};
    imports[from][name] ??= () => {};
}
const instance = await WebAssembly.instantiate(compiled, imports);
process.exitCode = wasi.start(instance);
