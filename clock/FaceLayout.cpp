#include "clock/FaceLayout.h"

#include "clock/ClockFace.h"
#include "clock/ClockView.h"
#include "clock/HoverButtons.h"
#include "config/ClockSettings.h"

namespace {

// The date line's band below the time, in 96-DPI units: the time keeps its
// place and the window grows by the band.
constexpr int DateBandHeight = 40;
constexpr int FaceHeight = 150;

} // namespace

ClockLayout ClockLayoutFor(DisplayScale scale, bool dateLine) {
    const auto px = [scale](int units) { return static_cast<float>(scale.Pixels(units)); };
    const SIZE window = ClockWindowSizeFor(scale, dateLine);
    const auto width = static_cast<float>(window.cx);
    const auto height = static_cast<float>(window.cy);
    ClockLayout layout;
    layout.windowRect = {0, 0, width, height};
    layout.panelRect = {px(10), px(10), px(358), px(128 + (dateLine ? DateBandHeight : 0))};
    layout.textRect = layout.windowRect;
    layout.timeRect = layout.windowRect;
    if (dateLine) {
        layout.timeRect.Height = px(FaceHeight);
        // Centred at 148 units: below the digits, well inside the panel's lower edge at 178.
        layout.dateRect = {0, px(FaceHeight - 30), width, px(56)};
    }
    layout.innerBorderRect = {px(1), px(1), width - px(5), height - px(5)};
    layout.cornerSize = scale.Pixels(5);
    layout.cornerMargin = scale.Pixels(3);
    layout.borderWidth = scale.Pixels(1.0f);
    layout.textScale = scale.Factor();
    return layout;
}

SIZE ClockWindowSizeFor(DisplayScale scale, bool dateLine) {
    return {scale.Pixels(380), scale.Pixels(FaceHeight + (dateLine ? DateBandHeight : 0))};
}

TimeFormat TimeFormatOf(const ClockSettings& settings) {
    return {.showSeconds = settings.showSeconds,
            .twelveHour = settings.twelveHour,
            .showDate = settings.showDate,
            .longDate = settings.dateFormat != DateForm::Short,
            .locale = LOCALE_USER_DEFAULT};
}

namespace {

// The window now shows on a monitor of another scale than it was sized for:
// it keeps its place and takes that scale's size.
void FollowMonitorScale(ClockView& view, HWND window) {
    const DisplayScale placed = ScaleForWindow(window);
    if (placed == view.scale)
        return;
    view.scale = placed;
    const SIZE size = ClockWindowSizeFor(placed, HasSecondLine(view.settings));
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void ShowClockFace(ClockView& view, HWND window) {
    // A remembered place may lie on a monitor of another scale.
    FollowMonitorScale(view, window);
    view.layout = ClockLayoutFor(view.scale, HasSecondLine(view.settings));
    view.clockCanvas.AttachToWindow(window);
    DrawWindowBackdrop(view);
    PlaceButtons(view);
    view.clockCanvas.SetAlpha(view.settings.windowAlpha);
    DrawClockPanel(view);
    DrawTimeText(view, true);
    view.clockCanvas.Present();
    view.windowHost.Attach(window);
    PostMessageW(window, ClockShownMessage, 0, 0);
}

void ChangeClockScale(ClockView& view, DisplayScale scale, const RECT& suggested) {
    view.scale = scale;
    view.layout = ClockLayoutFor(scale, HasSecondLine(view.settings));
    const int width = suggested.right - suggested.left;
    const int height = suggested.bottom - suggested.top;
    SetWindowPos(view.clockCanvas.GetWindow(), nullptr, suggested.left, suggested.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    view.clockCanvas.ResizeCanvas(width, height);
    // Layers, family and decoded images of the old scale are of no more use.
    ReleaseFrameCaches(view);
    LayOutButtons(view);
    RedrawClock(view, false);
}

void FitClockToSecondLine(ClockView& view) {
    const bool dateLine = HasSecondLine(view.settings);
    const SIZE size = ClockWindowSizeFor(view.scale, dateLine);
    view.layout = ClockLayoutFor(view.scale, dateLine);
    SetWindowPos(view.clockCanvas.GetWindow(), nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (view.clockCanvas.GetWidth() != size.cx || view.clockCanvas.GetHeight() != size.cy) {
        view.clockCanvas.ResizeCanvas(size.cx, size.cy);
        ReleaseFrameCaches(view);
        // The buttons at the bottom follow the new height.
        LayOutButtons(view);
    }
}
