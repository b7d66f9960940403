"""Runs of a program that can neither outlive their test nor fill a disk.

Each run has a process group of its own (an emulator's helpers included) and limits that the
kernel keeps even if the test itself is killed: CPU seconds, and the size of any file it writes.
Its output is read up to a limit, and the whole group is killed when a limit or the wall-clock
timeout strikes, failing the test that started it.
"""
import os
import resource
import selectors
import signal
import subprocess
import time

CPU_SECONDS = 20       # a session of the tests takes well under one
OUTPUT_BYTES = 64 << 20  # to a pipe or to any one file
WALL_SECONDS = 120     # an emulator's first start can take a while


def limits(cpu=CPU_SECONDS, file_bytes=OUTPUT_BYTES, more=None):
    """What a child sets on itself before it starts the program."""
    def apply():
        # Soft limits, which kill with SIGXCPU and SIGXFSZ. An emulator may lift them for its own
        # setup (cmake/wine.sh does); the program under test never does.
        for limit, value in ((resource.RLIMIT_CPU, cpu), (resource.RLIMIT_FSIZE, file_bytes),
                             (resource.RLIMIT_CORE, 0)):
            hard = resource.getrlimit(limit)[1]
            resource.setrlimit(limit, (value if hard == resource.RLIM_INFINITY else min(value, hard), hard))
        if more:
            more()
    return apply


def kill(p):
    """Kills the whole group of `p`, then collects `p`."""
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    p.wait()


class Popen(subprocess.Popen):
    """A subprocess.Popen in a group of its own, under limits. Leaving its `with` on an error, or
    while it still runs, kills its group."""

    def __init__(self, cmd, cpu=CPU_SECONDS, file_bytes=OUTPUT_BYTES, preexec_fn=None, **kwargs):
        super().__init__(cmd, start_new_session=True, preexec_fn=limits(cpu, file_bytes, preexec_fn), **kwargs)

    def __exit__(self, exc_type, *rest):
        if exc_type is not None or self.poll() is None:
            kill(self)
        return super().__exit__(exc_type, *rest)


def run(cmd, typed=b"", stdout=subprocess.PIPE, timeout=WALL_SECONDS, output=OUTPUT_BYTES, file_bytes=None,
        stdin=subprocess.PIPE, **kwargs):
    """subprocess.run with its input given (`typed`, or a file as `stdin`) and its output captured,
    within the limits: at most `output` bytes on each pipe, and `file_bytes` (else `output`) in any
    file."""
    with Popen(cmd, stdin=stdin, stdout=stdout, stderr=subprocess.PIPE, file_bytes=file_bytes or output,
               **kwargs) as p:
        got = {f: bytearray() for f in (p.stdout, p.stderr) if f is not None}
        left = memoryview(typed)
        deadline = time.monotonic() + timeout
        with selectors.DefaultSelector() as sel:
            for f in got:
                sel.register(f, selectors.EVENT_READ)
            if left:
                os.set_blocking(p.stdin.fileno(), False)
                sel.register(p.stdin, selectors.EVENT_WRITE)
            elif p.stdin:
                p.stdin.close()
            while sel.get_map():
                wait = deadline - time.monotonic()
                if wait <= 0:
                    raise AssertionError(f"{cmd[-1]} still running after {timeout} s: killed")
                for key, _ in sel.select(wait):
                    if key.fileobj is p.stdin:
                        try:
                            left = left[os.write(p.stdin.fileno(), left[:65536]):]
                        except BrokenPipeError:
                            left = left[:0]
                        if not left:
                            sel.unregister(p.stdin)
                            p.stdin.close()
                        continue
                    chunk = os.read(key.fileobj.fileno(), 65536)
                    if not chunk:
                        sel.unregister(key.fileobj)
                    got[key.fileobj] += chunk
                    if len(got[key.fileobj]) > output:
                        raise AssertionError(f"{cmd[-1]} wrote more than {output} bytes: killed")
        wait = max(deadline - time.monotonic(), 0.001)
        try:
            code = p.wait(wait)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{cmd[-1]} still running after {timeout} s: killed") from None
        return subprocess.CompletedProcess(cmd, code, bytes(got.get(p.stdout, b"")), bytes(got.get(p.stderr, b"")))
