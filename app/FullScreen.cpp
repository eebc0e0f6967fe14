#include "app/FullScreen.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "app/DesktopWatch.h"
#include "clock/ClockWindow.h"

#include <shellapi.h>

#include <string_view>

namespace {

// The desktop, the shell's desktop window and the taskbars cover a monitor
// without being a program in front.
bool IsShellWindow(HWND window) {
    wchar_t className[64]{};
    GetClassNameW(window, className, 64);
    const std::wstring_view name = className;
    return window == GetDesktopWindow() || window == GetShellWindow() || IsShellDesktopWindow(window) ||
           name == L"Shell_TrayWnd" || name == L"Shell_SecondaryTrayWnd";
}

bool ShellReportsFullScreen() {
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(SHQueryUserNotificationState(&state)))
        return false;
    return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE;
}

bool FrontWindowCoversTheClocksMonitor(HWND clock) {
    const HWND front = GetForegroundWindow();
    if (!front || front == clock || !IsWindowVisible(front) || IsIconic(front) || IsShellWindow(front))
        return false;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT window{};
    return GetMonitorInfoW(MonitorFromWindow(clock, MONITOR_DEFAULTTONEAREST), &monitor) &&
           GetWindowRect(front, &window) && CoversMonitor(window, monitor.rcMonitor);
}

} // namespace

bool CoversMonitor(const RECT& window, const RECT& monitor) {
    return window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right &&
           window.bottom >= monitor.bottom;
}

bool FullScreenProgramInFront(HWND clock) {
    return FrontWindowCoversTheClocksMonitor(clock) || ShellReportsFullScreen();
}

void FollowFullScreen() {
    AppGlobals& app = App();
    const HWND clock = app.clockWindow ? app.clockWindow->Handle() : nullptr;
    const bool hide = clock && app.settings.hideForFullScreen && FullScreenProgramInFront(clock);
    if (hide == app.hiddenForFullScreen)
        return;
    app.hiddenForFullScreen = hide;
    if (!ClockIsHidden())
        ShowWindow(clock, hide ? SW_HIDE : SW_SHOWNOACTIVATE);
}
