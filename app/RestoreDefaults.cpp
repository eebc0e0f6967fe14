#include "app/RestoreDefaults.h"

#include "app/AppGlobals.h"
#include "app/SystemIntegration.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "settings/SettingsWindow.h"

void RestoreDefaultSettings() {
    AppGlobals& app = App();
    // The window is not moved: the position keeps only its flag, "真".
    app.settings = DefaultSettings();
    app.clockCanvas.SetAlpha(app.settings.windowAlpha);
    DeleteStartWithWindows();
    SetTopmost(true);
    app.keepOnTopButton.state = ButtonState::Hover;
    SetWorkingSetTrimming(-1);
    FillSettingsControls();
    RedrawClock(true);
    ArmClockTick(); // seconds are shown again
}
