#include "app/ClockTick.h"

#include "app/AppGlobals.h"
#include "app/FullScreen.h"
#include "app/TrayIcon.h"
#include "assets/TextIds.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "framework/Services.h"
#include "framework/StringTable.h"
#include "framework/TextConversion.h"

#include <cstdio>

void OnClockTick() {
    AppGlobals& app = App();
    // Armed before drawing: a timer left to its period keeps the phase of
    // the moment it was set.
    if (app.clockWindow)
        app.clockWindow->ArmTick();
    RedrawClock(app.clock, true);
    UpdateClockName();
    FollowFullScreen();
}

std::string ClockName(const SYSTEMTIME& time, const std::string& label) {
    char text[64]{};
    // The format is the program's own, from its string table.
    std::snprintf(text, sizeof text, Text(IDS_CLOCK_NAME_FORMAT).c_str(), time.wHour, time.wMinute,
                  time.wYear, time.wMonth, time.wDay);
    return label.empty() ? std::string(text) : text + (" " + label);
}

namespace {

// The name changes once a minute: a tick within the minute it was made for
// takes it as it is.
const std::wstring& ClockNameNow() {
    AppGlobals& app = App();
    const SYSTEMTIME now = ClockTimeNow(app.clock.zone);
    SYSTEMTIME& made = app.clockNameMinute;
    if (app.clockNameOfMinute.empty() || now.wMinute != made.wMinute || now.wHour != made.wHour ||
        now.wDay != made.wDay || now.wMonth != made.wMonth || now.wYear != made.wYear) {
        app.clockNameOfMinute = MultiByteToWide(
            ClockName(now, ShownZoneLabel(app.clock.zone, app.settings.zoneLabel)), GbkCodePage);
        made = now;
    }
    return app.clockNameOfMinute;
}

} // namespace

void UpdateClockName() {
    AppGlobals& app = App();
    const std::wstring& name = ClockNameNow();
    const HWND window = app.clockWindow ? app.clockWindow->Handle() : nullptr;
    if (window && name != app.clockName) {
        // Screen readers are told of the change by the system.
        SetWindowTextW(window, name.c_str());
        app.clockName = name;
    }
    if (app.tray)
        app.tray->SetTip(name);
}

void RenameClock() {
    App().clockNameOfMinute.clear();
    UpdateClockName();
}
