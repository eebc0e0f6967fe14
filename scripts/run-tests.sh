#!/usr/bin/env bash
# Sets up everything on a fresh Debian machine and runs every test under
# Wine on a virtual 1920x1080 display. Exits non-zero on any failure.
# Extra arguments go to ctest (for example -R graphics_tests).
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
bash "$here/install-deps.sh"
source "$here/env.sh"
source "$here/virtual-display.sh"
bash "$here/setup-prefix.sh"
bash "$here/build.sh"

own_server=0
cleanup() {
    if [ "$own_server" -eq 1 ]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    stop_virtual_display
}
trap cleanup EXIT

start_virtual_display
echo "Virtual display ${DISPLAY}, Wine prefix ${WINEPREFIX}"
# One wineserver for the whole run: every test executable starts faster. A
# persistent server already running for this prefix serves as well (starting
# a second one fails) and is left running.
if wineserver -p 2>/dev/null; then
    own_server=1
else
    echo "Using the wineserver already running for ${WINEPREFIX}"
fi
# Wine's background services start with the first program and live as long
# as the server; started here, they hold no test's output pipe open.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
ctest --test-dir "$TIKO_BUILD" --output-on-failure "$@"
