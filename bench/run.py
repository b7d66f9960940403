#!/usr/bin/env python3
"""Whole-program benchmark: scripted sessions through the release listmenu, each beside its floor.

Usage: python3 bench/run.py [--runs N] [--scale F] [--build DIR]

Builds the default (release) preset unless --build names a built tree, then for each session runs
listmenu with input from a file and output to a file, checks the output byte for byte, and prints
median CPU seconds (user+sys) over N runs, peak memory, answers per second and output MB/s. Beside
each session it times the floor that the machine sets for it, in the same run:
  copy    dd copying the same output bytes to a file through 64 KiB read/write calls
  walk    walk_floor: the same list walks as bare pointer chasing, with no console
  printf  coreutils printf writing the same text (start-up only)
--scale shrinks every session (CI runs it at a tiny size so that it cannot rot).
"""
import argparse
import os
import random
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests"))
from dialogue import INT32, M, T, Model  # noqa: E402 (found through the path above)


class Session:
    """Answers typed, the text they must give, the floor to compare with, and a target ratio."""

    def __init__(self, name, typed, written, floor, target, runs=5, nodes=0, walks=False):
        self.name, self.typed, self.written = name, typed, written
        self.answers, self.floor, self.target, self.runs, self.nodes = typed.count("\n"), floor, target, runs, nodes
        self.walks = walks  # also show the floor with the design's walks added to the copy


def sessions(scale, rng):
    def n(count):
        return max(1, int(count * scale))

    out = [Session("start-up", "6\n", M + T, "printf", 1.2, runs=30)]

    churn = n(300000)
    out.append(Session("menu churn", "0\n" * churn + "6\n", M * (churn + 1) + T, "copy", 2.0))

    m = Model()
    for _ in range(n(20000)):
        m.append(rng.randint(*INT32))
    out.append(Session("build", *m.finish(), "walk", 1.2, nodes=len(m.values)))

    m = Model()
    for _ in range(n(2000)):
        m.append(rng.randint(*INT32))
    for _ in range(n(2000)):
        m.display()
    out.append(Session("display-heavy", *m.finish(), "copy", 2.0, walks=True))

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


def measure(tools, cmd, stdin_path, stdout_path):
    """CPU seconds (user+sys) and peak resident KiB of one run."""
    r = subprocess.run([os.path.join(tools, "measure"), stdin_path, stdout_path] + cmd, capture_output=True, text=True)
    if r.returncode != 0:
        sys.exit(f"{cmd[0]} failed with status {r.returncode}: {r.stderr}")
    cpu, kib = r.stdout.split()
    return float(cpu), int(kib)


def median_cpu(tools, runs, cmd, stdin_path, stdout_path):
    return statistics.median(measure(tools, cmd, stdin_path, stdout_path)[0] for _ in range(runs))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--scale", type=float, default=1.0)
    ap.add_argument("--build", help="a built tree to use instead of building the default preset")
    args = ap.parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = args.build
    if build is None:
        build = os.path.join(root, "build", "default")
        for step in (["cmake", "--preset", "default"], ["cmake", "--build", "--preset", "default"]):
            subprocess.run(step, cwd=root, check=True, stdout=subprocess.DEVNULL)
    listmenu = os.path.join(build, "listmenu")
    tools = os.path.join(build, "bench")
    walk_floor = os.path.join(tools, "walk_floor")

    print(f"{'session':<14}{'answers':>9}{'out MB':>8}{'CPU s':>9}{'floor s':>9}{'floor':>10}{'ratio':>7}"
          f"{'target':>8}{'peak KiB':>10}{'answers/s':>12}{'out MB/s':>10}")
    with tempfile.TemporaryDirectory() as tmp:
        typed, got, copy = (os.path.join(tmp, f) for f in ("typed", "got", "copy"))
        for s in sessions(args.scale, random.Random(2026)):
            with open(typed, "w") as f:
                f.write(s.typed)
            runs = max(args.runs, s.runs)
            cpu, peak = [], []
            for _ in range(runs):
                c, k = measure(tools, [listmenu], typed, got)
                cpu.append(c)
                peak.append(k)
            with open(got, "rb") as f:
                if f.read() != s.written.encode():
                    sys.exit(f"{s.name}: the output is not the dialogue expected")
            floor = 0.0
            if "copy" in s.floor:
                floor += median_cpu(tools, runs, ["/usr/bin/dd", f"if={got}", f"of={copy}", "bs=64K", "status=none"], typed, copy)
            if "walk" in s.floor:
                floor += median_cpu(tools, runs, [walk_floor], typed, copy)
            if s.floor == "printf":
                floor += median_cpu(tools, runs, ["/usr/bin/printf", "%s", s.written], typed, copy)
            t = statistics.median(cpu)
            mb = len(s.written) / 1e6
            ratio = t / floor if floor > 0 else float("inf")
            target = f"{s.target:.1f}x" if s.target else "-"
            print(f"{s.name:<14}{s.answers:>9}{mb:>8.1f}{t:>9.4f}{floor:>9.4f}{s.floor:>10}{ratio:>6.2f}x"
                  f"{target:>8}{max(peak):>10}{s.answers / max(t, 1e-9):>12.0f}{mb / max(t, 1e-9):>10.1f}")
            if s.walks:
                walked = floor + median_cpu(tools, runs, [walk_floor], typed, copy)
                print(f"{'':<14}with the design's walks (copy+walk): floor {walked:.4f} s, ratio {t / walked:.2f}x")
            if s.nodes:
                base = measure(tools, [listmenu], os.devnull, copy)[1]
                print(f"{'':<14}peak memory beyond start-up: {(max(peak) - base) * 1024 / s.nodes:.1f} bytes per node")


if __name__ == "__main__":
    main()
