# Sourced after env.sh: enter_prefix_copy NAME switches WINEPREFIX to a copy
# of the project's prefix, for a test that changes the machine (a display
# scale, an installed program). The copy hard-links the prefix's files, with
# real copies of the registry; its own wineserver is stopped and the copy
# removed by leave_prefix_copy.
#
# enter_dpi_prefix DPI makes the copy's display report DPI (96, 120, 144,
# 192), as a monitor at that scale would; leave_dpi_prefix leaves it.
enter_prefix_copy() {
    local base="$WINEPREFIX"
    TIKO_PREFIX_COPY="$(mktemp -d /tmp/tiko-"$1".XXXXXX)"
    cp -al "$base/." "$TIKO_PREFIX_COPY/"
    # Wine saves the registry by writing new files, but edits here must not
    # reach the original through a shared link.
    local file
    for file in system.reg user.reg userdef.reg; do
        [ -f "$base/$file" ] && cp --remove-destination "$base/$file" "$TIKO_PREFIX_COPY/$file"
    done
    export WINEPREFIX="$TIKO_PREFIX_COPY" TIKO_WINEPREFIX="$TIKO_PREFIX_COPY"
}

leave_prefix_copy() {
    [ -n "${TIKO_PREFIX_COPY:-}" ] || return 0
    WINEPREFIX="$TIKO_PREFIX_COPY" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$TIKO_PREFIX_COPY" wineserver -w >/dev/null 2>&1 || true
    rm -rf "$TIKO_PREFIX_COPY"
    TIKO_PREFIX_COPY=
}

enter_dpi_prefix() {
    local dpi="$1"
    enter_prefix_copy dpi"$dpi"
    # Wine reads the display's DPI from HKCU\Control Panel\Desktop, LogPixels
    # (a DWORD); set before any Wine process of this prefix starts.
    local hex
    hex="$(printf '%08x' "$dpi")"
    awk -v value="\"LogPixels\"=dword:$hex" '
        /^\[/ { inDesktop = ($0 ~ /^\[Control Panel\\\\Desktop\]/) }
        inDesktop && /^"LogPixels"=/ { next }
        { print }
        inDesktop && /^#time=/ { print value }
    ' "$WINEPREFIX/user.reg" >"$WINEPREFIX/user.reg.new"
    mv "$WINEPREFIX/user.reg.new" "$WINEPREFIX/user.reg"
    grep -q "^\"LogPixels\"=dword:$hex" "$WINEPREFIX/user.reg" || {
        echo "could not set LogPixels in the prefix copy" >&2
        return 1
    }
}

leave_dpi_prefix() {
    leave_prefix_copy
}
