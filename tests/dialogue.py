"""The table of dialogues (tests/dialogues.txt): the program's texts, named at its head, and its rows;
and the text the model of the dialogue (model.py) writes, in full or in the table's notation.

Shared by the runs of the real program, the end-to-end tests, the session benchmark and the page's
tests. As a command, it answers from the model:

  dialogue.py written           the text written for what stdin types (read to its end)
  dialogue.py events            for a JSON array of typed lines on stdin (each fed with a line end;
                                null: the input ends), a JSON array with, for each line, what
                                happened to the list and the list after it: {"events", "values"}
  dialogue.py steps N C OUT     for the in-process model test: N random sessions of C choices, each
                                choice with the text written and the list after it
"""
import json
import os
import random
import re
import sys

import model
import sessions

TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dialogues.txt")
_TEXT = re.compile(r"(\{[A-Z]\}) = (.*)")
_ESCAPE = re.compile(r"\\(.)|(\{[A-Z]\})")
_PLAIN = {"n": "\n", "r": "\r", "t": "\t", "v": "\v", "f": "\f", "\\": "\\"}
_SHOWN = {v: "\\" + k for k, v in _PLAIN.items()}


def unescape(field, texts):
    def one(m):
        meant = texts.get(m.group(2)) if m.group(2) else _PLAIN.get(m.group(1))
        if meant is None:
            raise ValueError(f"no escape or text {m.group(0)} in: {field}")
        return meant
    return _ESCAPE.sub(one, field.strip(" "))


def escape(text):
    """`text` in the table's notation, for a field of a row."""
    shown = "".join(_SHOWN.get(c, c) for c in text)
    if "|" in shown or "{" in shown or shown != shown.strip(" "):
        raise ValueError(f"cannot be a field: {text!r}")
    return shown


def read(path=TABLE):
    """The texts ({"{M}": ...}), their lines as written, and the rows' fields, each still escaped."""
    texts, lines, rows = {}, [], []
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if m := _TEXT.fullmatch(line):
                texts[m.group(1)] = unescape(m.group(2), {})
                lines.append(line)
            else:
                rows.append([field.strip(" ") for field in line.split("|")])
    return texts, lines, rows


TEXTS, _TEXT_LINES, _ROWS = read()
M, D, P, E, I, T, N = (TEXTS["{" + name + "}"] for name in "MDPEITN")


def table():
    """(name, typed, written, ending) for each dialogue of the table the in-process tests read."""
    rows = []
    for fields in _ROWS:
        if len(fields) != 4 or fields[3] not in ("chosen", "stopped"):
            raise ValueError(f"not a dialogue: {' | '.join(fields)}")
        rows.append((fields[0], unescape(fields[1], TEXTS), unescape(fields[2], TEXTS), fields[3]))
    return rows


def text(out):
    """What a run wrote (model.Run.out), as the program writes it."""
    return "".join(TEXTS.get(piece, piece) for piece in out)


def notation(out):
    return "".join(piece if piece in TEXTS else escape(piece) for piece in out)


def play(typed):
    """The model on the whole of `typed`: the text written, and how the run ended."""
    run = model.Run().feed(typed).end()
    return text(run.out), "chosen" if run.chosen else "stopped"


def written(typed):
    return play(typed)[0]


def random_model(rng, answers, emptied=False):
    """A random session of about `answers` answers (sessions.py), before its last answer, 6; its
    `steps` are each choice's lines and the list after it."""
    return sessions.random_typist(rng, answers, emptied, steps=True)


def random_session(rng, answers, emptied=False):
    """A random session of about `answers` answers of every kind, ending with 6, and the text it must
    give. `emptied`: the list is emptied before 6, so that a leak checker sees every node released."""
    typist = sessions.random_typist(rng, answers, emptied)
    run = typist.finish()
    return typist.typed(), text(run.out)


def events(lines):
    run, after = model.Run(), []
    for line in lines:
        seen = len(run.events)
        if not run.over:
            run.end() if line is None else run.feed(line + "\n")
        after.append({"events": run.events[seen:], "values": list(run.values)})
    return after


def write_steps(count, choices, path):
    """The rows of the model test: session | typed | written | values, each choice played alone,
    from the list the one before left, to the end of its input. The texts head the file."""
    rng = random.Random(20261208)
    with open(path, "w", encoding="latin-1") as f:
        f.write("# made by tests/dialogue.py steps from the model; do not edit\n")
        f.write("".join(line + "\n" for line in _TEXT_LINES))
        for session in range(count):
            values = []
            for _ in range(choices):
                typist = sessions.Typist(rng, model.Run(values))
                typist.random_choice()
                run = typist.run.end()
                values = run.values
                shown = " ".join(map(str, values))
                f.write(f"{session} | {escape(typist.typed())} | {notation(run.out)} | {shown}\n")


def main(args):
    if args == ["written"]:
        sys.stdout.buffer.write(written(sys.stdin.buffer.read().decode("latin-1")).encode("latin-1"))
    elif args == ["events"]:
        json.dump(events(json.load(sys.stdin)), sys.stdout, separators=(",", ":"))
    elif len(args) == 4 and args[0] == "steps":
        write_steps(int(args[1]), int(args[2]), args[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
