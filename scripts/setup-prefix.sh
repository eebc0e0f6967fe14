#!/usr/bin/env bash
# Creates the project's Wine prefix once and maps "微软雅黑" to WenQuanYi Micro Hei.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

marker="$WINEPREFIX/.tiko-ready-2"
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
wineserver -w
touch "$marker"
