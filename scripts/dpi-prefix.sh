# Sourced after env.sh: enter_dpi_prefix DPI switches WINEPREFIX to a copy of
# the project's prefix whose display reports DPI (96, 120, 144, 192), as a
# monitor at that scale would. The copy hard-links the prefix's files, with
# real copies of the registry, which is all that differs; its own
# wineserver is stopped and the copy removed by leave_dpi_prefix.
enter_dpi_prefix() {
    local dpi="$1" base="$WINEPREFIX"
    TIKO_DPI_PREFIX="$(mktemp -d /tmp/tiko-dpi"$dpi".XXXXXX)"
    cp -al "$base/." "$TIKO_DPI_PREFIX/"
    # Wine saves the registry by writing new files, but edits here must not
    # reach the original through a shared link.
    local file
    for file in system.reg user.reg userdef.reg; do
        [ -f "$base/$file" ] && cp --remove-destination "$base/$file" "$TIKO_DPI_PREFIX/$file"
    done
    # Wine reads the display's DPI from HKCU\Control Panel\Desktop, LogPixels
    # (a DWORD); set before any Wine process of this prefix starts.
    local hex
    hex="$(printf '%08x' "$dpi")"
    awk -v value="\"LogPixels\"=dword:$hex" '
        /^\[/ { inDesktop = ($0 ~ /^\[Control Panel\\\\Desktop\]/) }
        inDesktop && /^"LogPixels"=/ { next }
        { print }
        inDesktop && /^#time=/ { print value }
    ' "$TIKO_DPI_PREFIX/user.reg" >"$TIKO_DPI_PREFIX/user.reg.new"
    mv "$TIKO_DPI_PREFIX/user.reg.new" "$TIKO_DPI_PREFIX/user.reg"
    grep -q "^\"LogPixels\"=dword:$hex" "$TIKO_DPI_PREFIX/user.reg" || {
        echo "could not set LogPixels in the prefix copy" >&2
        return 1
    }
    export WINEPREFIX="$TIKO_DPI_PREFIX" TIKO_WINEPREFIX="$TIKO_DPI_PREFIX"
}

leave_dpi_prefix() {
    [ -n "${TIKO_DPI_PREFIX:-}" ] || return 0
    WINEPREFIX="$TIKO_DPI_PREFIX" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$TIKO_DPI_PREFIX" wineserver -w >/dev/null 2>&1 || true
    rm -rf "$TIKO_DPI_PREFIX"
    TIKO_DPI_PREFIX=
}
