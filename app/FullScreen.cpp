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

// A framed window maximized on a monitor without a reserved taskbar (one
// that hides itself, a second monitor) reaches past it with its invisible
// borders: its client area is what a full-screen program fills.
bool ClientCoversMonitor(HWND window, const RECT& monitor) {
    RECT client{};
    if (!GetClientRect(window, &client))
        return false;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return CoversMonitor(client, monitor);
}

} // namespace

bool CoversMonitor(const RECT& window, const RECT& monitor) {
    return window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right &&
           window.bottom >= monitor.bottom;
}

bool FullScreenProgramInFront(HWND clock) {
    const HWND front = GetForegroundWindow();
    if (!front || front == clock || !IsWindowVisible(front) || IsIconic(front) || IsShellWindow(front))
        return false;
    // The shell's state is the whole machine's: it speaks for the window in
    // front, which must be on the clock's monitor.
    const HMONITOR monitor = MonitorFromWindow(clock, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (MonitorFromWindow(front, MONITOR_DEFAULTTONEAREST) != monitor || !GetMonitorInfoW(monitor, &info))
        return false;
    return ClientCoversMonitor(front, info.rcMonitor) || ShellReportsFullScreen();
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
