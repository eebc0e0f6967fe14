#include "app/ProgramEvents.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "app/ClockTick.h"
#include "app/ClockMenu.h"
#include "app/Commands.h"
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

void ProgramEvents::OnClockShown() {
    OnClockWindowShown();
}

void ProgramEvents::OnClockDestroyed() {
    OnClockWindowDestroyed();
}

namespace {

CommandId CommandOf(ButtonId button) {
    switch (button) {
    case ButtonId::Close:
        return CommandId::Exit;
    case ButtonId::KeepOnTop:
        return CommandId::KeepOnTop;
    case ButtonId::Settings:
        return CommandId::OpenSettings;
    case ButtonId::LargerFont:
        return CommandId::LargerFont;
    case ButtonId::SmallerFont:
        return CommandId::SmallerFont;
    }
    return CommandId::None;
}

} // namespace

void ProgramEvents::OnButtonPressed(ButtonId button) {
    RunCommand(CommandOf(button));
}

void ProgramEvents::OnDragEnded() {
    // The place is saved with the settings.
    SaveSoon();
}

void ProgramEvents::OnEscape() {
    RunCommand(CommandId::Exit);
}

void ProgramEvents::OnTick() {
    OnClockTick();
}

void ProgramEvents::OnTrimTick() {
    TrimWorkingSet();
}

void ProgramEvents::OnSaveDue() {
    SaveWaitingChange();
}

void ProgramEvents::OnSessionEnding(bool closeApplication) {
    // The installer waits for the program to end: closing saves, as the
    // close button's does. After a log-off Windows ends the process itself,
    // without destroying the window. Nobody is asked about a failed save:
    // Windows would wait for the answer.
    App().sessionEnding = true;
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

namespace {

// A changed setting is applied at once and reaches the file soon after.
template <class Field, class Value> void ApplyAndSave(Field field, const Value& value) {
    ApplyField(field, value);
    SaveSoon();
}

} // namespace

void ProgramEvents::OnFieldChanged(bool ClockSettings::*field, bool on) {
    ApplyAndSave(field, on);
}

void ProgramEvents::OnFieldChanged(std::int32_t ClockSettings::*field, std::int32_t value) {
    ApplyAndSave(field, value);
}

void ProgramEvents::OnFieldChanged(std::string ClockSettings::*field, const std::string& value) {
    ApplyAndSave(field, value);
}

void ProgramEvents::OnFieldChanged(DateForm ClockSettings::*field, DateForm value) {
    ApplyAndSave(field, value);
}

void ProgramEvents::OnRestoreDefaults() {
    RunCommand(CommandId::RestoreDefaults);
}
