#!/bin/sh
# wine for the tests, which start the program many times. Its server and services are started
# here, detached from the caller's pipes (a test would otherwise wait for them to close), and
# kept running between runs instead of being started anew at seconds a time.
export WINEDEBUG=-all
wineserver -p 60 </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
exec wine "$@"
