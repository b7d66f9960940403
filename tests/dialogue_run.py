"""The real program over pipes, on whatever platform it was built for: every dialogue of the table,
a long random session, and a failing output. The command may start with an emulator (wine,
qemu-user), so that a cross build is checked byte for byte against the same expectations.

Usage: dialogue_run.py [--crlf] [unittest arguments] -- COMMAND [ARG...]
  --crlf  the program writes its line ends as CR LF, as a C program does on Windows
"""
import os
import random
import subprocess
import sys
import tempfile
import unittest

import bounded
import dialogue

COMMAND = []
CRLF = False


def run(typed, expected, stdout=subprocess.PIPE):
    """The program on `typed`, its output allowed somewhat more than the `expected` text."""
    return bounded.run(COMMAND, typed.encode("latin-1"), stdout=stdout, output=2 * len(expected) + 65536)


def shown(text):
    """What the program writes for `text` on this platform."""
    return (text.replace("\n", "\r\n") if CRLF else text).encode("latin-1")


class Dialogues(unittest.TestCase):
    def test_table(self):
        for name, typed, written, _ in dialogue.table():
            with self.subTest(name):
                r = run(typed, written)
                # What it said on standard error, if anything, says why a run failed.
                self.assertEqual((r.returncode, r.stdout), (0, shown(written)), r.stderr.decode("latin-1"))

    def test_long_random_session_to_a_file(self):
        # Output to a regular file goes through a larger buffer than a pipe's; this one fills it.
        typed, written = dialogue.random_session(random.Random(9), 20000)
        with tempfile.TemporaryFile() as out:
            r = run(typed, written, stdout=out)
            out.seek(0)
            self.assertEqual((r.returncode, out.read()), (0, shown(written)))

    @unittest.skipUnless(os.path.exists("/dev/full"), "needs /dev/full (Linux, FreeBSD)")
    def test_failed_output_is_reported(self):
        with open("/dev/full", "wb") as full:
            r = run("1 5\n2\n6\n", "", stdout=full)
        self.assertEqual((r.returncode, r.stderr), (1, shown("listmenu: write error: No space left on device\n")))

    def test_unreadable_input_is_reported(self):
        for name, path, mode in [("a directory", "/", os.O_RDONLY), ("write-only", os.devnull, os.O_WRONLY)]:
            fd = os.open(path, mode)
            try:
                r = bounded.run(COMMAND, stdin=fd)
            finally:
                os.close(fd)
            self.assertEqual((r.returncode, r.stdout), (1, shown(dialogue.M)), name)
            self.assertRegex(r.stderr, shown("^listmenu: read error: [^\n]+\n$"), name)

    def test_ctrl_z_at_line_start_ends_the_input(self):
        if not CRLF:
            self.skipTest("Ctrl-Z ends the input only on Windows")
        r = run("1 5\n\x1a\n2\n6\n", dialogue.M * 3)
        self.assertEqual((r.returncode, r.stdout), (0, shown(dialogue.M + dialogue.D + dialogue.M)))


if __name__ == "__main__":
    args = sys.argv[1:]
    split = args.index("--")
    COMMAND = args[split + 1:]
    options = args[:split]
    CRLF = "--crlf" in options
    unittest.main(argv=[sys.argv[0]] + [o for o in options if o != "--crlf"])
