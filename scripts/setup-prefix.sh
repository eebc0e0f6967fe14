#!/usr/bin/env bash
# Creates the project's Wine prefix once and maps "微软雅黑" to WenQuanYi Micro Hei.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

marker="$WINEPREFIX/.tiko-ready"
[ -f "$marker" ] && exit 0

mkdir -p "$WINEPREFIX"
echo "Creating Wine prefix in $WINEPREFIX (first time only, takes a while)"
wineboot -i >/dev/null 2>&1 || true
wineserver -w

# The replacement makes GDI, GDI+ and the font enumeration find the face by
# its Chinese name.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '微软雅黑' /t REG_SZ \
    /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' /t REG_SZ \
    /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
wineserver -w
touch "$marker"
