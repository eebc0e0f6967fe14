#pragma once
// Every user action is one command: the hover buttons, the keys, the menu
// (from the clock and from the tray icon) and the settings window's
// "恢复默认设置" send its id, and one function runs it. Whether an action
// keeps a setting of the file is the command's, not its sender's.
#include <windows.h>

#include <array>

enum class CommandId : UINT {
    None = 0, // what TrackPopupMenuEx answers when nothing was chosen
    OpenSettings,
    KeepOnTop,
    ClickThrough,
    ShowTrayIcon,
    HideClock,
    Exit,
    LargerFont,
    SmallerFont,
    ShowClock, // to the front, shown again if hidden
    RestoreDefaults,
    NewClock, // another clock, on a new file beside this one's
    HideForFullScreen,
};

struct Command {
    CommandId id;
    void (*run)();
    bool (*isOn)(); // nullptr: the command has no on state
    // It changes a setting of the file, saved two seconds later; the others
    // are not kept (hiding the clock) or save on their own (exit).
    bool saves;
};

extern const std::array<Command, 12> Commands;

// Runs the command with that id; false for None or an id of no command.
bool RunCommand(CommandId id);
// Whether the command's state is on now; false for one without a state.
bool CommandIsOn(CommandId id);
