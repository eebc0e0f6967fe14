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

# The replacement makes GDI, GDI+ and the font enumeration find the face by
# its Chinese name.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '微软雅黑' /t REG_SZ \
    /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
# GDI+'s generic sans-serif family is looked up as "Microsoft Sans Serif",
# then "Tahoma", which Debian's fonts lack as well.
for face in 'Microsoft YaHei' 'Microsoft Sans Serif' 'Tahoma'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
        /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
# The virtual display has no window manager: Wine then draws and moves the
# windows itself (title bars show and can be dragged), and hiding a window
# does not wait two seconds for a manager that never answers.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
touch "$marker"
