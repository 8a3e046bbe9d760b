#!/bin/sh
# Runs a Windows program under Wine: the cross build's emulator, and the
# demo's way of starting the Windows programs.
#
# Wine makes a Linux file name from a Windows one in the locale's character
# set: under the C locale (a container, a cron job, a service) it cannot name
# a file outside ASCII at all. Without a UTF-8 locale it gets C.UTF-8, which
# every Debian system has; one that is already UTF-8 is kept.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
    export LC_ALL=C.UTF-8
fi

# Wine's own processes (its server, services and drivers) are started by the
# first program that needs them, and inherit its output. Run straight from
# the test runner, they would hold that program's output pipe for as long as
# they live, and the runner would wait on a program that has long ended. So
# the program writes to a file, passed on as it grows, and this script ends
# with the program.
log=$(mktemp) || exit 125
trap 'rm -f "$log"' EXIT
"$@" >"$log" 2>&1 </dev/null &
program=$!
tail -s 0.1 -n +1 -f --pid="$program" "$log"
wait "$program"
