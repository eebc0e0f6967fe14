#include "app/Actions.h"

#include "app/AppGlobals.h"
#include "app/ProgramEvents.h"
#include "app/SystemIntegration.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "clock/HoverButtons.h"
#include "settings/SettingsWindow.h"
#include "settings/WindowLayouts.h"

namespace {

using S = ClockSettings;

void Redraw(bool refreshTime) {
    RedrawClock(App().clock, refreshTime);
}

// Shows seconds or not: the time text is built again with or without them,
// and the next tick comes at the next second or minute.
void RedrawWithFreshTime() {
    Redraw(true);
    if (App().clockWindow)
        App().clockWindow->ArmTick();
}

} // namespace

void CloseClock() {
    CloseSettingsWindow();
    ClockWindow& window = *App().clockWindow;
    window.StopTimers();
    window.Destroy();
}

void OpenSettingsWindow() {
    std::unique_ptr<SettingsWindow>& window = App().settingsWindow;
    if (window && window->Exists()) {
        window->BringToFront();
        return;
    }
    window = std::make_unique<SettingsWindow>(App().settings, Events());
    window->Create(SettingsWindowLayout);
}

void CloseSettingsWindow() {
    if (SettingsWindow* window = OpenedSettingsWindow())
        window->Destroy();
}

bool SettingsWindowIsOpen() {
    return OpenedSettingsWindow() != nullptr;
}

SettingsWindow* OpenedSettingsWindow() {
    const std::unique_ptr<SettingsWindow>& window = App().settingsWindow;
    return window && window->Exists() ? window.get() : nullptr;
}

void StepFontSize(double step) {
    const ClockSettings& settings = App().settings;
    SetFontMetrics(TruncateToInt32(settings.fontSize + step), settings.outlineWidth);
}

void SetFontMetrics(std::int32_t size, std::int32_t outline) {
    ClockSettings& settings = App().settings;
    settings.fontSize = size;
    settings.outlineWidth = outline;
    Redraw(false);
}

void SetKeepOnTop(bool on) {
    App().settings.keepOnTop = FlagText(on);
    SetTopmost(on);
}

void ToggleKeepOnTop() {
    SetKeepOnTop(!IsOn(App().settings.keepOnTop));
}

void ApplyField(std::string S::*field, const std::string& value) {
    const bool on = IsOn(value);
    if (field == &S::startWithWindows) {
        ApplyStartWithWindows(on);
        return;
    }
    App().settings.*field = value;
    if (field == &S::keepOnTop) {
        SetTopmost(on);
        // The keep-on-top button stays lit while keep on top is on.
        ShowKeepOnTop(App().clock, on);
        Redraw(false);
    } else if (field == &S::memoryOptimization) {
        SetWorkingSetTrimming(on ? TrimmingPeriodSeconds : TrimmingStopped);
    } else if (field == &S::showSeconds) {
        RedrawWithFreshTime();
    } else if (field != &S::restoreLastPosition) { // placement reads that one at the next start
        Redraw(false);
    }
}

void ApplyField(std::int32_t S::*field, std::int32_t value) {
    App().settings.*field = value;
    if (field != &S::windowAlpha) {
        Redraw(false);
        return;
    }
    // The drawn canvas is presented again at the new whole-window alpha.
    LayeredCanvas& canvas = App().clock.clockCanvas;
    canvas.SetAlpha(value);
    canvas.Present();
}

void RestoreDefaultSettings() {
    AppGlobals& app = App();
    // The window is not moved: the position keeps only its flag, "真".
    app.settings = DefaultSettings();
    app.clock.clockCanvas.SetAlpha(app.settings.windowAlpha);
    DeleteStartWithWindows();
    SetTopmost(true);
    ShowKeepOnTop(app.clock, true);
    SetWorkingSetTrimming(TrimmingStopped);
    if (SettingsWindow* window = OpenedSettingsWindow())
        window->FillControls();
    RedrawWithFreshTime(); // seconds are shown again
}

void SaveClockSettings() {
    AppGlobals& app = App();
    const POINT position = app.clockWindow->Position();
    SaveSettings(app.settingsFilePath, app.settings, position.x, position.y);
}
