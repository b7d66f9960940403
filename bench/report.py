"""The benchmark's table: its rows, its legend, and the line that says what runs now."""
import sys

COLUMNS = """columns:
  session    what the answers do (below); "churn, pipe" writes to a pipe, the rest to a file
  answers    answers typed, one a line
  out MB     bytes the program writes, in millions
  CPU s      listmenu's median CPU seconds (user+sys) over the runs
  floor s    the floor's median CPU seconds: the least the machine needs for the same work
  floor      what the floor is:
               dd B    dd copying the same output to the same kind of output, at whichever
                       block size B from 64K to 1M was fastest
               walk    walk_floor: the same list walks as bare pointer chasing, no console
               C       c_floor: a C program writing {M} and {T}, the texts of
                       tests/dialogues.txt, with printf and reading with scanf
  ratio      CPU s / floor s
  target     the ratio the session should stay within, and a mark:
               ok      the ratio is within the target
               OVER    the ratio is above it
               -       the session has no target: it is measured, not judged
  peak KiB   listmenu's largest resident size
  answers/s  answers / CPU s
  MB/s       out MB / CPU s
below some rows:
  minor page faults  (start-up) pages listmenu and the C program first touched
  memory             (build) bytes per node, from the pages touched with all the nodes and half
  beside N           (with --beside) the median CPU seconds of the Nth other program, timed in turn
                     with this build's on the same session, and this build's time as a multiple of it
sessions (at --scale 1):
  start-up       choose 6 at once
  menu churn     a million choices of 0, each bringing the menu back
  churn, pipe    the same, written to a pipe
  build          20,000 appends, each walking to the tail
  display 1-3    2,000 values of 1 to 3 digits shown 2,000 times
  display 4-6    the same with values of 4 to 6 digits
  display 7-8    the same with values of 7 or 8 digits
  display-heavy  the same with values from the whole 32-bit range
  deletes        appends, then deletes of the last node and at inner positions
  mixed          200,000 answers of every kind
exit status (no mark changes it: the benchmark reports and never judges):
  0  every session ran and wrote the dialogue expected, whether marked ok, OVER or -
  1  the build or a run failed, or a session's output was not the dialogue expected"""
# One row: the session's name, then each column right-aligned after a space, so that a figure
# grown past its width (a larger --scale) still stands apart. 99 characters at --scale 1.
ROW = "{:<13} {:>7} {:>6} {:>7} {:>7} {:>12} {:>5} {:>9} {:>8} {:>9} {:>6}"


class Progress:
    """One line on standard error saying what runs now, rewritten in place at a terminal."""

    def __init__(self):
        self.live = sys.stderr.isatty()

    def say(self, text, again=False):
        """Shows `text`; one that only counts on (`again`) goes to a log only at a terminal."""
        if self.live:
            sys.stderr.write(f"\r\033[K{text}")
        elif not again:
            sys.stderr.write(text + "\n")
        sys.stderr.flush()

    def done(self):
        if self.live:
            sys.stderr.write("\r\033[K")
