#include "app/ProgramEvents.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "app/ClockMenu.h"
#include "app/Lifetime.h"
#include "app/SystemIntegration.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"

ProgramEvents& Events() {
    static ProgramEvents events;
    return events;
}

void ProgramEvents::OnClockCreated() {
    OnClockWindowCreated();
}

void ProgramEvents::OnClockDestroyed() {
    OnClockWindowDestroyed();
}

void ProgramEvents::OnButtonPressed(ButtonId button) {
    switch (button) {
    case ButtonId::Close:
        CloseClock();
        break;
    case ButtonId::KeepOnTop:
        ToggleKeepOnTop();
        break;
    case ButtonId::Settings:
        OpenSettingsWindow();
        break;
    case ButtonId::LargerFont:
        StepFontSize(FontStep);
        break;
    case ButtonId::SmallerFont:
        StepFontSize(-FontStep);
        break;
    }
}

void ProgramEvents::OnDragEnded() {
    // The position is read when the settings are saved.
}

void ProgramEvents::OnEscape() {
    CloseClock();
}

void ProgramEvents::OnTick() {
    OnClockTick();
}

void ProgramEvents::OnTrimTick() {
    TrimWorkingSet();
}

void ProgramEvents::OnSessionEnding(bool closeApplication) {
    // The installer waits for the program to end: closing saves, as the
    // close button's does. After a log-off Windows ends the process itself,
    // without destroying the window.
    if (closeApplication)
        CloseClock();
    else
        SaveClockSettings();
}

void ProgramEvents::OnDisplayScaleChanged(DisplayScale scale, const RECT& suggested) {
    ChangeClockScale(App().clock, scale, suggested);
}

void ProgramEvents::OnTimeChanged() {
    // Show the new time now and tick on its seconds.
    OnClockTick();
}

void ProgramEvents::OnContextMenu(POINT at) {
    if (App().clockWindow)
        ShowClockMenu(App().clockWindow->Handle(), at);
}

void ProgramEvents::OnFieldChanged(std::string ClockSettings::*field, const std::string& value) {
    ApplyField(field, value);
}

void ProgramEvents::OnFieldChanged(std::int32_t ClockSettings::*field, std::int32_t value) {
    ApplyField(field, value);
}

void ProgramEvents::OnRestoreDefaults() {
    RestoreDefaultSettings();
}

void ProgramEvents::OnSettingsWindowClosed() {
    // Nothing to do: every change has been applied as it came.
}
