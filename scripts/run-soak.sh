#!/usr/bin/env bash
# The long soak: the suite's soak tests with 100,000 frames (the frame as
# written: a fifth of that), GDI objects, USER objects, handles and private
# bytes sampled every 10,000 frames, under Wine on a virtual display.
# Prints every sample and writes them to out/soak.txt; exits non-zero when
# anything grew.
#
#   scripts/run-soak.sh [frames]      # default 100000
set -euo pipefail
exec bash "$(dirname "${BASH_SOURCE[0]}")/run-long-test.sh" app_tests 'Soak.*' TIKO_SOAK_FRAMES "${1:-100000}" \
    soak '^soak |GDI objects \(|USER objects \(|handles \(|private bytes \('
