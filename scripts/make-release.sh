#!/usr/bin/env bash
# Builds the release: the ZIP with TikoClock.exe, README.md (with its
# screenshots in docs/) and LICENSE, as out/TikoClock-<version>-win64.zip, and
# the MSI package installing the same, as out/TikoClock-<version>-x64.msi.
#
#   scripts/make-release.sh [--screenshots]
#
# --screenshots first takes the README's screenshots anew under Wine on a
# virtual display (the clock, the clock under the pointer, the settings
# window, the menu; at 96 DPI also two clocks side by side, local time and
# Tokyo's), at 96 DPI and in a prefix at 144 DPI, with every Wine process's
# clock faked to TIKO_SCREENSHOT_TIME (default 2026-12-09 03:00:00 UTC), and
# writes them to docs/ (screenshot-NAME.png and screenshot-NAME-144.png).
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
bash "$here/install-deps.sh"
source "$here/env.sh"
bash "$here/build.sh" --target TikoClock bench

if [ "${1:-}" = "--screenshots" ]; then
    source "$here/virtual-display.sh"
    source "$here/dpi-prefix.sh"
    bash "$here/setup-prefix.sh"
    cleanup() {
        wineserver -k >/dev/null 2>&1 || true
        leave_dpi_prefix
        stop_virtual_display
    }
    trap cleanup EXIT
    start_virtual_display
    # The same desktop colour as scripts/run-clock.sh: the translucency shows.
    xsetroot -solid '#3a6ea5' 2>/dev/null || true
    mkdir -p "$TIKO_ROOT/docs"
    # take_screenshots SUFFIX: the bench's four pictures in the current prefix.
    take_screenshots() {
        wineserver -p 2>/dev/null || true
        wine cmd /c exit >/dev/null 2>&1 </dev/null || true
        local shots name
        shots="$(mktemp -d)"
        wine "$TIKO_BUILD/tests/bench.exe" --clock-exe "$TIKO_BUILD/TikoClock.exe" --screenshots "$shots" \
            >/dev/null 2>&1 </dev/null
        for name in clock clock-hover clock-tooltip settings settings-beside settings-time-format menu two-clocks \
            settings-english menu-english date-40 date-120; do
            case "$name$1" in
            two-clocks-144 | *-english-144 | date-*-144 | clock-tooltip-144 | settings-beside-144 | \
                settings-time-format-144) continue ;;
            esac
            convert "$shots/$name.bmp" -strip "$TIKO_ROOT/docs/screenshot-$name$1.png"
            echo "Wrote docs/screenshot-$name$1.png"
        done
        rm -rf "$shots"
    }
    # Every Wine process on one faked clock (the wineserver first), so that the
    # pictures show the same moment on every run: an offset moves all alike.
    faketime_library=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1
    if [ -f "$faketime_library" ]; then
        wineserver -k >/dev/null 2>&1 || true
        at="${TIKO_SCREENSHOT_TIME:-2026-12-09 03:00:00 UTC}"
        export FAKETIME="$(printf '%+d' $(($(date -d "$at" +%s) - $(date +%s))))" LD_PRELOAD="$faketime_library"
    fi
    take_screenshots ""
    wineserver -k >/dev/null 2>&1 || true
    enter_dpi_prefix 144
    take_screenshots -144
    leave_dpi_prefix
    wineserver -k >/dev/null 2>&1 || true
    unset FAKETIME LD_PRELOAD
fi

(cd "$TIKO_BUILD" && cpack -G ZIP >/dev/null)
# After the screenshots: the MSI holds the docs/ they were written to.
bash "$here/build.sh" --target TikoClockMsi
package="$(ls -t "$TIKO_BUILD"/TikoClock-*-win64.zip | head -n1)"
installer="$(ls -t "$TIKO_BUILD"/TikoClock-*-x64.msi | head -n1)"
mkdir -p "$TIKO_ROOT/out"
cp "$package" "$installer" "$TIKO_ROOT/out/"
echo "Release package: out/$(basename "$package")"
unzip -l "$TIKO_ROOT/out/$(basename "$package")"
echo "Installer: out/$(basename "$installer")"
ls -l "$TIKO_ROOT/out/$(basename "$package")" "$TIKO_ROOT/out/$(basename "$installer")"
# The sizes the README gives, in KiB (the executable is stripped by the build).
kib() { echo $((($(stat -c %s "$1") + 1023) / 1024)); }
echo "Sizes: TikoClock.exe $(kib "$TIKO_BUILD/TikoClock.exe") KiB, ZIP $(kib "$TIKO_ROOT/out/$(basename "$package")") KiB," \
    "MSI $(kib "$TIKO_ROOT/out/$(basename "$installer")") KiB"
