# Sourced after env.sh: start_test_session starts a virtual 1920x1080 display
# and one persistent wineserver for the prefix, so that every test executable
# starts faster (a server already running for the prefix serves as well, and
# is left running), then Wine's background services, so that they hold no
# test's output pipe open. stop_test_session ends what the session started.
source "$(dirname "${BASH_SOURCE[0]}")/virtual-display.sh"
TIKO_OWN_SERVER=0

start_test_session() {
    start_virtual_display
    echo "Virtual display ${DISPLAY}, Wine prefix ${WINEPREFIX}"
    if wineserver -p 2>/dev/null; then
        TIKO_OWN_SERVER=1
    else
        echo "Using the wineserver already running for ${WINEPREFIX}"
    fi
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_test_session() {
    if [ "$TIKO_OWN_SERVER" -eq 1 ]; then
        wineserver -k >/dev/null 2>&1 || true
        TIKO_OWN_SERVER=0
    fi
    stop_virtual_display
}
