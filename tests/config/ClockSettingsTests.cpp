#include "config/ClockSettings.h"
#include "config/SettingsLocation.h"

#include "framework/Services.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "support/ImportHook.h"
#include "support/TempDirectory.h"
#include "support/TestProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

namespace {

class SettingsFile : public testing::Test {
protected:
    TempDirectory directory;
    std::string path = directory.File("配置.ini");
    std::wstring widePath = directory.WideFile("配置.ini");

    std::string Key(const char* section, const char* key) {
        return ReadIniText(widePath, section, key, "<none>");
    }
};

// The file's first and last keys take a text of the test's own, as a
// hand-edited file would hold: switches that stay off write it back.
void MarkFirstAndLastKeys(ClockSettings& settings, const std::string& mark) {
    ReadFieldText(settings, SettingFields.front(), mark);
    ReadFieldText(settings, SettingFields.back(), mark);
}

std::string LastKey() {
    return SettingFields.back().key;
}

// Section and key names in the order a reader meets them in the file.
std::vector<std::string> LinesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

TEST_F(SettingsFile, FirstRunCreatesEighteenKeysInSectionOrder) {
    const ClockSettings loaded = LoadSettings(widePath, 1920, 1080);
    EXPECT_EQ(loaded.positionText, "真|770|465");
    EXPECT_TRUE(loaded.restoreLastPosition);

    const std::vector<std::string> expected = {"[基本设置]",
                                               "开机启动=假",
                                               "窗口置顶=真",
                                               "分层透明=真",
                                               "内存优化=假",
                                               "恢复上次关闭时的位置=真|770|465",
                                               "[透明度]",
                                               "整个窗口=255",
                                               "窗口底图=150",
                                               "时钟底图=0",
                                               "时钟=255",
                                               "[边框和底图]",
                                               "外边框=8421504",
                                               "内边框=16777215",
                                               "窗口底图=13487565",
                                               "时钟底图=16746496",
                                               "[时钟]",
                                               "字体颜色=9492264",
                                               "字体大小=80",
                                               "描边颜色=16777215",
                                               "描边大小=5",
                                               "字体名称=微软雅黑"};
    EXPECT_EQ(LinesOf(ReadFileBytes(path)), expected);
}

TEST_F(SettingsFile, PositionDefaultKeepsTheHalfPixel) {
    const ClockSettings loaded = LoadSettings(widePath, 1365, 768);
    EXPECT_EQ(loaded.positionText, "真|492.5|309");
}

TEST_F(SettingsFile, KeysMissingFromTheFirstFileReadAsTheirDefaults) {
    LoadSettings(widePath, 1920, 1080);
    const ClockSettings again = LoadSettings(widePath, 1920, 1080);
    EXPECT_TRUE(again.showSeconds);
    EXPECT_FALSE(again.clickThrough);
    EXPECT_TRUE(again.showTrayIcon);
    EXPECT_FALSE(again.showDate || again.twelveHour);
    EXPECT_EQ(again.dateFormat, DateForm::Long);
    EXPECT_EQ(again.interfaceLanguage, "自动");
    for (const char* key : {"显示秒数", "鼠标穿透", "显示托盘图标", "界面语言"})
        EXPECT_EQ(Key("基本设置", key), "<none>") << key << ": a second load must not write the file";
}

// Texts written by hand come back as written while their value reads the
// same: switches, and numbers in any form the reader takes ("窗口底图" is a
// key of two sections, each keeping its own).
TEST_F(SettingsFile, UnknownFlagTextAndHandWrittenNumbersSurviveARoundTrip) {
    WriteFileBytes(path, "[基本设置]\r\n开机启动=1\r\n窗口置顶=yes\r\n恢复上次关闭时的位置=1|5|6\r\n"
                         "[透明度]\r\n窗口底图= 150 ;半透明\r\n"
                         "[边框和底图]\r\n外边框=-1\r\n窗口底图=+0013487565\r\n[时钟]\r\n字体大小=８０\r\n"
                         "字体名称=\r\n字体颜色=0x90D828\r\n描边大小=05\r\n");
    ClockSettings loaded = LoadSettings(widePath, 1920, 1080);
    EXPECT_FALSE(loaded.startWithWindows);
    EXPECT_FALSE(loaded.keepOnTop);
    EXPECT_EQ(loaded.outerBorderColor, -1);
    EXPECT_EQ(loaded.fontSize, 80);
    EXPECT_EQ(loaded.fontName, "");
    EXPECT_EQ(loaded.fontColor, 0) << "no hex: stored files rely on the decimal reading";
    EXPECT_EQ(loaded.windowBackgroundAlpha, 150);

    SaveSettings(widePath, loaded, 5, 6);
    EXPECT_EQ(Key("基本设置", "开机启动"), "1");
    EXPECT_EQ(Key("基本设置", "窗口置顶"), "yes");
    EXPECT_EQ(Key("基本设置", "恢复上次关闭时的位置"), "1|5|6");
    EXPECT_EQ(Key("边框和底图", "外边框"), "-1");
    EXPECT_EQ(Key("时钟", "字体大小"), "８０");
    EXPECT_EQ(Key("时钟", "字体名称"), "");
    EXPECT_EQ(Key("时钟", "字体颜色"), "0x90D828");
    EXPECT_EQ(Key("时钟", "描边大小"), "05");
    EXPECT_EQ(Key("透明度", "窗口底图"), "150 ;半透明");
    EXPECT_EQ(Key("边框和底图", "窗口底图"), "+0013487565");
    // A value changed is written in the program's own form.
    loaded.outlineWidth = 6;
    SaveSettings(widePath, loaded, 5, 6);
    EXPECT_EQ(Key("时钟", "描边大小"), "6");
    const std::string saved = ReadFileBytes(path);
    ASSERT_TRUE(SaveSettings(widePath, LoadSettings(widePath, 1920, 1080), 5, 6));
    EXPECT_EQ(ReadFileBytes(path), saved) << "loaded and saved unchanged, every byte stays";
}

TEST_F(SettingsFile, EmptyValuesReadAsEmptyTextAndZero) {
    WriteFileBytes(path, "[透明度]\r\n整个窗口=\r\n[基本设置]\r\n显示秒数=\r\n");
    const ClockSettings loaded = LoadSettings(widePath, 1920, 1080);
    EXPECT_EQ(loaded.windowAlpha, 0);
    EXPECT_FALSE(loaded.showSeconds);
    EXPECT_EQ(loaded.keptTexts.at(FindSettingField("显示秒数")), "");
    EXPECT_EQ(loaded.windowBackgroundAlpha, 150) << "a missing key still gives its default";
}

TEST_F(SettingsFile, SaveWritesEveryKeyWithNegativePosition) {
    ClockSettings settings = DefaultSettings();
    settings.restoreLastPosition = true;
    settings.fontSize = -50;
    settings.clickThrough = true;
    settings.dateFormat = DateForm::Short;
    SaveSettings(widePath, settings, -50, -20);

    for (const SettingField& field : SettingFields)
        EXPECT_NE(Key(field.section, field.key), "<none>") << field.key;
    EXPECT_EQ(Key("基本设置", "显示秒数"), "真");
    EXPECT_EQ(Key("基本设置", "恢复上次关闭时的位置"), "真|-50|-20");
    EXPECT_EQ(Key("时钟", "字体大小"), "-50");
    EXPECT_EQ(Key("基本设置", "鼠标穿透"), "真");
    EXPECT_EQ(Key("基本设置", "显示托盘图标"), "真");
    EXPECT_EQ(Key("时钟", "显示日期") + Key("时钟", "日期格式") + Key("时钟", "十二小时制"), "假短假");
    EXPECT_TRUE(LoadSettings(widePath, 1920, 1080).clickThrough) << "kept for the next start";
}

TEST_F(SettingsFile, AReaderNeverFindsHalfASavedFile) {
    WriteFileBytes(path, "[其他]\r\n留下=1\r\n");
    ClockSettings first = DefaultSettings(), second = DefaultSettings();
    MarkFirstAndLastKeys(first, "A");
    MarkFirstAndLastKeys(second, "B");
    std::atomic<bool> saving = true;
    std::string half;
    std::thread reader([&] {
        while (saving && half.empty()) {
            const std::string bytes = ReadFileBytes(path);
            const bool a =
                bytes.find("开机启动=A") != bytes.npos && bytes.find(LastKey() + "=A") != bytes.npos;
            const bool b =
                bytes.find("开机启动=B") != bytes.npos && bytes.find(LastKey() + "=B") != bytes.npos;
            if (a == b && bytes.find("开机启动") != bytes.npos)
                half = bytes;
            Sleep(1); // a reader that never lets go would hold off every replacement
        }
    });
    for (int save = 0; save < 40; ++save)
        SaveSettings(widePath, save % 2 ? first : second, save, save);
    saving = false;
    reader.join();
    EXPECT_EQ(half, "") << "found while saving";
    EXPECT_EQ(Key("其他", "留下"), "1") << "keys of others stay";
    EXPECT_EQ(Key("基本设置", "恢复上次关闭时的位置"), "真|39|39");
}

// Notepad's UTF-8, with and without its byte order mark: read as UTF-8,
// saved as GBK, every section once.
TEST_F(SettingsFile, AFileSavedAsUtf8IsReadAsUtf8AndSavedAsGbk) {
    const std::u8string utf8 = u8"[时钟]\r\n字体大小=60\r\n字体名称=宋体\r\n";
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
        WriteFileBytes(path, mark + std::string(utf8.begin(), utf8.end()));
        const ClockSettings loaded = LoadSettings(widePath, 1920, 1080);
        EXPECT_EQ(loaded.fontSize, 60);
        EXPECT_EQ(loaded.fontName, "宋体");
        ASSERT_TRUE(SaveSettings(widePath, loaded, 1, 2));
        const std::vector<std::string> lines = LinesOf(ReadFileBytes(path));
        EXPECT_EQ(lines.front(), "[时钟]") << "no byte order mark";
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "字体大小=60"), 1);
        EXPECT_EQ(lines.size(), 4u + SettingFields.size());
    }
}

std::string Utf16(const std::wstring& text, bool bigEndian) {
    std::string bytes;
    for (const wchar_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Every form an editor may save the file in: read as it says, or, when it
// cannot be read whole, never rewritten (a save fails and leaves its bytes).
TEST_F(SettingsFile, AFileIsReadInTheFormItWasSavedInOrNeverRewritten) {
    const std::wstring text = L"[时钟]\r\n字体大小=60\r\n时区名称=东京\r\n";
    const std::u8string utf8 = u8"[时钟]\r\n字体大小=60\r\n时区名称=东京😀\r\n";
    const struct {
        const char* form;
        std::string bytes;
        DWORD error; // ERROR_SUCCESS: read and saved
    } forms[] = {
        {"UTF-16 LE", Utf16(L"\xFEFF" + text, false), ERROR_SUCCESS},
        {"UTF-16 BE", Utf16(L"\xFEFF" + text, true), ERROR_SUCCESS},
        {"UTF-32 LE", std::string("\xFF\xFE\0\0", 4) + Utf16(text, false), ERROR_UNSUPPORTED_TYPE},
        {"UTF-7", "+/v8-[x]\r\n", ERROR_UNSUPPORTED_TYPE},
        {"UTF-16 with half a pair", Utf16(L"\xFEFF" + text + L"\xD83D", false), ERROR_NO_UNICODE_TRANSLATION},
        {"UTF-16 of an odd length", Utf16(L"\xFEFF" + text, true) + "x", ERROR_NO_UNICODE_TRANSLATION},
        {"UTF-8 mark before GBK", "\xEF\xBB\xBF[\xCA\xB1\xD6\xD3]\r\n", ERROR_NO_UNICODE_TRANSLATION},
        {"UTF-8 beyond GBK", std::string(utf8.begin(), utf8.end()), ERROR_NO_UNICODE_TRANSLATION},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.form);
        WriteFileBytes(path, form.bytes);
        const SettingsRead read = ReadSettings(widePath, 1920, 1080);
        EXPECT_EQ(read.file.error, form.error);
        const IniEntry change[] = {{"时钟", "描边大小", "3"}};
        const SaveResult saved = WriteIniFileWhole(widePath, widePath, change, SettingSections);
        EXPECT_EQ(saved.error, form.error);
        if (form.error != ERROR_SUCCESS) {
            EXPECT_EQ(ReadFileBytes(path), form.bytes) << "not a byte changed";
            continue;
        }
        EXPECT_EQ(read.settings.fontSize, 60);
        EXPECT_EQ(read.settings.zoneLabel, "东京");
        EXPECT_EQ(ReadFileBytes(path), "[时钟]\r\n字体大小=60\r\n时区名称=东京\r\n描边大小=3\r\n")
            << "one encoding, GBK";
    }
    // Text GBK cannot hold is read, but a save would lose it.
    WriteFileBytes(path, std::string(utf8.begin(), utf8.end()));
    EXPECT_EQ(ReadSettings(widePath, 1920, 1080).settings.fontSize, 60);
}

// A file another program holds without sharing (a sync client, a backup):
// the reader waits its turn; held past its patience, the file is not read,
// and neither the defaults nor a save ever take its place.
TEST_F(SettingsFile, AHeldFileIsWaitedForAndOneHeldLongerIsNeitherReadNorWritten) {
    const std::string bytes = "[时钟]\r\n字体大小=60\r\n";
    WriteFileBytes(path, bytes);
    const HANDLE held = CreateFileW(widePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const SettingsRead early = ReadSettings(widePath, 1920, 1080, {380, 150}, 300);
    EXPECT_FALSE(early.Readable());
    EXPECT_EQ(early.file.error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(early.settings.fontSize, 80) << "the defaults, for this run only";
    EXPECT_FALSE(WriteIniFileWhole(widePath, widePath, {}, SettingSections));
    std::thread release([held] {
        Sleep(700);
        CloseHandle(held);
    });
    const SettingsRead waited = ReadSettings(widePath, 1920, 1080, {380, 150}, 5000);
    release.join();
    EXPECT_TRUE(waited.Readable());
    EXPECT_EQ(waited.settings.fontSize, 60);
    EXPECT_EQ(ReadFileBytes(path), bytes);
}

// A save writes what changed since the file was read; an edit made to the
// file meanwhile stays, and taken in, shows without undoing a change not
// saved yet.
TEST_F(SettingsFile, OnlyWhatChangedIsWrittenAndAnEditMadeOutsideIsTakenIn) {
    WriteFileBytes(path, "[时钟]\r\n字体大小=80\r\n时区=\r\n[基本设置]\r\n恢复上次关闭时的位置=真|10|20\r\n");
    ClockSettings settings = LoadSettings(widePath, 1920, 1080);
    ClockSettings saved = settings;
    settings.fontSize = 85; // the larger-font button
    WriteFileBytes(path, "[时钟]\r\n字体大小=80\r\n时区=Tokyo Standard Time\r\n描边大小=0\r\n"
                         "[基本设置]\r\n恢复上次关闭时的位置=真|10|20\r\n");
    ASSERT_TRUE(SaveSettingChanges(widePath, widePath, settings, saved, {10, 20}));
    EXPECT_EQ(Key("时钟", "时区"), "Tokyo Standard Time");
    EXPECT_EQ(Key("时钟", "描边大小"), "0");
    EXPECT_EQ(Key("时钟", "字体大小"), "85");
    EXPECT_EQ(Key("基本设置", "显示秒数"), "真") << "a key the file lacks is added";
    EXPECT_EQ(Key("基本设置", "恢复上次关闭时的位置"), "真|10|20");

    const ClockSettings file = ReadSettings(widePath, 1920, 1080).settings;
    settings.fontSize = 90; // changed again, not saved yet
    const std::vector<const SettingField*> taken = TakeOutsideEdits(settings, saved, file);
    std::vector<std::string> keys;
    for (const SettingField* field : taken)
        keys.push_back(field->key);
    EXPECT_EQ(keys, (std::vector<std::string>{"描边大小", "时区"}));
    EXPECT_EQ(settings.timeZone, "Tokyo Standard Time");
    EXPECT_EQ(settings.outlineWidth, 0);
    EXPECT_EQ(settings.fontSize, 90) << "the program's own change waits for its save";
    EXPECT_EQ(saved.fontSize, 85);
}

// The label is a name: a file's longer one is cut to what the box takes;
// spaces and quotes at its ends survive a save and a start.
TEST_F(SettingsFile, TheLabelIsBoundedWhereItIsReadAndKeepsItsEnds) {
    std::string longLabel;
    for (int i = 0; i < 100000; ++i)
        longLabel += "东";
    WriteFileBytes(path, "[时钟]\r\n时区名称=" + longLabel + "\r\n");
    const ClockSettings loaded = LoadSettings(widePath, 1920, 1080);
    EXPECT_EQ(loaded.zoneLabel, longLabel.substr(0, 2 * LongestZoneLabel));
    for (const std::string label : {" 东京 ", "\"东京\"", "'Tk'", "\t"}) {
        ClockSettings settings = DefaultSettings();
        settings.zoneLabel = label;
        ASSERT_TRUE(SaveSettings(widePath, settings, 1, 2));
        EXPECT_EQ(LoadSettings(widePath, 1920, 1080).zoneLabel, label) << ReadFileBytes(path);
    }
}

// A settings file reached through a symbolic link (into a synced folder):
// the save replaces the file it points to and the link stays.
TEST_F(SettingsFile, ASaveThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
    TempDirectory synced;
    const std::wstring target = synced.WideFile("配置.ini");
    WriteFileBytes(synced.File("配置.ini"), "[时钟]\r\n字体大小=60\r\n");
    if (!CreateSymbolicLinkW(widePath.c_str(), target.c_str(),
                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
        !CreateSymbolicLinkW(widePath.c_str(), target.c_str(), 0))
        GTEST_SKIP() << "no symbolic link could be made here (error " << GetLastError() << ")";
    const DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "CreateSymbolicLinkW answered success but made no link (Wine 8 makes none)";
    const IniEntry change[] = {{"时钟", "字体大小", "65"}};
    ASSERT_TRUE(WriteIniFileWhole(widePath, widePath, change, SettingSections));
    const DWORD after = GetFileAttributesW(widePath.c_str());
    EXPECT_TRUE(after != INVALID_FILE_ATTRIBUTES && (after & FILE_ATTRIBUTE_REPARSE_POINT)) << "still a link";
    EXPECT_EQ(ReadFileBytes(synced.File("配置.ini")), "[时钟]\r\n字体大小=65\r\n");
}

TEST(SettingsLocation, ASaveReplacesOnlyAFileItMayWriteAndDelete) {
    TempDirectory directory;
    const std::wstring file = directory.WideFile("配置.ini");
    WriteFileBytes(directory.File("配置.ini"), "[时钟]\r\n");
    EXPECT_TRUE(SaveCanReplace(file));
    // Another program holds it without sharing its deletion: a sync client
    // or a backup for a moment, which the check waits out; held longer, the
    // file is still the user's (to be read and saved once it lets go).
    const HANDLE held =
        CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::thread release([held] {
        Sleep(600);
        CloseHandle(held);
    });
    const DWORD start = GetTickCount();
    EXPECT_TRUE(SaveCanReplace(file, 5000));
    EXPECT_GE(GetTickCount() - start, 500u) << "it waited for the holder";
    release.join();
    const HANDLE heldLonger = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(SaveCanReplace(file, 200)) << "held, not refused";
    CloseHandle(heldLonger);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(SaveCanReplace(file)) << "read-only";
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// "--settings" names a file beside the default one unless it names its own
// place; a new clock's file takes the first free number there.
TEST(SettingsLocation, ANamedFileLiesBesideTheDefaultOneAndANewClockTakesTheFirstFreeNumber) {
    const std::wstring defaultFile = L"C:\\Clocks\\配置.ini";
    for (const auto& [name, whole] : {std::pair{L"东京.ini", L"C:\\Clocks\\东京.ini"},
                                      {L"..\\Other\\.\\x.ini", L"C:\\Other\\x.ini"},
                                      {L"D:\\y.ini", L"D:\\y.ini"},
                                      {L"\\\\server\\share\\z.ini", L"\\\\server\\share\\z.ini"}})
        EXPECT_EQ(NamedSettingsFile(name, defaultFile), whole) << testing::PrintToString(std::wstring(name));
    TempDirectory directory;
    WriteFileBytes(directory.File("配置2.ini"), "[时钟]\r\n");
    const std::wstring beside = directory.WideFile("东京.ini");
    EXPECT_EQ(ClaimNewSettingsFile(beside), directory.WideFile("配置3.ini"));
    EXPECT_EQ(ClaimNewSettingsFile(beside), directory.WideFile("配置4.ini")) << "a claim makes the file";
    EXPECT_EQ(ClaimNewSettingsFile(directory.WideFile("无此目录\\东京.ini")), L"") << "no folder";
}

// The folder the package recorded, as the installer writes it (a trailing
// backslash) or as the program was started (its case, an 8.3 name).
TEST(SettingsLocation, TheInstalledFolderIsKnownHoweverItsPathIsWritten) {
    TempDirectory directory; // "tiko-test-…": longer than an 8.3 name
    const std::wstring folder = AnsiToWide(directory.Path());
    wchar_t shortName[MAX_PATH]{};
    GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
    ASSERT_NE(FileNamePart(shortName), FileNamePart(folder)) << "no 8.3 name to compare";
    std::wstring upper = folder;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    for (const std::wstring& same : {folder + L"\\", upper, std::wstring(shortName), folder + L"\\sub\\..\\"})
        EXPECT_TRUE(SameFolder(folder, same)) << testing::PrintToString(same);
    for (const std::wstring& other :
         {folder + L"2", DirectoryPart(folder), folder + L"\\sub", std::wstring()})
        EXPECT_FALSE(SameFolder(folder, other)) << testing::PrintToString(other);
    EXPECT_FALSE(SameFolder(L"", L"")) << "no record names no folder";

    // The package's record, as the installer writes it, names this copy's
    // folder: the installed copy, whose settings are per user.
    HKEY opened = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, InstallRecordKey, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &opened, &disposition),
              ERROR_SUCCESS);
    const unique_hkey record(opened);
    const auto recordFolder = [&](std::wstring recorded) {
        RegSetValueExW(record.get(), InstallRecordValue, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(recorded.c_str()),
                       static_cast<DWORD>((recorded.size() + 1) * sizeof(wchar_t)));
    };
    std::wstring program = ProgramDirectory() + L"\\";
    CharUpperBuffW(program.data(), static_cast<DWORD>(program.size()));
    recordFolder(program);
    EXPECT_TRUE(IsInstalledCopy());
    EXPECT_EQ(ChooseSettingsFile(), PerUserSettingsFile());
    recordFolder(folder);
    EXPECT_FALSE(IsInstalledCopy()) << "another folder's package";
    if (disposition == REG_CREATED_NEW_KEY)
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, InstallRecordKey, KEY_WOW64_64KEY, 0);
    else
        RegDeleteValueW(record.get(), InstallRecordValue);
}

// Two processes saving one file at once (the other is this executable
// running the disabled test): no save fails, and a reader finds one whole
// file of one save after each.
constexpr wchar_t RaceFileVariable[] = L"TIKO_SAVE_RACE_FILE";
constexpr wchar_t RaceStartedEvent[] = L"TikoClockTests.SaveRace.Started";

int SaveRepeatedly(const std::wstring& file, const std::string& writer) {
    ClockSettings settings = DefaultSettings();
    int failed = 0;
    for (int save = 0; save < 100; ++save) {
        MarkFirstAndLastKeys(settings, writer + std::to_string(save));
        failed += SaveSettings(file, settings, save, save) ? 0 : 1;
    }
    return failed;
}

TEST(SettingsSaveRace, DISABLED_TheOtherWriter) {
    wchar_t file[MAX_PATH]{};
    GetEnvironmentVariableW(RaceFileVariable, file, MAX_PATH);
    SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, RaceStartedEvent));
    ExitProcess(static_cast<UINT>(SaveRepeatedly(file, "B")));
}

bool IsWholeSave(const std::string& bytes) {
    const std::vector<std::string> lines = LinesOf(bytes);
    const auto value = [&](const std::string& key) {
        const auto line =
            std::ranges::find_if(lines, [&](const std::string& l) { return l.starts_with(key); });
        return line == lines.end() ? std::string("-") : line->substr(key.size());
    };
    return lines.size() == 4 + SettingFields.size() && value("开机启动=") == value(LastKey() + "=");
}

TEST_F(SettingsFile, TwoProcessesSavingAtOnceLeaveOneWholeFileAfterEachSave) {
    SetEnvironmentVariableW(RaceFileVariable, widePath.c_str());
    const HANDLE started = CreateEventW(nullptr, TRUE, FALSE, RaceStartedEvent);
    const PROCESS_INFORMATION other = StartTestProcess(
        L"--gtest_also_run_disabled_tests --gtest_filter=SettingsSaveRace.DISABLED_TheOtherWriter");
    ASSERT_NE(other.hProcess, nullptr);
    ASSERT_EQ(WaitForSingleObject(started, 60000), WAIT_OBJECT_0) << "the other writer did not start";
    std::atomic<bool> saving = true;
    std::string broken;
    std::thread reader([&] {
        for (std::string bytes; saving && broken.empty(); Sleep(1))
            if (!(bytes = ReadFileBytes(path)).empty() && !IsWholeSave(bytes))
                broken = bytes;
    });
    EXPECT_EQ(SaveRepeatedly(widePath, "A"), 0);
    EXPECT_EQ(WaitForSingleObject(other.hProcess, 120000), WAIT_OBJECT_0);
    saving = false;
    reader.join();
    DWORD otherFailed = 1;
    GetExitCodeProcess(other.hProcess, &otherFailed);
    TerminateProcess(other.hProcess, 1);
    CloseHandle(other.hThread);
    CloseHandle(other.hProcess);
    CloseHandle(started);
    EXPECT_EQ(otherFailed, 0u) << "saves that failed in the other process";
    EXPECT_EQ(broken, "") << "found while saving";
    EXPECT_TRUE(IsWholeSave(ReadFileBytes(path)));
}

// Every clock's saves of one file take turns on a mutex named after it:
// while another holds the turn, a save waits, and goes on once it is free.
TEST_F(SettingsFile, ASaveWaitsWhileAnotherHoldsTheFilesTurn) {
    const unique_handle turn(
        CreateMutexW(nullptr, TRUE, (L"TikoClock.SettingsSave." + FileKey(widePath)).c_str()));
    ASSERT_TRUE(turn);
    const unique_handle saved(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ClockSettings settings = DefaultSettings();
    settings.fontName = "Waited";
    SaveResult result{ERROR_GEN_FAILURE};
    std::thread saver([&] {
        result = SaveSettings(widePath, settings, 1, 2);
        SetEvent(saved.get());
    });
    const DWORD early = WaitForSingleObject(saved.get(), 1000);
    const bool writtenEarly = FileExists(widePath);
    ReleaseMutex(turn.get());
    const DWORD after = WaitForSingleObject(saved.get(), 10000);
    saver.join();
    EXPECT_EQ(early, static_cast<DWORD>(WAIT_TIMEOUT)) << "the save did not wait for its turn";
    EXPECT_FALSE(writtenEarly);
    EXPECT_EQ(after, static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(result);
    EXPECT_EQ(Key("时钟", "字体名称"), "Waited");
}

// A file saved with the values it holds keeps every byte: its spacing,
// quotes, comments, blank lines and the keys of others; a changed value
// rewrites its own line, a new key goes after its section's last line and a
// new section at the end.
TEST_F(SettingsFile, ASaveRewritesOnlyTheLinesOfChangedValues) {
    const std::string original =
        "; kept\r\n[时钟]\r\n字体大小 = 80\r\nOther=x\r\n\r\n[基本设置]\r\n显示秒数=\"真\"";
    WriteFileBytes(path, original);
    const IniEntry same[] = {{"时钟", "字体大小", "80"}, {"基本设置", "显示秒数", "真"}};
    ASSERT_TRUE(WriteIniFileWhole(widePath, widePath, same));
    EXPECT_EQ(ReadFileBytes(path), original);
    const IniEntry changed[] = {
        {"时钟", "字体大小", "85"}, {"时钟", "描边大小", "3"}, {"透明度", "时钟", "200"}};
    ASSERT_TRUE(WriteIniFileWhole(widePath, widePath, changed));
    EXPECT_EQ(ReadFileBytes(path),
              "; kept\r\n[时钟]\r\n字体大小=85\r\nOther=x\r\n描边大小=3\r\n\r\n[基本设置]\r\n"
              "显示秒数=\"真\"\r\n[透明度]\r\n时钟=200\r\n");
    EXPECT_EQ(Key("基本设置", "显示秒数"), "真") << "the quotes are not the value's";
}

// The form the file calls take past MAX_PATH: a drive's path and a share's
// each get their own prefix; a short path or one already prefixed stays.
TEST(LongPaths, ALongPathTakesThePrefixOfItsKind) {
    const std::wstring deep = L"\\" + std::wstring(300, L'x') + L"\\配置.ini";
    const struct {
        std::wstring path;
        std::wstring expected;
    } cases[] = {
        {L"C:\\Clocks\\配置.ini", L"C:\\Clocks\\配置.ini"},
        {L"C:\\Clocks" + deep, L"\\\\?\\C:\\Clocks" + deep},
        {L"C:\\Clocks\\.\\a\\..\\b" + deep, L"\\\\?\\C:\\Clocks\\b" + deep},
        {L"\\\\server\\share" + deep, L"\\\\?\\UNC\\server\\share" + deep},
        {L"\\\\?\\C:\\Clocks" + deep, L"\\\\?\\C:\\Clocks" + deep},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtendedLengthPath(c.path), c.expected) << c.path.size();
}

// A folder deeper than MAX_PATH allows: the file there is read and saved.
TEST_F(SettingsFile, AFileBeyondMaxPathRoundTripsItsValues) {
    std::wstring folder = directory.WideFile("");
    folder.pop_back(); // the trailing backslash
    for (int level = 0; level < 2; ++level) {
        folder += L"\\" + std::wstring(150, static_cast<wchar_t>(L'a' + level));
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
    }
    const std::wstring file = folder + L"\\配置.ini";
    ASSERT_GT(file.size(), static_cast<std::size_t>(MAX_PATH));
    ClockSettings settings = LoadSettings(file, 1920, 1080);
    ASSERT_TRUE(FileExists(file)) << "the first file was not written";
    settings.fontName = "Far Away";
    settings.restoreLastPosition = true;
    ASSERT_TRUE(SaveSettings(file, settings, 3, 4));
    EXPECT_EQ(LoadSettings(file, 1920, 1080).fontName, "Far Away");
    EXPECT_EQ(ReadIniText(file, "基本设置", "恢复上次关闭时的位置", ""), "真|3|4");
    DeleteFileW((L"\\\\?\\" + file).c_str());
    for (int level = 0; level < 2; ++level) {
        RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
        folder.resize(folder.rfind(L'\\'));
    }
}

// Drafts that an ended save left behind go at the next save of the file;
// other files stay.
TEST_F(SettingsFile, ASaveRemovesTheDraftsOthersLeftBehind) {
    const std::string left = path + ".99999.tmp";
    const std::string others[] = {path + ".bak.tmp", directory.File("其他.ini.99999.tmp")};
    for (const std::string& file : {left, others[0], others[1]})
        WriteFileBytes(file, "[时钟]\r\n");
    SetFileAttributesA(left.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(SaveSettings(widePath, DefaultSettings(), 1, 2));
    EXPECT_EQ(GetFileAttributesA(left.c_str()), INVALID_FILE_ATTRIBUTES);
    for (const std::string& file : others)
        EXPECT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES) << file;
}

// A hidden settings file stays hidden through a save.
TEST_F(SettingsFile, ASavedFileKeepsItsAttributes) {
    LoadSettings(widePath, 1920, 1080);
    ASSERT_TRUE(SetFileAttributesW(widePath.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SaveSettings(widePath, DefaultSettings(), 1, 2));
    EXPECT_EQ(Key("基本设置", "恢复上次关闭时的位置"), "真|1|2");
    EXPECT_TRUE(GetFileAttributesW(widePath.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

ImportHook* shortWrite = nullptr;
BOOL WINAPI WriteHalf(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    return shortWrite->Original<decltype(&WriteFile)>()(file, data, size / 2, written, overlapped);
}

// A disk that fills up during a save takes part of the new file while the
// call reports success: the save fails and the old file stays as it was.
TEST_F(SettingsFile, AShortWriteFailsTheSaveAndKeepsTheOldFile) {
    ClockSettings settings = LoadSettings(widePath, 1920, 1080);
    const std::string before = ReadFileBytes(path);
    ASSERT_FALSE(before.empty());
    settings.fontSize = 95;
    SaveResult saved;
    {
        ImportHook hook("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&WriteHalf));
        ASSERT_TRUE(hook.Installed());
        shortWrite = &hook;
        saved = SaveSettings(widePath, settings, 1, 2);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFileBytes(path), before);
}

ImportHook* draftOpens = nullptr;
int draftOpenCount = 0;
HANDLE WINAPI CountDraftOpens(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE model) {
    draftOpenCount += std::wstring_view(name).ends_with(L".tmp") && (access & GENERIC_WRITE) ? 1 : 0;
    return draftOpens->Original<decltype(&CreateFileW)>()(name, access, share, security, disposition, flags,
                                                          model);
}

// The new file is written and flushed through one handle: a scanner or a
// sync client that opens it at once cannot refuse a second opening.
TEST_F(SettingsFile, TheNewFileIsWrittenAndFlushedThroughOneOpening) {
    ImportHook hook("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&CountDraftOpens));
    ASSERT_TRUE(hook.Installed());
    draftOpens = &hook;
    draftOpenCount = 0;
    ASSERT_TRUE(SaveSettings(widePath, DefaultSettings(), 1, 2));
    EXPECT_EQ(draftOpenCount, 1);
}

TEST(SettingsDefaults, MatchTheDocumentedValues) {
    const ClockSettings d = DefaultSettings();
    EXPECT_FALSE(d.startWithWindows);
    EXPECT_TRUE(d.keepOnTop);
    EXPECT_FALSE(d.memoryOptimization);
    EXPECT_EQ(d.windowBackgroundAlpha, 150);
    EXPECT_EQ(d.fontColor, 9492264);
    EXPECT_EQ(d.fontName, "微软雅黑");
    EXPECT_FALSE(d.clickThrough);
    EXPECT_TRUE(d.showTrayIcon);
    EXPECT_FALSE(d.showDate);
    EXPECT_EQ(d.dateFormat, DateForm::Long);
    EXPECT_FALSE(d.twelveHour);
    EXPECT_EQ(d.interfaceLanguage, "自动");
    EXPECT_TRUE(d.keptTexts.empty());
}

// The key names a language, or leaves it to the user's display language:
// every Chinese one reads Chinese, every other English.
TEST(SettingTexts, TheInterfaceLanguageIsTheKeysOrTheDisplayLanguagesChineseOrEnglish) {
    constexpr LANGID simplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    constexpr LANGID taiwan = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
    constexpr LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    constexpr LANGID german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    const struct {
        const char* key;
        LANGID display;
        LANGID texts;
    } cases[] = {
        {"自动", simplified, ChineseTexts}, {"自动", taiwan, ChineseTexts},
        {"自动", japanese, EnglishTexts},   {"自动", german, EnglishTexts},
        {"中文", german, ChineseTexts},     {"English", simplified, EnglishTexts},
        {"english", taiwan, ChineseTexts},  {"", japanese, EnglishTexts},
        {"法语", simplified, ChineseTexts},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InterfaceLanguage(c.key, c.display), c.texts) << c.key << " " << c.display;
}

// A switch is on exactly for "真"; any other text is off and is written back
// as it stood while the switch stays off. The date form likewise.
TEST(SettingTexts, OnlyTheExactTrueTextIsOnAndAnOddTextIsKeptWhileItsValueIs) {
    const SettingField& flag = *FindSettingField("窗口置顶");
    ClockSettings s = DefaultSettings();
    ReadFieldText(s, flag, "真");
    EXPECT_TRUE(s.keepOnTop);
    for (const char* text : {"假", "", "1", "true", "真 ", " 真"}) {
        ReadFieldText(s, flag, text);
        EXPECT_FALSE(s.keepOnTop) << text;
        EXPECT_EQ(FieldText(s, flag), text);
    }
    s.keepOnTop = true;
    EXPECT_EQ(FieldText(s, flag), "真") << "a changed value is written the program's way";

    const SettingField& form = *FindSettingField("日期格式");
    for (const auto& [text, read] :
         {std::pair{"长", DateForm::Long}, {"短", DateForm::Short}, {"中", DateForm::Other}}) {
        ReadFieldText(s, form, text);
        EXPECT_EQ(s.dateFormat, read) << text;
        EXPECT_EQ(FieldText(s, form), text);
    }
    s.dateFormat = DateForm::Short;
    EXPECT_EQ(FieldText(s, form), "短");

    const SettingField& position = *FindSettingField("恢复上次关闭时的位置");
    ReadFieldText(s, position, "1|5|6");
    EXPECT_FALSE(s.restoreLastPosition);
    EXPECT_EQ(s.positionText, "1|5|6") << "placement reads the place from it";
    EXPECT_EQ(FieldText(s, position), "1");
    ReadFieldText(s, position, "\xD8\x7C|10|20"); // a GBK character whose second byte is '|'
    EXPECT_EQ(FieldText(s, position), "\xD8\x7C");
}

} // namespace
