#include "app/ClockMenu.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "framework/TextConversion.h"

#include <algorithm>
#include <string>

namespace {

bool KeepOnTopIsOn() {
    return IsOn(App().settings.keepOnTop);
}
bool ClickThroughIsOn() {
    return IsOn(App().settings.clickThrough);
}
bool TrayIconIsOn() {
    return IsOn(App().settings.showTrayIcon);
}

} // namespace

const std::array<MenuCommand, 6> MenuCommands = {{
    {MenuCommandId::Settings, "设置…", nullptr, OpenSettingsWindow, nullptr},
    {MenuCommandId::KeepOnTop, "窗口置顶", nullptr, ToggleKeepOnTop, KeepOnTopIsOn},
    {MenuCommandId::ClickThrough, "鼠标穿透", nullptr, ToggleClickThrough, ClickThroughIsOn},
    {MenuCommandId::ShowTrayIcon, "显示托盘图标", nullptr, ToggleTrayIcon, TrayIconIsOn},
    {MenuCommandId::HideClock, "隐藏时钟", "显示时钟", ToggleClockHidden, ClockIsHidden},
    {MenuCommandId::Exit, "退出", nullptr, CloseClock, nullptr},
}};

unique_hmenu BuildClockMenu() {
    unique_hmenu menu(CreatePopupMenu());
    if (!menu)
        return menu;
    for (const MenuCommand& command : MenuCommands) {
        const bool on = command.isOn && command.isOn();
        const char* text = on && command.textWhenOn ? command.textWhenOn : command.text;
        UINT flags = MF_STRING;
        if (on && !command.textWhenOn)
            flags |= MF_CHECKED;
        if (command.id == MenuCommandId::Exit)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        const std::wstring wide = MultiByteToWide(text, GbkCodePage);
        AppendMenuW(menu.get(), flags, static_cast<UINT_PTR>(command.id), wide.c_str());
    }
    return menu;
}

bool RunMenuCommand(UINT id) {
    const auto found = std::ranges::find(MenuCommands, static_cast<MenuCommandId>(id), &MenuCommand::id);
    if (id == 0 || found == MenuCommands.end())
        return false;
    const ClockSettings before = App().settings;
    found->run();
    // Keep on top, click-through and the tray icon are settings of the file.
    if (App().settings != before)
        SaveSoon();
    return true;
}

UINT ClockMenuFlags() {
    // Menus drop to the left of the point where the user's settings say so
    // (right-handed tablet use, right-to-left layouts).
    const UINT alignment = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    return TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | alignment;
}

void ShowClockMenu(HWND owner, POINT at) {
    const unique_hmenu menu = BuildClockMenu();
    if (!menu)
        return;
    // Without the foreground the menu would stay open when the user clicks
    // elsewhere; the posted message lets it close properly afterwards.
    SetForegroundWindow(owner);
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenuEx(menu.get(), ClockMenuFlags(), at.x, at.y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    RunMenuCommand(chosen);
}
