"""Runs of the benchmark's commands, timed and bounded, and the check of what listmenu wrote."""
import os
import signal
import sys

import bounded


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
