#pragma once
// What the settings window tells the program. The window shows the settings
// and reports what the user asks for; it changes nothing itself.
#include "config/ClockSettings.h"

#include <cstdint>
#include <string>

class SettingsWindowListener {
public:
    // The user set one setting's control to a new value: a switch, an
    // opacity, a colour or a size, the font name or the date form. The
    // window then shows the setting as it is after the call, so that a
    // change the listener refused shows as refused.
    virtual void OnFieldChanged(bool ClockSettings::*field, bool on) = 0;
    virtual void OnFieldChanged(std::int32_t ClockSettings::*field, std::int32_t value) = 0;
    virtual void OnFieldChanged(std::string ClockSettings::*field, const std::string& value) = 0;
    virtual void OnFieldChanged(DateForm ClockSettings::*field, DateForm value) = 0;
    // "恢复默认设置" was clicked.
    virtual void OnRestoreDefaults() = 0;

protected:
    ~SettingsWindowListener() = default;
};
