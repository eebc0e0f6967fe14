#include "app/Lifetime.h"

#include "app/AppGlobals.h"
#include "app/GraphicsStartup.h"
#include "app/SettingsLocation.h"
#include "app/SystemIntegration.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "clock/HoverButtons.h"
#include "framework/Services.h"
#include "settings/WindowLayouts.h"

int RunProgram() {
    CreateAppGlobals();
    StartGraphics();
    App().clockWindow = std::make_unique<ClockWindow>();
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
    app.scale = ScaleForWindow(app.clockWindow->Handle());
    const ScreenSize screen = PrimaryScreenSize();
    app.settings =
        LoadSettings(app.settingsFilePath, screen.width, screen.height, ClockWindowSizeFor(app.scale));
    InitialiseClockFace();
}

void SaveClockSettings() {
    AppGlobals& app = App();
    const POINT position = app.clockWindow->Position();
    SaveSettings(app.settingsFilePath, app.settings, position.x, position.y);
}

void OnSessionEnding() {
    // Windows ends the process after this without destroying the window.
    SaveClockSettings();
}

void OnClockWindowDestroyed() {
    AppGlobals& app = App();
    SaveClockSettings();
    ReleaseButtonLayers();
    app.textLayer.ReleaseCanvas();
    app.panelLayer.ReleaseCanvas();
    app.backdropLayer.ReleaseCanvas();
    app.clockCanvas.ReleaseCanvas();
    ReleaseFrameCaches();
    StopGraphics();
    PostQuitMessage(0);
}

void OnClockTick() {
    RedrawClock(true);
    ArmClockTick();
}
