#!/usr/bin/env python3
"""Whole-program benchmark: scripted sessions through the release listmenu, each beside its floor.

Builds the default (release) preset unless --build names a built tree. For each session it writes
the answers to a file, runs listmenu on them with output to a file (or a pipe), checks the output
byte for byte, and times the floor that the machine sets for the same work, in turn with the
program's runs so that noise falls on both alike.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests"))
import dialogue  # noqa: E402 (found through the path above)
from report import COLUMNS, ROW, Progress  # noqa: E402
from timing import check_output, measure  # noqa: E402
from workloads import sessions  # noqa: E402


def main():
    ap = argparse.ArgumentParser(description=__doc__, epilog=COLUMNS,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--runs", type=int, default=5, metavar="N",
                    help="runs of each command per session, of which the median counts (default 5; "
                         "start-up always makes at least 30)")
    ap.add_argument("--scale", type=float, default=1.0, metavar="F",
                    help="multiplies the size of every session (default 1; the tests run 0.002 so "
                         "that the benchmark cannot rot)")
    ap.add_argument("--build", metavar="DIR", help="a built tree to use instead of building the default preset")
    ap.add_argument("--beside", action="append", default=[], metavar="PROGRAM",
                    help="another listmenu (an earlier commit's, say) timed in turn with this build's, "
                         "on the same sessions; may be given more than once")
    args = ap.parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = args.build
    if build is None:
        build = os.path.join(root, "build", "default")
        print("building the default preset", file=sys.stderr)
        for step in (["cmake", "--preset", "default"], ["cmake", "--build", "--preset", "default"]):
            subprocess.run(step, cwd=root, check=True, stdout=subprocess.DEVNULL)
    listmenu = os.path.join(build, "listmenu")
    tools = os.path.join(build, "bench")
    dd = shutil.which("dd")

    progress = Progress()
    print(ROW.format("session", "answers", "out MB", "CPU s", "floor s", "floor", "ratio", "target", "peak KiB",
                     "answers/s", "MB/s"), flush=True)
    with tempfile.TemporaryDirectory() as tmp:
        typed, got, copy = (os.path.join(tmp, f) for f in ("typed", "got", "copy"))
        for s in sessions(args.scale, random.Random(2026)):
            with open(typed, "w") as f:
                f.write(s.typed)
            with open(got, "w") as f:
                f.write(s.written)
            out = "|" if s.pipe else copy  # measure drains a pipe itself
            # Every command the session is timed with, run in turn, so that noise falls on all alike.
            floors = {}
            if "copy" in s.floor:
                # dd's summary goes to standard error, which is read and dropped.
                floors.update({f"dd {bs}": [dd, f"if={got}", "bs=" + bs] for bs in ("64K", "128K", "256K", "512K", "1M")})
            if "walk" in s.floor:
                floors["walk"] = [os.path.join(tools, "walk_floor")]
            if s.floor == "C":
                floors["C"] = [os.path.join(tools, "c_floor"), dialogue.M, dialogue.T]
            others = {f"beside {i + 1}": [b] for i, b in enumerate(args.beside)}
            runs = {name: [] for name in ["listmenu", *others, *floors]}
            count = max(args.runs, s.least_runs)
            for i in range(count):
                progress.say(f"{s.name}: run {i + 1} of {count}, listmenu and {len(floors)} floor"
                             f"{'s' if len(floors) > 1 else ''} in turn", again=i > 0)
                for name, cmd in [("listmenu", [listmenu]), *others.items(), *floors.items()]:
                    runs[name].append(measure(tools, cmd, typed, out, len(s.written)))
                    if name in ("listmenu", *others) and i == 0:
                        check_output(s, cmd[0], copy)
            med = {name: statistics.median(r[0] for r in rs) for name, rs in runs.items()}
            copies = [name for name in floors if name.startswith("dd")]
            best_copy = min(copies, key=med.get) if copies else None
            floor = sum(med[name] for name in floors if name not in copies) + (med[best_copy] if best_copy else 0)
            kind = "+".join(filter(None, [best_copy, "walk" if "walk" in floors else None, "C" if "C" in floors else None]))
            t = med["listmenu"]
            mb = len(s.written) / 1e6
            ratio = t / floor if floor > 0 else float("inf")
            target = f"{s.target:.1f}x {'ok' if ratio <= s.target else 'OVER':<4}" if s.target else f"{'-':<4}"
            peak = max(r[1] for r in runs["listmenu"])
            progress.done()
            print(ROW.format(s.name, s.answers, f"{mb:.1f}", f"{t:.4f}", f"{floor:.4f}", kind, f"{ratio:.2f}x",
                             target, peak, f"{s.answers / max(t, 1e-9):.0f}", f"{mb / max(t, 1e-9):.1f}"),
                  flush=True)
            for name, (program,) in others.items():
                print(f"{'':<14}{name}: {med[name]:.4f} s CPU, this build {t / max(med[name], 1e-9):.3f}x that ({program})")
            if "C" in floors:
                faults = {name: statistics.median(r[2] for r in rs) for name, rs in runs.items()}
                print(f"{'':<14}minor page faults: listmenu {faults['listmenu']:.0f}, C program {faults['C']:.0f}")
            if s.nodes:
                # Pages first touched by the same session with all its nodes and with half, through
                # a pipe whose buffer both fill, so that only the nodes differ. (Peak resident
                # size wanders by a few hundred KiB from run to run; page faults do not.)
                faults = []
                progress.say(f"{s.name}: memory per node")
                for cut in (2 * s.nodes, s.nodes):
                    with open(typed, "w") as f:
                        f.write("".join(s.typed.splitlines(keepends=True)[:cut]) + "6\n")
                    faults.append(statistics.median(measure(tools, [listmenu], typed, "|", len(s.written))[2]
                                                    for _ in range(3)))
                progress.done()
                per_node = (faults[0] - faults[1]) * os.sysconf("SC_PAGE_SIZE") / (s.nodes - s.nodes // 2)
                print(f"{'':<14}memory: {per_node:.1f} bytes per node (pages touched, against half the nodes)")
    print()
    print(COLUMNS)


if __name__ == "__main__":
    main()
