#include "app/AppGlobals.h"

#include "app/DesktopWatch.h"
#include "app/TrayIcon.h"
#include "clock/ClockWindow.h"
#include "framework/FileChangeWatch.h"
#include "settings/SettingsWindow.h"

namespace {
std::unique_ptr<AppGlobals> globals;
}

AppGlobals::AppGlobals() = default;
AppGlobals::~AppGlobals() = default;

void CreateAppGlobals() {
    globals = std::make_unique<AppGlobals>();
}

void ReleaseGlobals() {
    // The windows go first, while every object their procedures reach is alive.
    if (globals) {
        globals->foregroundWatch.reset();
        StopDesktopChecks();
        globals->tray.reset();
        globals->settingsWindow.reset();
        globals->clockWindow.reset();
    }
    globals.reset();
}

AppGlobals& App() {
    return *globals;
}

bool AppGlobalsExist() {
    return globals != nullptr;
}
