#!/usr/bin/env bash
# Builds the release ZIP: TikoClock.exe, README.md (with its screenshots in
# docs/) and LICENSE, as out/TikoClock-<version>-win64.zip.
#
#   scripts/make-release.sh [--screenshots]
#
# --screenshots first takes the README's screenshots anew under Wine on a
# virtual display (the clock, the clock under the pointer, the settings
# window at 96 and 144 DPI) and writes them to docs/.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
bash "$here/install-deps.sh"
source "$here/env.sh"
bash "$here/build.sh" --target TikoClock bench

# The settings window at another display scale, for the README next to the
# 96-DPI one: the bench's shots again with the prefix's display at that DPI
# (Wine reads LogPixels when its server starts), then 96 DPI back.
settings_screenshot_at_dpi() {
    local dpi="$1" shots desktop='HKCU\Control Panel\Desktop'
    shots="$(mktemp -d)"
    set_dpi() {
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w
        wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
        wineserver -w
    }
    set_dpi "$dpi"
    wine "$TIKO_BUILD/tests/bench.exe" --clock-exe "$TIKO_BUILD/TikoClock.exe" --screenshots "$shots" \
        >/dev/null 2>&1 </dev/null || true
    set_dpi 96
    convert "$shots/settings.bmp" -strip "$TIKO_ROOT/docs/screenshot-settings-$dpi.png"
    echo "Wrote docs/screenshot-settings-$dpi.png"
    rm -rf "$shots"
}

if [ "${1:-}" = "--screenshots" ]; then
    source "$here/virtual-display.sh"
    bash "$here/setup-prefix.sh"
    cleanup() {
        wineserver -k >/dev/null 2>&1 || true
        stop_virtual_display
    }
    trap cleanup EXIT
    start_virtual_display
    # The same desktop colour as scripts/run-clock.sh: the translucency shows.
    xsetroot -solid '#3a6ea5' 2>/dev/null || true
    wineserver -p 2>/dev/null || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
    shots="$(mktemp -d)"
    wine "$TIKO_BUILD/tests/bench.exe" --clock-exe "$TIKO_BUILD/TikoClock.exe" --screenshots "$shots" \
        >/dev/null 2>&1 </dev/null
    mkdir -p "$TIKO_ROOT/docs"
    for name in clock clock-hover settings; do
        convert "$shots/$name.bmp" -strip "$TIKO_ROOT/docs/screenshot-$name.png"
        echo "Wrote docs/screenshot-$name.png"
    done
    rm -rf "$shots"
    settings_screenshot_at_dpi 144
fi

(cd "$TIKO_BUILD" && cpack -G ZIP >/dev/null)
package="$(ls -t "$TIKO_BUILD"/TikoClock-*-win64.zip | head -n1)"
mkdir -p "$TIKO_ROOT/out"
cp "$package" "$TIKO_ROOT/out/"
echo "Release package: out/$(basename "$package")"
unzip -l "$TIKO_ROOT/out/$(basename "$package")"
