#include "app/DesktopWatch.h"

#include "app/AppGlobals.h"
#include "app/SystemIntegration.h"
#include "clock/ClockWindow.h"

#include <string_view>

namespace {

// The desktop window being looked at, and the timer that looks again.
struct DesktopChecks {
    HWND desktop = nullptr;
    UINT_PTR timer = 0;
    int left = 0;
    bool clockRaised = false; // the clock is in the topmost band for the desktop's sake
};

DesktopChecks& Checks() {
    static DesktopChecks checks;
    return checks;
}

void CALLBACK ForegroundEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_WINDOW)
        OnForegroundChanged(window);
}

bool IsTopmost(HWND window) {
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void StopTimer() {
    DesktopChecks& checks = Checks();
    if (checks.timer)
        KillTimer(nullptr, checks.timer);
    checks.timer = 0;
    checks.left = 0;
}

void CALLBACK CheckAgain(HWND, UINT, UINT_PTR, DWORD) {
    DesktopChecks& checks = Checks();
    if (CheckRaisedDesktop() || --checks.left <= 0)
        StopTimer();
}

// The clock that show desktop may hide: shown, and not kept on top.
HWND ClockToKeep() {
    if (!AppGlobalsExist() || !App().clockWindow)
        return nullptr;
    const HWND clock = App().clockWindow->Handle();
    if (!clock || !IsWindowVisible(clock) || App().settings.keepOnTop)
        return nullptr;
    return clock;
}

constexpr UINT MoveOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

} // namespace

unique_hwineventhook WatchForeground() {
    return unique_hwineventhook(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                                ForegroundEvent, 0, 0,
                                                WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
}

bool IsShellDesktopWindow(HWND window) {
    wchar_t className[16]{};
    if (!window || !GetClassNameW(window, className, static_cast<int>(std::size(className))))
        return false;
    const std::wstring_view name(className);
    return name == L"WorkerW" || name == L"Progman";
}

bool DesktopIsRaised(HWND desktop, HWND clock) {
    if (!IsWindowVisible(desktop))
        return false;
    for (HWND above = GetWindow(desktop, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        if (above != clock && IsWindowVisible(above) && !IsTopmost(above))
            return false;
    }
    return true;
}

void OnForegroundChanged(HWND foreground) {
    DesktopChecks& checks = Checks();
    if (IsShellDesktopWindow(foreground)) {
        StopTimer();
        checks.desktop = foreground;
        if (!ClockToKeep() || CheckRaisedDesktop())
            return;
        checks.left = DesktopCheckCount;
        checks.timer = SetTimer(nullptr, 0, DesktopCheckMilliseconds, CheckAgain);
        return;
    }
    const HWND clock = ClockToKeep();
    if (!foreground || foreground == clock)
        return;
    StopTimer();
    if (!checks.clockRaised)
        return;
    checks.clockRaised = false;
    if (!clock)
        return;
    // Out of the band, just below the window the user turned to; below a
    // window kept on top (the taskbar, Task Manager) it would be in the band
    // again, so it stays at the top of the others.
    SetTopmost(false);
    if (!IsTopmost(foreground))
        SetWindowPos(clock, foreground, 0, 0, 0, 0, MoveOnly);
}

bool CheckRaisedDesktop() {
    DesktopChecks& checks = Checks();
    const HWND clock = ClockToKeep();
    if (!clock || !checks.desktop || !DesktopIsRaised(checks.desktop, clock))
        return false;
    SetWindowPos(clock, HWND_TOPMOST, 0, 0, 0, 0, MoveOnly);
    checks.clockRaised = true;
    return true;
}

void StopDesktopChecks() {
    StopTimer();
    Checks() = {};
}
