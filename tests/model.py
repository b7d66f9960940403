"""The dialogue as the program holds it: what it reads of what is typed (console/reader.cpp), what it
does to the list (list/list.cpp) and what it writes back (menu/menu.cpp), for any text at all.

A Run is fed the typed text a piece at a time, as a person's lines reach the program, and then
ended; between pieces it stands where the program would wait. It writes its texts by their names in
the table of dialogues ("{M}"), and the table says what each is.
"""
import re

INT32 = (-2**31, 2**31 - 1)
# The white space of C's isspace (nothing else is skipped, not even a NUL), a sign, and digits.
_ANSWER = re.compile(r"[ \t\n\v\f\r]*([+-]?)([0-9]*)")
_DIGITS_AT_MOST = 10  # past leading zeros, more digits than 2147483648 has are out of range
END = "end"
NOT_A_NUMBER = "not a number"


def scan(typed, at, ended):
    """The next answer from `at`, read as "%d" reads it, and where reading stopped: a number, or
    NOT_A_NUMBER (no digit after the sign, or outside 32 bits), or END (only white space was
    left). None while what is typed so far cannot tell, since more may follow."""
    m = _ANSWER.match(typed, at)
    if m.start(1) == len(typed):
        return (END, len(typed)) if ended else None
    if m.end() == len(typed) and not ended:
        return None
    digits = m.group(2).lstrip("0") or m.group(2)[:1]
    if not digits or len(digits) > _DIGITS_AT_MOST:
        return NOT_A_NUMBER, m.end()
    value = int(m.group(1) + digits)
    return (value if INT32[0] <= value <= INT32[1] else NOT_A_NUMBER), m.end()


def discard_line(typed, at, ended):
    """Where the rest of the line from `at` ends, just past its line end; END when the input ends
    first, and None while it has not ended and no line end has come."""
    end = typed.find("\n", at)
    if end >= 0:
        return end + 1
    return END if ended else None


class Run:
    """One run of the program, from the list `values` (a new run starts empty).

    out     what it wrote so far: names of texts ("{M}") and literal text
    values  the list
    events  what happened to the list, in order: ["taken"] (a block for a node, before its value is
            read), ["data", x] (x read into it, which is then linked at the tail), ["removed", k]
            (the node at index k unlinked and released), ["dropped"] (the block given back unused)
    asking  the name of the question it waits on; None once the run is over
    chosen  whether the run ended by choice 6 (else, once over, by the end of the input)
    """

    def __init__(self, values=()):
        self.out, self.values, self.events = [], list(values), []
        self.asking, self.chosen = None, False
        self._typed, self._at, self._ended = "", 0, False
        self._stopped = False  # an answer was asked for and the input had none: nothing more is
        self._loop = self._menu()
        self._go()

    def feed(self, typed):
        # What has been read is dropped, so that a long session fed line by line stays linear.
        self._typed = self._typed[self._at:] + typed
        self._at = 0
        self._go()
        return self

    def end(self):
        """The input ends here, as Control-D on an empty line or the end of a file ends it."""
        self._ended = True
        self._go()
        return self

    @property
    def over(self):
        return self.asking is None

    def _go(self):
        if self._loop is not None:
            try:
                next(self._loop)
            except StopIteration:
                self._loop, self.asking = None, None

    def _read(self, step):
        """What `step` gives for the input from here, once the input can tell."""
        while (got := step(self._typed, self._at, self._ended)) is None:
            yield
        return got

    def _ask(self, name):
        """The answer to `name`, asked again after what is not a number; None once the input has
        ended, and from then on nothing more is asked."""
        while not self._stopped:
            self.asking = name
            self.out.append(name)
            got = scan(self._typed, self._at, self._ended)
            if got is None:  # an answer still being typed; only in input fed piece by piece
                got = yield from self._read(scan)
            got, self._at = got
            if got == END:
                break
            if got != NOT_A_NUMBER:
                return got
            line_end = yield from self._read(discard_line)
            if line_end == END:
                break
            self._at = line_end
        self._stopped = True
        return None

    def _menu(self):
        while (choice := (yield from self._ask("{M}"))) is not None:
            if choice == 1:
                yield from self._create()
            elif choice == 2:
                self.out.append("->".join(map(str, self.values)) + "->" if self.values else "{E}")
            elif choice == 3:
                self._delete_first()
            elif choice == 4:
                self._delete_last()
            elif choice == 5:
                yield from self._delete_at()
            elif choice == 6:
                self.out.append("{T}")
                self.chosen = True
                return

    def _create(self):
        self.events.append(["taken"])
        x = yield from self._ask("{D}")
        if x is None:
            self.events.append(["dropped"])
            return
        self.events.append(["data", x])
        self.values.append(x)

    def _remove(self, k):
        self.events.append(["removed", k])
        del self.values[k]

    def _delete_first(self):
        if self.values:
            self._remove(0)
        else:
            self.out += ["{E}", "\n"]

    def _delete_last(self):
        if self.values:
            self._remove(len(self.values) - 1)
        else:
            self.out.append("{E}")

    def _delete_at(self):
        while (p := (yield from self._ask("{P}"))) is not None:
            n = len(self.values)
            if p == 1:
                return self._delete_first()
            if p == n:
                return self._delete_last()
            if 1 < p < n:
                return self._remove(p - 1)
            self.out.append("{I}")
