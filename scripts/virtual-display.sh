# Sourced: start_virtual_display starts Xvfb at 1920x1080x24 on a free
# display number and exports DISPLAY; stop_virtual_display ends it by its PID.
TIKO_XVFB_PID=""

start_virtual_display() {
    local number=${TIKO_DISPLAY_NUMBER:-90}
    while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do
        number=$((number + 1))
    done
    Xvfb ":${number}" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    TIKO_XVFB_PID=$!
    export DISPLAY=":${number}"
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on ${DISPLAY}" >&2
    return 1
}

stop_virtual_display() {
    if [ -n "$TIKO_XVFB_PID" ]; then
        kill "$TIKO_XVFB_PID" 2>/dev/null || true
        wait "$TIKO_XVFB_PID" 2>/dev/null || true
        TIKO_XVFB_PID=""
    fi
}
