#!/bin/sh
# wine for the tests, which start the program many times: its server is kept for a minute
# after each run instead of being started anew, at seconds a time.
export WINEDEBUG=-all
wineserver -p 60 </dev/null >/dev/null 2>&1  # not holding the caller's pipes open
exec wine "$@"
