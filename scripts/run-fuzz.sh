#!/usr/bin/env bash
# The long settings-file fuzz: the suite's IniFuzz test with 10,000 generated,
# mutated and random files instead of 1,000, under Wine on a virtual display.
# Writes the output to out/fuzz.txt; exits non-zero on any failure.
#
#   scripts/run-fuzz.sh [cases]      # default 10000
set -euo pipefail
exec bash "$(dirname "${BASH_SOURCE[0]}")/run-long-test.sh" app_tests 'IniFuzz.*' TIKO_FUZZ_CASES "${1:-10000}" \
    fuzz 'case [0-9]+:'
