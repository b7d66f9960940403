#!/usr/bin/env python3
"""The web build's compiler launcher for list/ and menu/: compiles the source to LLVM IR with
debug information, adds calls that tell the page each line, frame and store as it runs (web/ir.py),
then compiles that IR with the flags it was given, so the sources stay exactly as they are.

Usage (CMake's CXX_COMPILER_LAUNCHER): instrument.py ROOT COMPILER ARGS... -c SOURCE -o OBJECT
"""
import os
import subprocess
import sys

import ir


def main(argv):
    root, command = argv[0], argv[1:]
    source = command[command.index("-c") + 1]
    at = command.index("-o")
    rewritten = command[at + 1] + ".ll"
    # The first compile writes the dependency file, the second reads only the IR.
    emit = command[:at] + ["-o", rewritten] + command[at + 2:]
    emit = [a for a in emit if not a.startswith("-O") and a != "-flto=thin"]
    subprocess.run(emit + ["-S", "-emit-llvm", "-g", "-O0", "-Xclang", "-disable-O0-optnone"], check=True)
    with open(rewritten, encoding="utf-8") as f:
        text = ir.instrument(f.read(), root, os.path.relpath(source, root))
    with open(rewritten, "w", encoding="utf-8") as f:
        f.write(text)
    depfile = {"-MD", "-MMD"}
    compile_ = []
    skip = 0
    for a in command:
        if skip:
            skip -= 1
        elif a in ("-MT", "-MF", "-MQ"):
            skip = 1
        elif a not in depfile:
            compile_.append(rewritten if a == source else a)
    subprocess.run(compile_ + ["-Wno-override-module", "-Wno-unused-command-line-argument"], check=True)


if __name__ == "__main__":
    main(sys.argv[1:])
