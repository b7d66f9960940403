"""The listmenu executable under test, and how the end-to-end tests talk to it and know what it
must say: every expectation is the model's (model.py), in the table's texts."""
import os
import select
import subprocess
import time

import bounded
import dialogue
import model

LISTMENU = ""  # set by e2e_test.py
SANITIZED = False

MEGABYTE = 1 << 20
WAIT = 10.0  # seconds a prompt may take to show before the test calls it lost


def run(typed, stdout=subprocess.PIPE, **kwargs):
    return bounded.run([LISTMENU], typed.encode("latin-1"), stdout=stdout, **kwargs)


def popen(**kwargs):
    return bounded.Popen([LISTMENU], **kwargs)


def replies(lines):
    """What the program writes as it starts, then after each typed line in turn, by the model."""
    r = model.Run()
    said = [dialogue.text(r.out)]
    for line in lines:
        seen = len(r.out)
        r.feed(line)
        said.append(dialogue.text(r.out[seen:]))
    return said


def read_until(fd, expected, seen=b""):
    """Reads from fd until what arrived ends with `expected`; fails after WAIT seconds, or when
    more than a megabyte has arrived."""
    deadline = time.monotonic() + WAIT
    while not seen.endswith(expected):
        if len(seen) > MEGABYTE:
            raise AssertionError(f"a megabyte arrived without {expected[-40:]!r}; got {seen[-200:]!r}")
        left = deadline - time.monotonic()
        ready, _, _ = select.select([fd], [], [], max(left, 0))
        if not ready:
            raise AssertionError(f"waited {WAIT}s for {expected[-40:]!r}; got {seen[-200:]!r}")
        chunk = os.read(fd, 65536)
        if not chunk:
            raise AssertionError(f"output ended before {expected[-40:]!r}; got {seen[-200:]!r}")
        seen += chunk
    return seen


def read_to_close(fd, seen=b""):
    """Reads a terminal's screen side until the program's side closes with the program."""
    try:
        while chunk := os.read(fd, 4096):
            seen += chunk
    except OSError:  # the terminal closes with the program, once all it wrote is read
        pass
    return seen
