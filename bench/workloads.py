"""The benchmark's sessions: answers typed, one a line, and the text the model of the dialogue
(tests/model.py) says they must give, each with the floor it is timed against and a target."""
import dialogue
from model import INT32
from sessions import Typist


class Session:
    """Answers typed, the text they must give, the floor to compare with, and a target ratio."""

    def __init__(self, name, typed, written, floor, target, least_runs=1, nodes=0, pipe=False):
        self.name, self.typed, self.written = name, typed, written
        self.answers, self.floor, self.target, self.least_runs, self.nodes = typed.count("\n"), floor, target, least_runs, nodes
        self.pipe = pipe  # output to a pipe instead of a file


def finished(typist):
    """What `typist` typed with 6 after it, and the text the model says it gives."""
    run = typist.finish()
    return typist.typed(), dialogue.text(run.out)


def with_digits(rng, fewest, most):
    """A value of `fewest` to `most` digits, each count as likely, of either sign."""
    digits = rng.randint(fewest, most)
    magnitude = rng.randint(10 ** (digits - 1) if digits > 1 else 0, 10 ** digits - 1)
    return -magnitude if rng.random() < 0.5 else magnitude


def full_range(rng):
    return rng.randint(*INT32)


def display(name, rng, values, draw, target):
    """`values` values from `draw`, then shown as many times."""
    t = Typist(rng, spaced=0)
    for _ in range(values):
        t.choice(1, draw(rng))
    for _ in range(values):
        t.choice(2)
    return Session(name, *finished(t), "copy+walk", target)


def sessions(scale, rng):
    def n(count):
        return max(1, int(count * scale))

    out = [Session("start-up", "6\n", dialogue.written("6\n"), "C", 1.2, least_runs=30)]

    churn = "0\n" * n(1000000) + "6\n"
    written = dialogue.written(churn)
    out.append(Session("menu churn", churn, written, "copy", 1.3))
    out.append(Session("churn, pipe", churn, written, "copy", 1.3, pipe=True))

    t = Typist(rng, spaced=0)
    for _ in range(n(20000)):
        t.choice(1, full_range(rng))
    out.append(Session("build", *finished(t), "walk", 1.2, nodes=len(t.run.values)))

    # What people type is mostly short; the full range is the heaviest to show. Every value costs
    # the formatter's fixed work however short its text, which a copy of the text does not: the
    # fewer the digits, the more of the time the floor leaves out, and the higher the target.
    out.append(display("display 1-3", rng, n(2000), lambda r: with_digits(r, 1, 3), 1.8))
    out.append(display("display 4-6", rng, n(2000), lambda r: with_digits(r, 4, 6), 1.8))
    out.append(display("display 7-8", rng, n(2000), lambda r: with_digits(r, 7, 8), 1.7))
    out.append(display("display-heavy", rng, n(2000), full_range, 1.7))

    t = Typist(rng, spaced=0)
    for _ in range(n(10000)):
        t.choice(1, full_range(rng))
    for _ in range(n(5000)):
        t.choice(4)
    for _ in range(n(4000)):
        if len(t.run.values) > 2:
            t.choice(5, rng.randint(2, len(t.run.values) - 1))
    out.append(Session("deletes", *finished(t), "walk", 1.2))

    t = Typist(rng, spaced=0)
    while t.answers < n(200000):
        r = rng.random()
        if r < 0.45:
            t.choice(1, full_range(rng))
        elif r < 0.47:
            t.choice(2)
        elif r < 0.67:
            t.choice(4)
        elif r < 0.87 and t.run.values:
            t.choice(5, rng.randint(1, len(t.run.values)))
        else:
            t.choice(rng.choice([0, 7, -1, 2**31 - 1]))
    out.append(Session("mixed", *finished(t), "copy+walk", None))
    return out
