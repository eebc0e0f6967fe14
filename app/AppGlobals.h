#pragma once
// The one program-wide record. It exists from the second step of start-up
// to the end of the process; every member starts empty.
#include "app/ClockSettings.h"

#include <windows.h>

#include <memory>
#include <string>

class ClockWindow;

struct AppGlobals {
    AppGlobals();
    ~AppGlobals();

    std::string settingsFilePath;
    ClockSettings settings;
    ULONG_PTR gdiplusToken = 0; // 0: GDI+ is not running
    bool hoverActive = false;   // the pointer is over the clock window
    std::unique_ptr<ClockWindow> clockWindow;
};

// Creates the record (entry step 2). Tests create their own the same way.
void CreateAppGlobals();
// Frees every member; runs at the end of the program.
void ReleaseGlobals();
// The record; CreateAppGlobals must have run.
AppGlobals& App();
bool AppGlobalsExist();
