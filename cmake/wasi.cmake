# WebAssembly with WASI: one listmenu.wasm for any WASI runtime (Node.js, wasmtime, ...). Debian's
# clang 14 targets it with packages lld-14, wasi-libc, libc++-14-dev-wasm32,
# libc++abi-14-dev-wasm32 and libclang-rt-14-dev-wasm32. The tests run the module under Node.js
# through wasi-run.mjs, which lets the corpus replay read its files.
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/wasi)  # Platform/WASI.cmake
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_FLAGS_INIT -fno-exceptions)  # libc++ for wasm32 is built without them
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-warnings ${CMAKE_CURRENT_LIST_DIR}/wasi-run.mjs --dir /)
