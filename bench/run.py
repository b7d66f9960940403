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
import signal
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests"))
import bounded  # noqa: E402 (found through the path above)
from dialogue import INT32, M, T, Model  # noqa: E402

COLUMNS = """columns:
  session    what the answers do (below); "churn, pipe" writes to a pipe, the rest to a file
  answers    answers typed, one a line
  out MB     bytes the program writes, in millions
  CPU s      listmenu's median CPU seconds (user+sys) over the runs
  floor s    the floor's median CPU seconds: the least the machine needs for the same work
  floor      what the floor is:
               dd B    dd copying the same output to the same kind of output, at whichever
                       block size B from 64K to 1M was fastest
               walk    walk_floor: the same list walks as bare pointer chasing, no console
               C       c_floor: a C program writing the menu with printf, reading with scanf
  ratio      CPU s / floor s
  target     the ratio the session should stay within, and a mark:
               ok      the ratio is within the target
               OVER    the ratio is above it
               -       the session has no target: it is measured, not judged
  peak KiB   listmenu's largest resident size
  answers/s  answers / CPU s
  MB/s       out MB / CPU s
below some rows:
  minor page faults  (start-up) pages listmenu and the C program first touched
  memory             (build) bytes per node, from the pages touched with all the nodes and half
sessions (at --scale 1):
  start-up       choose 6 at once
  menu churn     a million choices of 0, each bringing the menu back
  churn, pipe    the same, written to a pipe
  build          20,000 appends, each walking to the tail
  display-heavy  2,000 values shown 2,000 times
  deletes        appends, then deletes of the last node and at inner positions
  mixed          200,000 answers of every kind
exit status (no mark changes it: the benchmark reports and never judges):
  0  every session ran and wrote the dialogue expected, whether marked ok, OVER or -
  1  the build or a run failed, or a session's output was not the dialogue expected"""
# One row: the session's name, then each column right-aligned after a space, so that a figure
# grown past its width (a larger --scale) still stands apart. 99 characters at --scale 1.
ROW = "{:<13} {:>7} {:>6} {:>7} {:>7} {:>12} {:>5} {:>9} {:>8} {:>9} {:>6}"


class Session:
    """Answers typed, the text they must give, the floor to compare with, and a target ratio."""

    def __init__(self, name, typed, written, floor, target, least_runs=1, nodes=0, pipe=False):
        self.name, self.typed, self.written = name, typed, written
        self.answers, self.floor, self.target, self.least_runs, self.nodes = typed.count("\n"), floor, target, least_runs, nodes
        self.pipe = pipe  # output to a pipe instead of a file


def sessions(scale, rng):
    def n(count):
        return max(1, int(count * scale))

    out = [Session("start-up", "6\n", M + T, "C", 1.2, least_runs=30)]

    churn = n(1000000)
    out.append(Session("menu churn", "0\n" * churn + "6\n", M * (churn + 1) + T, "copy", 1.3))
    out.append(Session("churn, pipe", "0\n" * churn + "6\n", M * (churn + 1) + T, "copy", 1.3, pipe=True))

    m = Model()
    for _ in range(n(20000)):
        m.append(rng.randint(*INT32))
    out.append(Session("build", *m.finish(), "walk", 1.2, nodes=len(m.values)))

    m = Model()
    for _ in range(n(2000)):
        m.append(rng.randint(*INT32))
    for _ in range(n(2000)):
        m.display()
    out.append(Session("display-heavy", *m.finish(), "copy+walk", 1.3))

    m = Model()
    for _ in range(n(10000)):
        m.append(rng.randint(*INT32))
    for _ in range(n(5000)):
        m.delete_last()
    for _ in range(n(4000)):
        if len(m.values) > 2:
            m.delete_at(rng.randint(2, len(m.values) - 1))
    out.append(Session("deletes", *m.finish(), "walk", 1.2))

    m = Model()
    while len(m.answers) < n(200000):
        r = rng.random()
        if r < 0.45:
            m.append(rng.randint(*INT32))
        elif r < 0.47:
            m.display()
        elif r < 0.67:
            m.delete_last()
        elif r < 0.87 and len(m.values) > 0:
            m.delete_at(rng.randint(1, len(m.values)))
        else:
            m.choose(str(rng.choice([0, 7, -1, 2**31 - 1])))
    out.append(Session("mixed", *m.finish(), "copy+walk", None))
    return out


def measure(tools, cmd, stdin_path, stdout_path, out_bytes):
    """CPU seconds (user+sys), peak resident KiB and minor page faults of one run. The run is
    bounded: measure and the command it starts share a process group and the limits in
    tests/bounded.py, with output files of at most twice the bytes expected."""
    try:
        r = bounded.run([os.path.join(tools, "measure"), stdin_path, stdout_path] + cmd, output=1 << 20,
                        file_bytes=2 * out_bytes + (1 << 20))
    except AssertionError as e:
        sys.exit(f"{cmd[0]}: {e}")
    if r.returncode > 128:
        sys.exit(f"{cmd[0]} was killed by {signal.Signals(r.returncode - 128).name} "
                 "(SIGXCPU and SIGXFSZ: it ran past its CPU or output limit)")
    if r.returncode != 0:
        sys.exit(f"{cmd[0]} failed with status {r.returncode}: {r.stderr.decode()}")
    cpu, kib, faults = r.stdout.split()
    return float(cpu), int(kib), int(faults)


def check_output(s, listmenu, copy):
    """Stops the benchmark unless the session's output, in the file `copy` or through a pipe
    (which measure drains unread, so the pipe's is taken by a run of its own), is the dialogue."""
    if s.pipe:
        written = bounded.run([listmenu], s.typed.encode(), output=len(s.written) + 1).stdout
    else:
        with open(copy, "rb") as f:
            written = f.read()
    if written != s.written.encode():
        sys.exit(f"{s.name}: the output is not the dialogue expected")


class Progress:
    """One line on standard error saying what runs now, rewritten in place at a terminal."""

    def __init__(self):
        self.live = sys.stderr.isatty()

    def say(self, text, again=False):
        """Shows `text`; one that only counts on (`again`) goes to a log only at a terminal."""
        if self.live:
            sys.stderr.write(f"\r\033[K{text}")
        elif not again:
            sys.stderr.write(text + "\n")
        sys.stderr.flush()

    def done(self):
        if self.live:
            sys.stderr.write("\r\033[K")


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
                floors["C"] = [os.path.join(tools, "c_floor")]
            runs = {name: [] for name in ["listmenu", *floors]}
            count = max(args.runs, s.least_runs)
            for i in range(count):
                progress.say(f"{s.name}: run {i + 1} of {count}, listmenu and {len(floors)} floor"
                             f"{'s' if len(floors) > 1 else ''} in turn", again=i > 0)
                for name, cmd in [("listmenu", [listmenu]), *floors.items()]:
                    runs[name].append(measure(tools, cmd, typed, out, len(s.written)))
                    if name == "listmenu" and i == 0:
                        check_output(s, listmenu, copy)
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
