#pragma once
// The one program-wide record. It exists from the second step of start-up
// to the end of the process; every member starts empty.
#include "clock/ClockView.h"
#include "config/ClockSettings.h"
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <memory>
#include <string>

class ClockWindow;
class FileChangeWatch;
class SettingsWindow;
class TrayIcon;

struct AppGlobals {
    AppGlobals();
    ~AppGlobals();

    std::wstring settingsFilePath;
    // The file "--settings" named, when it is not the default one: the clock
    // has a Run value of its own and starts again on it.
    std::wstring ownSettingsFile;
    ClockSettings settings;
    // What the file holds as far as the clock knows: as read, or as last
    // saved. A save writes what differs from it; an edit made outside is
    // what the file holds beyond it.
    ClockSettings savedSettings;
    // The file's settings were read: until then the clock runs on its
    // defaults and writes nothing to the file.
    bool settingsFileRead = false;
    // Why the file cannot be read, or why it must not be written (text GBK
    // cannot hold); ERROR_SUCCESS while saves may go ahead.
    DWORD settingsFileError = ERROR_SUCCESS;
    // The wait before the next attempt of a save that failed: longer after
    // each failure, none once one succeeds.
    UINT saveRetryMilliseconds = 0;
    // What the clock window shows: the face's layers, the buttons, the canvas.
    ClockView clock{settings};
    ULONG_PTR gdiplusToken = 0; // 0: GDI+ is not running
    std::unique_ptr<ClockWindow> clockWindow;
    // Outlives its window: a closed window's object is replaced at the next
    // opening, never from inside one of its own handlers.
    std::unique_ptr<SettingsWindow> settingsWindow;
    // The program's hidden window and the notification-area icon.
    std::unique_ptr<TrayIcon> tray;
    // Held while the clock runs on its settings file: one by its path, one
    // by the identity the file has now (a save makes a new file).
    unique_handle instanceClaim;
    unique_handle identityClaim;
    unique_handle copyClaim; // the default clock's, for its copy of the program
    std::wstring identityClaimed;
    // Wakes the clock when the settings file's folder changes.
    std::unique_ptr<FileChangeWatch> settingsFileWatch;
    unique_hwineventhook foregroundWatch;
    std::wstring clockName;         // the window text now
    std::wstring clockNameOfMinute; // the clock's name in the minute below
    SYSTEMTIME clockNameMinute{};
    // Windows ends the session: a failed save asks nobody, as Windows would
    // wait for the answer.
    bool sessionEnding = false;
    bool clockHidden = false;         // hidden from the menu ("隐藏时钟"), not saved
    bool hiddenForFullScreen = false; // a full-screen program is in front ("全屏时隐藏")
    // The clock window's end has begun: nothing closes it again.
    bool closing = false;
};

// Creates the record (entry step 2). Tests create their own the same way.
void CreateAppGlobals();
// Frees every member; runs at the end of the program.
void ReleaseGlobals();
// The record; CreateAppGlobals must have run.
AppGlobals& App();
bool AppGlobalsExist();
