"""Sessions typed at random into the model of the dialogue, which decides what each answer does: the
typist only looks at the list's length and at the question the run waits on, as a person would."""
from model import INT32, Run


class Typist:
    """Types answers into `run` a choice at a time. A choice's answers go a line each or, with the
    odds `spaced`, on one line apart by spaces, as "%d" takes them either way.

    steps  with `steps`, each choice: the lines typed for it (without their line ends), and the
           list after it"""

    def __init__(self, rng, run=None, spaced=0.25, steps=False):
        self.rng, self.run, self.spaced = rng, run if run is not None else Run(), spaced
        self.steps, self.answers = [] if steps else None, 0
        self._typed, self._line, self._one_line = [], [], False

    def typed(self):
        return "".join(self._typed)

    def _put(self, text):
        self._typed.append(text)
        self.run.feed(text)

    def say(self, answer):
        # Each answer goes with what ends it, so that the run has acted on it before the next.
        self.answers += 1
        self._line.append(answer)
        self._put(answer + (" " if self._one_line else "\n"))

    def begin(self):
        self._one_line = self.rng.random() < self.spaced
        self._line = []

    def end_choice(self):
        if self._one_line:
            self._put("\n")
        if self.steps is not None:
            lines = [" ".join(self._line) + " "] if self._one_line else self._line
            self.steps.append((lines, list(self.run.values)))

    def choice(self, *answers):
        self.begin()
        for answer in answers:
            self.say(str(answer))
        self.end_choice()

    def delete_at(self, refused, valid):
        """Choice 5, then each of `refused` and `valid` while the run still asks for a position."""
        self.begin()
        self.say("5")
        for p in [*refused, valid]:
            if self.run.asking != "{P}":
                break
            self.say(str(p))
        self.end_choice()

    def random_choice(self):
        """One choice of the mix: appends and deletes about even, so that lists wander in length,
        and a few displays and choices that only bring the menu back."""
        rng, n = self.rng, len(self.run.values)
        r = rng.random()
        if r < 0.40:
            self.choice(1, rng.randint(*INT32))
        elif r < 0.42:
            self.choice(2)
        elif r < 0.52:
            self.choice(3)
        elif r < 0.62:
            self.choice(4)
        elif r < 0.82:
            # Positions around the list's ends and the 32-bit limits, then one inside the list.
            near = [0, -1, n + 1, INT32[0], INT32[1]]
            valid = rng.randint(1, n) if n else rng.randint(0, 1)
            self.delete_at(rng.sample(near, rng.randint(0, 2)), valid)
        else:
            self.choice(rng.choice(["0", "7", "-1", "x", "+", "99999999999"]))

    def finish(self):
        """Chooses 6 and ends the input; the run, over."""
        self.choice(6)
        return self.run.end()


def random_typist(rng, answers, emptied=False, steps=False):
    """About `answers` answers of the mix; `emptied`: then deletes until the list is empty."""
    typist = Typist(rng, steps=steps)
    while typist.answers < answers:
        typist.random_choice()
    while emptied and typist.run.values:
        typist.choice(3)
    return typist
