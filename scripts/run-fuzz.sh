#!/usr/bin/env bash
# The long settings-file fuzz: the suite's IniFuzz test with 10,000 generated,
# mutated and random files instead of 1,000, under Wine on a virtual display.
# Writes the output to out/fuzz.txt; exits non-zero on any failure.
#
#   scripts/run-fuzz.sh [cases]      # default 10000
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
bash "$here/install-deps.sh"
source "$here/env.sh"
source "$here/virtual-display.sh"
bash "$here/setup-prefix.sh"
bash "$here/build.sh" --target app_tests

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    stop_virtual_display
}
trap cleanup EXIT

start_virtual_display
wineserver -p 2>/dev/null || true # a server already running for this prefix serves as well
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

mkdir -p "$TIKO_ROOT/out"
log="$TIKO_ROOT/out/fuzz.txt"
status=0
TIKO_FUZZ_CASES="${1:-10000}" wine "$TIKO_BUILD/tests/app_tests.exe" --gtest_filter='IniFuzz.*' \
    >"$log" 2>&1 </dev/null || status=$?
grep -E '^\[ *(OK|FAILED|PASSED) *\]|Failure|case [0-9]+:' "$log" || true
echo "Full output: $log"
exit "$status"
