#!/usr/bin/env bash
# Runs the end-to-end CTest tests RUNS times in a row (default 30) while two
# busy loops load both cores, as a slow or shared machine would: a check that
# reads a state once instead of waiting for it fails here sooner or later.
# Prints the first lines of each failure as it happens and, at the end, how
# many runs of each test passed. Exits non-zero when any run did not pass.
#
#   scripts/run-e2e-loop.sh [RUNS]
#
# Every run's output stays in out/e2e-loop/RUN-TEST.txt.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
runs="${1:-30}"
if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [RUNS]" >&2
    exit 64
fi
tests=(e2e_tests e2e_planted_dlls e2e_western e2e_japanese e2e_readonly e2e_dpi144 e2e_dpi192 e2e_install)

bash "$here/install-deps.sh"
source "$here/env.sh"
source "$here/test-session.sh"
bash "$here/setup-prefix.sh"
bash "$here/build.sh"

busy=()
cleanup() {
    for pid in "${busy[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    stop_test_session
}
trap cleanup EXIT
start_test_session
for _ in 1 2; do
    (while :; do :; done) &
    busy+=($!)
done

logs="$TIKO_ROOT/out/e2e-loop"
rm -rf "$logs"
mkdir -p "$logs"
declare -A passed=() failed=() skipped=()

# The lines that say what went wrong: from the first failed check on, or the
# end of the output when there is none (a crash, a time-out). The output
# holds GBK bytes and Wine's notes: read as text, without the notes.
first_lines() {
    if grep -a -q -E ': Failure$|\[  FAILED  \]' "$1"; then
        grep -a -v 'fixme:' "$1" | grep -a -m 1 -A 14 -E ': Failure$|\[  FAILED  \]'
    else
        grep -a -v 'fixme:' "$1" | tail -n 15
    fi
}

for run in $(seq 1 "$runs"); do
    line="run $run/$runs:"
    for test in "${tests[@]}"; do
        log="$logs/$(printf '%02d' "$run")-$test.txt"
        start=$SECONDS
        status=0
        ctest --test-dir "$TIKO_BUILD" --output-on-failure -R "^${test}\$" >"$log" 2>&1 </dev/null || status=$?
        if [ "$status" -ne 0 ]; then
            outcome=failed
            failed[$test]=$((${failed[$test]:-0} + 1))
            echo "---- run $run, $test failed ($log):"
            first_lines "$log" | sed 's/^/    /'
        elif grep -a -q -E '\*\*\*Skipped|Not Run' "$log"; then
            outcome=skipped
            skipped[$test]=$((${skipped[$test]:-0} + 1))
        else
            outcome=passed
            passed[$test]=$((${passed[$test]:-0} + 1))
        fi
        line+=" $test $outcome ($((SECONDS - start)) s);"
    done
    echo "$line"
done

echo "Under two busy loops, $runs runs:"
all_passed=1
for test in "${tests[@]}"; do
    echo "  $test: ${passed[$test]:-0} of $runs passed, ${failed[$test]:-0} failed, ${skipped[$test]:-0} skipped"
    [ "${passed[$test]:-0}" -eq "$runs" ] || all_passed=0
done
[ "$all_passed" -eq 1 ]
