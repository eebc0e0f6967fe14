#!/usr/bin/env bash
# The long soak: the suite's soak tests with 100,000 frames (the frame as
# written: a fifth of that), GDI objects, USER objects, handles and private
# bytes sampled every 10,000 frames, under Wine on a virtual display.
# Prints every sample and writes them to out/soak.txt; exits non-zero when
# anything grew.
#
#   scripts/run-soak.sh [frames]      # default 100000
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
bash "$here/install-deps.sh"
source "$here/env.sh"
source "$here/virtual-display.sh"
bash "$here/setup-prefix.sh"
bash "$here/build.sh" --target clock_tests

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    stop_virtual_display
}
trap cleanup EXIT

start_virtual_display
wineserver -p 2>/dev/null || true # a server already running for this prefix serves as well
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

mkdir -p "$TIKO_ROOT/out"
log="$TIKO_ROOT/out/soak.txt"
status=0
TIKO_SOAK_FRAMES="${1:-100000}" wine "$TIKO_BUILD/tests/clock_tests.exe" --gtest_filter='Soak.*' \
    >"$log" 2>&1 </dev/null || status=$?
grep -E '^soak |^\[ *(OK|FAILED|PASSED) *\]|Failure|GDI objects \(|USER objects \(|handles \(|private bytes \(' "$log" || true
echo "Full output: $log"
exit "$status"
