#pragma once
// The clock's menu, the same from a right click on the clock, its keyboard
// and the tray icon: its items send commands, the item's id being the
// command's.
#include "app/Commands.h"
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <array>

struct MenuItem {
    CommandId command;
    UINT text;           // a text identifier
    UINT textWhenOn = 0; // 0: an item that is on shows a check instead
};

// In the menu's order; "Exit" is the last, after a separator.
extern const std::array<MenuItem, 8> MenuItems;

// The menu as things are now: checks and texts from the current state.
unique_hmenu BuildClockMenu();
// How the menu is tracked: the command returned, and dropped to the left of
// the point where the system's menu drop alignment asks it.
UINT ClockMenuFlags();
// Shows the menu at a screen point, owned by a window of this program, and
// runs what the user chooses.
void ShowClockMenu(HWND owner, POINT at);
