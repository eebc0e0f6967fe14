#include "app/Lifetime.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "app/GraphicsStartup.h"
#include "app/ProgramEvents.h"
#include "app/SystemIntegration.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "clock/ClockWindowLayout.h"
#include "clock/HoverButtons.h"
#include "config/SettingsLocation.h"
#include "framework/Services.h"

int RunProgram() {
    CreateAppGlobals();
    StartGraphics();
    App().clockWindow = std::make_unique<ClockWindow>(App().clock, Events());
    // Only the clock window's end stops the message loop: without it the
    // program would wait for ever.
    if (!App().clockWindow->Create(ClockWindowLayout)) {
        StopGraphics();
        ReleaseGlobals();
        return NoClockWindowExitCode;
    }
    const int exitCode = RunMessageLoop();
    ReleaseGlobals();
    return exitCode;
}

void OnClockWindowCreated() {
    AppGlobals& app = App();
    StartGraphics();
    app.settingsFilePath = ChooseSettingsFile();
    // The scale of the monitor the window was made on: the first start
    // centres the clock at that scale's size.
    const HWND window = app.clockWindow->Handle();
    app.clock.scale = ScaleForWindow(window);
    const ScreenSize screen = PrimaryScreenSize();
    app.settings =
        LoadSettings(app.settingsFilePath, screen.width, screen.height, ClockWindowSizeFor(app.clock.scale));
    ShowClock();
}

void ShowClock() {
    AppGlobals& app = App();
    const HWND window = app.clockWindow->Handle();
    if (IsOn(app.settings.keepOnTop))
        SetTopmost(true);
    if (IsOn(app.settings.memoryOptimization))
        SetWorkingSetTrimming(TrimmingPeriodSeconds);
    PlaceClockWindow();
    ShowClockFace(app.clock, window);
    app.clockWindow->ArmTick();
}

void OnClockWindowDestroyed() {
    AppGlobals& app = App();
    ClockView& view = app.clock;
    SaveClockSettings();
    ReleaseButtonLayers(view);
    view.textLayer.ReleaseCanvas();
    view.panelLayer.ReleaseCanvas();
    view.backdropLayer.ReleaseCanvas();
    view.clockCanvas.ReleaseCanvas();
    ReleaseFrameCaches(view);
    StopGraphics();
    PostQuitMessage(0);
}

void OnClockTick() {
    AppGlobals& app = App();
    RedrawClock(app.clock, true);
    if (app.clockWindow)
        app.clockWindow->ArmTick();
}
