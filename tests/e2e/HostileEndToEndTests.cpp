// The real program against what it may meet on a user's machine: settings
// files written by anything, a settings file or program folder it cannot
// write to, and a Western code page. It runs, draws, and ends with exit code
// 0 on Esc; what it cannot write beside itself goes to the user's own copy.
//
// The read-only folder and the Western code page need the machine set up
// first (an immutable folder, another Wine locale); HostileRun.sh does that
// and runs the tests named ReadOnlyProgramFolder and WesternCodePage, which
// skip themselves when started without it.
#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "app/ClockMenu.h"
#include "clock/TimeText.h"
#include "config/ClockSettings.h"
#include "config/SettingsLocation.h"
#include "config/TextNumbers.h"
#include "framework/TextConversion.h"
#include "settings/FontList.h"
#include "settings/SettingsWindow.h"
#include "support/ClockProcess.h"
#include "support/ClockScreen.h"
#include "support/Desktop.h"
#include "support/TempDirectory.h"
#include "support/ProgramFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::string ReadKey(const std::string& path, const char* section, const char* key, const char* fallback) {
    std::string buffer(10240, '\0');
    buffer.resize(GetPrivateProfileStringA(section, key, fallback, buffer.data(), 10240, path.c_str()));
    return buffer;
}

std::optional<std::string> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Esc on the clock window: the message loop destroys it, which saves the
// settings and ends the program.
// Esc, pressed again while the clock runs on, as a user would whose press
// seemed lost: under two busy loops a first press sometimes went unanswered.
std::optional<DWORD> CloseWithEscape(ClockProcess& clock) {
    for (int press = 0; press < 3; ++press) {
        PostMessageW(clock.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
        if (const auto exitCode = clock.WaitForExit(10s))
            return exitCode;
    }
    return std::nullopt;
}

// Screen pixels of the clock window near the default font colour: the time is drawn.
int FontColouredScreenPixels(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    int count = 0;
    for (int y = rect.top + 20; y < rect.bottom - 20; y += 2)
        for (int x = rect.left + 20; x < rect.right - 20; x += 2) {
            const COLORREF c = desktop::ScreenPixel(x, y);
            if (std::abs(GetRValue(c) - 40) < 30 && std::abs(GetGValue(c) - 215) < 30 &&
                std::abs(GetBValue(c) - 144) < 30)
                ++count;
        }
    return count;
}

bool TimeIsDrawn(HWND window) {
    return desktop::WaitUntil([&] { return FontColouredScreenPixels(window) > 10; }, 10s);
}

// Every flag and text key as the platform reads it from a file, with the
// program's defaults for missing keys; numbers as TextToInt gives them.
struct FileReading {
    std::vector<std::string> texts;
    std::vector<std::int32_t> numbers;
};

FileReading Read(const std::string& path) {
    FileReading reading;
    for (const SettingField& field : SettingFields) {
        if (field.kind == FieldKind::Number)
            reading.numbers.push_back(TextToInt(ReadKey(path, field.section, field.key, field.defaultText)));
        else if (field.kind != FieldKind::Position)
            reading.texts.push_back(ReadKey(path, field.section, field.key, field.defaultText));
    }
    return reading;
}

struct HostileFile {
    const char* what;
    std::string bytes;
};

std::vector<HostileFile> HostileFiles() {
    std::string random;
    unsigned seed = 99;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        random.push_back(static_cast<char>(seed >> 16));
    }
    return {
        {"random bytes", random},
        {"invalid GBK in every text", "[基本设置]\r\n开机启动=\x81\r\n窗口置顶=\xFF\xFE\r\n显示秒数="
                                      "\x81\x20\r\n[时钟]\r\n字体名称=\xA3\r\n"},
        {"huge and negative numbers",
         "[时钟]\r\n字体大小=2147483647\r\n描边大小=-99999999999\r\n字体颜色=-1\r\n描边颜色=2147483647\r\n"
         "[透明度]\r\n整个窗口=-300\r\n窗口底图=99999999999\r\n时钟=-1\r\n"},
        {"font size far below zero", "[时钟]\r\n字体大小=-2147483648\r\n描边大小=1000\r\n"},
        {"a five-part position and a one-part one",
         "[基本设置]\r\n恢复上次关闭时的位置=真|1|2|3|4\r\n[基本设置]\r\n恢复上次关闭时的位置=真\r\n"},
        {"a value over 10,240 bytes", "[时钟]\r\n字体名称=" + std::string(12000, 'N') + "\r\n"},
        {"duplicate keys, no sections for the rest",
         "[基本设置]\r\n显示秒数=假\r\n显示秒数=真\r\n窗口置顶=1\r\n窗口置顶=真\r\n"},
    };
}

constexpr POINT MovedTo{211, 97};

TEST(HostileSettings, TheRealProgramRunsOnAnyFileAndSavesWhatItRead) {
    for (const HostileFile& hostile : HostileFiles()) {
        SCOPED_TRACE(hostile.what);
        ClockProcess clock;
        clock.WriteIni(hostile.bytes);
        // The platform's reading of the file before the program touches it.
        TempDirectory original;
        WriteFileBytes(original.File("original.ini"), hostile.bytes);
        const FileReading before = Read(original.File("original.ini"));

        ASSERT_TRUE(clock.Start()) << "no clock window";
        SleepEx(1500, FALSE); // a tick or two
        ASSERT_TRUE(clock.IsRunning());
        // A change made while it runs, which only a save puts in the file:
        // the window's position.
        ASSERT_TRUE(clock.MoveTo(MovedTo));
        const auto exitCode = CloseWithEscape(clock);
        ASSERT_TRUE(exitCode.has_value()) << "Esc did not end the clock";
        EXPECT_EQ(*exitCode, 0u);

        const FileReading after = Read(clock.IniPath());
        EXPECT_EQ(after.texts, before.texts) << "flags and the font name come back as they were read";
        EXPECT_EQ(after.numbers, before.numbers) << "numbers come back as they were read";
        const std::string position = ReadKey(clock.IniPath(), "基本设置", "恢复上次关闭时的位置", "");
        const std::string moved = "|" + std::to_string(MovedTo.x) + "|" + std::to_string(MovedTo.y);
        EXPECT_TRUE(position.ends_with(moved)) << "the position at close was not saved: " << position;
    }
}

// The per-user copy of the settings, which a run may make: gone before and
// after a test.
struct NoPerUserCopy {
    const std::wstring path = PerUserSettingsFile();
    NoPerUserCopy() { DeleteFileW(path.c_str()); }
    ~NoPerUserCopy() { DeleteFileW(path.c_str()); }
    std::string Key(const char* section, const char* key) const {
        return ReadKey(WideToAnsi(path), section, key, "");
    }
};

// A read-only file beside the program is kept as it is, and the changes go
// to the per-user copy made from it.
TEST(HostileSettings, ReadOnlySettingsFileIsKeptAndTheChangesGoToThePerUserCopy) {
    const NoPerUserCopy copy;
    ClockProcess clock;
    const std::string bytes = "[时钟]\r\n字体大小=60\r\n[基本设置]\r\n显示秒数=假\r\n";
    clock.WriteIni(bytes);
    ASSERT_TRUE(SetFileAttributesA(clock.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(clock.Start());
    EXPECT_TRUE(TimeIsDrawn(clock.Window()));
    ASSERT_TRUE(clock.MoveTo(MovedTo));
    const auto exitCode = CloseWithEscape(clock);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_EQ(clock.ReadIniBytes(), bytes) << "nothing may be written to a read-only file";
    EXPECT_EQ(copy.Key("时钟", "字体大小"), "60") << "the copy starts as the file beside the program";
    EXPECT_EQ(copy.Key("基本设置", "恢复上次关闭时的位置"),
              "真|" + std::to_string(MovedTo.x) + "|" + std::to_string(MovedTo.y));
}

TEST(HostileSettings, SettingsPathTakenByAFolderRunsOnDefaults) {
    const NoPerUserCopy copy;
    ClockProcess clock;
    ASSERT_TRUE(CreateDirectoryA(clock.IniPath().c_str(), nullptr));
    ASSERT_TRUE(clock.Start());
    EXPECT_TRUE(TimeIsDrawn(clock.Window()));
    const auto exitCode = CloseWithEscape(clock);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_TRUE(GetFileAttributesA(clock.IniPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// A copy of the program in a folder HostileRun.sh made immutable.
struct FixedProgram {
    HANDLE process = nullptr;
    DWORD processId = 0;
    ~FixedProgram() {
        if (process) {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
                TerminateProcess(process, 1);
            CloseHandle(process);
        }
    }
};

BOOL CALLBACK FindClockWindow(HWND candidate, LPARAM parameter) {
    auto* search = reinterpret_cast<std::pair<DWORD, HWND>*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    wchar_t className[64]{};
    GetClassNameW(candidate, className, 64);
    if (owner == search->first && IsWindowVisible(candidate) &&
        std::wstring_view(className) == L"TikoClockWindow") {
        search->second = candidate;
        return FALSE;
    }
    return TRUE;
}

// Where a window is now, as "left,top".
std::string WindowOrigin(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return std::to_string(rect.left) + "," + std::to_string(rect.top);
}

// Starts the copy of the program in the folder; its clock window.
HWND StartFrom(const std::string& folder, FixedProgram& program) {
    const std::string executable = folder + "\\TikoClock.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + executable + "\"";
    if (!CreateProcessA(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    program.process = info.hProcess;
    program.processId = info.dwProcessId;
    std::pair<DWORD, HWND> search{info.dwProcessId, nullptr};
    desktop::WaitUntil([&] { return !EnumWindows(FindClockWindow, reinterpret_cast<LPARAM>(&search)); }, 90s);
    return search.second;
}

TEST(ReadOnlyProgramFolder, RunsDrawsAndClosesWithZeroWritingNothing) {
    const char* folders = std::getenv("TIKO_READONLY_FOLDERS");
    if (!folders)
        GTEST_SKIP() << "needs the immutable folders HostileRun.sh makes";
    std::stringstream list(folders);
    std::string folder;
    while (std::getline(list, folder, ';')) {
        SCOPED_TRACE(folder);
        const std::string ini = folder + "\\配置.ini";
        const auto before = FileBytes(ini);
        // Nothing can be written here: that is what this test is about.
        WritePrivateProfileStringA("probe", "probe", "1", ini.c_str());
        ASSERT_EQ(FileBytes(ini), before) << "the folder is not read-only";

        FixedProgram program{};
        const HWND window = StartFrom(folder, program);
        ASSERT_NE(window, nullptr) << "no clock window";
        EXPECT_TRUE(TimeIsDrawn(window));
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_EQ(WaitForSingleObject(program.process, 30000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(program.process, &code);
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(FileBytes(ini), before) << "the settings file is as it was (or still missing)";
    }
}

TEST(ReadOnlyProgramFolder, ChangesLiveOnInAPerUserCopySeededFromTheFileBesideTheProgram) {
    const char* folders = std::getenv("TIKO_READONLY_FOLDERS");
    if (!folders)
        GTEST_SKIP() << "needs the immutable folders HostileRun.sh makes";
    std::stringstream list(folders);
    std::string folder;
    while (std::getline(list, folder, ';') && !FileBytes(folder + "\\配置.ini"))
        continue;
    const auto beside = FileBytes(folder + "\\配置.ini");
    ASSERT_TRUE(beside.has_value()) << "needs a folder with a settings file";
    const std::string size = ReadKey(folder + "\\配置.ini", "时钟", "字体大小", "80");
    const std::string larger = IntToText(TextToInt(size) + 5);
    char appData[MAX_PATH]{};
    GetEnvironmentVariableA("APPDATA", appData, MAX_PATH);
    const std::string copy = std::string(appData) + "\\Tiko Clock\\配置.ini";
    DeleteFileA(copy.c_str());

    FixedProgram first;
    const HWND window = StartFrom(folder, first);
    ASSERT_NE(window, nullptr) << "no clock window";
    EXPECT_EQ(ReadKey(copy, "时钟", "字体大小", ""), "60")
        << "the copy starts as the file beside the program";
    // The button's look at rest is only known once the clock is on the screen.
    ASSERT_TRUE(TimeIsDrawn(window)) << "the clock did not reach the screen";
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT button{rect.left + 337, rect.top + 130}; // the larger-font button
    // The pointer keeps moving on the button until the clock lights it: a
    // loaded machine can lose the first moves over a window just shown. The
    // lit look is known by itself, not as a difference from a capture taken
    // before the moves, which is wrong whenever that capture was.
    int moves = 0;
    ASSERT_TRUE(desktop::WaitUntil(
        [&] {
            desktop::MoveMouse(button.x - moves++ % 2, button.y);
            return clock_screen::ButtonLooksLit(desktop::CaptureScreen(button.x - 10, button.y - 10, 20, 20));
        },
        10s))
        << "the larger-font button did not light; the window at " << WindowOrigin(window) << ", shown at "
        << rect.left << "," << rect.top << ", IsWindow " << IsWindow(window);
    desktop::LeftDown();
    desktop::LeftUp();
    ASSERT_TRUE(desktop::WaitUntil([&] { return desktop::TakesKeys(window); }, 5s));
    desktop::PressKey(VK_ESCAPE);
    ASSERT_EQ(WaitForSingleObject(first.process, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadKey(copy, "时钟", "字体大小", ""), larger);

    // The next start reads the copy: what it saves is what it read there.
    FixedProgram second;
    const HWND again = StartFrom(folder, second);
    ASSERT_NE(again, nullptr) << "no clock window";
    PostMessageW(again, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(WaitForSingleObject(second.process, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadKey(copy, "时钟", "字体大小", ""), larger);
    EXPECT_EQ(FileBytes(folder + "\\配置.ini"), beside);
    DeleteFileA(copy.c_str());
}

// Texts of a window and all its descendants.
BOOL CALLBACK CollectText(HWND window, LPARAM parameter) {
    wchar_t text[256]{};
    GetWindowTextW(window, text, 256);
    reinterpret_cast<std::vector<std::wstring>*>(parameter)->push_back(text);
    return TRUE;
}

// The settings window opened from the gear button, with the texts of its
// controls; nullptr when no window of that title opened.
HWND OpenSettingsFromTheGear(const ClockProcess& clock, const std::string& title,
                             std::vector<std::wstring>& texts) {
    // The gear button: hover it, then press it.
    const RECT rect = clock.WindowRect();
    desktop::MoveMouse(rect.left + 100, rect.top + 75);
    desktop::MoveMouse(rect.left + 340, rect.top + 18);
    desktop::MoveMouse(rect.left + 341, rect.top + 18);
    desktop::Click(rect.left + 341, rect.top + 18);
    HWND settings = nullptr;
    desktop::WaitUntil([&] { return (settings = clock.FindWindowTitled(title)) != nullptr; }, 10s);
    if (settings)
        EnumChildWindows(settings, CollectText, reinterpret_cast<LPARAM>(&texts));
    return settings;
}

void ExpectTexts(const std::vector<std::wstring>& texts, std::initializer_list<const char*> expected) {
    for (const char* caption : expected) {
        const std::wstring wide = MultiByteToWide(caption, GbkCodePage);
        EXPECT_NE(std::find(texts.begin(), texts.end(), wide), texts.end())
            << caption << ": missing or garbled";
    }
}

// Chinese asked for by the key: the GBK texts show whole under code page 1252.
TEST(WesternCodePage, StartsDrawsTheTimeAndShowsChineseCaptions) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "needs Wine started with LC_ALL=en_US.UTF-8 (HostileRun.sh western); code page is "
                     << GetACP();
    ClockProcess clock;
    clock.WriteIni("[基本设置]\r\n界面语言=中文\r\n");
    ASSERT_TRUE(clock.Start());
    EXPECT_TRUE(TimeIsDrawn(clock.Window())) << "the default font's name is GBK: the fallback font draws";
    std::vector<std::wstring> texts;
    ASSERT_NE(OpenSettingsFromTheGear(clock, "设置", texts), nullptr) << "the settings window did not open";
    ExpectTexts(texts, {"开机启动(&A)", "窗口置顶(&T)", "分层透明(&L)", "内存优化(&M)",
                        "恢复上次关闭时的位置(&R)", "显示秒数(&S)"});

    const auto exitCode = CloseWithEscape(clock);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
}

// An English Windows (display language English) gets English texts: the
// settings window, the menu and the clock's name. The file it saves is the
// one the program saves in any language.
TEST(WesternCodePage, AnEnglishWindowsGetsEnglishTextsAndTheSameSettingsFile) {
    if (GetACP() != 1252 || PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_ENGLISH)
        GTEST_SKIP() << "needs Wine started with LC_ALL=en_US.UTF-8 (HostileRun.sh western)";
    ClockProcess clock;
    TempDirectory scratch;
    ClockSettings settings = DefaultSettings();
    settings.fontSize = 60;
    settings.zoneLabel = "东京";
    ASSERT_TRUE(SaveSettings(scratch.WideFile("saved.ini"), settings, 300, 200));
    const std::string written = ReadFileBytes(scratch.File("saved.ini"));
    clock.WriteIni(written);
    ASSERT_TRUE(clock.Start());
    wchar_t name[64]{};
    GetWindowTextW(clock.Window(), name, 64);
    EXPECT_EQ(std::wstring(name).find(L'\u5E74'), std::wstring::npos) << "the name has no Chinese date";
    EXPECT_NE(std::wstring(name).find(L"-"), std::wstring::npos)
        << "the name's date is written year-month-day";

    std::vector<std::wstring> texts;
    const HWND window = OpenSettingsFromTheGear(clock, "Settings", texts);
    ASSERT_NE(window, nullptr) << "no settings window titled Settings";
    ExpectTexts(texts, {"&Autostart", "On &top", "&Restore last position", "Hide in &full screen", "General",
                        "Opacity", "Colours", "Time zone:", "Language", "Restore defaults"});
    PostMessageW(window, WM_CLOSE, 0, 0);
    const auto exitCode = CloseWithEscape(clock);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_EQ(clock.ReadIniBytes().value_or(""), written) << "byte for byte what the program writes";

    // The menu, built here as the program builds it for this user: Wine
    // keeps a menu in its process, so another cannot read the clock's.
    ClockWindowFixtureState here;
    App().settings = settings;
    FollowInterfaceLanguage();
    const unique_hmenu menu = BuildClockMenu();
    std::vector<std::wstring> items;
    for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) {
        wchar_t item[64]{};
        if (GetMenuStringW(menu.get(), static_cast<UINT>(i), item, 64, MF_BYPOSITION) > 0)
            items.push_back(item);
    }
    EXPECT_EQ(items, (std::vector<std::wstring>{L"&Settings\u2026", L"&New clock\u2026", L"Always on &top",
                                                L"&Click-through", L"Show tray &icon",
                                                L"Hide in &full screen", L"&Hide clock", L"E&xit"}));
    UseTextLanguage(ChineseTexts);
}

// The font list in this process, under the Western code page: its names are
// GBK, as the settings file holds them, and a picked one reaches the setting
// unchanged.
TEST(WesternCodePage, APickedFontNameReachesTheSettingByteForByte) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "needs Wine started with LC_ALL=en_US.UTF-8 (HostileRun.sh western); code page is "
                     << GetACP();
    ClockWindowFixtureState clock;
    ASSERT_TRUE(App().clock.clockCanvas.AttachToWindow(clock.Window()));
    OpenSettingsWindow();
    ASSERT_NE(OpenedSettingsWindow(), nullptr);
    ComboBox* fonts = OpenedSettingsWindow()->Find<ComboBox>("组合框1");
    ASSERT_NE(fonts, nullptr);
    const std::vector<std::string> names = EnumerateFontNames();
    ASSERT_EQ(fonts->ItemCount(), static_cast<int>(names.size()));
    for (int i = 0; i < fonts->ItemCount(); ++i)
        EXPECT_EQ(fonts->ItemText(i), names[static_cast<std::size_t>(i)]);

    // A name with Western letters, added as the list adds an installed one,
    // then picked with the End key.
    const std::string western = WideToMultiByte(L"Caf\u00e9 \u00fcber", GbkCodePage);
    fonts->AddItem(western);
    EXPECT_EQ(fonts->ItemText(fonts->ItemCount() - 1), western);
    SendMessageW(fonts->Handle(), WM_KEYDOWN, VK_END, 0);
    SendMessageW(fonts->Handle(), WM_KEYUP, VK_END, 0);
    EXPECT_EQ(App().settings.fontName, western);
    CloseSettingsWindow();
}

// A Chinese regional format on a Western Windows: the date and the
// designator come as the locale writes them, not through code page 1252.
TEST(WesternCodePage, AChineseRegionalFormatKeepsItsDateAndDesignator) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "needs Wine started with LC_ALL=en_US.UTF-8 (HostileRun.sh western); code page is "
                     << GetACP();
    constexpr LCID zhCn = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
    const TimeText text =
        FormatTimeText({2026, 12, 1, 7, 9, 5, 7, 0}, TimeFormat{true, true, true, true, zhCn});
    EXPECT_NE(text.dateText.find(L'年'), std::wstring::npos) << WideToMultiByte(text.dateText, GbkCodePage);
    EXPECT_EQ(text.designator, L"上午");
}

int Occurrences(const std::string& bytes, const std::string& part) {
    int count = 0;
    for (std::size_t at = bytes.find(part); at != std::string::npos; at = bytes.find(part, at + 1))
        ++count;
    return count;
}

// Under the Japanese code page (932) the GBK file keeps its bytes through a
// start, a change and the close: the program reads and writes it as GBK.
TEST(JapaneseCodePage, TheGbkSettingsFileKeepsItsBytesThroughAChangeAndTheClose) {
    if (GetACP() != 932)
        GTEST_SKIP() << "needs Wine started with LC_ALL=ja_JP.UTF-8 (HostileRun.sh japanese); code page is "
                     << GetACP();
    ClockProcess clock;
    clock.WriteIni(
        "[基本设置]\r\n窗口置顶=假\r\n显示秒数=假\r\n[时钟]\r\n字体大小=80\r\n字体名称=微软雅黑\r\n");
    ASSERT_TRUE(clock.Start());
    EXPECT_TRUE(TimeIsDrawn(clock.Window()));
    ASSERT_TRUE(clock_screen::ClickHoverButton(clock, {337, 130}, {327, 120, 347, 140})); // larger font
    const auto exitCode = CloseWithEscape(clock);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
    const std::string saved = clock.ReadIniBytes().value_or("");
    for (const char* line :
         {"窗口置顶=假\r\n", "显示秒数=假\r\n", "字体名称=微软雅黑\r\n", "字体大小=85\r\n"})
        EXPECT_EQ(Occurrences(saved, line), 1) << line << " in\n" << saved;
    for (const char* section : {"[基本设置]", "[透明度]", "[边框和底图]", "[时钟]"})
        EXPECT_EQ(Occurrences(saved, section), 1) << section << " in\n" << saved;
}

// Notepad's "Unicode" and "Unicode big endian": UTF-16 with its byte order
// mark, read as it says, saved as GBK (one encoding in the file).
TEST(SettingsFileForms, AFileSavedAsUtf16EitherWayKeepsItsValues) {
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        ClockProcess clock;
        const std::wstring text = L"\xFEFF[时钟]\r\n字体大小=60\r\n[基本设置]\r\n显示秒数=假\r\n";
        std::string bytes;
        for (const wchar_t unit : text) {
            const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        clock.WriteIni(bytes);
        ASSERT_TRUE(clock.Start());
        ASSERT_TRUE(clock.MoveTo(MovedTo)); // a change, which the close saves
        const auto exitCode = CloseWithEscape(clock);
        ASSERT_TRUE(exitCode.has_value());
        const std::string saved = clock.ReadIniBytes().value_or("");
        EXPECT_EQ(Occurrences(saved, "字体大小=60\r\n"), 1) << saved;
        EXPECT_EQ(Occurrences(saved, "显示秒数=假\r\n"), 1) << saved;
        EXPECT_TRUE(saved.starts_with("[时钟]")) << "GBK from its first byte";
    }
}

// Another program holds a file without sharing it (a sync client, a backup,
// an editor) on behalf of the test, for a while, from another thread.
class FileHolder {
public:
    FileHolder(const std::wstring& path, DWORD milliseconds)
        : file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)),
          release([this, milliseconds] {
              Sleep(milliseconds);
              CloseHandle(file);
          }) {}
    ~FileHolder() { release.join(); }
    bool Holds() const { return file != INVALID_HANDLE_VALUE; }

private:
    HANDLE file;
    std::thread release;
};

// A whole "东京.ini" of the user's: every key, so that a close adds none.
std::string TokyoFile(ClockProcess& clock) {
    ClockSettings tokyo = DefaultSettings();
    tokyo.fontSize = 60;
    tokyo.timeZone = "Tokyo Standard Time";
    tokyo.zoneLabel = "东京";
    const std::wstring path = clock.WideDirectory() + L"\\东京.ini";
    EXPECT_TRUE(SaveSettings(path, tokyo, 300, 200));
    return FileBytes(WideToAnsi(path)).value_or("");
}

bool NameHas(HWND window, std::wstring_view label) {
    return desktop::WaitUntil(
        [&] {
            wchar_t name[256]{};
            GetWindowTextW(window, name, 256);
            return std::wstring_view(name).find(label) != std::wstring_view::npos;
        },
        20s);
}

bool NameHasTokyo(HWND window) {
    return NameHas(window, L"东京");
}

// A file held while the clock starts is waited for and read: its values
// show, and no byte of it changes.
TEST(HeldSettingsFile, AFileHeldWhileTheClockStartsIsReadOnceFreeAndKeepsItsBytes) {
    ClockProcess clock;
    const std::string bytes = TokyoFile(clock);
    {
        const FileHolder holder(clock.WideDirectory() + L"\\东京.ini", 2000);
        ASSERT_TRUE(holder.Holds());
        ASSERT_TRUE(clock.StartWith("--settings 东京.ini"));
    }
    EXPECT_TRUE(NameHasTokyo(clock.Window())) << "the file's label, not the defaults";
    const auto exitCode = CloseWithEscape(clock);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(FileBytes(clock.Directory() + "\\东京.ini"), bytes);
}

// Held past the clock's patience: the user is told once, the clock takes the
// file in as soon as it is free, and writes nothing of the defaults.
TEST(HeldSettingsFile, AFileHeldPastTheWaitIsToldOfTakenInLaterAndNeverOverwritten) {
    ClockProcess clock;
    const std::string bytes = TokyoFile(clock);
    HWND box = nullptr;
    {
        const FileHolder holder(clock.WideDirectory() + L"\\东京.ini", 9000);
        ASSERT_TRUE(holder.Holds());
        ASSERT_TRUE(clock.StartWith("--settings 东京.ini"));
        EXPECT_TRUE(desktop::WaitUntil(
            [&] { return (box = clock.FindWindowTitled("无法读取设置")) != nullptr; }, 20s))
            << "the user is told";
    }
    EXPECT_TRUE(NameHasTokyo(clock.Window())) << "taken in once free, while the box still asks";
    if (box)
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    const auto exitCode = CloseWithEscape(clock);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(FileBytes(clock.Directory() + "\\东京.ini"), bytes);
}

// A save the file's holder refused is tried again without another change;
// an edit made in the file while the clock runs shows and survives the save.
TEST(HeldSettingsFile, AFailedSaveIsRetriedAndAnEditMadeOutsideSurvivesIt) {
    ClockProcess clock;
    clock.WriteIni("[基本设置]\r\n显示秒数=假\r\n[时钟]\r\n字体大小=80\r\n");
    ASSERT_TRUE(clock.Start());
    // Notepad saves the label while the clock runs: it shows, and so does
    // a second edit, which the reading at the start can no longer catch.
    WriteFileBytes(clock.IniPath(),
                   "[基本设置]\r\n显示秒数=假\r\n[时钟]\r\n字体大小=80\r\n时区名称=东京\r\n");
    EXPECT_TRUE(NameHasTokyo(clock.Window()));
    WriteFileBytes(clock.IniPath(),
                   "[基本设置]\r\n显示秒数=假\r\n[时钟]\r\n字体大小=80\r\n时区名称=大阪\r\n");
    EXPECT_TRUE(NameHas(clock.Window(), L"大阪"));
    {
        const FileHolder holder(clock.WideIniPath(), 4000);
        ASSERT_TRUE(holder.Holds());
        // The larger-font button, at the bottom of a face grown by the label's line.
        const RECT window = clock.WindowRect();
        const LONG bottom = window.bottom - window.top;
        ASSERT_TRUE(
            clock_screen::ClickHoverButton(clock, {337, bottom - 20}, {327, bottom - 30, 347, bottom - 10}));
    }
    const auto saved = [&] { return ReadKey(clock.IniPath(), "时钟", "字体大小", "") == "85"; };
    EXPECT_TRUE(desktop::WaitUntil(saved, 15s)) << "the change reached the file without another";
    EXPECT_EQ(ReadKey(clock.IniPath(), "时钟", "时区名称", ""), "大阪") << "the edit made outside stays";
    const auto exitCode = CloseWithEscape(clock);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
}

} // namespace
