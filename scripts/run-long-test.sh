#!/usr/bin/env bash
# Runs one test executable's long form under Wine on a virtual display: the
# suite's own tests with a larger count, their output in out/NAME.txt and the
# lines worth reading printed. Exits non-zero on any failure.
#
#   scripts/run-long-test.sh TARGET FILTER COUNT_VARIABLE COUNT NAME PATTERN
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
target=$1 filter=$2 variable=$3 count=$4 name=$5 pattern=$6
bash "$here/install-deps.sh"
source "$here/env.sh"
source "$here/test-session.sh"
bash "$here/setup-prefix.sh"
bash "$here/build.sh" --target "$target"

trap stop_test_session EXIT
start_test_session

mkdir -p "$TIKO_ROOT/out"
log="$TIKO_ROOT/out/$name.txt"
status=0
env "$variable=$count" wine "$TIKO_BUILD/tests/$target.exe" --gtest_filter="$filter" \
    >"$log" 2>&1 </dev/null || status=$?
grep -E "^\[ *(OK|FAILED|PASSED) *\]|Failure|$pattern" "$log" || true
echo "Full output: $log"
exit "$status"
