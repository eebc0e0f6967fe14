// Every action once, as the buttons, the keys and the settings window reach
// it through the program's listener.
#include "app/Actions.h"

#include "app/ClockMenu.h"
#include "app/DesktopWatch.h"
#include "app/Lifetime.h"
#include "app/ProgramEvents.h"
#include "app/SingleInstance.h"
#include "app/SystemIntegration.h"
#include "app/TrayIcon.h"
#include "framework/Services.h"
#include "settings/SettingsWindow.h"
#include "framework/TextConversion.h"
#include "support/ClockFaceFixture.h"
#include "support/ImportHook.h"
#include "support/TempDirectory.h"
#include "support/RunValue.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <vector>

namespace {

bool IsTopmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

class Actions : public ClockFaceFixture {
protected:
    void TearDown() override {
        CloseSettingsWindow();
        SetTopmost(false);
        ClockFaceFixture::TearDown();
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
    Settings().keepOnTop = "假";
    SetTopmost(false);
    ToggleKeepOnTop();
    EXPECT_EQ(Settings().keepOnTop, "真");
    EXPECT_TRUE(IsTopmost(Window()));
    ToggleKeepOnTop();
    EXPECT_EQ(Settings().keepOnTop, "假");
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
    Settings().keepOnTop = "假";
    ProgramEvents& events = Events();
    events.OnButtonPressed(ButtonId::LargerFont);
    EXPECT_EQ(Settings().fontSize, 85);
    events.OnButtonPressed(ButtonId::SmallerFont);
    events.OnButtonPressed(ButtonId::SmallerFont);
    EXPECT_EQ(Settings().fontSize, 75);
    events.OnButtonPressed(ButtonId::KeepOnTop);
    EXPECT_EQ(Settings().keepOnTop, "真");
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

TEST_F(Actions, RestoreDefaultsReturnsEveryFieldAndTheSystemFollows) {
    ClockSettings& s = Settings();
    ASSERT_TRUE(ApplyStartWithWindows(true));
    const std::string name = ExecutableFileName();
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, StartWithWindowsValuePath(), "x")); // the user's too
    s.startWithWindows = "假"; // a stale Run value must go even when the flag says off
    s.keepOnTop = "假";
    s.windowAlpha = 40;
    s.fontSize = -50;
    s.fontName = "Nowhere";
    s.restoreLastPosition = "假";
    SetClickThrough(true);
    s.showTrayIcon = "假";
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
    for (const SettingField& field : SettingFields) {
        if (field.kind == FieldKind::Number)
            EXPECT_EQ(s.*field.number, d.*field.number) << field.key;
        else
            EXPECT_EQ(s.*field.text, d.*field.text) << field.key;
    }
    EXPECT_EQ(s.restoreLastPosition, "真");
    EXPECT_EQ(App().clock.clockCanvas.GetAlpha(), 255);
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(ReadRunValue(name, HKEY_CURRENT_USER).has_value());
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT)
        << "clicks reach the clock again";
    EXPECT_EQ(s.clickThrough, "假");
    EXPECT_EQ(s.showTrayIcon, "真");
    EXPECT_EQ(App().clock.keepOnTopButton.state, ButtonState::Hover);
    EXPECT_FALSE(App().clockWindow->trimTimer.IsRunning());
    EXPECT_EQ(RedrawCount(), frames + 1);
    EXPECT_EQ(App().clock.timeText.timeText, "9:05:07") << "redrawn with a fresh time and seconds on";
    RECT after{};
    GetWindowRect(Window(), &after);
    EXPECT_EQ(after.left, before.left) << "the window is not moved";
    EXPECT_EQ(after.top, before.top);
}

std::string MenuText(HMENU menu, UINT id) {
    wchar_t text[64]{};
    GetMenuStringW(menu, id, text, 64, MF_BYCOMMAND);
    return WideToMultiByte(text, 936);
}

bool MenuChecked(HMENU menu, MenuCommandId id) {
    return (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

TEST_F(Actions, TheMenuShowsEveryCommandWithItsStateAndEachItemCallsItsAction) {
    Settings().keepOnTop = "假";
    SetTopmost(false);
    {
        const unique_hmenu menu = BuildClockMenu();
        const int count = GetMenuItemCount(menu.get());
        std::vector<std::string> texts;
        for (int at = 0; at < count; ++at) {
            wchar_t text[64]{};
            GetMenuStringW(menu.get(), static_cast<UINT>(at), text, 64, MF_BYPOSITION);
            texts.push_back(WideToMultiByte(text, 936));
        }
        const std::vector<std::string> expected{"设置…",    "窗口置顶", "鼠标穿透", "显示托盘图标",
                                                "隐藏时钟", "",         "退出"};
        EXPECT_EQ(texts, expected) << "a separator before the last item";
        EXPECT_FALSE(MenuChecked(menu.get(), MenuCommandId::KeepOnTop));
        EXPECT_FALSE(MenuChecked(menu.get(), MenuCommandId::ClickThrough));
        EXPECT_TRUE(MenuChecked(menu.get(), MenuCommandId::ShowTrayIcon));
    }

    const auto run = [](MenuCommandId id) { return RunMenuCommand(static_cast<UINT>(id)); };
    ASSERT_TRUE(run(MenuCommandId::KeepOnTop));
    EXPECT_EQ(Settings().keepOnTop, "真");
    EXPECT_TRUE(IsTopmost(Window()));
    ASSERT_TRUE(run(MenuCommandId::ClickThrough));
    EXPECT_EQ(Settings().clickThrough, "真");
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    ASSERT_TRUE(run(MenuCommandId::ShowTrayIcon));
    EXPECT_EQ(Settings().showTrayIcon, "假");
    ASSERT_TRUE(run(MenuCommandId::HideClock));
    EXPECT_FALSE(IsWindowVisible(Window()));
    {
        const unique_hmenu menu = BuildClockMenu();
        EXPECT_TRUE(MenuChecked(menu.get(), MenuCommandId::KeepOnTop));
        EXPECT_TRUE(MenuChecked(menu.get(), MenuCommandId::ClickThrough));
        EXPECT_FALSE(MenuChecked(menu.get(), MenuCommandId::ShowTrayIcon));
        EXPECT_EQ(MenuText(menu.get(), static_cast<UINT>(MenuCommandId::HideClock)), "显示时钟");
        EXPECT_FALSE(MenuChecked(menu.get(), MenuCommandId::HideClock)) << "its text tells, not a check";
    }
    ASSERT_TRUE(run(MenuCommandId::HideClock));
    EXPECT_TRUE(IsWindowVisible(Window()));
    ASSERT_TRUE(run(MenuCommandId::ClickThrough));
    EXPECT_FALSE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_FALSE(RunMenuCommand(0)) << "the menu closed with nothing chosen";
    ASSERT_TRUE(run(MenuCommandId::Settings));
    EXPECT_TRUE(SettingsWindowIsOpen());
    ASSERT_TRUE(run(MenuCommandId::Exit));
    EXPECT_FALSE(SettingsWindowIsOpen());
    EXPECT_FALSE(App().clockWindow->Exists());
}

TEST_F(Actions, ClickThroughHidesTheButtonsAndTheClockReportsNoMouse) {
    App().clock.hoverActive = true;
    SetClickThrough(true);
    EXPECT_FALSE(App().clock.hoverActive);
    ASSERT_TRUE(App().clock.windowHost.Subclass(Window(), ClockWindowProc));
    SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 60));
    SendMessageW(Window(), WM_LBUTTONDOWN, 0, MAKELPARAM(50, 60));
    EXPECT_FALSE(App().clock.hoverActive) << "no hover buttons";
    MSG message{};
    EXPECT_FALSE(PeekMessageW(&message, Window(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE))
        << "no drag";
    // Its field from the settings file, as the settings window would apply it.
    ApplyField(&ClockSettings::clickThrough, "假");
    EXPECT_FALSE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 60));
    EXPECT_TRUE(App().clock.hoverActive);
}

struct NotifyCall {
    DWORD message;
    UINT flags;
    UINT version;
    std::wstring tip;
};
std::vector<NotifyCall> notifyCalls;

BOOL WINAPI RecordNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    notifyCalls.push_back({message, data->uFlags, data->uVersion, data->szTip});
    return TRUE; // a notification area that accepts everything
}

std::vector<DWORD> NotifyMessages() {
    std::vector<DWORD> messages;
    for (const NotifyCall& call : notifyCalls)
        messages.push_back(call.message);
    notifyCalls.clear();
    return messages;
}

// Wine has no notification area: the calls are read where they leave the
// program.
TEST_F(Actions, TheTrayIconFollowsItsSettingIsForcedWhileTheClockIsOutOfReachAndComesBack) {
    ImportHook hook("shell32.dll", "Shell_NotifyIconW", reinterpret_cast<void*>(&RecordNotifyIcon));
    ASSERT_TRUE(hook.Installed());
    notifyCalls.clear();
    FixedTime().wYear = 2026;
    FixedTime().wMonth = 12;
    FixedTime().wDay = 7;
    App().tray = std::make_unique<TrayIcon>(L"TikoClock.tray-test");
    UpdateTrayIcon();
    UpdateClockName();
    ASSERT_EQ(notifyCalls.size(), 3u);
    EXPECT_EQ(notifyCalls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(notifyCalls[1].message, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_EQ(notifyCalls[1].version, static_cast<UINT>(NOTIFYICON_VERSION_4));
    EXPECT_EQ(notifyCalls[2].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(WideToMultiByte(notifyCalls[2].tip, 936), "9:05 2026年12月7日");
    wchar_t title[64]{};
    GetWindowTextW(Window(), title, 64);
    EXPECT_EQ(WideToMultiByte(title, 936), "9:05 2026年12月7日") << "what a screen reader reads";
    notifyCalls.clear();
    OnClockTick();
    EXPECT_TRUE(notifyCalls.empty()) << "the same minute changes nothing";
    SetFixedTime(9, 6, 0);
    OnClockTick();
    EXPECT_EQ(NotifyMessages(), std::vector<DWORD>{NIM_MODIFY});
    GetWindowTextW(Window(), title, 64);
    EXPECT_EQ(WideToMultiByte(title, 936), "9:06 2026年12月7日");

    ToggleTrayIcon();
    EXPECT_EQ(NotifyMessages(), std::vector<DWORD>{NIM_DELETE});
    // Each way out of reach brings the icon back, and it goes when that ends.
    SetClickThrough(true);
    EXPECT_EQ(NotifyMessages(), (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
    SetClickThrough(false);
    EXPECT_EQ(NotifyMessages(), std::vector<DWORD>{NIM_DELETE});
    ApplyField(&ClockSettings::windowAlpha, VisibleAlphaFloor - 1);
    EXPECT_EQ(NotifyMessages(), (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
    ApplyField(&ClockSettings::windowAlpha, VisibleAlphaFloor);
    EXPECT_EQ(NotifyMessages(), std::vector<DWORD>{NIM_DELETE});
    SetClockHidden(true);
    EXPECT_EQ(NotifyMessages(), (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));

    // A left click on the icon shows the clock again.
    const HWND tray = App().tray->Window();
    SendMessageW(tray, TrayCallbackMessage, 0, NIN_SELECT);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(NotifyMessages(), std::vector<DWORD>{NIM_DELETE});

    ToggleTrayIcon();
    NotifyMessages();
    // Explorer started again: the icon is added anew, and goes at the end.
    SendMessageW(tray, TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(NotifyMessages(), (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
    SendMessageW(tray, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(NotifyMessages(), std::vector<DWORD>{NIM_DELETE}) << "the session ends";
    SendMessageW(tray, TaskbarCreatedMessage(), 0, 0);
    NotifyMessages();
    App().tray.reset();
    EXPECT_EQ(NotifyMessages(), std::vector<DWORD>{NIM_DELETE}) << "the program ends";
}

// Wine does not report the foreground's changes to the hook: the handler
// is called as the hook would call it.
TEST_F(Actions, ShowDesktopBringsTheClockJustAboveTheDesktopWindowOnly) {
    SetKeepOnTop(false);
    ShowWindow(Window(), SW_SHOWNOACTIVATE);
    const auto makeWindow = [](const wchar_t* className) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass);
        const ScreenSize screen = PrimaryScreenSize();
        return unique_hwnd(CreateWindowExW(0, className, L"", WS_POPUP | WS_VISIBLE, 0, 0, screen.width,
                                           screen.height, nullptr, nullptr, GetModuleHandleW(nullptr),
                                           nullptr));
    };
    const auto isAbove = [](HWND upper, HWND lower) {
        for (HWND at = GetWindow(lower, GW_HWNDPREV); at; at = GetWindow(at, GW_HWNDPREV))
            if (at == upper)
                return true;
        return false;
    };

    const unique_hwnd ordinary = makeWindow(L"TikoOrdinaryTestWindow");
    SetForegroundWindow(ordinary.get());
    OnForegroundChanged(ordinary.get());
    EXPECT_TRUE(isAbove(ordinary.get(), Window())) << "an ordinary window covers the clock";

    const unique_hwnd desktop = makeWindow(L"WorkerW");
    SetForegroundWindow(desktop.get());
    ASSERT_TRUE(isAbove(desktop.get(), Window()));
    OnForegroundChanged(desktop.get());
    EXPECT_TRUE(isAbove(Window(), desktop.get()));
    EXPECT_EQ(GetWindow(Window(), GW_HWNDNEXT), desktop.get()) << "just above it";
    EXPECT_EQ(GetForegroundWindow(), desktop.get()) << "the clock takes no activation";
    EXPECT_FALSE(IsTopmost(Window()));

    SetClockHidden(true);
    const HWND below = GetWindow(Window(), GW_HWNDNEXT);
    OnForegroundChanged(desktop.get());
    EXPECT_FALSE(IsWindowVisible(Window())) << "a hidden clock stays hidden";
    EXPECT_EQ(GetWindow(Window(), GW_HWNDNEXT), below) << "and is not moved";
}

TEST(OneClockPerSettingsFile, TheNameIgnoresCaseAndTheWayThePathIsWrittenAndOneClaimHoldsIt) {
    TempDirectory first, second;
    const std::string path = first.File("配置.ini");
    std::string upper = path;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    const std::wstring name = InstanceName(path);
    EXPECT_EQ(InstanceName(upper), name);
    EXPECT_EQ(InstanceName(first.Path() + "\\.\\配置.ini"), name);
    EXPECT_NE(InstanceName(second.File("配置.ini")), name) << "a copy in another folder is another clock";

    unique_handle claim, again, other;
    ASSERT_TRUE(ClaimInstance(name, claim));
    EXPECT_FALSE(ClaimInstance(name, again));
    EXPECT_FALSE(again);
    EXPECT_TRUE(ClaimInstance(InstanceName(second.File("配置.ini")), other));
    claim.reset();
    EXPECT_TRUE(ClaimInstance(name, again)) << "free again once the clock ended";
}

} // namespace
