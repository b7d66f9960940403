"""The rewrite of a module's LLVM IR (as clang 14 writes it at -O0 with debug information) for
web/instrument.py: into each function defined in one source file it puts

  - at entry, listmenu_line_enter(about, locals): `about` a JSON text naming the function, its
    file and line, and its parameters and locals (name, kind, declaration line), read from the
    debug information; `locals` an array of their addresses, in that order;
  - listmenu_line(line) before the first instruction of each block, and wherever the line changes;
  - listmenu_line_call(line) before each call, so that untraced each frame still knows its line;
  - listmenu_line_declared(index, line) once a local's declaration has run, after its line's hook;
  - listmenu_line_stored(address) after each store that is not to one of the function's own locals;
  - listmenu_line_leave() before each return.
"""
import json
import os
import re

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


def kind(nodes, ref):
    """What the page makes of a value of the type `ref`: int, ptr, ref-..., console or other."""
    while ref in nodes:
        what, f = nodes[ref]
        tag = f.get("tag", "")
        if what == "DIBasicType":
            return "int" if f.get("name") == "int" else "other"
        if tag == "DW_TAG_pointer_type":
            return "ptr"
        if tag == "DW_TAG_reference_type":
            return "ref-" + kind(nodes, f.get("baseType"))
        if what == "DICompositeType" and f.get("name") == "console":
            # Where the console's unflushed output starts and ends: the page shows it as written.
            offsets = {m["name"]: int(m.get("offset", 0)) // 8 for m in members(nodes, ref)}
            if "out_begin" not in offsets or "out_at" not in offsets:
                return "other"  # a console without that buffer: the page shows no output so far
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


def members(nodes, ref):
    """The members of the composite type `ref`."""
    return [f for _, f in nodes.values() if f.get("tag") == "DW_TAG_member" and f.get("scope") == ref]


def line_of(nodes, dbg):
    """The source line of the location `dbg` names (a match of DBG), or 0."""
    ref = "!" + dbg.group(1) if dbg else None
    return int(nodes[ref][1].get("line", 0)) if ref in nodes else 0


def locals_of(nodes, body):
    """The function's parameters and locals, in the order of their declarations."""
    found = []
    for type_, address, var in (d.groups() for d in map(DECLARE.search, body) if d):
        f = nodes["!" + var][1]
        if "name" in f:
            found.append({"name": f["name"], "kind": kind(nodes, f.get("type")),
                          "line": 0 if "arg" in f else int(f["line"]), "type": type_, "at": address})
    return found


def entered(locals_, about, size):
    """The entry's lines: the locals' addresses in an array of their own, and the hook's call."""
    n = len(locals_)
    out = [f"  %listmenu.frame = alloca [{n} x i8*], align 4"] if n else []
    for k, l in enumerate(locals_):
        out += [f"  %listmenu.slot.{k} = getelementptr inbounds [{n} x i8*], [{n} x i8*]* %listmenu.frame, i32 0, i32 {k}",
                f"  %listmenu.local.{k} = bitcast {l['type']}* {l['at']} to i8*",
                f"  store i8* %listmenu.local.{k}, i8** %listmenu.slot.{k}, align 4"]
    frame = "%listmenu.slot.0" if n else "null"
    text = f"getelementptr inbounds ([{size} x i8], [{size} x i8]* {about}, i32 0, i32 0)"
    return out + [f"  call void @listmenu_line_enter(i8* {text}, i8** {frame})"]


def rewrite(nodes, body, locals_, entry):
    """The function's body with the hooks' calls, `entry` (its lines) after the entry's allocas."""
    start = next((k for k, b in enumerate(body) if not b.strip() or LABEL.match(b)), len(body))
    placed = max([k for k in range(start) if ALLOCA.match(body[k])], default=-1) + 1
    allocas = {a.group(1) for a in map(ALLOCA.match, body) if a}
    out, last, stores = [], None, 0
    waiting = []  # locals declared on a line whose hook is still to come
    for index, b in enumerate(body):
        if index == placed:
            out += entry
        if LABEL.match(b):
            last = None
            out.append(b)
            continue
        dbg = DBG.search(b)
        tail = f", !dbg !{dbg.group(1)}" if dbg else ""
        at = line_of(nodes, dbg)
        if at and at != last and not SKIPPED.match(b):
            out.append(f"  call void @listmenu_line(i32 {at}){tail}")
            out += [f"  call void @listmenu_line_declared(i32 {w}, i32 {at}){tail}" for w in waiting]
            waiting, last = [], at
        if at and CALL.match(b):
            out.append(f"  call void @listmenu_line_call(i32 {at}){tail}")
        if b.startswith("  ret "):
            out.append(f"  call void @listmenu_line_leave(){tail}")
        out.append(b)
        # A local counts as declared from the line after its declaration's line; past 32 locals,
        # where the record's bits end, always.
        d = DECLARE.search(b)
        k = next((k for k, l in enumerate(locals_) if d and l["at"] == d.group(2) and l["line"] and k < 32), None)
        if k is not None and locals_[k]["line"] == last:
            out.append(f"  call void @listmenu_line_declared(i32 {k}, i32 {last}){tail}")
        elif k is not None:
            waiting.append(k)
        s = STORE.match(b)
        type_, address = top_level(s.group(1))[1].rsplit(" ", 1) if s else (None, None)
        if s and address not in allocas:
            stores += 1
            out += [f"  %listmenu.stored.{stores} = bitcast {type_} {address} to i8*",
                    f"  call void @listmenu_line_stored(i8* %listmenu.stored.{stores}){tail}"]
    return out


HOOKS = ["declare void @listmenu_line_enter(i8*, i8**)", "declare void @listmenu_line(i32)",
         "declare void @listmenu_line_call(i32)", "declare void @listmenu_line_stored(i8*)",
         "declare void @listmenu_line_declared(i32, i32)", "declare void @listmenu_line_leave()"]


def instrument(text, root, source):
    """The module `text` with the hooks in each function defined in `source` (relative to root)."""
    lines = text.split("\n")
    nodes = metadata(lines)
    out, abouts = [], []
    i = 0
    while i < len(lines):
        m = re.match(r"^define .*!dbg (!\d+) \{$", lines[i])
        if not m:
            out.append(lines[i])
            i += 1
            continue
        end = lines.index("}", i)
        sub = nodes[m.group(1)][1]
        file = nodes[sub["file"]][1]
        path = os.path.relpath(os.path.join(file.get("directory", ""), file["filename"]), root)
        # Only the source's own named functions, as written: not the headers' inline functions,
        # nor what the compiler makes (a global's initialiser) or a lambda's call operator.
        made = "line" not in sub or "DIFlagArtificial" in sub.get("flags", "") or \
            not re.fullmatch(r"\w+", sub.get("name", ""))
        if path != source or made:
            out.extend(lines[i:end + 1])
            i = end + 1
            continue
        body = lines[i + 1:end]
        locals_ = locals_of(nodes, body)
        about = json.dumps({"name": sub["name"], "file": path, "line": int(sub["line"]),
                            "locals": [{k: l[k] for k in ("name", "kind", "line")} for l in locals_]},
                           separators=(",", ":"))
        name = f"@listmenu.about.{len(abouts) + 1}"
        size = len(about.encode()) + 1
        quoted = about.replace('"', "\\22")
        abouts.append(f'{name} = private unnamed_addr constant [{size} x i8] c"{quoted}\\00"')
        out += [lines[i]] + rewrite(nodes, body, locals_, entered(locals_, name, size)) + ["}"]
        i = end + 1
    return "\n".join(out + abouts + HOOKS) + "\n"
