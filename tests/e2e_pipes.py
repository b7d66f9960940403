"""The real program over pipes: prompts while it waits, failing output and hostile input (the
table's dialogues over pipes are dialogue_run.py's)."""
import subprocess
import unittest

import bounded
import dialogue
import e2e
from e2e import MEGABYTE, WAIT, read_until


class Pipes(unittest.TestCase):
    def test_prompts_show_while_the_program_waits(self):
        answers = ["1\n", "5\n", "5\n", "9\n", "1\n", "2\n", "6\n"]
        said = e2e.replies(answers)
        with e2e.popen(stdin=subprocess.PIPE, stdout=subprocess.PIPE) as p:
            out = p.stdout.fileno()
            seen = read_until(out, said[0].encode())
            for answer, reply in zip(answers, said[1:]):
                p.stdin.write(answer.encode())
                p.stdin.flush()
                seen = read_until(out, reply.encode(), seen)
            p.stdin.close()
            self.assertEqual(seen.decode(), "".join(said))
            self.assertEqual(p.wait(WAIT), 0)


class FailingOutput(unittest.TestCase):
    def test_failed_output_does_not_wait_for_input(self):
        with open("/dev/full", "wb") as full:
            with e2e.popen(stdin=subprocess.PIPE, stdout=full, stderr=subprocess.PIPE) as p:
                self.assertEqual(p.wait(WAIT), 1)  # standard input is still open, and silent
                self.assertEqual(p.stderr.read(), b"listmenu: write error: No space left on device\n")

    def test_closed_output_is_a_failure(self):
        r = bounded.run(["sh", "-c", 'exec "$0" >&-', e2e.LISTMENU], b"6\n")
        self.assertEqual((r.returncode, r.stderr.decode()), (1, "listmenu: write error: Bad file descriptor\n"))


class HostileInput(unittest.TestCase):
    def test_each_ends_with_the_dialogue_the_rules_give(self):
        cases = [
            ("nul bytes", b"\0\0 1 5\n1\0\n7\n2\n6\n"),
            ("high bytes", b"\xff\xfe\n1 \x80\xc3\xa9\n-3\n2\n6\n"),
            ("line without end", b"a" * MEGABYTE),
            ("long line then more", b"a" * MEGABYTE + b" 1 5\n6\n"),
            ("megabyte of digits", b"9" * MEGABYTE + b"\n2\n6\n"),
            ("megabyte of zeros", b"0" * MEGABYTE + b"1 42\n2\n6\n"),
        ]
        for name, typed in cases:
            r = bounded.run([e2e.LISTMENU], typed)
            written = dialogue.written(typed.decode("latin-1")).encode("latin-1")
            self.assertEqual((r.returncode, r.stdout), (0, written), name)
