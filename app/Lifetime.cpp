#include "app/Lifetime.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "app/DesktopWatch.h"
#include "app/GraphicsStartup.h"
#include "app/ProgramEvents.h"
#include "app/SingleInstance.h"
#include "app/SystemIntegration.h"
#include "app/TrayIcon.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "clock/ClockWindowLayout.h"
#include "clock/HoverButtons.h"
#include "config/SettingsLocation.h"
#include "framework/Services.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"

#include <shellapi.h>

#include <cstdio>
#include <string_view>

namespace {

constexpr unsigned GbkCodePage = 936;

// Another clock runs on this settings file: it comes to the front instead.
bool AnotherClockHasTheFile() {
    AppGlobals& app = App();
    app.settingsFilePath = ChooseSettingsFile();
    const std::wstring name = InstanceName(app.settingsFilePath);
    if (ClaimInstance(name, app.instanceClaim))
        return false;
    WakeRunningClock(name);
    return true;
}

} // namespace

bool AsksOnlyToDeleteRunValues(const wchar_t* commandLine) {
    int count = 0;
    const unique_argument_list arguments(CommandLineToArgvW(commandLine, &count));
    return arguments && count == 2 && std::wstring_view(arguments.get()[1]) == DeleteRunValuesArgument;
}

int RunProgram() {
    if (AsksOnlyToDeleteRunValues(GetCommandLineW())) {
        DeleteStartWithWindows();
        return 0;
    }
    CreateAppGlobals();
    if (AnotherClockHasTheFile()) {
        ReleaseGlobals();
        return 0;
    }
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
    // The entry sequence chose it already, to claim it for this clock.
    if (app.settingsFilePath.empty())
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
    if (IsOn(app.settings.clickThrough))
        SetClickThrough(true);
    app.tray = std::make_unique<TrayIcon>(InstanceName(app.settingsFilePath));
    UpdateTrayIcon();
    UpdateClockName();
    app.foregroundWatch = WatchForeground();
    app.clockWindow->ArmTick();
}

void OnClockWindowDestroyed() {
    AppGlobals& app = App();
    ClockView& view = app.clock;
    SaveClockSettings();
    app.foregroundWatch.reset();
    app.tray.reset(); // the icon goes with the clock
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
    UpdateClockName();
}

std::string ClockName(const SYSTEMTIME& time) {
    char text[64]{};
    std::snprintf(text, sizeof text, "%u:%02u %u年%u月%u日", time.wHour, time.wMinute, time.wYear,
                  time.wMonth, time.wDay);
    return text;
}

void UpdateClockName() {
    AppGlobals& app = App();
    const std::wstring name = MultiByteToWide(ClockName(ReadLocalTime()), GbkCodePage);
    const HWND window = app.clockWindow ? app.clockWindow->Handle() : nullptr;
    if (window && name != app.clockName) {
        // Screen readers are told of the change by the system.
        SetWindowTextW(window, name.c_str());
        app.clockName = name;
    }
    if (app.tray)
        app.tray->SetTip(name);
}
