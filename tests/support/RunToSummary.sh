#!/usr/bin/env bash
# Runs a GoogleTest program (the command and its arguments, the emulator
# first) and passes its exit code on only when the run reached GoogleTest's
# closing summary with as many tests run as it announced. A program that
# dies on the way fails, whatever exit code the platform reports for it:
# under Wine a thread killed by a stack overflow leaves the process to end
# with another thread's code, often 0.
#   RunToSummary.sh COMMAND [ARGUMENTS...]
set -uo pipefail

output="$(mktemp /tmp/tiko-gtest.XXXXXX)"
trap 'rm -f "$output"' EXIT

# Into a file, not a pipe: a process the test started and left running must
# not keep this run waiting for the end of its output. Shown as it comes.
"$@" >"$output" 2>&1 &
pid=$!
tail --pid="$pid" -n +1 -f "$output"
wait "$pid"
status=$?

# The first announcement is the program's own (a test's helper processes
# start later); the last summary is its own too (they end before it does).
announced="$(LC_ALL=C grep -a -o -m1 '^\[==========\] Running [0-9]* test' "$output" | grep -o '[0-9]*')"
ran="$(LC_ALL=C grep -a -o '^\[==========\] [0-9]* tests\? from .* ran\.' "$output" | tail -n 1 |
    grep -o '^\[==========\] [0-9]*' | grep -o '[0-9]*$')"

if [ -z "$announced" ] || [ -z "$ran" ] || [ "$announced" != "$ran" ]; then
    echo "RunToSummary: the run ended before GoogleTest's summary: ${announced:-no} tests announced," \
        "${ran:-no summary of} tests run, exit code $status"
    exit 1
fi
exit "$status"
