// Runs a WASI module under Node.js on this process's standard input, output and error, and exits
// with the module's status: the emulator for the wasi build's tests, and the way to start
// listmenu.wasm with Node.js (run with --no-warnings, or Node.js notes on standard error that WASI
// is experimental). The module sees the whole file system, so that a program given file names,
// as the corpus replay is, can open them; listmenu itself opens none.
//
// Usage: node --no-warnings wasi-run.mjs MODULE.wasm [ARG...]
import { readFile } from 'node:fs/promises';
import { WASI } from 'node:wasi';

const [module, ...args] = process.argv.slice(2);
const wasi = new WASI({ version: 'preview1', args: [module, ...args], env: {}, preopens: { '/': '/' },
                        returnOnExit: true });
const compiled = await WebAssembly.compile(await readFile(module));
const instance = await WebAssembly.instantiate(compiled, wasi.getImportObject());
process.exitCode = wasi.start(instance);
