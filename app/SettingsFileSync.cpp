// The settings file kept in step with the clock: read again when it changes
// outside, saved with what changed here, retried when a save fails.
#include "app/Actions.h"

#include "app/AppGlobals.h"
#include "app/SingleInstance.h"
#include "app/SystemIntegration.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "config/SettingsLocation.h"
#include "config/TextNumbers.h"
#include "framework/Services.h"
#include "settings/SettingsWindow.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// The fields an edit made outside changed take effect on the clock as a
// change in the settings window would; the window, if open, shows them.
void ApplyTakenFields(const ClockSettings& before, const std::vector<const SettingField*>& taken) {
    ClockSettings& settings = App().settings;
    const ClockSettings after = settings;
    // Each effect sees the value it replaces, and the ones before it.
    settings = before;
    settings.keptTexts = after.keptTexts;
    settings.positionText = after.positionText;
    for (const SettingField* field : taken) {
        switch (field->kind) {
        case FieldKind::Flag:
        case FieldKind::Position:
            ApplyField(field->flag, after.*field->flag);
            break;
        case FieldKind::Number:
            ApplyField(field->number, after.*field->number);
            break;
        case FieldKind::Text:
            ApplyField(field->text, after.*field->text);
            break;
        case FieldKind::DateForm:
            ApplyField(field->dateForm, after.*field->dateForm);
            break;
        }
    }
    if (SettingsWindow* window = OpenedSettingsWindow(); window && !taken.empty())
        window->FillControls();
}

// Whether two position values name different places.
bool PlaceDiffers(std::string_view one, std::string_view other) {
    const std::vector<std::string> a = SplitAtBars(one);
    const std::vector<std::string> b = SplitAtBars(other);
    const auto number = [](const std::vector<std::string>& parts, std::size_t at) {
        return parts.size() > at ? std::optional(TextToInt(parts[at])) : std::nullopt;
    };
    return number(a, 1) != number(b, 1) || number(a, 2) != number(b, 2);
}

} // namespace

SettingsRead ReadClockSettingsFile(DWORD patience) {
    AppGlobals& app = App();
    const ScreenSize screen = PrimaryScreenSize();
    return ReadSettings(SettingsSource(app.settingsFilePath), screen.width, screen.height,
                        ClockWindowSizeFor(app.clock.scale), patience);
}

bool ClaimFileIdentity() {
    AppGlobals& app = App();
    const std::wstring name = IdentityInstanceName(app.settingsFilePath);
    if (name == app.identityClaimed)
        return true;
    unique_handle claim;
    if (!name.empty() && !ClaimInstance(name, claim))
        return false;
    app.identityClaim = std::move(claim);
    app.identityClaimed = name;
    return true;
}

bool TakeInSettingsFile(DWORD patience) {
    AppGlobals& app = App();
    ClaimFileIdentity(); // an editor's save, like the clock's, makes a new file
    SettingsRead read = ReadClockSettingsFile(patience);
    if (!read.Readable()) {
        app.settingsFileError = read.file.error;
        return false;
    }
    app.settingsFileRead = true;
    app.settingsFileError = read.file.Writable() ? ERROR_SUCCESS : read.file.error;
    const ClockSettings before = app.settings;
    // A new place in the file moves the clock, unless it was moved here
    // and that is not saved yet.
    const bool movedHere =
        app.clockWindow &&
        PlaceDiffers(PositionText(app.settings, app.clockWindow->Position()), app.savedSettings.positionText);
    const bool moved = !movedHere && PlaceDiffers(read.settings.positionText, app.savedSettings.positionText);
    const std::vector<const SettingField*> taken =
        TakeOutsideEdits(app.settings, app.savedSettings, read.settings);
    ApplyTakenFields(before, taken);
    if (moved && app.clockWindow)
        PlaceClockWindow();
    return true;
}

bool HasUnsavedChanges() {
    AppGlobals& app = App();
    for (const SettingField& field : SettingFields)
        if (!SameFieldValue(app.settings, app.savedSettings, field))
            return true;
    const POINT place = app.clockWindow ? app.clockWindow->Position() : POINT{};
    return PlaceDiffers(PositionText(app.settings, place), app.savedSettings.positionText);
}

SaveResult SaveClockSettings() {
    AppGlobals& app = App();
    // Edits made outside since the last read stay, and a file not read yet
    // is read before anything is written to it.
    if (!TakeInSettingsFile(SaveReadPatienceMilliseconds))
        return {app.settingsFileError};
    if (app.settingsFileError != ERROR_SUCCESS)
        return {app.settingsFileError};
    const POINT place = app.clockWindow->Position();
    const SaveResult saved = SaveSettingChanges(app.settingsFilePath, SettingsSource(app.settingsFilePath),
                                                app.settings, app.savedSettings, place);
    if (saved) {
        app.savedSettings = app.settings;
        app.savedSettings.positionText = PositionText(app.settings, place);
        ClaimFileIdentity();
    }
    return saved;
}

void SaveSoon() {
    if (App().clockWindow)
        App().clockWindow->saveTimer.Restart(SaveDelayMilliseconds);
}

void SaveWaitingChange() {
    AppGlobals& app = App();
    WindowTimer& timer = app.clockWindow->saveTimer;
    timer.SetInterval(0);
    // Keys the file lacks wait for a change of the user's, or the close.
    const bool saved =
        TakeInSettingsFile(SaveReadPatienceMilliseconds) && (!HasUnsavedChanges() || SaveClockSettings());
    if (saved) {
        app.saveRetryMilliseconds = 0;
        return;
    }
    // A file held by another program, a full disk, a file not read yet:
    // tried again soon, then less often, until it goes.
    app.saveRetryMilliseconds =
        std::clamp(app.saveRetryMilliseconds * 2, SaveDelayMilliseconds, LongestSaveRetryMilliseconds);
    timer.Restart(app.saveRetryMilliseconds);
}

void OnSettingsFileChanged() {
    // A save of the clock's own or an editor's: either way the file is read
    // once it settled, and a change waiting to be saved goes with it.
    WindowTimer& timer = App().clockWindow->saveTimer;
    if (!timer.IsRunning() || timer.Interval() > FileSettleMilliseconds)
        timer.Restart(FileSettleMilliseconds);
}
