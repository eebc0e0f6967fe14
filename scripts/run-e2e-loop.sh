#!/usr/bin/env bash
# Runs the end-to-end CTest tests RUNS times in a row (default 30) while two
# busy loops load both cores, as a slow or shared machine would: a check that
# reads a state once instead of waiting for it fails here sooner or later.
# Prints the first lines of each failure as it happens and, at the end, how
# many runs of each test passed. Exits non-zero when any run did not pass.
#
#   scripts/run-e2e-loop.sh [RUNS]
#
# Then it runs each of them TIKO_FAKED_RUNS times (default 3) under a clock
# faked to 23:59:40 and to 11:11:20 of today (libfaketime), where a check
# that reads the time of day, or a wait a faked clock ends, shows.
#
# Every run's output stays in out/e2e-loop/RUN-TEST.txt.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
runs="${1:-30}"
if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [RUNS]" >&2
    exit 64
fi
faked_runs="${TIKO_FAKED_RUNS:-3}"
faked_times=("23:59:40" "11:11:20")
faketime_library=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1
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

# One run of every test; the counts are kept under the round's name.
run_round() {
    local round="$1" name="$2"
    local line="$name:"
    for test in "${tests[@]}"; do
        local log="$logs/${round}-$test.txt" start=$SECONDS status=0 outcome key
        ctest --test-dir "$TIKO_BUILD" --output-on-failure -R "^${test}\$" >"$log" 2>&1 </dev/null || status=$?
        key="${round%%-*}:$test"
        if [ "$status" -ne 0 ]; then
            outcome=failed
            failed[$key]=$((${failed[$key]:-0} + 1))
            echo "---- $name, $test failed ($log):"
            first_lines "$log" | sed 's/^/    /'
        elif grep -a -q -E '\*\*\*Skipped|Not Run' "$log"; then
            outcome=skipped
            skipped[$key]=$((${skipped[$key]:-0} + 1))
        else
            outcome=passed
            passed[$key]=$((${passed[$key]:-0} + 1))
        fi
        line+=" $test $outcome ($((SECONDS - start)) s);"
    done
    echo "$line"
}

for run in $(seq 1 "$runs"); do
    run_round "$(printf 'real-%02d' "$run")" "run $run/$runs"
done

# Under a faked clock every process must read the same clock, the wineserver
# first of all: a process computes when its wait ends and the server judges
# it. FAKETIME's "@" form starts each process's clock at that process's own
# start, so a server started earlier runs ahead and waits end early (or
# never); an offset moves every clock alike.
if [ -f "$faketime_library" ] && [ "$faked_runs" -gt 0 ]; then
    for at in "${faked_times[@]}"; do
        offset="$(printf '%+d' $(($(date -d "today $at" +%s) - $(date +%s))))" # seconds, signed
        wineserver -k 2>/dev/null || true
        export FAKETIME="$offset" LD_PRELOAD="$faketime_library"
        wineserver -p
        wine cmd /c exit >/dev/null 2>&1 </dev/null || true
        for run in $(seq 1 "$faked_runs"); do
            run_round "$(printf 'faked%s-%02d' "${at//:/}" "$run")" "at $at, run $run/$faked_runs"
        done
        wineserver -k 2>/dev/null || true
        unset FAKETIME LD_PRELOAD
    done
    wineserver -p
fi

all_passed=1
report() {
    local round="$1" count="$2" title="$3"
    echo "$title"
    for test in "${tests[@]}"; do
        local key="$round:$test"
        echo "  $test: ${passed[$key]:-0} of $count passed, ${failed[$key]:-0} failed, ${skipped[$key]:-0} skipped"
        [ "${passed[$key]:-0}" -eq "$count" ] || all_passed=0
    done
}
report real "$runs" "Under two busy loops, $runs runs:"
if [ -f "$faketime_library" ] && [ "$faked_runs" -gt 0 ]; then
    for at in "${faked_times[@]}"; do
        report "faked${at//:/}" "$faked_runs" "With the clock at $at, $faked_runs runs:"
    done
fi
[ "$all_passed" -eq 1 ]
