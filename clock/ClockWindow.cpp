#include "clock/ClockWindow.h"

#include "app/Lifetime.h"
#include "app/SystemIntegration.h"
#include "app/AppGlobals.h"
#include "clock/ClockFace.h"
#include "clock/HoverButtons.h"
#include "framework/Services.h"
#include "settings/WindowLayouts.h"

#include <algorithm>

ClockWindow::ClockWindow()
    : tickTimer(*this, Timer1Id, [] { OnClockTick(); }), trimTimer(*this, Timer2Id, [] { OnTrimTick(); }) {}

POINT ClockWindow::Position() const {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return {rect.left, rect.top};
}

UINT MillisecondsToNextTick(const SYSTEMTIME& now, bool showSeconds) {
    // A leap second (60) or a reading out of range waits at most one period.
    const UINT millisecond = std::min<UINT>(now.wMilliseconds, 999);
    const UINT second = std::min<UINT>(now.wSecond, 59);
    UINT wait = 1000 - millisecond;
    if (!showSeconds)
        wait += (59 - second) * 1000;
    return wait + TickMarginMilliseconds;
}

void ArmClockTick() {
    AppGlobals& app = App();
    if (!app.clockWindow)
        return;
    // Each tick is armed anew: a periodic timer keeps the phase of the moment
    // it started and drifts against the wall clock.
    app.clockWindow->tickTimer.Restart(
        MillisecondsToNextTick(ReadLocalTime(), IsOn(app.settings.showSeconds)));
}

void ClockWindow::OnCreated() {
    OnClockWindowCreated();
}

void ClockWindow::OnDestroyed() {
    OnClockWindowDestroyed();
}

bool ClockWindow::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    // At log-off or shut-down the process ends after this message, without
    // WM_DESTROY: the settings are saved here or never.
    if (message != WM_ENDSESSION || !wParam)
        return false;
    OnSessionEnding();
    result = 0;
    return true;
}

LRESULT CALLBACK ClockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    AppGlobals& app = App();
    const auto position = static_cast<std::int32_t>(lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        // On every move, so that a leave notification is always pending.
        app.windowHost.TrackLeave();
        if (!app.hoverActive) {
            app.hoverActive = true;
            RedrawClock(false);
        }
        UpdateButtonHover(LayeredWindowHost::LowWord(position), LayeredWindowHost::HighWord(position));
        break;
    case WM_MOUSELEAVE:
        app.hoverActive = false;
        RedrawClock(false);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The class has CS_DBLCLKS: every second quick press arrives as a
        // double-click and must act on a button like any other press. Off
        // the buttons it starts nothing (no drag, no double-click action).
        HandleButtonPress(LayeredWindowHost::LowWord(position), LayeredWindowHost::HighWord(position));
        break;
    case WM_DPICHANGED:
        // Both words carry the new DPI; the rectangle keeps the window where
        // the system wants it (under the pointer during a drag).
        ChangeClockScale({HIWORD(wParam)}, *reinterpret_cast<const RECT*>(lParam));
        break;
    case WM_TIMECHANGE:
        // The wall clock jumped: show its time now and tick on its seconds.
        OnClockTick();
        break;
    case WM_POWERBROADCAST:
        // After sleep the timer's phase and the shown time are both stale.
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            OnClockTick();
        break;
    default:
        break;
    }
    return app.windowHost.CallPrevious(window, message, wParam, lParam);
}
