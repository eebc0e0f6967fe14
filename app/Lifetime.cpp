#include "app/Lifetime.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "app/ClockTick.h"
#include "app/DesktopWatch.h"
#include "app/DllSearch.h"
#include "app/GraphicsStartup.h"
#include "app/ProgramEvents.h"
#include "app/SingleInstance.h"
#include "app/SystemIntegration.h"
#include "app/TrayIcon.h"
#include "assets/TextIds.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "clock/ClockWindowLayout.h"
#include "clock/HoverButtons.h"
#include "config/SettingsLocation.h"
#include "framework/FileChangeWatch.h"
#include "framework/Services.h"
#include "framework/StringTable.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"

#include <shellapi.h>

#include <cstdio>
#include <cwctype>
#include <string_view>
#include <vector>

namespace {} // namespace

void ChooseClockFile(const ProgramArguments& arguments) {
    AppGlobals& app = App();
    const std::wstring defaultFile = ChooseSettingsFile();
    app.settingsFilePath = defaultFile;
    if (arguments.settingsFile.empty())
        return;
    const std::wstring named = NamedSettingsFile(arguments.settingsFile, defaultFile);
    if (FileKey(named) == FileKey(defaultFile))
        return;
    app.settingsFilePath = named;
    app.ownSettingsFile = named;
}

bool AnotherClockHasTheFile() {
    AppGlobals& app = App();
    const std::wstring name = InstanceName(app.settingsFilePath);
    // The default clock of a copy: run as administrator it may write beside
    // the program, otherwise it keeps a per-user file. One name for the copy
    // makes them one clock.
    const std::wstring copyName = InstanceName(SettingsFileBesideProgram());
    const bool copyFree =
        !app.ownSettingsFile.empty() || copyName == name || ClaimInstance(copyName, app.copyClaim);
    if (copyFree && ClaimInstance(name, app.instanceClaim) && ClaimFileIdentity())
        return false;
    // Through a link the running clock's window has another name: it is
    // not woken, but no second clock writes its file.
    WakeRunningClock(name);
    return true;
}

namespace {

std::wstring ErrorDescription(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const ScopeExit freeText([text] { LocalFree(text); });
    std::wstring description = length ? std::wstring(text, length) : L"";
    while (!description.empty() && std::iswspace(description.back()))
        description.pop_back();
    return description.empty() ? std::to_wstring(error) : description;
}

struct FileProblemTexts {
    UINT title;
    UINT file;
    UINT choice;
};
constexpr FileProblemTexts SaveFailedTexts{IDS_SAVE_FAILED_TITLE, IDS_SAVE_FAILED_FILE,
                                           IDS_SAVE_FAILED_CHOICE};
constexpr FileProblemTexts ReadFailedTexts{IDS_READ_FAILED_TITLE, IDS_READ_FAILED_FILE,
                                           IDS_READ_FAILED_CHOICE};

// The box names the file and the reason; true for "重试". At the end of the
// session nobody is asked: Windows would wait for the answer.
bool AskToRetry(const FileProblemTexts& texts, const std::wstring& path, DWORD error) {
    const std::wstring message = WideText(texts.file) + path + L"\n\n" + WideText(IDS_SAVE_FAILED_REASON) +
                                 ErrorDescription(error) + L"\n\n" + WideText(texts.choice);
    return MessageBoxW(nullptr, message.c_str(), WideText(texts.title).c_str(),
                       MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST) == IDRETRY;
}

void SaveAtClose() {
    AppGlobals& app = App();
    // A file never read has nothing of this run to receive unless the user
    // changed something.
    if (!app.settingsFileRead && !HasUnsavedChanges())
        return;
    SaveResult saved = SaveClockSettings();
    while (!saved && !app.sessionEnding && AskToRetry(SaveFailedTexts, app.settingsFilePath, saved.error))
        saved = SaveClockSettings();
}

// The file cannot be read, or not whole: the user hears of it once. Until
// it can, the clock writes nothing to it and tries again in the background.
void TellOfAFileNotRead() {
    AppGlobals& app = App();
    while (app.settingsFileError != ERROR_SUCCESS && !app.closing &&
           AskToRetry(ReadFailedTexts, app.settingsFilePath, app.settingsFileError))
        TakeInSettingsFile(StartReadPatienceMilliseconds);
}

// The first reading of the file, waiting for a program that holds it. A
// file that is not there yet is made as a first start makes it: from the
// file it starts as (see SettingsSource), or with its first keys.
void ReadSettingsAtStart() {
    AppGlobals& app = App();
    const SettingsRead read = ReadClockSettingsFile(StartReadPatienceMilliseconds);
    app.settings = read.settings;
    app.savedSettings = read.settings;
    app.settingsFileRead = read.Readable();
    app.settingsFileError = read.file.Writable() ? ERROR_SUCCESS : read.file.error;
    if (!app.settingsFileRead) {
        SaveSoon(); // read again in the background
        return;
    }
    const std::wstring source = SettingsSource(app.settingsFilePath);
    if (!FileExists(app.settingsFilePath) && read.file.Writable()) {
        if (source == app.settingsFilePath)
            WriteFirstSettingsFile(app.settingsFilePath, app.settings);
        else
            WriteIniFileWhole(app.settingsFilePath, source, {}, SettingSections);
    }
    ClaimFileIdentity(); // made now, the file has one
}

// Windows finds gdiplus.dll in its system folder; a system without it
// (Server Core, a stripped image) gets a word instead of a crash in the
// loader's delay-load helper at the first drawing call.
bool GraphicsCanBeLoaded() {
    return LoadSystemDll(L"gdiplus.dll");
}

void TellGraphicsAreMissing() {
    MessageBoxW(nullptr, WideText(IDS_GRAPHICS_MISSING).c_str(), WideText(IDS_PROGRAM_NAME).c_str(),
                MB_OK | MB_ICONERROR);
}

} // namespace

ProgramArguments ReadProgramArguments(const wchar_t* commandLine) {
    ProgramArguments read;
    int count = 0;
    const unique_argument_list list(CommandLineToArgvW(commandLine, &count));
    if (!list)
        return read;
    const std::vector<std::wstring_view> arguments(list.get() + 1, list.get() + count);
    if (!arguments.empty() && arguments[0] == DeleteRunValuesArgument) {
        if (arguments.size() == 1) {
            read.deleteRunValues = true;
        } else if (arguments.size() == 3 && arguments[1] == RunValueArgument && !arguments[2].empty()) {
            read.deleteRunValues = true;
            read.runValueName = arguments[2];
        }
        return read;
    }
    for (std::size_t at = 0; at + 1 < arguments.size(); ++at)
        if (arguments[at] == SettingsArgument)
            read.settingsFile = arguments[at + 1];
    return read;
}

int RunProgram() {
    const ProgramArguments arguments = ReadProgramArguments(GetCommandLineW());
    if (arguments.deleteRunValues) {
        if (arguments.runValueName.empty())
            DeleteEveryRunValueOfThisCopy();
        else
            DeleteRunValueNamed(arguments.runValueName);
        return 0;
    }
    CreateAppGlobals();
    const ScopeExit releaseGlobals([] { ReleaseGlobals(); });
    // Until the settings are read, the texts follow Windows' display language.
    FollowInterfaceLanguage();
    ChooseClockFile(arguments);
    if (AnotherClockHasTheFile())
        return 0;
    if (!GraphicsCanBeLoaded()) {
        TellGraphicsAreMissing();
        return NoClockWindowExitCode;
    }
    // An installer that closes the clock to replace it starts it again.
    RegisterApplicationRestart(ClockArguments().c_str(),
                               RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
    StartGraphics();
    App().clockWindow = std::make_unique<ClockWindow>(App().clock, Events());
    // Only the clock window's end stops the message loop: without it the
    // program would wait for ever.
    if (!App().clockWindow->Create(ClockWindowLayout)) {
        StopGraphics();
        return NoClockWindowExitCode;
    }
    return RunMessageLoop();
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
    ReadSettingsAtStart();
    ShowClock();
}

void ShowClock() {
    AppGlobals& app = App();
    const HWND window = app.clockWindow->Handle();
    FollowInterfaceLanguage();
    if (app.settings.keepOnTop)
        SetTopmost(true);
    if (app.settings.memoryOptimization)
        SetWorkingSetTrimming(TrimmingPeriodSeconds);
    PlaceClockWindow();
    ShowClockFace(app.clock, window);
    if (app.settings.clickThrough)
        SetClickThrough(true);
    UpdateClockName();
    app.foregroundWatch = WatchForeground();
    app.clockWindow->ArmTick();
}

void OnClockWindowShown() {
    AppGlobals& app = App();
    if (app.tray || app.closing)
        return;
    app.tray = std::make_unique<TrayIcon>(InstanceName(app.settingsFilePath));
    UpdateClockName(); // the tip, before the icon is added
    UpdateTrayIcon();
    app.settingsFileWatch = std::make_unique<FileChangeWatch>(app.settingsFilePath, OnSettingsFileChanged);
    OnSettingsFileChanged(); // an edit made between the reading and the watch
    TellOfAFileNotRead();
}

void OnClockWindowDestroyed() {
    AppGlobals& app = App();
    ClockView& view = app.clock;
    // The box of a failed save runs a message loop: whatever arrives then
    // (Restart Manager's close, another end) must not close the clock twice.
    if (app.closing)
        return;
    app.closing = true;
    // No tick may draw on the closing window while the user is asked, and
    // neither the tray's menu nor the foreground hook may act meanwhile.
    app.clockWindow->StopTimers();
    app.foregroundWatch.reset();
    app.settingsFileWatch.reset();
    StopDesktopChecks();
    app.tray.reset(); // the icon goes with the clock
    SaveAtClose();
    ReleaseButtonLayers(view);
    view.textLayer.ReleaseCanvas();
    view.panelLayer.ReleaseCanvas();
    view.backdropLayer.ReleaseCanvas();
    view.clockCanvas.ReleaseCanvas();
    ReleaseFrameCaches(view);
    StopGraphics();
    PostQuitMessage(0);
}
