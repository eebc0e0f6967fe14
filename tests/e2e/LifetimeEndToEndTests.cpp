// The real program, started and ended as a user would.
#include "support/ClockProcess.h"
#include "support/ClockScreen.h"
#include "support/Desktop.h"
#include "support/ImportHook.h" // RunningUnderWine
#include "support/RunValue.h"

#include "app/ClockTick.h"
#include "clock/TimeText.h"
#include "framework/TextConversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

int CountKeys(const std::string& bytes) {
    int keys = 0;
    for (std::size_t at = bytes.find('='); at != std::string::npos; at = bytes.find('=', at + 1))
        ++keys;
    return keys;
}

bool FocusAndPressEscape(ClockProcess& clock) {
    if (!desktop::GiveKeyboardTo(clock.Window()))
        return false;
    desktop::PressKey(VK_ESCAPE);
    return true;
}

TEST(ProgramLifetime, FirstStartWritesTheCentredPositionAndEscapeSavesAllKeys) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());

    const auto firstFile = clock.ReadIniBytes();
    ASSERT_TRUE(firstFile.has_value());
    EXPECT_NE(firstFile->find("恢复上次关闭时的位置=真|770|465"), std::string::npos);
    EXPECT_EQ(firstFile->find("显示秒数"), std::string::npos);
    EXPECT_EQ(CountKeys(*firstFile), 18);

    const RECT rect = clock.WindowRect();
    EXPECT_EQ(rect.right - rect.left, 380);
    EXPECT_EQ(rect.bottom - rect.top, 150);

    ASSERT_TRUE(FocusAndPressEscape(clock)) << "the clock did not take the keyboard";
    const auto exitCode = clock.WaitForExit(20s);
    ASSERT_TRUE(exitCode.has_value()) << "Esc did not end the clock";
    EXPECT_EQ(*exitCode, 0u);

    const auto savedFile = clock.ReadIniBytes();
    ASSERT_TRUE(savedFile.has_value());
    EXPECT_EQ(CountKeys(*savedFile), 28);
    EXPECT_NE(savedFile->find("显示秒数=真"), std::string::npos);
}

TEST(ProgramLifetime, EndOfTheWindowsSessionSavesThePlaceAndTheSettings) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    const RECT start = clock.WindowRect();
    const auto followed = [&] {
        const RECT now = clock.WindowRect();
        return now.left == start.left + 100 && now.top == start.top + 50;
    };
    desktop::Drag(start.left + 40, start.top + 75, start.left + 140, start.top + 125, followed);
    // The move loop follows the drag move by move: the place to find in the
    // file is the one after the last move, not the first that differs.
    ASSERT_TRUE(desktop::WaitUntil(followed, 5s))
        << "the clock did not follow the drag: it is at " << clock.WindowRect().left << ", "
        << clock.WindowRect().top;
    const RECT moved = clock.WindowRect();
    const auto topmost = [&] { return (GetWindowLongW(clock.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(topmost());
    // Keep on top, switched off with its button.
    ASSERT_TRUE(clock_screen::ClickHoverButton(clock, {316, 18}, {306, 8, 326, 28}));
    ASSERT_TRUE(desktop::WaitUntil([&] { return !topmost(); }, 5s));

    // Wine's end of the session: every window is asked and told
    // (WM_QUERYENDSESSION, WM_ENDSESSION), then its process is ended.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION wineboot{};
    std::string commandLine = "wineboot.exe --end-session --shutdown";
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &wineboot))
        GTEST_SKIP() << "no wineboot.exe here to end the session with";
    CloseHandle(wineboot.hThread);
    CloseHandle(wineboot.hProcess);
    ASSERT_TRUE(clock.WaitForExit(60s).has_value()) << "the end of the session did not end the clock";
    const std::string saved = clock.ReadIniBytes().value_or("");
    EXPECT_EQ(CountKeys(saved), 28) << saved;
    EXPECT_NE(saved.find("窗口置顶=假"), std::string::npos) << saved;
    const std::string place = std::to_string(moved.left) + "|" + std::to_string(moved.top);
    EXPECT_NE(saved.find("恢复上次关闭时的位置=真|" + place), std::string::npos) << saved;
}

// The planted DLL (planted_dll.dll, built beside this test program) ends a
// process that loads it with 42 and leaves "NAME.ran" beside itself.
std::string PlantedDllPath() {
    char path[MAX_PATH]{};
    const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return self.substr(0, self.find_last_of('\\') + 1) + "planted_dll.dll";
}

// Windows looks beside the program first for a DLL that is not a known DLL;
// Wine does only when the environment it started with says so, as the
// CTest test e2e_planted_dlls does.
TEST(PlantedDlls, NoneRunsAndTheClockStartsDrawsAndEndsWithZero) {
    char overrides[1024]{};
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    if (RunningUnderWine() && std::string(overrides).find("gdiplus,msimg32=n,b") == std::string::npos)
        GTEST_SKIP() << "needs WINEDLLOVERRIDES=gdiplus,msimg32=n,b (the CTest test e2e_planted_dlls)";
    ClockProcess clock;
    for (const std::string name : {"gdiplus.dll", "msimg32.dll"})
        ASSERT_TRUE(CopyFileA(PlantedDllPath().c_str(), (clock.Directory() + "\\" + name).c_str(), FALSE));
    desktop::MoveMouse(5, 5); // away from the centred clock
    const bool started = clock.Start();
    ASSERT_TRUE(started) << "no clock window; exit code " << clock.WaitForExit(0ms).value_or(STILL_ACTIVE);
    EXPECT_TRUE(desktop::WaitUntil([&] { return clock_screen::TimeIsShown(clock); }, 5s)) << "no time drawn";
    ASSERT_TRUE(FocusAndPressEscape(clock)) << "the clock did not take the keyboard";
    EXPECT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0));
    for (const std::string name : {"gdiplus.dll", "msimg32.dll"})
        EXPECT_EQ(GetFileAttributesA((clock.Directory() + "\\" + name + ".ran").c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << name << " ran";
}

// A menu shows (its window class is the system's "#32768").
bool MenuIsOpen() {
    const HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

TEST(ProgramLifetime, ASecondStartOnTheSameFileLeavesOneClockWhoseChangesAreSaved) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    const auto topmost = [&] { return (GetWindowLongW(clock.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(clock_screen::ClickHoverButton(clock, {316, 18}, {306, 8, 326, 28}));
    ASSERT_TRUE(desktop::WaitUntil([&] { return !topmost(); }, 5s));
    // The change reaches the file two seconds later; the second start must
    // leave the file as it is then.
    ASSERT_TRUE(desktop::WaitUntil(
        [&] { return clock.ReadIniBytes().value_or("").find("窗口置顶=假") != std::string::npos; }, 10s));
    const auto firstFile = clock.ReadIniBytes();
    // Hidden from its menu ("隐藏时钟", two items up from the bottom).
    const RECT rect = clock.WindowRect();
    desktop::RightClick(rect.left + 60, rect.top + 75);
    ASSERT_TRUE(desktop::WaitUntil([] { return MenuIsOpen(); }, 5s)) << "no menu opened";
    for (const WORD key : {VK_UP, VK_UP, VK_RETURN})
        desktop::PressKey(key);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !IsWindowVisible(clock.Window()); }, 5s));
    // Another program's window has the foreground when the user starts it again.
    const HWND foreground = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                            nullptr, nullptr, nullptr);
    ASSERT_TRUE(desktop::GiveKeyboardTo(foreground));

    std::chrono::milliseconds ran{};
    const auto secondExit = clock.StartAgain(10s, &ran);
    // Only the end of its clock window ends the program: an ended start left none.
    ASSERT_TRUE(secondExit.has_value()) << "the second start kept running";
    EXPECT_EQ(*secondExit, 0u);
    EXPECT_LT(ran, 5s) << "a start a user would wait for";
    EXPECT_TRUE(desktop::WaitUntil([&] { return IsWindowVisible(clock.Window()) != FALSE; }, 2s))
        << "the running clock was not shown again";
    EXPECT_TRUE(desktop::WaitUntil([&] { return GetForegroundWindow() == clock.Window(); }, 3s))
        << "the running clock was not brought to the front";
    DestroyWindow(foreground);
    EXPECT_EQ(clock.ReadIniBytes(), firstFile) << "the second start wrote nothing";

    // A copy in another folder has a file of its own, and a clock of its own.
    ClockProcess other;
    ASSERT_TRUE(other.Start());
    EXPECT_NE(other.Window(), clock.Window());

    // Esc straight to the first clock's window: the other, just started, can
    // still take the keyboard after it was given to the first.
    PostMessageW(clock.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(clock.WaitForExit(20s).has_value());
    EXPECT_NE(clock.ReadIniBytes().value_or("").find("窗口置顶=假"), std::string::npos)
        << "the first clock's change is what its file keeps";
}

TEST(ProgramLifetime, ARightClickOnTheClockOpensItsMenuWhoseItemsAct) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    const auto topmost = [&] { return (GetWindowLongW(clock.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(topmost());
    const RECT rect = clock.WindowRect();
    desktop::RightClick(rect.left + 60, rect.top + 75);
    ASSERT_TRUE(desktop::WaitUntil([] { return MenuIsOpen(); }, 5s)) << "no menu opened";
    // The third item, "窗口置顶", chosen from the keyboard.
    for (const WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
        desktop::PressKey(key);
    EXPECT_TRUE(desktop::WaitUntil([&] { return !topmost(); }, 5s)) << "keep on top did not switch off";
    EXPECT_TRUE(desktop::WaitUntil([] { return !MenuIsOpen(); }, 5s));

    // The context-menu key opens it too, while the clock has the keyboard;
    // "退出", the last item, is reached upwards and the file keeps the change.
    // The pointer goes out of the way first: the menu opens at the clock's
    // corner, and an item under the pointer would take the selection from
    // the keys.
    desktop::MoveMouse(5, 5);
    ASSERT_TRUE(desktop::GiveKeyboardTo(clock.Window()));
    desktop::PressKey(VK_APPS);
    ASSERT_TRUE(desktop::WaitUntil([] { return MenuIsOpen(); }, 5s)) << "the context-menu key opened no menu";
    desktop::PressKey(VK_UP);
    desktop::PressKey(VK_RETURN);
    const auto exitCode = clock.WaitForExit(20s);
    ASSERT_TRUE(exitCode.has_value()) << "退出 did not end the clock";
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_NE(clock.ReadIniBytes().value_or("").find("窗口置顶=假"), std::string::npos);
}

int clicksBelow = 0;
LRESULT CALLBACK CountClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN)
        ++clicksBelow;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(ProgramLifetime, WithClickThroughKeptInItsFileAClickReachesTheWindowBelow) {
    ClockProcess clock;
    clock.WriteIni("[基本设置]\r\n鼠标穿透=真\r\n");
    ASSERT_TRUE(clock.Start());
    ASSERT_TRUE(GetWindowLongW(clock.Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    const RECT rect = clock.WindowRect();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountClicks;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TikoWindowBelowTheClock";
    RegisterClassW(&windowClass);
    const HWND below = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, rect.left,
                                       rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(below);
    desktop::Click(rect.left + 60, rect.top + 75);
    const bool reached = desktop::WaitUntil([] { return clicksBelow > 0; }, 3s);
    DestroyWindow(below);
    desktop::MoveMouse(5, 5); // away from where the next clock opens
    EXPECT_TRUE(reached) << "the click stayed on the clock";

    // Turned off from the tray icon's menu. Wine has no notification area:
    // the right click is the message the shell would send (version 4). The
    // icon comes after the clock's first frame.
    HWND tray = nullptr;
    desktop::WaitUntil(
        [&] {
            DWORD owner = 0;
            while ((tray = FindWindowExW(nullptr, tray, L"TikoClockTray", nullptr)) &&
                   (GetWindowThreadProcessId(tray, &owner), owner != clock.ProcessId())) {
            }
            return tray != nullptr;
        },
        5s);
    ASSERT_TRUE(tray) << "the clock has no tray window";
    PostMessageW(tray, WM_APP + 1, MAKEWPARAM(100, 100), WM_CONTEXTMENU);
    ASSERT_TRUE(desktop::WaitUntil([] { return MenuIsOpen(); }, 5s)) << "no menu from the tray icon";
    for (const WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) // "鼠标穿透"
        desktop::PressKey(key);
    EXPECT_TRUE(desktop::WaitUntil(
        [&] { return !(GetWindowLongW(clock.Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT); }, 5s));
}

std::string SavedPlace(const ClockProcess& clock) {
    const std::string saved = clock.ReadIniBytes().value_or("");
    const std::size_t at = saved.find("恢复上次关闭时的位置=");
    return at == std::string::npos ? "" : saved.substr(at, saved.find('\r', at) - at);
}

std::string PlaceValue(POINT place) {
    return "恢复上次关闭时的位置=真|" + std::to_string(place.x) + "|" + std::to_string(place.y);
}

// A log-off ends the process after the message; Restart Manager (an
// installer replacing or removing the program) ends the session for this
// program alone and waits for it to go. Both are sent by hand: Wine's
// wineboot cannot send the close-application flag.
TEST(ProgramLifetime, RestartManagerClosesTheClockAfterSavingWhereALogOffOnlySaves) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    const auto endSession = [&](UINT message, WPARAM wParam, LPARAM flags) {
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutW(clock.Window(), message, wParam, flags, SMTO_BLOCK, 20000, &answer));
        return answer;
    };

    constexpr POINT loggedOffAt{123, 45};
    ASSERT_TRUE(clock.MoveTo(loggedOffAt));
    EXPECT_TRUE(endSession(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    endSession(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(SavedPlace(clock), PlaceValue(loggedOffAt));
    EXPECT_TRUE(clock.IsRunning()) << "at a log-off Windows ends the process, not the clock";

    constexpr POINT closedAt{211, 97};
    ASSERT_TRUE(clock.MoveTo(closedAt));
    EXPECT_TRUE(endSession(WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP));
    endSession(WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    const auto exitCode = clock.WaitForExit(20s);
    ASSERT_TRUE(exitCode.has_value()) << "the clock kept running when asked to close";
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_EQ(SavedPlace(clock), PlaceValue(closedAt));
}

// Restart Manager closing a clock whose file it may not write: the save
// fails, and at the session's end nobody is there to answer a box.
TEST(ProgramLifetime, AtTheSessionsEndAFailedSaveAsksNothingAndTheClockEnds) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    ASSERT_TRUE(SetFileAttributesW(clock.WideIniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(clock.Window(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_BLOCK, 5000,
                        &answer);
    SendMessageTimeoutW(clock.Window(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_BLOCK, 5000, &answer);
    const HWND box = clock.FindWindowTitled("保存设置失败");
    const auto exitCode = clock.WaitForExit(15s);
    SetFileAttributesW(clock.WideIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(box, nullptr) << "a box asked about the failed save";
    ASSERT_TRUE(exitCode.has_value()) << "the clock kept running";
    EXPECT_EQ(*exitCode, 0u);
}

// What the installer's uninstall runs: the program deletes the Run values
// named after its executable, machine-wide and the user's, and ends with
// neither a window nor a settings file.
TEST(ProgramLifetime, DeleteRunValuesArgumentDeletesBothRunValuesAndShowsNothing) {
    ClockProcess clock;
    // Its own values, the one a version before 1.0.1 wrote for it, and
    // another program's.
    const std::wstring ours = std::wstring(RunKeyPath) + L"\\" + RunValueNameFor(clock.ExecutablePath());
    const std::wstring old = std::wstring(RunKeyPath) + L"\\TikoClock.exe";
    const std::wstring another = std::wstring(RunKeyPath) + L"\\AnotherProgram.exe";
    const std::wstring tokyo = ours + L" 东京.ini (12345678)"; // a clock on a file of its own
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        ASSERT_TRUE(WriteRegistryText(root, ours, L"\"" + clock.ExecutablePath() + L"\""));
        ASSERT_TRUE(WriteRegistryText(root, tokyo, L"\"" + clock.ExecutablePath() + L"\" --settings x"));
        ASSERT_TRUE(WriteRegistryText(root, old, L"\"" + clock.ExecutablePath() + L"\""));
        ASSERT_TRUE(WriteRegistryText(root, another, L"C:\\Another\\AnotherProgram.exe"));
    }
    EXPECT_FALSE(clock.StartWith("--delete-run-values", 30s)) << "a clock window opened";
    ASSERT_TRUE(clock.Launched()) << "not started: error " << clock.LaunchError();
    const auto exitCode = clock.WaitForExit(30s);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_FALSE(clock.ReadIniBytes().has_value()) << "a settings file was written";
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(ReadRunValue(RunValueNameFor(clock.ExecutablePath()), root).has_value());
        EXPECT_FALSE(ReadRunValue(tokyo.substr(tokyo.rfind(L'\\') + 1), root).has_value());
        EXPECT_FALSE(ReadRunValue(L"TikoClock.exe", root).has_value());
        EXPECT_TRUE(ReadRunValue(L"AnotherProgram.exe", root).has_value()) << "another program's value went";
        DeleteRegistryValue(root, another);
    }

    // With any other argument the clock starts as always.
    ClockProcess started;
    ASSERT_TRUE(started.StartWith("--delete-run-values --later"));
    PostMessageW(started.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(started.WaitForExit(20s), std::optional<DWORD>(0));
}

std::wstring WindowText(HWND window) {
    wchar_t text[128]{};
    GetWindowTextW(window, text, 128);
    return text;
}

// What the Tokyo clock's name must be now: UTC + 9 hours, and its label.
std::wstring TokyoNameNow() {
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    return MultiByteToWide(ClockName(SecondsLater(utc, 9 * 3600).value(), "东京"), GbkCodePage);
}

// The shown clock windows of processes not among the known ones.
std::vector<HWND> OtherClockWindows(const std::vector<DWORD>& known) {
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"TikoClockWindow", nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (IsWindowVisible(window) && std::ranges::find(known, owner) == known.end())
            found.push_back(window);
    }
    return found;
}

// Two clocks from one folder: the default one, and one on "东京.ini" beside
// its file, in Tokyo's time with its label, each with its own place, file
// and Run value; the menu's "新建时钟…" starts a third on a new file.
TEST(ProgramLifetime, ClocksOnFilesOfTheirOwnRunBesideTheDefaultOneEachKeepingItsOwn) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    const std::wstring tokyoFile = clock.WideDirectory() + L"\\东京.ini";
    {
        std::ofstream file(std::filesystem::path(tokyoFile), std::ios::binary);
        file << "[基本设置]\r\n恢复上次关闭时的位置=真|200|120\r\n[时钟]\r\n时区=Tokyo Standard Time\r\n"
                "时区名称=东京\r\n";
    }
    ClockProcess tokyo(WideToAnsi(clock.ExecutablePath()));
    ASSERT_TRUE(tokyo.StartWith("--settings 东京.ini"));
    ASSERT_NE(tokyo.Window(), clock.Window());
    const RECT place = tokyo.WindowRect();
    EXPECT_EQ(place.left, 200);
    EXPECT_EQ(place.top, 120);
    EXPECT_EQ(place.bottom - place.top, 190) << "the label's line";
    EXPECT_EQ(clock.WindowRect().left, 770) << "the default clock keeps its place";
    EXPECT_TRUE(desktop::WaitUntil([&] { return WindowText(tokyo.Window()) == TokyoNameNow(); }, 5s))
        << WideToAnsi(WindowText(tokyo.Window()));
    EXPECT_EQ(tokyo.StartAgain(10s), std::optional<DWORD>(0)) << "one clock per file";

    // "开机启动" of the Tokyo clock: a value of its own, starting it on its file.
    ASSERT_TRUE(clock_screen::TickStartWithWindows(tokyo));
    const std::wstring valueName = RunValueNameFor(clock.ExecutablePath(), tokyoFile);
    const std::wstring command = L"\"" + clock.ExecutablePath() + L"\" --settings \"" + tokyoFile + L"\"";
    EXPECT_TRUE(desktop::WaitUntil(
        [&] {
            return ReadRunValue(valueName) == command + L'\0' ||
                   ReadRunValue(valueName, HKEY_CURRENT_USER) == command + L'\0';
        },
        5s));
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        EXPECT_FALSE(ReadRunValue(RunValueNameFor(clock.ExecutablePath()), root).has_value())
            << "the default clock's";

    PostMessageW(tokyo.FindWindowTitled("设置"), WM_CLOSE, 0, 0);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !tokyo.FindWindowTitled("设置"); }, 5s));

    // "新建时钟…", the menu's second item, three times: a clock on "配置2.ini"
    // right of this one, then each where no other clock stands. Each click
    // waits for the clock before: a window shown while the menu is open
    // would close it.
    const RECT rect = clock.WindowRect();
    std::vector<HWND> made;
    for (std::size_t click = 1; click <= 3; ++click) {
        desktop::RightClick(rect.left + 60, rect.top + 75);
        ASSERT_TRUE(desktop::WaitUntil([] { return MenuIsOpen(); }, 5s)) << "no menu opened";
        for (const WORD key : {VK_DOWN, VK_DOWN, VK_RETURN})
            desktop::PressKey(key);
        ASSERT_TRUE(desktop::WaitUntil(
            [&] {
                return (made = OtherClockWindows({clock.ProcessId(), tokyo.ProcessId()})).size() == click;
            },
            30s));
    }
    std::vector<RECT> clocks{rect, tokyo.WindowRect()};
    for (const HWND window : made) {
        RECT madeRect{};
        GetWindowRect(window, &madeRect);
        for (const RECT& other : clocks) {
            RECT overlap{};
            EXPECT_FALSE(IntersectRect(&overlap, &madeRect, &other))
                << madeRect.left << "," << madeRect.top << " over " << other.left << "," << other.top;
        }
        clocks.push_back(madeRect);
    }
    EXPECT_TRUE(std::ranges::any_of(made, [&](HWND window) {
        RECT madeRect{};
        GetWindowRect(window, &madeRect);
        return madeRect.left == rect.right + 10 && madeRect.top == rect.top;
    })) << "the first right of this clock";
    EXPECT_NE(GetFileAttributesW((clock.WideDirectory() + L"\\配置2.ini").c_str()), INVALID_FILE_ATTRIBUTES);

    // 退出 ends only its own clock; each file keeps only its own settings.
    for (const HWND window : made) {
        DWORD madeId = 0;
        GetWindowThreadProcessId(window, &madeId);
        const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, madeId);
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
    PostMessageW(tokyo.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(tokyo.WaitForExit(20s), std::optional<DWORD>(0));
    EXPECT_TRUE(clock.IsRunning());
    PostMessageW(clock.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0));
    std::ifstream file(std::filesystem::path(tokyoFile), std::ios::binary);
    const std::string tokyoBytes((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(tokyoBytes.find("时区名称=东京"), std::string::npos);
    EXPECT_NE(tokyoBytes.find("开机启动=真"), std::string::npos);
    EXPECT_NE(tokyoBytes.find("恢复上次关闭时的位置=真|200|120"), std::string::npos);
    const std::string own = clock.ReadIniBytes().value_or("");
    EXPECT_NE(own.find("时区名称=\r\n"), std::string::npos) << own;
    EXPECT_NE(own.find("开机启动=假"), std::string::npos);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        DeleteRegistryValue(root, std::wstring(RunKeyPath) + L"\\" + valueName);
}

// With "全屏时隐藏" (and the seconds hidden, so that the clock ticks every
// second for it alone), a window over the whole monitor in front takes the
// clock away within two seconds, and its end brings it back where it was.
TEST(ProgramLifetime, AFullScreenWindowInFrontHidesTheClockForItsWhile) {
    ClockProcess clock;
    clock.WriteIni("[基本设置]\r\n全屏时隐藏=真\r\n显示秒数=假\r\n");
    ASSERT_TRUE(clock.Start());
    const RECT place = clock.WindowRect();
    const HWND fullScreen =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(desktop::GiveKeyboardTo(fullScreen));
    EXPECT_TRUE(desktop::WaitUntil([&] { return !IsWindowVisible(clock.Window()); }, 2s)) << "still shown";
    DestroyWindow(fullScreen);
    EXPECT_TRUE(desktop::WaitUntil([&] { return IsWindowVisible(clock.Window()) != FALSE; }, 2s));
    const RECT back = clock.WindowRect();
    EXPECT_TRUE(EqualRect(&back, &place));
    PostMessageW(clock.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0));
}

// A change is in the file two seconds later while the clock runs on, and
// stays there when the process is ended without a word (a crash, End task).
TEST(ProgramLifetime, AChangeReachesTheFileWhileTheClockRunsAndOutlivesItsEnd) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    const auto saved = [&] { return clock.ReadIniBytes().value_or(""); };
    ASSERT_NE(saved().find("字体大小=80"), std::string::npos);
    ASSERT_TRUE(clock_screen::ClickHoverButton(clock, {337, 130}, {327, 120, 347, 140})); // larger font
    EXPECT_TRUE(desktop::WaitUntil([&] { return saved().find("字体大小=85") != std::string::npos; }, 15s));
    ASSERT_TRUE(clock.IsRunning());
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, clock.ProcessId());
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    EXPECT_NE(saved().find("字体大小=85"), std::string::npos) << saved();
    EXPECT_EQ(CountKeys(saved()), 28) << saved();
}

} // namespace
