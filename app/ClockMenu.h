#pragma once
// The clock's menu, the same from a right click on the clock, its keyboard
// and the tray icon: one table of commands, each calling one action.
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <array>

enum class MenuCommandId : UINT {
    Settings = 1, // 0 is what TrackPopupMenuEx answers when nothing was chosen
    KeepOnTop,
    ClickThrough,
    ShowTrayIcon,
    HideClock,
    Exit,
};

struct MenuCommand {
    MenuCommandId id;
    const char* text;       // GBK
    const char* textWhenOn; // nullptr: an item that is on shows a check instead
    void (*run)();
    bool (*isOn)(); // nullptr: never on
};

// In the menu's order; "退出" is the last, after a separator.
extern const std::array<MenuCommand, 6> MenuCommands;

// The menu as things are now: checks and texts from the current state.
unique_hmenu BuildClockMenu();
// Runs the command with that identifier; false for none of the menu's.
bool RunMenuCommand(UINT id);
// How the menu is tracked: the command returned, and dropped to the left of
// the point where the system's menu drop alignment asks it.
UINT ClockMenuFlags();
// Shows the menu at a screen point, owned by a window of this program, and
// runs what the user chooses.
void ShowClockMenu(HWND owner, POINT at);
