"""The real program under limits: an address space the heap runs out of, a small stack, and a long
session under valgrind."""
import random
import resource
import shutil
import subprocess
import unittest

import bounded
import dialogue
import e2e
from dialogue import D, M, N, T
from e2e import WAIT, read_until


def vm_peak_at_prompt():
    """The address space the program has mapped once it waits at the menu."""
    with e2e.popen(stdin=subprocess.PIPE, stdout=subprocess.PIPE) as p:
        read_until(p.stdout.fileno(), M.encode())
        with open(f"/proc/{p.pid}/status") as status:
            kib = next(int(line.split()[1]) for line in status if line.startswith("VmPeak:"))
        p.stdin.close()
        p.wait(WAIT)
    return kib * 1024


class Limits(unittest.TestCase):
    def setUp(self):
        if e2e.SANITIZED:
            self.skipTest("sanitizers reserve more address space than any limit leaves")

    def test_exhausted_heap_keeps_the_dialogue_going(self):
        # Room for a few thousand nodes beyond what the program maps to start with.
        limit = vm_peak_at_prompt() + 256 * 1024
        tries = 20000
        # 9 is data while memory lasts; after the heap's message, {N}, it is an ignored choice. The
        # model knows no heap, so the text is put together here.
        typed = "1 9\n" * tries + "6\n"

        def limited():
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        r = e2e.run(typed, preexec_fn=limited)
        out = r.stdout.decode()
        appended = out.count(D)
        self.assertGreater(appended, 0)
        self.assertLess(appended, tries)
        self.assertEqual(out, M + (D + M) * appended + (N + M + M) * (tries - appended) + T)
        self.assertEqual(r.returncode, 0)

    def test_long_list_in_a_small_stack(self):
        typed = "".join(f"1 {i}\n" for i in range(30000)) + "2\n6\n"

        def small_stack():
            resource.setrlimit(resource.RLIMIT_STACK, (256 * 1024, 256 * 1024))

        r = e2e.run(typed, preexec_fn=small_stack)
        self.assertEqual((r.returncode, r.stdout.decode()), (0, dialogue.written(typed)))


class Valgrind(unittest.TestCase):
    def test_long_session_is_clean(self):
        if e2e.SANITIZED or shutil.which("valgrind") is None:
            self.skipTest("needs valgrind and a build without sanitizers")
        # A known session, read to its last answer; the list is emptied before 6, so a node that a
        # delete unlinks and never releases is a lost block.
        typed, written = dialogue.random_session(random.Random(7), 20000, emptied=True)
        checked = bounded.run(["valgrind", "-q", "--error-exitcode=99", "--leak-check=full",
                               "--errors-for-leak-kinds=definite,indirect,possible", e2e.LISTMENU], typed.encode(),
                              cpu=300, timeout=600)
        self.assertEqual(checked.returncode, 0, checked.stderr.decode()[-2000:])
        self.assertEqual(checked.stdout.decode(), written)
