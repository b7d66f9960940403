"""The program's own texts, its table of dialogues, and a model of the dialogue for scripted sessions.

Shared by the runs of the real program, the end-to-end tests and the session benchmark.
"""
import os
import re

M = ("1.create linked list\n2.display linked list\n3.Delete at first\n4.Delete at last\n"
     "5.Delete at position\n6.Exist\nplz enter your choice")
D = "Please Enter a data"
P = "Please enter a positon"
E = "Linked list not exist"
I = "Invalid position\n"
T = "Thank You!"
NOMEM = "Memory not allocated"
INT32 = (-2**31, 2**31 - 1)

TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dialogues.txt")
_NAMED = {"M": M, "D": D, "P": P, "E": E, "I": I, "T": T}
_ESCAPE = re.compile(r"\\([nrtvf\\])|\{([A-Z])\}")
_PLAIN = {"n": "\n", "r": "\r", "t": "\t", "v": "\v", "f": "\f", "\\": "\\"}


def _unescape(field):
    def one(m):
        return _NAMED[m.group(2)] if m.group(2) else _PLAIN[m.group(1)]
    return _ESCAPE.sub(one, field.strip(" "))


def table(path=TABLE):
    """(name, typed, written, ending) for each dialogue of the table the in-process tests read."""
    rows = []
    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("|")
            if len(fields) != 4 or fields[3].strip() not in ("chosen", "stopped"):
                raise ValueError(f"not a dialogue: {line}")
            rows.append((fields[0].strip(), _unescape(fields[1]), _unescape(fields[2]), fields[3].strip()))
    return rows


class Model:
    """The list and the text the program writes back, for sessions of one answer a line."""

    def __init__(self):
        self.values, self.answers, self.out = [], [], [M]
        self.steps = []  # each choice: its answers, and the list's values after it

    def choose(self, *answers, text=""):
        self.answers += answers
        self.out += [text, M]
        self.steps.append((list(answers), list(self.values)))

    def append(self, x):
        self.values.append(x)
        self.choose("1", str(x), text=D)

    def display(self):
        self.choose("2", text="".join(f"{x}->" for x in self.values) if self.values else E)

    def _first(self):
        if not self.values:
            return E + "\n"
        del self.values[0]
        return ""

    def _last(self):
        if not self.values:
            return E
        del self.values[-1]
        return ""

    def delete_first(self):
        self.choose("3", text=self._first())

    def delete_last(self):
        self.choose("4", text=self._last())

    def delete_at(self, *positions):
        """Choice 5 answered with `positions`: all invalid but the last."""
        text = P
        for i, p in enumerate(positions):
            n = len(self.values)
            done = p in (1, n) or 1 < p < n
            assert done == (i == len(positions) - 1), "only the last position may be valid"
            if p == 1:
                text += self._first()
            elif p == n:
                text += self._last()
            elif done:
                del self.values[p - 1]
            else:
                text += I + P
        self.choose("5", *map(str, positions), text=text)

    def finish(self):
        """The answers typed, a line each, ending with 6, and the whole text written back."""
        self.answers.append("6")
        self.out[-1] += T
        return "\n".join(self.answers) + "\n", "".join(self.out)


def random_session(rng, answers, emptied=False):
    """A session of about `answers` answers of every kind, and the text it must give. `emptied`:
    the list is emptied before the last answer, 6, so that a leak checker sees every node released."""
    return random_model(rng, answers, emptied).finish()


def random_model(rng, answers, emptied=False):
    """The model of a random session, before its last answer."""
    m = Model()
    while len(m.answers) < answers:
        r, n = rng.random(), len(m.values)
        if r < 0.40:
            m.append(rng.randint(*INT32))
        elif r < 0.42:
            m.display()
        elif r < 0.52:
            m.delete_first()
        elif r < 0.62:
            m.delete_last()
        elif r < 0.82:
            refused = [p for p in (0, -1, n + 1, INT32[0], INT32[1]) if p not in (1, n)]
            valid = rng.randint(1, n) if n else rng.randint(0, 1)
            m.delete_at(*rng.sample(refused, rng.randint(0, 2)), valid)
        else:
            m.choose(rng.choice(["0", "7", "-1", "x", "+", "99999999999"]))
    while emptied and m.values:
        m.delete_first()
    return m
