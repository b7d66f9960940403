# WASI, which this CMake does not know of yet: a program is a WebAssembly module.
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
