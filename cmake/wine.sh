#!/bin/sh
# wine for the tests, which start the program many times. Its server and services are started
# here, detached from the caller's pipes (a test would otherwise wait for them to close), and
# kept running between runs instead of being started anew at seconds a time. The tests limit
# the CPU time and file sizes of what they start; the first start of wine builds its prefix,
# megabytes of files, so that setup is lifted out of the limits, which stay on the program.
export WINEDEBUG=-all
(
    ulimit -S -t unlimited
    ulimit -S -f unlimited
    wineserver -p 60
    wine wineboot
) </dev/null >/dev/null 2>&1
exec wine "$@"
