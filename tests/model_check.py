"""The model of the dialogue (model.py), which the other tests take their expectations from, against
every row of the table and what the table cannot hold; and the commands that answer from it."""
import json
import os
import random
import sys
import unittest

import bounded
import dialogue
import model
from dialogue import D, E, M, P, T

COMMAND = [sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "dialogue.py")]


def fed(pieces):
    """The text written and the ending when the input arrives in `pieces`, then ends."""
    run = model.Run()
    for piece in pieces:
        run.feed(piece)
    run.end()
    return dialogue.text(run.out), "chosen" if run.chosen else "stopped"


class Table(unittest.TestCase):
    def test_every_row_whole_by_line_and_by_byte(self):
        for name, typed, written, ending in dialogue.table():
            lines = typed.splitlines(keepends=True)
            for how, pieces in [("whole", [typed]), ("by line", lines), ("by byte", list(typed))]:
                with self.subTest(name, fed=how):
                    self.assertEqual(fed(pieces), (written, ending))

    def test_random_pieces_read_as_the_whole(self):
        rng = random.Random(3)
        typed, _ = dialogue.random_session(rng, 2000)
        cuts = sorted(rng.sample(range(len(typed)), 300))
        self.assertEqual(fed([typed[a:b] for a, b in zip([0] + cuts, cuts + [len(typed)])]), fed([typed]))


class Reading(unittest.TestCase):
    def test_what_no_row_can_hold(self):
        many = 5000  # past the digits Python turns into an int by default
        cases = [
            ("zeros before a number", "0" * many + "1 42\n2\n6\n", M + D + M + "42->" + M + T, "chosen"),
            ("digits past any limit", "9" * many + "\n2\n6\n", M + M + E + M + T, "chosen"),
            ("signed zeros", "-" + "0" * many + "5 1 -" + "0" * many + "2147483648\n2\n6",
             M + M + D + M + "-2147483648->" + M + T, "chosen"),
            ("nul is no white space", "\0 1 5\n1\0\n7\n2\n6\n", M + M + D + D + M + "7->" + M + T, "chosen"),
            ("high bytes", "\xff\xfe\n1 \x80\xc3\xa9\n-3\n2\n6\n", M + M + D + D + M + "-3->" + M + T, "chosen"),
            ("line without end", "a" * many, M, "stopped"),
            ("long line then more", "a" * many + " 1 5\n6\n", M + M + T, "chosen"),
        ]
        for name, typed, written, ending in cases:
            self.assertEqual(dialogue.play(typed), (written, ending), name)

    def test_a_run_waits_until_the_input_can_tell(self):
        run = model.Run().feed("1 5")  # 5 may go on with more digits
        self.assertEqual((dialogue.text(run.out), run.asking), (M + D, "{D}"))
        run.feed("\n5 ")
        self.assertEqual((dialogue.text(run.out), run.values, run.asking), (M + D + M + P, [5], "{P}"))


class Events(unittest.TestCase):
    def test_what_each_line_does_to_the_list(self):
        taken, dropped = ["taken"], ["dropped"]
        four = [taken, ["data", 1], taken, ["data", 2], taken, ["data", 3], taken, ["data", 4]]
        cases = [
            ("garbage for the data asks again", ["1", "x", "3"], [[taken], [], [["data", 3]]]),
            ("the end at the data prompt", ["1 5", "1", None], [[taken, ["data", 5]], [taken], [dropped]]),
            ("choices 3 and 4", ["1 1 1 2 1 3 1 4", "3", "4"], [four, [["removed", 0]], [["removed", 2]]]),
            ("positions inner, last and first", ["1 1 1 2 1 3 1 4", "5 2", "5 3", "5 1"],
             [four, [["removed", 1]], [["removed", 2]], [["removed", 0]]]),
            ("nothing after 6", ["6", "1 5", None], [[], [], []]),
        ]
        for name, lines, expected in cases:
            self.assertEqual([step["events"] for step in dialogue.events(lines)], expected, name)

    def test_events_command(self):
        typed = ["1 5", "1", "9", "4", None]
        r = bounded.run(COMMAND + ["events"], json.dumps(typed).encode(), output=1 << 16)
        self.assertEqual((r.returncode, r.stderr), (0, b""))
        self.assertEqual(json.loads(r.stdout), [
            {"events": [["taken"], ["data", 5]], "values": [5]},
            {"events": [["taken"]], "values": [5]},
            {"events": [["data", 9]], "values": [5, 9]},
            {"events": [["removed", 1]], "values": [5]},
            {"events": [], "values": [5]},
        ])

    def test_written_command(self):
        # The model itself is checked against every row above: here, only that the command hands
        # its bytes through unchanged, on a row with CR LF and one that ends without a line end.
        rows = {name: (typed, written) for name, typed, written, _ in dialogue.table()}
        for name in ("WindowsLineEndsAreWhiteSpace", "SixWithoutLineEnd"):
            typed, written = rows[name]
            r = bounded.run(COMMAND + ["written"], typed.encode("latin-1"), output=1 << 16)
            self.assertEqual((r.returncode, r.stdout), (0, written.encode("latin-1")), name)


if __name__ == "__main__":
    unittest.main()
