#include "app/Commands.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"

#include <algorithm>

namespace {

void LargerFont() {
    StepFontSize(FontStep);
}
void SmallerFont() {
    StepFontSize(-FontStep);
}
bool KeepOnTopIsOn() {
    return App().settings.keepOnTop;
}
bool ClickThroughIsOn() {
    return App().settings.clickThrough;
}
bool TrayIconIsOn() {
    return App().settings.showTrayIcon;
}
void ToggleHideForFullScreen() {
    ApplyField(&ClockSettings::hideForFullScreen, !App().settings.hideForFullScreen);
}
bool HideForFullScreenIsOn() {
    return App().settings.hideForFullScreen;
}

const Command* Find(CommandId id) {
    const auto found = std::ranges::find(Commands, id, &Command::id);
    return found == Commands.end() ? nullptr : &*found;
}

} // namespace

const std::array<Command, 12> Commands = {{
    {CommandId::OpenSettings, OpenSettingsWindow, nullptr, false},
    {CommandId::KeepOnTop, ToggleKeepOnTop, KeepOnTopIsOn, true},
    {CommandId::ClickThrough, ToggleClickThrough, ClickThroughIsOn, true},
    {CommandId::ShowTrayIcon, ToggleTrayIcon, TrayIconIsOn, true},
    {CommandId::HideClock, ToggleClockHidden, ClockIsHidden, false},
    {CommandId::Exit, CloseClock, nullptr, false},
    {CommandId::LargerFont, LargerFont, nullptr, true},
    {CommandId::SmallerFont, SmallerFont, nullptr, true},
    {CommandId::ShowClock, BringClockToFront, nullptr, false},
    {CommandId::RestoreDefaults, RestoreDefaultSettings, nullptr, true},
    {CommandId::NewClock, StartNewClock, nullptr, false},
    {CommandId::HideForFullScreen, ToggleHideForFullScreen, HideForFullScreenIsOn, true},
}};

bool RunCommand(CommandId id) {
    const Command* command = Find(id);
    if (!command)
        return false;
    command->run();
    if (command->saves)
        SaveSoon();
    return true;
}

bool CommandIsOn(CommandId id) {
    const Command* command = Find(id);
    return command && command->isOn && command->isOn();
}
