#!/bin/sh
# Runs a Windows program under Wine: the cross build's emulator.
#
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
