"""End to end through the real listmenu executable: pipes, terminals, failing output, limits.

Usage: e2e_test.py PATH_TO_LISTMENU [--sanitized] [unittest arguments]
"""
import os
import pty
import random
import resource
import select
import subprocess
import sys
import shutil
import tempfile
import time
import unittest

import bounded
import dialogue
from dialogue import D, E, I, M, NOMEM, P, T

LISTMENU = ""
SANITIZED = False

MEGABYTE = 1 << 20
WAIT = 10.0  # seconds a prompt may take to show before the test calls it lost


def run(typed, stdout=subprocess.PIPE, **kwargs):
    return bounded.run([LISTMENU], typed.encode(), stdout=stdout, **kwargs)


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


def vm_peak_at_prompt():
    """The address space the program has mapped once it waits at the menu."""
    with bounded.Popen([LISTMENU], stdin=subprocess.PIPE, stdout=subprocess.PIPE) as p:
        read_until(p.stdout.fileno(), M.encode())
        with open(f"/proc/{p.pid}/status") as status:
            kib = next(int(line.split()[1]) for line in status if line.startswith("VmPeak:"))
        p.stdin.close()
        p.wait(WAIT)
    return kib * 1024


class Pipes(unittest.TestCase):
    def test_script_gives_the_exact_dialogue(self):
        r = run("1 5\n1 -7\n2\n6\n")
        self.assertEqual(r.stdout.decode(), M + D + M + D + M + "5->-7->" + M + T)
        self.assertEqual((r.returncode, r.stderr), (0, b""))

    def test_prompts_show_while_the_program_waits(self):
        with bounded.Popen([LISTMENU], stdin=subprocess.PIPE, stdout=subprocess.PIPE) as p:
            out = p.stdout.fileno()
            seen = read_until(out, M.encode())
            for answer, prompt in [("1\n", M + D), ("5\n", D + M), ("5\n", M + P), ("9\n", P + I + P),
                                   ("1\n", P + M), ("2\n", M + E + M)]:
                p.stdin.write(answer.encode())
                p.stdin.flush()
                seen = read_until(out, prompt.encode(), seen)
            p.stdin.write(b"6\n")
            p.stdin.close()
            self.assertEqual(read_until(out, T.encode(), seen), (M + D + M + P + I + P + M + E + M + T).encode())
            self.assertEqual(p.wait(WAIT), 0)

    def test_end_of_input_ends_the_run_quietly(self):
        for typed, written in [("", M), ("1 5\n", M + D + M), ("1\n", M + D), ("1 3 5 7", M + D + M + P + I + P)]:
            r = run(typed)
            self.assertEqual((r.returncode, r.stdout.decode()), (0, written), typed)


class FailingOutput(unittest.TestCase):
    def test_full_disk_is_a_failure(self):
        with open("/dev/full", "wb") as full:
            r = run("1 5\n2\n6\n", stdout=full)
        self.assertEqual((r.returncode, r.stderr.decode()), (1, "listmenu: write error: No space left on device\n"))

    def test_failed_output_does_not_wait_for_input(self):
        with open("/dev/full", "wb") as full:
            with bounded.Popen([LISTMENU], stdin=subprocess.PIPE, stdout=full, stderr=subprocess.PIPE) as p:
                self.assertEqual(p.wait(WAIT), 1)  # standard input is still open, and silent
                self.assertEqual(p.stderr.read(), b"listmenu: write error: No space left on device\n")

    def test_closed_output_is_a_failure(self):
        r = bounded.run(["sh", "-c", 'exec "$0" >&-', LISTMENU], b"6\n")
        self.assertEqual((r.returncode, r.stderr.decode()), (1, "listmenu: write error: Bad file descriptor\n"))


class Limits(unittest.TestCase):
    def setUp(self):
        if SANITIZED:
            self.skipTest("sanitizers reserve more address space than any limit leaves")

    def test_exhausted_heap_keeps_the_dialogue_going(self):
        # Room for a few thousand nodes beyond what the program maps to start with.
        limit = vm_peak_at_prompt() + 256 * 1024
        tries = 20000
        # 9 is data while memory lasts; after "Memory not allocated" it is an ignored choice.
        typed = "1 9\n" * tries + "6\n"

        def limited():
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        r = run(typed, preexec_fn=limited)
        out = r.stdout.decode()
        appended = out.count(D)
        self.assertGreater(appended, 0)
        self.assertLess(appended, tries)
        self.assertEqual(out, M + (D + M) * appended + (NOMEM + M + M) * (tries - appended) + T)
        self.assertEqual(r.returncode, 0)

    def test_long_list_in_a_small_stack(self):
        nodes = 30000
        typed = "".join(f"1 {i}\n" for i in range(nodes)) + "2\n6\n"

        def small_stack():
            resource.setrlimit(resource.RLIMIT_STACK, (256 * 1024, 256 * 1024))

        r = run(typed, preexec_fn=small_stack)
        shown = "".join(f"{i}->" for i in range(nodes))
        self.assertEqual(r.stdout.decode(), M + (D + M) * nodes + shown + M + T)
        self.assertEqual(r.returncode, 0)


class HostileInput(unittest.TestCase):
    def test_each_ends_with_the_dialogue_the_rules_give(self):
        cases = [
            ("nul bytes", b"\0\0 1 5\n1\0\n7\n2\n6\n", M + M + D + D + M + "7->" + M + T),
            ("high bytes", b"\xff\xfe\n1 \x80\xc3\xa9\n-3\n2\n6\n", M + M + D + D + M + "-3->" + M + T),
            ("line without end", b"a" * MEGABYTE, M),
            ("long line then more", b"a" * MEGABYTE + b" 1 5\n6\n", M + M + T),
            ("megabyte of digits", b"9" * MEGABYTE + b"\n2\n6\n", M + M + E + M + T),
            ("megabyte of zeros", b"0" * MEGABYTE + b"1 42\n2\n6\n", M + D + M + "42->" + M + T),
            ("crlf", b"1\r\n5\r\n5\r\n9\r\n1\r\n2\r\n6\r\n", M + D + M + P + I + P + M + E + M + T),
        ]
        for name, typed, written in cases:
            r = bounded.run([LISTMENU], typed)
            self.assertEqual((r.returncode, r.stdout.decode()), (0, written), name)


class Terminal(unittest.TestCase):
    """A person at a real terminal: each answer is typed once its prompt is on the screen."""

    def test_dialogue_and_ctrl_d(self):
        screen_side, program_side = pty.openpty()
        with bounded.Popen([LISTMENU], stdin=program_side, stdout=program_side, stderr=program_side) as p:
            os.close(program_side)
            # The terminal echoes what is typed and shows each line end as CR LF.
            shown = lambda text: text.replace("\n", "\r\n").encode()
            screen = read_until(screen_side, shown(M))
            for answer, prompt in [("1", D), ("5", M), ("2", "5->" + M), ("5", P), ("7", I + P), ("1", M),
                                   ("2", E + M)]:
                os.write(screen_side, answer.encode() + b"\n")
                screen = read_until(screen_side, shown(answer + "\n" + prompt), screen)
            os.write(screen_side, b"\x04")
            self.assertEqual(p.wait(WAIT), 0)
            rest = b""
            try:
                while chunk := os.read(screen_side, 4096):
                    rest += chunk
            except OSError:  # the terminal closes with the program
                pass
            self.assertEqual(rest, b"\r\n")
        os.close(screen_side)

    def test_line_end_only_where_the_prompt_was_shown(self):
        # Typed at a terminal into a file: the file holds the dialogue and nothing more.
        screen_side, program_side = pty.openpty()
        with tempfile.TemporaryFile() as out:
            with bounded.Popen([LISTMENU], stdin=program_side, stdout=out) as p:
                os.close(program_side)
                os.write(screen_side, b"1 5\n2\n\x04")
                self.assertEqual(p.wait(WAIT), 0)
            out.seek(0)
            self.assertEqual(out.read().decode(), M + D + M + "5->" + M)
        os.close(screen_side)
        # Answers from a pipe, shown at a terminal: the dialogue as it was, and nothing more.
        screen_side, program_side = pty.openpty()
        with bounded.Popen([LISTMENU], stdin=subprocess.PIPE, stdout=program_side) as p:
            os.close(program_side)
            p.stdin.write(b"1 5\n")
            p.stdin.close()
            self.assertEqual(p.wait(WAIT), 0)
            screen = read_until(screen_side, (M + D + M).replace("\n", "\r\n").encode())
            try:
                while chunk := os.read(screen_side, 4096):
                    screen += chunk
            except OSError:  # the terminal closes with the program, once all it wrote is read
                pass
        self.assertEqual(screen.decode(), (M + D + M).replace("\n", "\r\n"))
        os.close(screen_side)
        # A read error shown at a terminal starts on a line of its own.
        screen_side, program_side = pty.openpty()
        directory = os.open("/", os.O_RDONLY)
        with bounded.Popen([LISTMENU], stdin=directory, stdout=program_side, stderr=program_side) as p:
            os.close(program_side)
            os.close(directory)
            screen = read_until(screen_side, b"directory\r\n")
            self.assertEqual(p.wait(WAIT), 1)
        self.assertEqual(screen.decode(), (M + "\nlistmenu: read error: Is a directory\n").replace("\n", "\r\n"))
        os.close(screen_side)


class Valgrind(unittest.TestCase):
    def test_long_session_is_clean(self):
        if SANITIZED or shutil.which("valgrind") is None:
            self.skipTest("needs valgrind and a build without sanitizers")
        # A known session, read to its last answer; the list is emptied before 6, so a node that a
        # delete unlinks and never releases is a lost block.
        typed, written = dialogue.random_session(random.Random(7), 20000, emptied=True)
        checked = bounded.run(["valgrind", "-q", "--error-exitcode=99", "--leak-check=full",
                               "--errors-for-leak-kinds=definite,indirect,possible", LISTMENU], typed.encode(),
                              cpu=300, timeout=600)
        self.assertEqual(checked.returncode, 0, checked.stderr.decode()[-2000:])
        self.assertEqual(checked.stdout.decode(), written)


if __name__ == "__main__":
    LISTMENU = os.path.abspath(sys.argv.pop(1))
    if len(sys.argv) > 1 and sys.argv[1] == "--sanitized":
        SANITIZED = True
        sys.argv.pop(1)
    unittest.main()
