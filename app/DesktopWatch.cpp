#include "app/DesktopWatch.h"

#include "app/AppGlobals.h"
#include "clock/ClockWindow.h"

#include <string_view>

namespace {

void CALLBACK ForegroundEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_WINDOW)
        OnForegroundChanged(window);
}

bool IsTopmost(HWND window) {
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

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

void OnForegroundChanged(HWND foreground) {
    if (!AppGlobalsExist() || !App().clockWindow || !IsShellDesktopWindow(foreground))
        return;
    const HWND clock = App().clockWindow->Handle();
    if (!clock || !IsWindowVisible(clock) || IsOn(App().settings.keepOnTop))
        return;
    // Just above the desktop window: below the window that is above it, or
    // at the top when none is. A topmost neighbour would make the clock
    // topmost too, so the top of the ordinary windows is taken instead.
    const HWND above = GetWindow(foreground, GW_HWNDPREV);
    if (above == clock)
        return;
    const HWND insertAfter = above && !IsTopmost(above) ? above : HWND_TOP;
    SetWindowPos(clock, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
