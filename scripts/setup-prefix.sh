#!/usr/bin/env bash
# Creates the project's Wine prefix once and maps "微软雅黑" to WenQuanYi Micro Hei.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

marker="$WINEPREFIX/.tiko-ready-3"
[ -f "$marker" ] && exit 0

mkdir -p "$WINEPREFIX"
echo "Creating Wine prefix in $WINEPREFIX (first time only, takes a while)"
wineboot -i >/dev/null 2>&1 || true
wineserver -w

# Writes one registry value; a fresh prefix may refuse the first attempts
# while it is still settling, so try a few times and check the result.
set_value() {
    local key=$1 name=$2 data=$3
    for _ in 1 2 3 4 5; do
        if wine reg add "$key" /v "$name" /t REG_SZ /d "$data" /f >/dev/null 2>&1 &&
            wine reg query "$key" /v "$name" >/dev/null 2>&1; then
            return 0
        fi
        sleep 2
    done
    echo "Could not set $key\\$name in the Wine prefix" >&2
    return 1
}

replacements='HKCU\Software\Wine\Fonts\Replacements'
# The replacement makes GDI, GDI+ and the font enumeration find the face by
# its Chinese name. GDI+'s generic sans-serif family is looked up as
# "Microsoft Sans Serif", then "Tahoma", which Debian's fonts lack as well.
for face in '微软雅黑' 'Microsoft YaHei' 'Microsoft Sans Serif' 'Tahoma'; do
    set_value "$replacements" "$face" 'WenQuanYi Micro Hei'
done
# The virtual display has no window manager: Wine then draws and moves the
# windows itself (title bars show and can be dragged), and hiding a window
# does not wait two seconds for a manager that never answers.
set_value 'HKCU\Software\Wine\X11 Driver' Managed N
wineserver -w
touch "$marker"
