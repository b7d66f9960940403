#!/usr/bin/env python3
"""The web build's compiler launcher for list/ and menu/: compiles the source to LLVM IR with
debug information, adds calls that tell the page each line, frame and store as it runs, then
compiles that IR with the flags it was given, so the sources stay exactly as they are.

Usage (CMake's CXX_COMPILER_LAUNCHER): instrument.py ROOT COMPILER ARGS... -c SOURCE -o OBJECT

Into each function defined in SOURCE it puts:
  - at entry, listmenu_line_enter(about, locals): `about` a JSON text naming the function, its
    file and line, and its parameters and locals (name, kind, declaration line), read from the
    debug information; `locals` an array of their addresses, in that order;
  - listmenu_line(line) before the first instruction of each block, and wherever the line changes;
  - listmenu_line_call(line) before each call, so that untraced each frame still knows its line;
  - listmenu_line_declared(index) once a local's declaration has run, after its line's hook;
  - listmenu_line_stored(address) after each store that is not to one of the function's own locals;
  - listmenu_line_leave() before each return.
"""
import json
import os
import re
import subprocess
import sys

METADATA = re.compile(r"^!(\d+) = (?:distinct )?!(\w+)\((.*)\)$")
FIELD = re.compile(r'(\w+): ("(?:[^"\\]|\\.)*"|[^,]+)')
DBG = re.compile(r", !dbg !(\d+)")
DECLARE = re.compile(r"call void @llvm\.dbg\.declare\(metadata (.+?)\* (%[\w.]+), metadata !(\d+),")
ALLOCA = re.compile(r"^  (%[\w.]+) = alloca ")
STORE = re.compile(r"^  store (?:volatile )?(.*)$")
LABEL = re.compile(r"^[\w.]+:")
SKIPPED = re.compile(r"^  (?:%[\w.]+ = )?(?:alloca |phi |call void @llvm\.dbg\.)")
CALL = re.compile(r"^  (?:%[\w.]+ = )?(?:tail |notail )?call (?!.*@(?:llvm\.|listmenu_line))")


def metadata(lines):
    nodes = {}
    for line in lines:
        m = METADATA.match(line)
        if m:
            fields = {k: v.strip('"') for k, v in FIELD.findall(m.group(3))}
            nodes["!" + m.group(1)] = (m.group(2), fields)
    return nodes


def kind(nodes, ref, members):
    """What the page makes of a value of the type `ref`: int, ptr, ref-..., console or other."""
    while ref in nodes:
        what, f = nodes[ref]
        tag = f.get("tag", "")
        if what == "DIBasicType":
            return "int" if f.get("name") == "int" else "other"
        if tag == "DW_TAG_pointer_type":
            return "ptr"
        if tag == "DW_TAG_reference_type":
            return "ref-" + kind(nodes, f.get("baseType"), members)
        if what == "DICompositeType" and f.get("name") == "console":
            # Where the console's unflushed output starts and ends: the page shows it as written.
            offsets = {m["name"]: int(m.get("offset", 0)) // 8 for m in members(ref)}
            return f"console:{offsets['out_begin']}:{offsets['out_at']}"
        if tag not in ("DW_TAG_const_type", "DW_TAG_typedef", "DW_TAG_volatile_type"):
            return "other"
        ref = f.get("baseType")
    return "other"


def top_level(text):
    """`text` split at its commas outside brackets, parentheses, braces and quotes."""
    parts, depth, quoted, start = [], 0, False, 0
    for i, c in enumerate(text):
        if c == '"':
            quoted = not quoted
        elif not quoted and c in "([{<":
            depth += 1
        elif not quoted and c in ")]}>":
            depth -= 1
        elif not quoted and depth == 0 and c == ",":
            parts.append(text[start:i].strip())
            start = i + 1
    parts.append(text[start:].strip())
    return parts


def instrument(text, root, source):
    lines = text.split("\n")
    nodes = metadata(lines)
    members = lambda ref: [f for w, f in nodes.values() if f.get("tag") == "DW_TAG_member" and f.get("scope") == ref]
    line_of = lambda ref: int(nodes[ref][1].get("line", 0)) if ref in nodes else 0
    out, extra, count = [], [], 0
    i = 0
    while i < len(lines):
        line = lines[i]
        m = re.match(r"^define .*!dbg (!\d+) \{$", line)
        if not m:
            out.append(line)
            i += 1
            continue
        end = lines.index("}", i)
        body = lines[i + 1:end]
        _, sub = nodes[m.group(1)]
        _, file = nodes[sub["file"]]
        path = os.path.relpath(os.path.join(file.get("directory", ""), file["filename"]), root)
        if path != source:  # the headers' inline functions run as they are
            out.extend(lines[i:end + 1])
            i = end + 1
            continue
        allocas = {a.group(1) for a in map(ALLOCA.match, body) if a}
        declared = [d.groups() for d in map(DECLARE.search, body) if d]
        locals_ = []
        for type_, address, var in declared:
            f = nodes["!" + var][1]
            if "name" not in f:
                continue
            locals_.append({"name": f["name"], "kind": kind(nodes, f.get("type"), members),
                            "line": 0 if "arg" in f else int(f["line"]), "type": type_, "at": address})
        about = json.dumps({"name": sub["name"], "file": path, "line": int(sub["line"]),
                            "locals": [{k: v for k, v in l.items() if k in ("name", "kind", "line")} for l in locals_]},
                           separators=(",", ":"))
        count += 1
        name = f"@listmenu.about.{count}"
        size = len(about.encode()) + 1
        quoted = about.replace('"', "\\22")
        extra.append(f'{name} = private unnamed_addr constant [{size} x i8] c"{quoted}\\00"')
        out.append(line)
        # The frame is told once every local has its place: after the entry block's allocas.
        entry = next((k for k, b in enumerate(body) if not b.strip() or LABEL.match(b)), len(body))
        placed = max([k for k in range(entry) if ALLOCA.match(body[k])], default=-1) + 1
        last = None
        temp = 0
        waiting = []  # locals declared on a line whose hook is still to come
        for index, b in enumerate(body):
            if index == placed:
                n = len(locals_)
                frame = "null"
                if n:
                    out.append(f"  %listmenu.frame = alloca [{n} x i8*], align 4")
                    for k, l in enumerate(locals_):
                        out.append(f"  %listmenu.slot.{k} = getelementptr inbounds [{n} x i8*], [{n} x i8*]* %listmenu.frame, i32 0, i32 {k}")
                        out.append(f"  %listmenu.local.{k} = bitcast {l['type']}* {l['at']} to i8*")
                        out.append(f"  store i8* %listmenu.local.{k}, i8** %listmenu.slot.{k}, align 4")
                    frame = "%listmenu.slot.0"
                out.append(f"  call void @listmenu_line_enter(i8* getelementptr inbounds ([{size} x i8], [{size} x i8]* {name}, i32 0, i32 0), i8** {frame})")
            if LABEL.match(b):
                last = None
                out.append(b)
                continue
            # A local counts as declared from the line after its declaration's line; past 32 locals,
            # where the record's bits end, always.
            d = DECLARE.search(b)
            k = next((k for k, l in enumerate(locals_) if d and l["at"] == d.group(2) and l["line"] and k < 32), None)
            dbg = DBG.search(b)
            if dbg and not SKIPPED.match(b):
                at = line_of("!" + dbg.group(1))
                if at and at != last:
                    out.append(f"  call void @listmenu_line(i32 {at}), !dbg !{dbg.group(1)}")
                    out.extend(f"  call void @listmenu_line_declared(i32 {w}), !dbg !{dbg.group(1)}" for w in waiting)
                    waiting = []
                    last = at
            tail = f", !dbg !{dbg.group(1)}" if dbg else ""
            if CALL.match(b) and dbg and line_of("!" + dbg.group(1)):
                out.append(f"  call void @listmenu_line_call(i32 {line_of('!' + dbg.group(1))}){tail}")
            if b.startswith("  ret "):
                out.append(f"  call void @listmenu_line_leave(){tail}")
            out.append(b)
            if k is not None:
                if locals_[k]["line"] == last:
                    out.append(f"  call void @listmenu_line_declared(i32 {k}){tail}")
                else:
                    waiting.append(k)
            s = STORE.match(b)
            if s:
                target = top_level(s.group(1))[1]
                type_, address = target.rsplit(" ", 1)
                if address not in allocas:
                    temp += 1
                    out.append(f"  %listmenu.stored.{temp} = bitcast {type_} {address} to i8*")
                    out.append(f"  call void @listmenu_line_stored(i8* %listmenu.stored.{temp}){tail}")
        out.append("}")
        i = end + 1
    out += extra + ["declare void @listmenu_line_enter(i8*, i8**)", "declare void @listmenu_line(i32)", "declare void @listmenu_line_call(i32)",
                    "declare void @listmenu_line_stored(i8*)", "declare void @listmenu_line_declared(i32)", "declare void @listmenu_line_leave()"]
    return "\n".join(out) + "\n"


def main(argv):
    root, command = argv[0], argv[1:]
    source = command[command.index("-c") + 1]
    at = command.index("-o")
    ir = command[at + 1] + ".ll"
    # The first compile writes the dependency file, the second reads only the IR.
    emit = command[:at] + ["-o", ir] + command[at + 2:]
    emit = [a for a in emit if not a.startswith("-O") and a != "-flto=thin"]
    subprocess.run(emit + ["-S", "-emit-llvm", "-g", "-O0", "-Xclang", "-disable-O0-optnone"], check=True)
    with open(ir, encoding="utf-8") as f:
        text = instrument(f.read(), root, os.path.relpath(source, root))
    with open(ir, "w", encoding="utf-8") as f:
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
            compile_.append(ir if a == source else a)
    subprocess.run(compile_ + ["-Wno-override-module", "-Wno-unused-command-line-argument"], check=True)


if __name__ == "__main__":
    main(sys.argv[1:])
