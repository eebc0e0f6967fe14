#!/usr/bin/env bash
# Builds the benchmark and runs it under Wine on a virtual 1920x1080 display:
# frame costs (as written and cached, with identical pixels checked), the
# idle CPU share of the real clock, its memory and its start. Prints a table
# and writes out/bench.md.
#
#   scripts/run-bench.sh [--frames N] [--ticks N] [--idle-rounds N] [--check-frames N]
#                        [--profile-frames N] [--timing-seconds N] [--memory-seconds N]
#                        [--start-rounds N] [--before-exe PATH]
#
# Defaults: 2000 frames per measurement, 300 one-second ticks for the idle
# clock, 120 seconds of tick timing; `--frames 300 --ticks 20` gives a quick
# run. --before-exe measures another build of TikoClock.exe (the code before a
# change) beside this one, in the same run. --idle-rounds N measures every
# idle program N times, taking them in turn, and adds the runs up.
# --start-rounds N (default 9) times N starts of each program to its window.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
bash "$here/install-deps.sh"
source "$here/env.sh"
source "$here/virtual-display.sh"
bash "$here/setup-prefix.sh"
bash "$here/build.sh" --target bench

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    stop_virtual_display
}
trap cleanup EXIT

start_virtual_display
wineserver -p 2>/dev/null || true # a server already running for this prefix serves as well
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

# The display server and this prefix's wineserver do part of every frame's
# work outside the clock's process; their CPU time is reported beside it.
others=(--other "Xvfb=$TIKO_XVFB_PID")
for pid in $(pgrep -f wineserver || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
        others+=(--other "wineserver=$pid")
    fi
done

mkdir -p "$TIKO_ROOT/out"
body="$(mktemp)"
status=0
wine "$TIKO_BUILD/tests/bench.exe" --clock-exe "$TIKO_BUILD/TikoClock.exe" \
    --floor-exe "$TIKO_BUILD/tests/bench_floor.exe" --out "$body" "${others[@]}" "$@" \
    >/dev/null 2>&1 </dev/null || status=$?

report="$TIKO_ROOT/out/bench.md"
{
    echo "# Tiko Clock benchmark"
    echo
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'); $(wine --version); $(nproc) cores:" \
        "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//');" \
        "load average before the run $(cut -d' ' -f1-3 /proc/loadavg)."
    echo "Command: \`bash scripts/run-bench.sh${*:+ $*}\`"
    echo
    cat "$body"
} >"$report"
rm -f "$body"
cat "$report"
echo
echo "Written to $report"
case $status in
0) ;;
2) echo "The cached frames differ from the frames as written." >&2 ;;
*) echo "The benchmark ended with status $status." >&2 ;;
esac
exit "$status"
