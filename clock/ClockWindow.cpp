#include "clock/ClockWindow.h"

#include "clock/ClockFace.h"
#include "clock/ClockView.h"
#include "clock/ClockWindowListener.h"
#include "clock/HoverButtons.h"
#include "framework/Services.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

ClockWindow::ClockWindow(ClockView& shownView, ClockWindowListener& reportTo)
    : tickTimer(*this, Timer1Id, [this] { listener.OnTick(); }),
      trimTimer(*this, Timer2Id, [this] { listener.OnTrimTick(); }),
      saveTimer(*this, SaveTimerId, [this] { listener.OnSaveDue(); }), view(shownView), listener(reportTo) {
    view.window = this;
}

ClockWindow::~ClockWindow() {
    if (view.window == this)
        view.window = nullptr;
}

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

void ClockWindow::ArmTick() {
    // Every second while the clock watches for full-screen programs: it
    // must be out of their way within that.
    const bool everySecond = view.settings.showSeconds || view.settings.hideForFullScreen;
    const UINT period = everySecond ? 1000 : 60'000;
    const UINT wait = MillisecondsToNextTick(ReadLocalTime(), everySecond);
    // A timer that keeps its period keeps its phase. It is set again only
    // when it has drifted off the wall clock's seconds, or was set for a
    // moment: setting it is a round trip to the window system each time.
    if (wait > period || period - wait > TickDriftMilliseconds)
        tickTimer.Restart(wait);
    else if (tickTimer.Interval() != period)
        tickTimer.Restart(period);
}

void ClockWindow::StopTimers() {
    tickTimer.SetInterval(0);
    trimTimer.SetInterval(0);
    saveTimer.SetInterval(0);
}

void ClockWindow::OnEscape() {
    listener.OnEscape();
}

void ClockWindow::OnCreated() {
    listener.OnClockCreated();
}

void ClockWindow::OnDestroyed() {
    listener.OnClockDestroyed();
}

namespace {

// Click-through: the system sends the clock no mouse input; whatever still
// arrives (a message sent by another program) must not light a button or
// start a drag either.
bool ClicksGoThrough(const ClockView& view) {
    return view.settings.clickThrough;
}

// A right click reports where it was; the keyboard (lParam -1) puts the menu
// at the window's top-left corner.
POINT ContextMenuPoint(HWND window, LPARAM lParam) {
    if (lParam != -1)
        return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top};
}

} // namespace

bool ClockWindow::OnFaceMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const HWND window = Handle();
    const auto position = static_cast<std::int32_t>(lParam);
    if (ClicksGoThrough(view) && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        result = 0;
        return true;
    }
    switch (message) {
    case WM_MOUSEMOVE:
        // On every move, so that a leave notification is always pending.
        view.windowHost.TrackLeave();
        if (!view.hoverActive) {
            view.hoverActive = true;
            RedrawClock(view, false);
        }
        UpdateButtonHover(view, LayeredWindowHost::LowWord(position), LayeredWindowHost::HighWord(position));
        break;
    case ClockShownMessage:
        // A pointer that came first had the buttons drawn already.
        if (!view.hoverActive)
            DrawHoverButtons(view, false);
        listener.OnClockShown();
        break;
    case WM_MOUSELEAVE:
        view.hoverActive = false;
        RedrawClock(view, false);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The class has CS_DBLCLKS: every second quick press arrives as a
        // double-click and must act on a button like any other press. Off
        // the buttons it starts nothing (no drag, no double-click action).
        HandleButtonPress(view, listener, LayeredWindowHost::LowWord(position),
                          LayeredWindowHost::HighWord(position));
        break;
    case WM_CONTEXTMENU:
        // The default procedure makes this of a right button's release, the
        // context-menu key and Shift+F10.
        listener.OnContextMenu(ContextMenuPoint(window, lParam));
        result = 0;
        return true;
    case GetDpiScaledSizeMessage:
        // The layout's size at the new scale: the window's size scaled and
        // truncated there and back would lose a pixel against the face.
        *reinterpret_cast<SIZE*>(lParam) =
            ClockWindowSizeFor({static_cast<int>(wParam)}, HasSecondLine(view.settings));
        result = TRUE;
        return true;
    case WM_DPICHANGED:
        // Both words carry the new DPI; the rectangle keeps the window where
        // the system wants it (under the pointer during a drag).
        listener.OnDisplayScaleChanged({HIWORD(wParam)}, *reinterpret_cast<const RECT*>(lParam));
        break;
    case WM_TIMECHANGE:
        // The wall clock jumped: the shown time and the tick's phase are stale.
        listener.OnTimeChanged();
        break;
    case WM_SETTINGCHANGE:
        // The user's regional settings changed: the date and the day's
        // halves may be written another way now.
        if (lParam && std::wcscmp(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0) {
            view.localeTexts.Forget();
            listener.OnTimeChanged();
        }
        break;
    case WM_POWERBROADCAST:
        // After sleep the timer's phase and the shown time are both stale.
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            listener.OnTimeChanged();
        break;
    default:
        break;
    }
    // A press on the close button destroys the window: what is left of the
    // message goes nowhere.
    if (!Exists()) {
        result = 0;
        return true;
    }
    return false;
}

bool ClockWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // The face takes its messages first, once it is shown in the window;
    // what it leaves goes on to the handling below and the framework's.
    if (view.windowHost.Holds(Handle()) && OnFaceMessage(message, wParam, lParam, result))
        return true;
    switch (message) {
    case WM_ENDSESSION:
        // At log-off or shut-down the process ends after this message,
        // without WM_DESTROY.
        if (!wParam)
            return false;
        listener.OnSessionEnding((lParam & ENDSESSION_CLOSEAPP) != 0);
        result = 0;
        return true;
    case WM_EXITSIZEMOVE:
        listener.OnDragEnded();
        return false;
    default:
        return false;
    }
}
