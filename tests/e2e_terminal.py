"""The real program at a terminal (a pty): echoed answers, Control-D, and the line end the program
adds only where its prompt was shown."""
import os
import pty
import subprocess
import tempfile
import unittest

import dialogue
import e2e
from e2e import WAIT, read_to_close, read_until


def shown(text):
    """`text` on the screen: the terminal shows each line end as CR LF."""
    return text.replace("\n", "\r\n").encode()


class Terminal(unittest.TestCase):
    """A person at a real terminal: each answer is typed once its prompt is on the screen."""

    def test_dialogue_and_ctrl_d(self):
        answers = ["1\n", "5\n", "2\n", "5\n", "7\n", "1\n", "2\n"]
        said = e2e.replies(answers)
        screen_side, program_side = pty.openpty()
        with e2e.popen(stdin=program_side, stdout=program_side, stderr=program_side) as p:
            os.close(program_side)
            screen = read_until(screen_side, shown(said[0]))
            for answer, reply in zip(answers, said[1:]):
                os.write(screen_side, answer.encode())
                # The terminal echoes what is typed.
                screen = read_until(screen_side, shown(answer + reply), screen)
            os.write(screen_side, b"\x04")
            self.assertEqual(p.wait(WAIT), 0)
            self.assertEqual(read_to_close(screen_side), b"\r\n")
        os.close(screen_side)

    def test_line_end_only_where_the_prompt_was_shown(self):
        # Typed at a terminal into a file: the file holds the dialogue and nothing more.
        screen_side, program_side = pty.openpty()
        with tempfile.TemporaryFile() as out:
            with e2e.popen(stdin=program_side, stdout=out) as p:
                os.close(program_side)
                os.write(screen_side, b"1 5\n2\n\x04")
                self.assertEqual(p.wait(WAIT), 0)
            out.seek(0)
            self.assertEqual(out.read().decode(), dialogue.written("1 5\n2\n"))
        os.close(screen_side)
        # Answers from a pipe, shown at a terminal: the dialogue as it was, and nothing more.
        written = dialogue.written("1 5\n")
        screen_side, program_side = pty.openpty()
        with e2e.popen(stdin=subprocess.PIPE, stdout=program_side) as p:
            os.close(program_side)
            p.stdin.write(b"1 5\n")
            p.stdin.close()
            self.assertEqual(p.wait(WAIT), 0)
            screen = read_to_close(screen_side, read_until(screen_side, shown(written)))
        self.assertEqual(screen, shown(written))
        os.close(screen_side)
        # A read error shown at a terminal starts on a line of its own.
        screen_side, program_side = pty.openpty()
        directory = os.open("/", os.O_RDONLY)
        with e2e.popen(stdin=directory, stdout=program_side, stderr=program_side) as p:
            os.close(program_side)
            os.close(directory)
            screen = read_until(screen_side, b"directory\r\n")
            self.assertEqual(p.wait(WAIT), 1)
        self.assertEqual(screen, shown(dialogue.M + "\nlistmenu: read error: Is a directory\n"))
        os.close(screen_side)
