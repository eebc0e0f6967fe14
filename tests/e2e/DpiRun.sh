#!/usr/bin/env bash
# Runs the end-to-end checks of a display scale in a Wine prefix whose
# display reports that DPI (a CTest test per DPI, e2e_dpi144 and e2e_dpi192):
#   DpiRun.sh DPI E2E_EXE CLOCK_EXE
#
# Convention: every test of the program at a display scale has a suite name
# ending in "AtDisplayScale" (ClockAtDisplayScale, SettingsWindowAtDisplayScale,
# ...); this script runs exactly those, with TIKO_DISPLAY_DPI set to the DPI.
# Without that variable (the ordinary e2e_tests run at 96 DPI) they skip
# themselves. Keep them few and short: each DPI starts Wine anew.
set -euo pipefail
dpi="$1" e2e="$2" clock="$3"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/env.sh"
source "$root/scripts/dpi-prefix.sh"

trap leave_dpi_prefix EXIT
enter_dpi_prefix "$dpi"
export TIKO_DISPLAY_DPI="$dpi"
# The prefix's own wineserver; its services start with the first program.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
status=0
bash "$root/tests/support/RunToSummary.sh" wine "$e2e" --gtest_filter='*AtDisplayScale.*' "$clock" || status=$?
exit "$status"
