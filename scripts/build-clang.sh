#!/usr/bin/env bash
# Builds the program and its tests with the second compiler, Debian's Clang
# (with LLD), for the same x86_64 Windows target, every warning an error, in
# build-clang/ (TIKO_CLANG_BUILD). CI runs it after the tests; the tests run
# on the GCC build only.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
bash "$here/install-deps.sh"
source "$here/env.sh"
build="${TIKO_CLANG_BUILD:-$TIKO_ROOT/build-clang}"

cmake -S "$TIKO_ROOT" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$TIKO_ROOT/cmake/clang-mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE="${TIKO_BUILD_TYPE:-Release}" -DTIKO_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" "$@"
