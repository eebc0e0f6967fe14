#include "clock/ClockWindow.h"

#include "app/Lifetime.h"
#include "app/SystemIntegration.h"
#include "app/AppGlobals.h"
#include "clock/ClockFace.h"
#include "clock/HoverButtons.h"
#include "settings/WindowLayouts.h"

ClockWindow::ClockWindow()
    : tickTimer(*this, Timer1Id, [] { OnClockTick(); }), trimTimer(*this, Timer2Id, [] { OnTrimTick(); }) {}

POINT ClockWindow::Position() const {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return {rect.left, rect.top};
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
        HandleButtonPress(LayeredWindowHost::LowWord(position), LayeredWindowHost::HighWord(position));
        break;
    case WM_DPICHANGED:
        // Both words carry the new DPI; the rectangle keeps the window where
        // the system wants it (under the pointer during a drag).
        ChangeClockScale({HIWORD(wParam)}, *reinterpret_cast<const RECT*>(lParam));
        break;
    default:
        break;
    }
    return app.windowHost.CallPrevious(window, message, wParam, lParam);
}
