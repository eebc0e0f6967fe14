#include "app/ClockMenu.h"

#include "assets/TextIds.h"
#include "framework/StringTable.h"

#include <string>

const std::array<MenuItem, 8> MenuItems = {{
    {CommandId::OpenSettings, IDS_MENU_SETTINGS},
    {CommandId::NewClock, IDS_MENU_NEW_CLOCK},
    {CommandId::KeepOnTop, IDS_MENU_KEEP_ON_TOP},
    {CommandId::ClickThrough, IDS_MENU_CLICK_THROUGH},
    {CommandId::ShowTrayIcon, IDS_MENU_SHOW_TRAY_ICON},
    {CommandId::HideForFullScreen, IDS_MENU_HIDE_FOR_FULL_SCREEN},
    {CommandId::HideClock, IDS_MENU_HIDE_CLOCK, IDS_MENU_SHOW_CLOCK},
    {CommandId::Exit, IDS_MENU_EXIT},
}};

unique_hmenu BuildClockMenu() {
    unique_hmenu menu(CreatePopupMenu());
    if (!menu)
        return menu;
    for (const MenuItem& item : MenuItems) {
        const bool on = CommandIsOn(item.command);
        const UINT text = on && item.textWhenOn ? item.textWhenOn : item.text;
        UINT flags = MF_STRING;
        if (on && !item.textWhenOn)
            flags |= MF_CHECKED;
        if (item.command == CommandId::Exit)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu.get(), flags, static_cast<UINT_PTR>(item.command), WideText(text).c_str());
    }
    return menu;
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
    RunCommand(static_cast<CommandId>(chosen));
}
