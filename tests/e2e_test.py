"""End to end through the real listmenu executable: pipes, terminals, failing output, limits.

Usage: e2e_test.py PATH_TO_LISTMENU [--sanitized] [unittest arguments]
"""
import os
import sys
import unittest

import e2e
from e2e_limits import Limits, Valgrind  # noqa: F401 (found by unittest.main)
from e2e_pipes import FailingOutput, HostileInput, Pipes  # noqa: F401
from e2e_terminal import Terminal  # noqa: F401

if __name__ == "__main__":
    e2e.LISTMENU = os.path.abspath(sys.argv.pop(1))
    if len(sys.argv) > 1 and sys.argv[1] == "--sanitized":
        e2e.SANITIZED = True
        sys.argv.pop(1)
    unittest.main()
