#pragma once
// The program's answer to what its windows report: a press, a key or a
// button of the settings window runs a command (app/Commands), a changed
// field its action (app/Actions), the rest a step of the program's lifetime.
#include "clock/ClockWindowListener.h"
#include "settings/SettingsWindowListener.h"

class ProgramEvents final : public ClockWindowListener, public SettingsWindowListener {
public:
    void OnClockCreated() override;
    void OnClockShown() override;
    void OnClockDestroyed() override;
    void OnButtonPressed(ButtonId button) override;
    void OnDragEnded() override;
    void OnEscape() override;
    void OnTick() override;
    void OnTrimTick() override;
    void OnSaveDue() override;
    void OnSessionEnding(bool closeApplication) override;
    void OnDisplayScaleChanged(DisplayScale scale, const RECT& suggested) override;
    void OnTimeChanged() override;
    void OnContextMenu(POINT at) override;

    void OnFieldChanged(bool ClockSettings::*field, bool on) override;
    void OnFieldChanged(std::int32_t ClockSettings::*field, std::int32_t value) override;
    void OnFieldChanged(std::string ClockSettings::*field, const std::string& value) override;
    void OnFieldChanged(DateForm ClockSettings::*field, DateForm value) override;
    void OnRestoreDefaults() override;
};

// The program's one listener, for the clock window and the settings window.
ProgramEvents& Events();
