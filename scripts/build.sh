#!/usr/bin/env bash
# Configures and builds the program and its tests (cross-compiled for x86_64 Windows).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

cmake -S "$TIKO_ROOT" -B "$TIKO_BUILD" \
    -DCMAKE_TOOLCHAIN_FILE="$TIKO_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE="${TIKO_BUILD_TYPE:-Release}" >/dev/null
cmake --build "$TIKO_BUILD" -j "$(nproc)" "$@"
