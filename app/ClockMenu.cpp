#include "app/ClockMenu.h"

#include "framework/TextConversion.h"

#include <string>

const std::array<MenuItem, 8> MenuItems = {{
    {CommandId::OpenSettings, "设置…", nullptr},
    {CommandId::NewClock, "新建时钟…", nullptr},
    {CommandId::KeepOnTop, "窗口置顶", nullptr},
    {CommandId::ClickThrough, "鼠标穿透", nullptr},
    {CommandId::ShowTrayIcon, "显示托盘图标", nullptr},
    {CommandId::HideForFullScreen, "全屏时隐藏", nullptr},
    {CommandId::HideClock, "隐藏时钟", "显示时钟"},
    {CommandId::Exit, "退出", nullptr},
}};

unique_hmenu BuildClockMenu() {
    unique_hmenu menu(CreatePopupMenu());
    if (!menu)
        return menu;
    for (const MenuItem& item : MenuItems) {
        const bool on = CommandIsOn(item.command);
        const char* text = on && item.textWhenOn ? item.textWhenOn : item.text;
        UINT flags = MF_STRING;
        if (on && !item.textWhenOn)
            flags |= MF_CHECKED;
        if (item.command == CommandId::Exit)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        const std::wstring wide = MultiByteToWide(text, GbkCodePage);
        AppendMenuW(menu.get(), flags, static_cast<UINT_PTR>(item.command), wide.c_str());
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
