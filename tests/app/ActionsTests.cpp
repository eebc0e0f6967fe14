// Every action once, as the buttons, the keys and the settings window reach
// it through the program's listener.
#include "app/Actions.h"

#include "app/ClockMenu.h"
#include "app/DesktopWatch.h"
#include "app/FullScreen.h"
#include "app/ClockTick.h"
#include "app/Lifetime.h"
#include "app/ProgramEvents.h"
#include "app/SingleInstance.h"
#include "app/SystemIntegration.h"
#include "app/TrayIcon.h"
#include "clock/FaceInternal.h"
#include "clock/HoverButtons.h"
#include "config/SettingsLocation.h"
#include "framework/Services.h"
#include "settings/SettingsWindow.h"
#include "framework/StringTable.h"
#include "framework/TextConversion.h"
#include "support/ProgramFixture.h"
#include "support/ImportHook.h"
#include "support/TempDirectory.h"
#include "support/RunValue.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

bool IsTopmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// A change reaches the file about two seconds later: the save timer runs
// with that delay, whatever the code calls it.
bool SaveIsDueInAboutTwoSeconds() {
    const WindowTimer& timer = App().clockWindow->saveTimer;
    return timer.IsRunning() && timer.Interval() >= 1500 && timer.Interval() <= 2500;
}

class Actions : public ProgramFixture {
protected:
    void TearDown() override {
        CloseSettingsWindow();
        SetTopmost(false);
        ProgramFixture::TearDown();
    }
};

TEST_F(Actions, FontStepsByFiveWithoutBoundsKeepingTheOutlineAndRedrawsEachTime) {
    Settings().fontSize = 80;
    Settings().outlineWidth = 3;
    const std::uint64_t frames = RedrawCount();
    for (int i = 0; i < 10; ++i)
        StepFontSize(-FontStep);
    EXPECT_EQ(Settings().fontSize, 30);
    for (int i = 0; i < 16; ++i)
        StepFontSize(-FontStep);
    EXPECT_EQ(Settings().fontSize, -50);
    EXPECT_EQ(Settings().outlineWidth, 3);
    EXPECT_EQ(RedrawCount(), frames + 26);
    StepFontSize(FontStep);
    EXPECT_EQ(Settings().fontSize, -45);
    // The clock keeps running and drawing with such a size.
    RedrawClock(App().clock, true);
    EXPECT_TRUE(App().clockWindow->Exists());

    SetFontMetrics(-12, 9);
    EXPECT_EQ(Settings().fontSize, -12);
    EXPECT_EQ(Settings().outlineWidth, 9);
}

TEST_F(Actions, KeepOnTopSwitchesTheSettingAndTheTopmostStateEachWay) {
    Settings().keepOnTop = false;
    SetTopmost(false);
    ToggleKeepOnTop();
    EXPECT_TRUE(Settings().keepOnTop);
    EXPECT_TRUE(IsTopmost(Window()));
    ToggleKeepOnTop();
    EXPECT_FALSE(Settings().keepOnTop);
    EXPECT_FALSE(IsTopmost(Window()));
}

TEST_F(Actions, CloseClockStopsTheTimersClosesSettingsAndDestroysTheWindow) {
    ClockWindow& window = *App().clockWindow;
    window.tickTimer.SetInterval(1000);
    window.trimTimer.SetInterval(10000);
    OpenSettingsWindow();
    ASSERT_TRUE(SettingsWindowIsOpen());
    CloseClock();
    EXPECT_FALSE(SettingsWindowIsOpen());
    EXPECT_EQ(window.tickTimer.Interval(), 0u);
    EXPECT_EQ(window.trimTimer.Interval(), 0u);
    EXPECT_FALSE(window.Exists());
}

TEST_F(Actions, EachReportOfTheClockWindowReachesItsAction) {
    Settings().fontSize = 80;
    Settings().keepOnTop = false;
    ProgramEvents& events = Events();
    EXPECT_FALSE(App().clockWindow->saveTimer.IsRunning()) << "nothing to save yet";
    events.OnButtonPressed(ButtonId::LargerFont);
    EXPECT_EQ(Settings().fontSize, 85);
    EXPECT_TRUE(SaveIsDueInAboutTwoSeconds()) << "the file follows";
    events.OnButtonPressed(ButtonId::SmallerFont);
    events.OnButtonPressed(ButtonId::SmallerFont);
    EXPECT_EQ(Settings().fontSize, 75);
    events.OnButtonPressed(ButtonId::KeepOnTop);
    EXPECT_TRUE(Settings().keepOnTop);
    EXPECT_TRUE(IsTopmost(Window()));
    events.OnButtonPressed(ButtonId::Settings);
    EXPECT_TRUE(SettingsWindowIsOpen());
    // The settings window reports to the same listener.
    static_cast<SettingsWindowListener&>(events).OnFieldChanged(&ClockSettings::outlineWidth, 7);
    EXPECT_EQ(Settings().outlineWidth, 7);
    events.OnEscape();
    EXPECT_FALSE(SettingsWindowIsOpen());
    EXPECT_FALSE(App().clockWindow->Exists());
}

// Each frame sent to the screen: the larger-font button's look and the
// font size the time was drawn at.
std::vector<std::pair<ButtonState, float>> presentedFrames;
ImportHook* presentHook = nullptr;
BOOL WINAPI RecordPresent(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    presentedFrames.emplace_back(HoverButtonFor(App().clock, ButtonId::LargerFont).state,
                                 App().clock.faceCache->text ? App().clock.faceCache->text->emSize : 0.0f);
    return presentHook->Original<decltype(&UpdateLayeredWindowIndirect)>()(window, info);
}

// A font button's press shows the new size under the pressed image, before
// the button lights again.
TEST_F(Actions, AFontButtonsPressShowsThePressedImageOverTheNewSize) {
    ImportHook hook("user32.dll", "UpdateLayeredWindowIndirect", reinterpret_cast<void*>(&RecordPresent));
    ASSERT_TRUE(hook.Installed());
    presentHook = &hook;
    Settings().fontSize = 80;
    SetupButtons(App().clock);
    App().clock.hoverActive = true;
    UpdateButtonHover(App().clock, 337, 130);
    presentedFrames.clear();
    HandleButtonPress(App().clock, Events(), 337, 130);
    EXPECT_EQ(Settings().fontSize, 85);
    const std::pair<ButtonState, float> pressedAtNewSize{ButtonState::Pressed, 85.0f};
    EXPECT_NE(std::ranges::find(presentedFrames, pressedAtNewSize), presentedFrames.end());
    ASSERT_FALSE(presentedFrames.empty());
    EXPECT_EQ(presentedFrames.back(), (std::pair<ButtonState, float>{ButtonState::Hover, 85.0f}));
}

// The window's report of the end of a drag (the move loop's end) saves the
// new place two seconds later.
TEST_F(Actions, TheEndOfADragSavesThePlaceSoon) {
    ASSERT_FALSE(App().clockWindow->saveTimer.IsRunning());
    SendMessageW(Window(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_TRUE(SaveIsDueInAboutTwoSeconds());
}

TEST_F(Actions, RestoreDefaultsReturnsEveryFieldAndTheSystemFollows) {
    ClockSettings& s = Settings();
    ASSERT_TRUE(ApplyStartWithWindows(true));
    const std::wstring name = OwnRunValueName();
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, StartWithWindowsValuePath(), L"x")); // the user's too
    s.startWithWindows = false; // a stale Run value must go even when the flag says off
    s.keepOnTop = false;
    s.windowAlpha = 40;
    s.fontSize = -50;
    s.fontName = "Nowhere";
    s.restoreLastPosition = false;
    SetClickThrough(true);
    s.showTrayIcon = false;
    s.showDate = true;
    FitClockToSecondLine(App().clock);
    ASSERT_EQ(App().clock.clockCanvas.GetHeight(), 190);
    App().clock.clockCanvas.SetAlpha(40);
    SetTopmost(false);
    App().clock.keepOnTopButton.state = ButtonState::Normal;
    SetWorkingSetTrimming(10);
    const RECT before = [&] {
        RECT r{};
        GetWindowRect(Window(), &r);
        return r;
    }();
    const auto frames = RedrawCount();

    RestoreDefaultSettings();

    const ClockSettings d = DefaultSettings();
    for (const SettingField& field : SettingFields)
        EXPECT_EQ(FieldText(s, field), FieldText(d, field)) << field.key;
    EXPECT_TRUE(s.restoreLastPosition);
    EXPECT_EQ(App().clock.clockCanvas.GetAlpha(), 255);
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(ReadRunValue(name, HKEY_CURRENT_USER).has_value());
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT)
        << "clicks reach the clock again";
    EXPECT_FALSE(s.clickThrough);
    EXPECT_TRUE(s.showTrayIcon);
    EXPECT_EQ(App().clock.keepOnTopButton.state, ButtonState::Hover);
    EXPECT_FALSE(App().clockWindow->trimTimer.IsRunning());
    EXPECT_EQ(RedrawCount(), frames + 1);
    EXPECT_EQ(App().clock.timeText.timeText, L"9:05:07") << "redrawn with a fresh time and seconds on";
    RECT after{};
    GetWindowRect(Window(), &after);
    EXPECT_EQ(after.left, before.left) << "the window is not moved";
    EXPECT_EQ(after.bottom - after.top, 150) << "the date line's band is gone";
    EXPECT_EQ(App().clock.clockCanvas.GetHeight(), 150);
    EXPECT_EQ(after.top, before.top);
}

// "--settings" naming the default file in another spelling is the default
// clock: no Run value or restart arguments of its own.
TEST_F(Actions, TheDefaultFileNamedAnotherWayIsTheDefaultClock) {
    const auto choose = [](const std::wstring& name) {
        ProgramArguments arguments;
        arguments.settingsFile = name;
        ChooseClockFile(arguments);
    };
    choose(L"");
    const std::wstring defaultFile = App().settingsFilePath;
    std::wstring upper = defaultFile;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    ASSERT_NE(upper, defaultFile);
    for (const std::wstring& name :
         {upper, DirectoryPart(defaultFile) + L"\\.\\" + FileNamePart(defaultFile)}) {
        choose(name);
        EXPECT_EQ(App().ownSettingsFile, L"");
        EXPECT_EQ(ClockArguments(), L"");
    }
    choose(L"东京.ini");
    EXPECT_NE(App().ownSettingsFile, L"") << "another file is a clock of its own";
    EXPECT_NE(ClockArguments(), L"");
}

// A portable copy in a folder only an administrator may write: run as
// administrator it keeps its settings beside itself, run as its user in
// %APPDATA%. Still one clock; a clock on a file of its own is another.
TEST_F(Actions, ACopysDefaultClockIsOneWhicheverFileItKeeps) {
    AppGlobals& app = App();
    app.ownSettingsFile.clear();
    app.settingsFilePath = PerUserSettingsFile();
    ASSERT_FALSE(AnotherClockHasTheFile());
    // The first clock runs on, holding its claims.
    const unique_handle first = std::move(app.instanceClaim), copy = std::move(app.copyClaim);
    const unique_handle identity = std::move(app.identityClaim);
    app.identityClaimed.clear();
    app.settingsFilePath = SettingsFileBesideProgram();
    EXPECT_TRUE(AnotherClockHasTheFile());
    TempDirectory folder;
    app.settingsFilePath = app.ownSettingsFile = folder.WideFile("东京.ini");
    EXPECT_FALSE(AnotherClockHasTheFile());
}

LANGID displayLanguage = 0;
LANGID WINAPI DisplayLanguage() {
    return displayLanguage;
}
LANGID WINAPI ChineseRegionalFormat() {
    return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
}

// "自动" follows the display language, not the regional format: an English
// Windows with a Chinese format shows English texts, and the other way round.
TEST_F(Actions, AutomaticTextsFollowTheDisplayLanguageNotTheRegionalFormat) {
    const ImportHook display("kernel32.dll", "GetUserDefaultUILanguage",
                             reinterpret_cast<void*>(&DisplayLanguage));
    ASSERT_TRUE(display.Installed());
    // Where the program reads the format's language too, it says Chinese.
    const ImportHook format("kernel32.dll", "GetUserDefaultLangID",
                            reinterpret_cast<void*>(&ChineseRegionalFormat));
    Settings().interfaceLanguage = "自动";
    for (const LANGID shown : {EnglishTexts, ChineseTexts}) {
        displayLanguage = shown;
        FollowInterfaceLanguage();
        EXPECT_EQ(TextLanguage(), shown);
    }
}

// Each item as the user sees it: its text, and " *" when it is checked.
std::vector<std::string> MenuAsShown() {
    const unique_hmenu menu = BuildClockMenu();
    std::vector<std::string> items;
    for (UINT at = 0; at < static_cast<UINT>(GetMenuItemCount(menu.get())); ++at) {
        wchar_t text[64]{};
        GetMenuStringW(menu.get(), at, text, 64, MF_BYPOSITION);
        const bool checked = GetMenuState(menu.get(), at, MF_BYPOSITION) & MF_CHECKED;
        items.push_back(WideToMultiByte(text, GbkCodePage) + (checked ? " *" : ""));
    }
    return items;
}

TEST_F(Actions, TheMenuShowsEveryCommandWithItsStateAndEachItemCallsItsAction) {
    Settings().keepOnTop = false;
    SetTopmost(false);
    using Items = std::vector<std::string>;
    EXPECT_EQ(MenuAsShown(), (Items{"设置(&S)…", "新建时钟(&N)…", "窗口置顶(&T)", "鼠标穿透(&C)",
                                    "显示托盘图标(&I) *", "全屏时隐藏(&F)", "隐藏时钟(&H)", "", "退出(&X)"}));

    // A command that changes a setting of the file saves it two seconds
    // later, whoever sends it; hiding the clock is not kept.
    WindowTimer& save = App().clockWindow->saveTimer;
    for (const CommandId id : {CommandId::KeepOnTop, CommandId::ClickThrough, CommandId::ShowTrayIcon,
                               CommandId::LargerFont, CommandId::HideForFullScreen, CommandId::HideClock}) {
        save.SetInterval(0);
        ASSERT_TRUE(RunCommand(id));
        EXPECT_EQ(SaveIsDueInAboutTwoSeconds(), id != CommandId::HideClock) << static_cast<UINT>(id);
    }
    EXPECT_EQ(MenuAsShown(), (Items{"设置(&S)…", "新建时钟(&N)…", "窗口置顶(&T) *", "鼠标穿透(&C) *",
                                    "显示托盘图标(&I)", "全屏时隐藏(&F) *", "显示时钟(&H)", "", "退出(&X)"}));
    EXPECT_TRUE(IsTopmost(Window()));
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_FALSE(IsWindowVisible(Window()));

    ASSERT_TRUE(RunCommand(CommandId::HideClock));
    ASSERT_TRUE(RunCommand(CommandId::ClickThrough));
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_FALSE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_FALSE(RunCommand(CommandId::None)) << "the menu closed with nothing chosen";
    ASSERT_TRUE(RunCommand(CommandId::OpenSettings));
    EXPECT_TRUE(SettingsWindowIsOpen());
    ASSERT_TRUE(RunCommand(CommandId::Exit));
    EXPECT_FALSE(SettingsWindowIsOpen());
    EXPECT_FALSE(App().clockWindow->Exists());
}

// A window over the whole monitor in front hides a clock kept out of the way
// of full-screen programs, and its end shows it again where it was; a window
// that leaves a taskbar's room, or the switch off, changes nothing.
TEST_F(Actions, AFullScreenWindowInFrontHidesTheClockUntilItGoes) {
    const RECT monitor{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(CoversMonitor({-8, -8, monitor.right + 8, monitor.bottom + 8}, monitor));
    EXPECT_FALSE(CoversMonitor({1920, 0, 3840, 1080}, {0, 0, 1920, 1080})) << "another monitor";
    const auto inFront = [](const RECT& rect) {
        const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                                            rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                            nullptr, nullptr);
        SetForegroundWindow(window);
        return window;
    };
    Settings().showSeconds = false; // a tick a minute but for the switch
    ShowWindow(Window(), SW_SHOWNOACTIVATE);
    RECT place{};
    GetWindowRect(Window(), &place);
    const HWND maximised = inFront({0, 0, monitor.right, monitor.bottom - 40});
    ApplyField(&ClockSettings::hideForFullScreen, true);
    EXPECT_LT(App().clockWindow->tickTimer.Interval(), 2000u) << "watched every second";
    OnClockTick();
    EXPECT_TRUE(IsWindowVisible(Window())) << "a taskbar's room is left";

    const HWND fullScreen = inFront(monitor);
    ASSERT_EQ(GetForegroundWindow(), fullScreen);
    OnClockTick();
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_FALSE(ClockIsHidden()) << "not hidden from the menu";
    DestroyWindow(fullScreen);
    SetForegroundWindow(maximised);
    OnClockTick();
    RECT back{};
    GetWindowRect(Window(), &back);
    EXPECT_TRUE(IsWindowVisible(Window()) && EqualRect(&back, &place));

    // A framed window maximized (its invisible borders past the monitor) and
    // a popup of the monitor's size beside it are not a full screen here.
    const unique_hwnd framed(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                             nullptr, nullptr, nullptr));
    ShowWindow(framed.get(), SW_MAXIMIZE);
    SetForegroundWindow(framed.get());
    RECT outer{};
    GetWindowRect(framed.get(), &outer);
    EXPECT_TRUE(CoversMonitor(outer, monitor)) << "its frame reaches past the monitor";
    EXPECT_FALSE(FullScreenProgramInFront(Window()));
    const HWND beside = inFront({monitor.right, 0, 2 * monitor.right, monitor.bottom});
    EXPECT_FALSE(FullScreenProgramInFront(Window()));
    DestroyWindow(beside);
    const HWND popup = inFront(monitor);
    EXPECT_TRUE(FullScreenProgramInFront(Window()));
    DestroyWindow(popup);

    // Hidden from the menu meanwhile: the end of the full screen leaves it so.
    const HWND again = inFront(monitor);
    OnClockTick();
    SetClockHidden(true);
    DestroyWindow(again);
    SetForegroundWindow(maximised);
    OnClockTick();
    EXPECT_FALSE(IsWindowVisible(Window())) << "the user hid it";
    SetClockHidden(false);

    // Switched off while hidden: shown at once, and a full screen no longer hides it.
    SetForegroundWindow(inFront(monitor));
    OnClockTick();
    ASSERT_FALSE(IsWindowVisible(Window()));
    ApplyField(&ClockSettings::hideForFullScreen, false);
    EXPECT_TRUE(IsWindowVisible(Window()));
    OnClockTick();
    EXPECT_TRUE(IsWindowVisible(Window()));
    DestroyWindow(GetForegroundWindow());
    DestroyWindow(maximised);
}

std::vector<DWORD> notifyCalls;
std::wstring notifyTip;

BOOL WINAPI RecordNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    notifyCalls.push_back(message);
    if (message == NIM_SETVERSION && data->uVersion != NOTIFYICON_VERSION_4)
        ADD_FAILURE() << "version " << data->uVersion;
    notifyTip = data->szTip;
    return TRUE; // a notification area that accepts everything
}

std::vector<DWORD> NotifyMessages() {
    return std::exchange(notifyCalls, {});
}

// Wine has no notification area: the calls are read where they leave the
// program.
TEST_F(Actions, TheTrayIconFollowsItsSettingIsForcedWhileTheClockIsOutOfReachAndComesBack) {
    ImportHook hook("shell32.dll", "Shell_NotifyIconW", reinterpret_cast<void*>(&RecordNotifyIcon));
    ASSERT_TRUE(hook.Installed());
    FixedTime().wYear = 2026;
    FixedTime().wMonth = 12;
    FixedTime().wDay = 7;
    App().tray = std::make_unique<TrayIcon>(L"TikoClock.tray-test");
    UpdateTrayIcon();
    UpdateClockName();
    EXPECT_EQ(NotifyMessages(), (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION, NIM_MODIFY}));
    EXPECT_EQ(WideToMultiByte(notifyTip, GbkCodePage), "9:05 2026年12月7日");
    wchar_t title[64]{};
    GetWindowTextW(Window(), title, 64);
    EXPECT_EQ(WideToMultiByte(title, GbkCodePage), "9:05 2026年12月7日") << "what a screen reader reads";
    OnClockTick();
    EXPECT_TRUE(NotifyMessages().empty()) << "the same minute changes nothing";
    SetFixedTime(9, 6, 0);
    OnClockTick();
    EXPECT_EQ(NotifyMessages(), std::vector<DWORD>{NIM_MODIFY}) << "a new minute";
    GetWindowTextW(Window(), title, 64);
    EXPECT_EQ(WideToMultiByte(title, GbkCodePage), "9:06 2026年12月7日");
    // The zone's label follows at once, within the minute; the time is the
    // zone's, and a zone the machine does not know marks the label.
    const auto tip = [] { return WideToMultiByte(notifyTip, GbkCodePage); };
    ApplyField(&ClockSettings::zoneLabel, std::string("东京"));
    EXPECT_EQ(tip(), "9:06 2026年12月7日 东京");
    SYSTEMTIME utc{};
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &FixedTime(), &utc));
    const SYSTEMTIME tokyo = SecondsLater(utc, 9 * 3600).value(); // UTC+9 all year
    ApplyField(&ClockSettings::timeZone, std::string("Tokyo Standard Time"));
    EXPECT_EQ(tip(), ClockName(tokyo, "东京"));
    ApplyField(&ClockSettings::timeZone, std::string("Mars Standard Time"));
    EXPECT_EQ(tip(), "9:06 2026年12月7日 东京（本地时间）");
    ApplyField(&ClockSettings::timeZone, std::string());
    ApplyField(&ClockSettings::zoneLabel, std::string());
    EXPECT_EQ(tip(), "9:06 2026年12月7日");
    NotifyMessages();

    using Calls = std::vector<DWORD>;
    const Calls added{NIM_ADD, NIM_SETVERSION}, removed{NIM_DELETE};
    ToggleTrayIcon();
    EXPECT_EQ(NotifyMessages(), removed);
    // Each way out of reach brings the icon back, and it goes when that ends.
    const std::pair<void (*)(), void (*)()> outOfReach[] = {
        {[] { SetClickThrough(true); }, [] { SetClickThrough(false); }},
        {[] { ApplyField(&ClockSettings::windowAlpha, VisibleAlphaFloor - 1); },
         [] { ApplyField(&ClockSettings::windowAlpha, VisibleAlphaFloor); }},
        // A left click on the icon shows the hidden clock.
        {[] { SetClockHidden(true); },
         [] { SendMessageW(App().tray->Window(), TrayCallbackMessage, 0, NIN_SELECT); }},
    };
    for (const auto& [enter, leave] : outOfReach) {
        enter();
        EXPECT_EQ(NotifyMessages(), added);
        leave();
        EXPECT_EQ(NotifyMessages(), removed);
    }
    EXPECT_TRUE(IsWindowVisible(Window()));

    const HWND tray = App().tray->Window();
    ToggleTrayIcon();
    NotifyMessages();
    // Explorer started again: the icon is added anew, and goes at the end.
    SendMessageW(tray, TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(NotifyMessages(), added);
    // Another scale: the icon is loaded again at its size and shown anew.
    SendMessageW(tray, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
    EXPECT_EQ(NotifyMessages(), std::vector<DWORD>{NIM_MODIFY});
    SendMessageW(tray, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(NotifyMessages(), removed) << "the session ends";
    SendMessageW(tray, TaskbarCreatedMessage(), 0, 0);
    NotifyMessages();
    App().tray.reset();
    EXPECT_EQ(NotifyMessages(), removed) << "the program ends";
}

// At start-up the icon is made while the window is not shown yet: the
// setting holds from the first frame.
TEST_F(Actions, TheTrayIconFollowsItsSettingWhileTheWindowIsNotShownYet) {
    ImportHook hook("shell32.dll", "Shell_NotifyIconW", reinterpret_cast<void*>(&RecordNotifyIcon));
    ASSERT_TRUE(hook.Installed());
    ShowWindow(Window(), SW_HIDE);
    Settings().showTrayIcon = false;
    App().tray = std::make_unique<TrayIcon>(L"TikoClock.tray-test");
    UpdateTrayIcon();
    EXPECT_TRUE(NotifyMessages().empty());
    App().tray.reset();
    NotifyMessages();
}

// Wine does not report the foreground's changes to the hook, nor has it a
// "show desktop": the handler is called as the hook would call it, and a
// "WorkerW" window of this test raised to the top stands for the desktop
// that show desktop raises.
ImportHook* placementHook = nullptr;
std::vector<HWND> placedAfter; // where the clock was put in the window order
BOOL WINAPI RecordPlacement(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags) {
    if (window == App().clockWindow->Handle() && !(flags & SWP_NOZORDER))
        placedAfter.push_back(after);
    return placementHook->Original<decltype(&SetWindowPos)>()(window, after, x, y, cx, cy, flags);
}

TEST_F(Actions, ShowDesktopPutsTheClockInTheTopmostBandUntilAnotherWindowComesToTheFront) {
    SetKeepOnTop(false);
    ShowWindow(Window(), SW_SHOWNOACTIVATE);
    WNDCLASSW desktopClass{};
    desktopClass.lpfnWndProc = DefWindowProcW;
    desktopClass.lpszClassName = L"WorkerW";
    RegisterClassW(&desktopClass);
    const auto fullScreen = [screen = PrimaryScreenSize()](const wchar_t* className) {
        return unique_hwnd(CreateWindowExW(0, className, L"", WS_POPUP | WS_VISIBLE, 0, 0, screen.width,
                                           screen.height, nullptr, nullptr, nullptr, nullptr));
    };
    const auto isAbove = [](HWND upper, HWND lower) {
        for (HWND at = GetWindow(lower, GW_HWNDPREV); at; at = GetWindow(at, GW_HWNDPREV))
            if (at == upper)
                return true;
        return false;
    };
    const auto windowBelow = [](HWND window) { return GetWindow(window, GW_HWNDNEXT); };

    // A click on the desktop: it takes the foreground at the bottom.
    const unique_hwnd desktop = fullScreen(L"WorkerW");
    const unique_hwnd ordinary = fullScreen(L"STATIC");
    SetWindowPos(desktop.get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetForegroundWindow(ordinary.get());
    ASSERT_TRUE(isAbove(ordinary.get(), Window()));
    const HWND clockBelow = windowBelow(Window());
    OnForegroundChanged(desktop.get());
    for (int check = 0; check < DesktopCheckCount; ++check)
        EXPECT_FALSE(CheckRaisedDesktop()) << "a desktop at the bottom is not shown by show desktop";
    EXPECT_EQ(windowBelow(Window()), clockBelow) << "the clock moved";
    EXPECT_FALSE(IsTopmost(Window()));

    // Show desktop: the desktop window rises over the ordinary ones, after
    // the foreground event.
    OnForegroundChanged(desktop.get());
    SetWindowPos(desktop.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(DesktopIsRaised(desktop.get(), Window()));
    EXPECT_TRUE(CheckRaisedDesktop());
    EXPECT_TRUE(IsTopmost(Window()));
    EXPECT_TRUE(isAbove(Window(), desktop.get()));
    EXPECT_NE(GetForegroundWindow(), Window()) << "the clock takes no activation";
    EXPECT_FALSE(Settings().keepOnTop) << "the setting stays as it was";

    // The user turns to a window: the clock leaves the band, just below it.
    SetForegroundWindow(ordinary.get());
    OnForegroundChanged(ordinary.get());
    EXPECT_FALSE(IsTopmost(Window()));
    EXPECT_EQ(GetWindow(Window(), GW_HWNDPREV), ordinary.get());

    // Show desktop again, then a window kept on top comes to the front (Task
    // Manager, a picture-in-picture player): the clock leaves the band all
    // the same, and an ordinary window after it changes nothing.
    OnForegroundChanged(desktop.get());
    SetWindowPos(desktop.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(CheckRaisedDesktop());
    const unique_hwnd kept(CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                           100, nullptr, nullptr, nullptr, nullptr));
    SetForegroundWindow(kept.get());
    {
        // Wine does not make a window inserted below a topmost one topmost,
        // as Windows does: the rule is checked in the calls.
        ImportHook hook("user32.dll", "SetWindowPos", reinterpret_cast<void*>(&RecordPlacement));
        ASSERT_TRUE(hook.Installed());
        placementHook = &hook;
        placedAfter.clear();
        OnForegroundChanged(kept.get());
    }
    for (const HWND after : placedAfter)
        EXPECT_TRUE(after != HWND_TOPMOST && (after == HWND_NOTOPMOST || !IsTopmost(after)))
            << "placed in the topmost band";
    EXPECT_FALSE(IsTopmost(Window()));
    SetForegroundWindow(ordinary.get());
    OnForegroundChanged(ordinary.get());
    EXPECT_FALSE(IsTopmost(Window()));

    // A hidden clock and a clock kept on top are left as they are.
    SetClockHidden(true);
    OnForegroundChanged(desktop.get());
    EXPECT_FALSE(CheckRaisedDesktop());
    EXPECT_FALSE(IsWindowVisible(Window())) << "a hidden clock stays hidden";
    SetClockHidden(false);
    SetKeepOnTop(true);
    OnForegroundChanged(desktop.get());
    OnForegroundChanged(ordinary.get());
    EXPECT_TRUE(IsTopmost(Window())) << "keep on top is the user's";
    StopDesktopChecks();
}

// "Progman" holds the desktop icons until "show desktop" or a wallpaper
// slide show moves them to a "WorkerW": either is the desktop.
TEST(ShellDesktop, WindowsOfTheDesktopsTwoClassesAreTheDesktop) {
    for (const wchar_t* name : {L"WorkerW", L"Progman", L"TikoNotTheDesktop"}) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass); // may exist from another test
        const unique_hwnd window(
            CreateWindowExW(0, name, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(window);
        EXPECT_EQ(IsShellDesktopWindow(window.get()), std::wstring_view(name) != L"TikoNotTheDesktop")
            << WideToMultiByte(name, GbkCodePage);
    }
    EXPECT_FALSE(IsShellDesktopWindow(nullptr));
}

TEST(OneClockPerSettingsFile, TheNameIgnoresCaseAndTheWayThePathIsWrittenAndOneClaimHoldsIt) {
    TempDirectory first, second;
    const std::string path = first.File("配置.ini");
    std::string upper = path;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    const std::wstring name = InstanceName(AnsiToWide(path));
    EXPECT_EQ(InstanceName(AnsiToWide(upper)), name);
    EXPECT_EQ(InstanceName(AnsiToWide(first.Path() + "\\.\\配置.ini")), name);
    EXPECT_NE(InstanceName(second.WideFile("配置.ini")), name) << "a copy in another folder is another clock";
    // The folder's 8.3 name is the same folder.
    wchar_t shortFolder[MAX_PATH]{};
    const std::wstring longFolder = AnsiToWide(first.Path() + "\\A Folder With A Long Name");
    ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr));
    ASSERT_GT(GetShortPathNameW(longFolder.c_str(), shortFolder, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortFolder), longFolder);
    EXPECT_EQ(InstanceName(std::wstring(shortFolder) + L"\\配置.ini"),
              InstanceName(longFolder + L"\\配置.ini"));
    RemoveDirectoryW(longFolder.c_str());

    // A hard link is the same file: the same identity, while no save has
    // made a new one.
    WriteFileBytes(path, "[时钟]\r\n");
    const std::wstring link = second.WideFile("链接.ini");
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), AnsiToWide(path).c_str(), nullptr));
    EXPECT_FALSE(IdentityInstanceName(link).empty());
    EXPECT_EQ(IdentityInstanceName(link), IdentityInstanceName(AnsiToWide(path)));
    WriteFileBytes(second.File("配置.ini"), "[时钟]\r\n");
    EXPECT_NE(IdentityInstanceName(second.WideFile("配置.ini")), IdentityInstanceName(link)) << "a copy";
    EXPECT_EQ(IdentityInstanceName(first.WideFile("无此文件.ini")), L"") << "no file, no identity";

    unique_handle claim, again;
    ASSERT_TRUE(ClaimInstance(name, claim));
    EXPECT_FALSE(ClaimInstance(name, again));
    claim.reset();
    EXPECT_TRUE(ClaimInstance(name, again)) << "free again once the clock ended";
}

// Ten new clocks from one, each placed with the ones before taken: all on
// the work area, the first beside the clock over nothing, the rest cascaded
// with no two at one corner.
TEST(NewClockPlace, TenInARowEachWhereNoOtherClockStands) {
    const RECT work{0, 0, 1920, 1040};
    const SIZE size{380, 150};
    constexpr int Gap = 10, Step = 23;
    const struct {
        RECT clock;
        std::size_t beside; // sides with room
        POINT first;        // right of it where there is room, as before
    } cases[] = {{{770, 445, 1150, 595}, 4, {1160, 445}},
                 {{1540, 0, 1920, 150}, 2, {1150, 0}},
                 {{0, 890, 380, 1040}, 2, {390, 890}}};
    for (const auto& c : cases) {
        std::vector<RECT> taken;
        for (std::size_t made = 0; made < 10; ++made) {
            SCOPED_TRACE(testing::Message()
                         << "clock at " << c.clock.left << "," << c.clock.top << ", new #" << made + 1);
            const POINT place = PlaceNewClock(c.clock, size, {&work, 1}, taken, Gap, Step);
            const RECT placed{place.x, place.y, place.x + size.cx, place.y + size.cy};
            EXPECT_TRUE(placed.left >= work.left && placed.top >= work.top && placed.right <= work.right &&
                        placed.bottom <= work.bottom);
            // Beside, over no clock; cascaded, at no other clock's corner.
            RECT overlap{};
            if (made < c.beside) {
                EXPECT_FALSE(IntersectRect(&overlap, &placed, &c.clock));
            }
            for (const RECT& other : taken) {
                const bool nearCorner =
                    std::abs(other.left - place.x) < Step && std::abs(other.top - place.y) < Step;
                EXPECT_FALSE(made < c.beside ? IntersectRect(&overlap, &placed, &other) != FALSE
                                             : nearCorner);
            }
            taken.push_back(placed);
        }
        EXPECT_EQ(taken.front().left, c.first.x);
        EXPECT_EQ(taken.front().top, c.first.y);
    }
}

} // namespace
