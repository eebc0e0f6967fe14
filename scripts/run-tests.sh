#!/usr/bin/env bash
# Sets up everything on a fresh Debian machine and runs every test under
# Wine on a virtual 1920x1080 display. Exits non-zero on any failure.
# Extra arguments go to ctest (for example -R graphics_tests).
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
bash "$here/install-deps.sh"
source "$here/env.sh"
source "$here/test-session.sh"
bash "$here/setup-prefix.sh"
bash "$here/build.sh"

trap stop_test_session EXIT
start_test_session
ctest --test-dir "$TIKO_BUILD" --output-on-failure "$@"
