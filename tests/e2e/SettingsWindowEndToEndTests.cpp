// The settings window of the real program, used as a user uses it: opened
// with the clock's gear button, its controls driven with the real mouse and
// keyboard, every change seen on the clock at once and found in "配置.ini"
// after the clock's close button.
#include "app/SystemIntegration.h"
#include "framework/Window.h"
#include "framework/TextConversion.h"
#include "settings/WindowLayouts.h"
#include "support/ClockScreen.h"
#include "support/Desktop.h"
#include "support/SettingsControls.h"

#include <gtest/gtest.h>

#include <colordlg.h>
#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace clock_screen;

// Client points of the clock's buttons and their bounds.
constexpr POINT OnGear{340, 18};
constexpr RECT GearBounds{330, 8, 350, 28};
constexpr POINT OnClose{362, 18};
constexpr RECT CloseBounds{354, 10, 370, 26};
// Where the clock stands: clear of the centred settings window.
constexpr POINT ClockPlace{100, 100};

int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

int PixelsNear(const std::vector<COLORREF>& area, COLORREF colour) {
    int count = 0;
    for (COLORREF p : area)
        count += Distance(p, colour) < 90 ? 1 : 0;
    return count;
}

RECT ScreenRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

POINT CentreOf(HWND window) {
    const RECT rect = ScreenRectOf(window);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ClickOn(HWND window) {
    const POINT centre = CentreOf(window);
    desktop::Click(centre.x, centre.y);
}

// The panel's top inside the viewport.
int PanelOffset(HWND settings) {
    return ScreenRectOf(SettingsControlOf(settings, "外形框4")).top -
           ScreenRectOf(SettingsControlOf(settings, "外形框2")).top;
}

// A rectangle a control of the other process reports through a pointer:
// the answer is written into memory of that process and read back.
RECT RemoteRect(HWND control, UINT message) {
    RECT rect{};
    DWORD processId = 0;
    GetWindowThreadProcessId(control, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return rect;
    if (void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE)) {
        SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return rect;
}

// A dialog of the clock's process: the system's colour dialog, opened by a
// colour picker, or a message box.
struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND candidate, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    wchar_t className[16]{};
    GetClassNameW(candidate, className, 16);
    if (owner != search->processId || std::wstring_view(className) != L"#32770" ||
        !IsWindowVisible(candidate))
        return TRUE;
    search->found = candidate;
    return FALSE;
}

HWND FindDialog(DWORD processId) {
    DialogSearch search{processId, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Types a number into one of the dialog's edit fields as a user would:
// a click, and the keys once the click has given the field the focus.
bool TypeInto(HWND edit, int value) {
    ClickOn(edit);
    if (!desktop::WaitUntil([&] { return desktop::FocusInThreadOf(edit) == edit; }, 5s))
        return false;
    desktop::PressKey(VK_END);
    for (int i = 0; i < 4; ++i)
        desktop::PressKey(VK_BACK);
    for (const char digit : std::to_string(value))
        desktop::PressKey(static_cast<WORD>(digit));
    return true;
}

TEST(SettingsWindowEndToEnd, GearOpensItEveryChangeShowsAtOnceAndCloseSavesItAll) {
    ClockProcess clock;
    clock.WriteIni("[基本设置]\r\n恢复上次关闭时的位置=真|" + std::to_string(ClockPlace.x) + "|" +
                   std::to_string(ClockPlace.y) + "\r\n");
    ASSERT_TRUE(clock.Start());
    ASSERT_EQ(clock.WindowRect().left, ClockPlace.x);
    desktop::MoveMouse(5, 5);
    ASSERT_TRUE(desktop::WaitUntil([&] { return TimeIsShown(clock); }, 5s)) << "no time on the clock";

    // The gear opens the settings window, without parent.
    ASSERT_TRUE(ClickHoverButton(clock, OnGear, GearBounds)) << "the gear did not light";
    HWND settings = nullptr;
    ASSERT_TRUE(
        desktop::WaitUntil([&] { return (settings = clock.FindWindowTitled("设置")) != nullptr; }, 10s))
        << "the gear did not open the settings window";
    EXPECT_EQ(GetAncestor(settings, GA_PARENT), GetDesktopWindow());
    ASSERT_TRUE(desktop::WaitUntil([&] { return PanelOffset(settings) == 0; }, 5s));

    // The wheel over the panel scrolls it notch by notch down to its lowest
    // part; the section list follows.
    const HWND panel = SettingsControlOf(settings, "外形框4");
    ASSERT_NE(panel, nullptr);
    POINT free{500, 140}; // right of the check boxes, clear of every control
    ClientToScreen(panel, &free);
    desktop::MoveMouse(free.x, free.y);
    desktop::MoveMouse(free.x + 1, free.y);
    // A wheel notch goes where the focus is when it is sent: to the panel
    // once the pointer's move over it has given it the focus.
    ASSERT_TRUE(desktop::WaitUntil([&] { return desktop::FocusInThreadOf(settings) == panel; }, 5s))
        << "the panel did not take the focus under the pointer";
    for (int notch = 1; notch <= 9; ++notch) {
        desktop::Wheel(-WHEEL_DELTA);
        const int expected = std::max(-64 * notch, -552);
        ASSERT_TRUE(desktop::WaitUntil([&] { return PanelOffset(settings) == expected; }, 5s))
            << "notch " << notch << ": offset " << PanelOffset(settings);
    }
    const POINT lastEntry = CentreOf(SettingsControlOf(settings, "标签33"));
    EXPECT_EQ(desktop::WaitForPixel(lastEntry.x - 60, lastEntry.y, RGB(70, 167, 255)), RGB(70, 167, 255))
        << "时间格式 selected";

    // Dragging the font-size thumb (80 to 95): the clock's time grows by
    // about as much while it moves, whatever its digits.
    const int heightBefore = Height(TimeBounds(clock));
    ASSERT_GT(heightBefore, 10) << "no time visible to measure";
    const HWND fontSize = SettingsControlOf(settings, "滑块条5");
    ASSERT_EQ(SendMessageW(fontSize, TBM_GETPOS, 0, 0), 80);
    const RECT thumb = RemoteRect(fontSize, TBM_GETTHUMBRECT);
    POINT grip{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    ClientToScreen(fontSize, &grip);
    const RECT track = ScreenRectOf(fontSize);
    desktop::MoveMouse(grip.x, grip.y);
    desktop::LeftDown();
    for (int x = grip.x; x <= track.right + 20; x += 15)
        desktop::MoveMouse(x, grip.y);
    EXPECT_TRUE(desktop::WaitUntil([&] { return Height(TimeBounds(clock)) * 10 > heightBefore * 11; }, 5s))
        << "the clock did not follow the thumb: the time's height " << Height(TimeBounds(clock)) << " after "
        << heightBefore;
    desktop::LeftUp();
    // The clock grew with the first moves; the thumb reaches the end with the last.
    EXPECT_TRUE(desktop::WaitUntil([&] { return SendMessageW(fontSize, TBM_GETPOS, 0, 0) == 95; }, 5s))
        << "the thumb stopped at " << SendMessageW(fontSize, TBM_GETPOS, 0, 0);

    // Picking red for the font in the colour dialog.
    ClickOn(SettingsControlOf(settings, "颜色选择器5"));
    HWND dialog = nullptr;
    ASSERT_TRUE(desktop::WaitUntil([&] { return (dialog = FindDialog(clock.ProcessId())) != nullptr; }, 5s))
        << "no colour dialog";
    ASSERT_TRUE(desktop::WaitUntil(
        [&] { return desktop::TakesKeys(dialog) && IsWindowVisible(GetDlgItem(dialog, COLOR_BLUE)); }, 5s))
        << "the colour dialog is not ready for typing";
    for (const auto& [field, value] : {std::pair{COLOR_RED, 255}, {COLOR_GREEN, 0}, {COLOR_BLUE, 0}})
        ASSERT_TRUE(TypeInto(GetDlgItem(dialog, field), value)) << "field " << field << " took no focus";
    ClickOn(GetDlgItem(dialog, IDOK));
    EXPECT_TRUE(desktop::WaitUntil([&] { return !IsWindow(dialog); }, 5s));
    EXPECT_TRUE(
        desktop::WaitUntil([&] { return PixelsNear(Capture(clock, TimeArea), RGB(255, 0, 0)) > 200; }, 5s))
        << "no red time on the clock";

    // Back to "基本设置" with a click in the section list; the seconds go.
    ClickOn(SettingsControlOf(settings, "标签20"));
    ASSERT_TRUE(desktop::WaitUntil([&] { return PanelOffset(settings) == 0; }, 5s));
    const HWND seconds = SettingsControlOf(settings, "选择框6");
    ASSERT_EQ(SendMessageW(seconds, BM_GETCHECK, 0, 0), BST_CHECKED);
    const RECT box = ScreenRectOf(seconds);
    const int widthWithSeconds = Width(TimeBounds(clock));
    desktop::Click(box.left + 7, (box.top + box.bottom) / 2);
    EXPECT_TRUE(
        desktop::WaitUntil([&] { return SendMessageW(seconds, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, 3s));
    // Five characters instead of eight: whatever the digits, well under
    // nine tenths of the width.
    EXPECT_TRUE(desktop::WaitUntil([&] { return Width(TimeBounds(clock)) * 10 < widthWithSeconds * 9; }, 3s))
        << "the seconds are still shown: the time's width " << Width(TimeBounds(clock)) << " after "
        << widthWithSeconds;

    // The close button closes the settings window with the clock and saves.
    ASSERT_TRUE(ClickHoverButton(clock, OnClose, CloseBounds)) << "close did not light";
    const auto exitCode = clock.WaitForExit(20s);
    ASSERT_TRUE(exitCode.has_value()) << "the close button did not end the clock";
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_FALSE(IsWindow(settings));
    const auto saved = clock.ReadIniBytes();
    ASSERT_TRUE(saved.has_value());
    for (const char* line : {"[时钟]", "字体大小=95", "字体颜色=255", "[基本设置]", "显示秒数=假",
                             "窗口置顶=真", "[透明度]", "整个窗口=255", "字体名称=微软雅黑"})
        EXPECT_NE(saved->find(line), std::string::npos) << line << " missing from\n" << *saved;
}

TEST(SettingsWindowEndToEnd, TheDateBoxGrowsTheClockAndTheFileKeepsTheTimeFormatKeys) {
    ClockProcess clock;
    clock.WriteIni("[基本设置]\r\n恢复上次关闭时的位置=真|" + std::to_string(ClockPlace.x) + "|" +
                   std::to_string(ClockPlace.y) + "\r\n");
    ASSERT_TRUE(clock.Start());
    desktop::MoveMouse(5, 5);
    ASSERT_TRUE(desktop::WaitUntil([&] { return TimeIsShown(clock); }, 5s)) << "no time on the clock";
    const RECT before = clock.WindowRect();
    ASSERT_EQ(before.bottom - before.top, 150);

    ASSERT_TRUE(ClickHoverButton(clock, OnGear, GearBounds)) << "the gear did not light";
    HWND settings = nullptr;
    ASSERT_TRUE(
        desktop::WaitUntil([&] { return (settings = clock.FindWindowTitled("设置")) != nullptr; }, 10s));
    ClickOn(SettingsControlOf(settings, "标签33"));
    ASSERT_TRUE(desktop::WaitUntil([&] { return PanelOffset(settings) == -552; }, 5s))
        << "时间格式 did not scroll into view: offset " << PanelOffset(settings);

    const HWND date = SettingsControlOf(settings, "选择框7");
    const RECT box = ScreenRectOf(date);
    desktop::Click(box.left + 7, (box.top + box.bottom) / 2);
    EXPECT_TRUE(desktop::WaitUntil([&] { return SendMessageW(date, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 3s));
    EXPECT_TRUE(desktop::WaitUntil(
        [&] {
            const RECT now = clock.WindowRect();
            return now.bottom - now.top == 190 && now.top == before.top;
        },
        5s))
        << "the clock did not grow for the date line";
    // The zone's label box keeps what GBK holds, and so does the file.
    const HWND label = SettingsControlOf(settings, "文本框1");
    SendMessageW(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Tk东京😀한국αβ"));
    wchar_t shown[32]{};
    SendMessageW(label, WM_GETTEXT, std::size(shown), reinterpret_cast<LPARAM>(shown)); // another process's
    EXPECT_STREQ(shown, L"Tk东京αβ");

    ASSERT_TRUE(ClickHoverButton(clock, OnClose, CloseBounds)) << "close did not light";
    const auto exitCode = clock.WaitForExit(20s);
    ASSERT_TRUE(exitCode.has_value()) << "the close button did not end the clock";
    const auto saved = clock.ReadIniBytes();
    ASSERT_TRUE(saved.has_value());
    for (const char* line : {"显示日期=真", "日期格式=长", "十二小时制=假", "时区名称=Tk东京αβ"})
        EXPECT_NE(saved->find(line), std::string::npos) << line << " missing from\n" << *saved;
}

TEST(SettingsWindowEndToEnd, AfterTheGearTheKeyboardIsInItEscClosesItAndASecondEscEndsTheClock) {
    ClockProcess clock;
    clock.WriteIni("[基本设置]\r\n恢复上次关闭时的位置=真|" + std::to_string(ClockPlace.x) + "|" +
                   std::to_string(ClockPlace.y) + "\r\n");
    ASSERT_TRUE(clock.Start());
    ASSERT_TRUE(ClickHoverButton(clock, OnGear, GearBounds)) << "the gear did not light";
    HWND settings = nullptr;
    ASSERT_TRUE(
        desktop::WaitUntil([&] { return (settings = clock.FindWindowTitled("设置")) != nullptr; }, 10s));
    ASSERT_TRUE(desktop::WaitUntil([&] { return GetForegroundWindow() == settings; }, 5s));
    EXPECT_TRUE(desktop::WaitUntil([&] { return desktop::TakesKeys(settings); }, 5s))
        << "the focus is elsewhere: " << desktop::FocusInThreadOf(settings);

    desktop::PressKey(VK_ESCAPE);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !IsWindow(settings); }, 10s)) << "Esc did not close it";
    EXPECT_TRUE(IsWindow(clock.Window())) << "Esc reached the clock instead";
    EXPECT_TRUE(clock.IsRunning());
    const RECT place = clock.WindowRect();
    desktop::Click(place.left + 60, place.top + 75); // on the face, clear of the buttons
    ASSERT_TRUE(desktop::WaitUntil([&] { return desktop::TakesKeys(clock.Window()); }, 5s));
    desktop::PressKey(VK_ESCAPE);
    EXPECT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0)) << "Esc on the clock ends the program";
}

// The start-up entries of every copy of the program under root: a logon
// (wineboot) would start the copies earlier tests left them for.
void DeleteClockRunValues(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, RunKeyPath, 0, KEY_READ | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0, length = 256;
         RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = 256)
        if (std::wstring_view(name).starts_with(L"TikoClock.exe"))
            names.emplace_back(name);
    for (const std::wstring& found : names)
        RegDeleteValueW(key, found.c_str());
    RegCloseKey(key);
}

// No start-up entry of the program before the test, nor after it.
struct NoRunValue {
    NoRunValue() { Delete(); }
    ~NoRunValue() { Delete(); }
    static void Delete() {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            DeleteClockRunValues(root);
    }
};

// A folder named outside the code page (Korean, under code page GbkCodePage), with
// a space: the file beside the program is read and written there, and the
// start-up entry starts the program from there. The space makes a prefix of
// the unquoted path, "…\한국어.exe" (planted here), a program of its own.
TEST(SettingsWindowEndToEnd, FromAForeignFolderTheFileStaysBesideItAndTheStartUpEntryStartsIt) {
    const NoRunValue noRunValue;
    ClockProcess clock(L"한국어 시계");
    ASSERT_TRUE(CopyFileW(AnsiToWide(ClockExecutablePath()).c_str(), (clock.Root() + L"\\한국어.exe").c_str(),
                          FALSE));
    clock.WriteIni("[时钟]\r\n字体大小=60\r\n[基本设置]\r\n恢复上次关闭时的位置=真|" +
                   std::to_string(ClockPlace.x) + "|" + std::to_string(ClockPlace.y) + "\r\n");
    ASSERT_TRUE(clock.Start());
    ASSERT_EQ(clock.WindowRect().left, ClockPlace.x) << "the file beside the program was not read";

    // "开机启动" ticked in the settings window.
    ASSERT_TRUE(ClickHoverButton(clock, OnGear, GearBounds)) << "the gear did not light";
    HWND settings = nullptr;
    ASSERT_TRUE(
        desktop::WaitUntil([&] { return (settings = clock.FindWindowTitled("设置")) != nullptr; }, 10s));
    const HWND startUp = SettingsControlOf(settings, "选择框1");
    const RECT box = ScreenRectOf(startUp);
    desktop::Click(box.left + 7, (box.top + box.bottom) / 2);
    ASSERT_TRUE(
        desktop::WaitUntil([&] { return SendMessageW(startUp, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5s));

    ASSERT_TRUE(ClickHoverButton(clock, OnClose, CloseBounds)) << "close did not light";
    ASSERT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0));
    const std::string saved = clock.ReadIniBytes().value_or("");
    for (const char* line : {"字体大小=60", "开机启动=真", "显示秒数=真"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << " missing beside the program:\n" << saved;

    // A logon, as far as the start-up entries go: the program starts from
    // its folder, where its file puts it at ClockPlace (a program started
    // from elsewhere would stand centred).
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION wineboot{};
    std::wstring command = L"wineboot.exe";
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &wineboot))
        GTEST_SKIP() << "no wineboot.exe here to run the start-up entries with";
    CloseHandle(wineboot.hThread);
    CloseHandle(wineboot.hProcess);
    HWND started = nullptr;
    EXPECT_TRUE(desktop::WaitUntil(
        [&] {
            started = FindWindowW(L"TikoClockWindow", nullptr);
            return started && IsWindowVisible(started) && ScreenRectOf(started).left == ClockPlace.x;
        },
        90s))
        << "the start-up entry did not start the program from its folder";
    DWORD processId = 0;
    GetWindowThreadProcessId(started, &processId);
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
    PostMessageW(started, WM_KEYDOWN, VK_ESCAPE, 0);
    if (process && WaitForSingleObject(process, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process, 1);
    CloseHandle(process);
}

// A save that fails at close asks the user, naming the file; "重试", once
// the file may be written again, saves and ends the clock.
TEST(SettingsFileEndToEnd, AFailedSaveAtCloseAsksAndRetrySavesOnceItCan) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    ASSERT_EQ(clock.ReadIniBytes().value_or("").find("显示秒数"), std::string::npos) << "not yet saved";
    ASSERT_TRUE(SetFileAttributesW(clock.WideIniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    PostMessageW(clock.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    HWND box = nullptr;
    ASSERT_TRUE(desktop::WaitUntil([&] { return (box = FindDialog(clock.ProcessId())) != nullptr; }, 20s))
        << "the clock ended without a word";
    std::wstring texts;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM all) {
            wchar_t text[1024]{};
            GetWindowTextW(child, text, 1024);
            reinterpret_cast<std::wstring*>(all)->append(text);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(texts.find(clock.WideIniPath()), std::wstring::npos) << "the file is not named";
    ASSERT_NE(GetDlgItem(box, IDCANCEL), nullptr);
    SetFileAttributesW(clock.WideIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    PostMessageW(box, WM_COMMAND, IDRETRY, reinterpret_cast<LPARAM>(GetDlgItem(box, IDRETRY)));
    EXPECT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0));
    EXPECT_NE(clock.ReadIniBytes().value_or("").find("显示秒数=真"), std::string::npos) << "the retry saved";
}

} // namespace
