// The MSI package as an administrator deploys it and a user then meets it:
// installed, used from a Program Files folder as Wine leaves it (writable)
// and from one nobody may write to, upgraded and removed. InstallRun.sh
// (CTest's e2e_install) runs these in order, in a copy of the Wine prefix,
// and locks the installed folder for the third;
// started without it they skip themselves.
#include "support/ClockProcess.h"
#include "support/ClockScreen.h"
#include "support/Desktop.h"
#include "support/ImportHook.h" // RunningUnderWine
#include "support/RunValue.h"
#include "support/TempDirectory.h" // ReadFileBytes
#include "config/SettingsLocation.h"
#include "framework/IniFile.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"

#include <gtest/gtest.h>

#include <msi.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The program's wide call for the tests' ANSI paths.
bool Exists(const std::string& path) {
    return FileExists(AnsiToWide(path));
}

using namespace std::chrono_literals;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string KnownFolder(int csidl) {
    char path[MAX_PATH]{};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

std::string InstalledFolder() {
    return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Tiko Clock";
}

std::string InstalledProgram() {
    return InstalledFolder() + "\\TikoClock.exe";
}

std::string UserSettingsFile() {
    return KnownFolder(CSIDL_APPDATA) + "\\Tiko Clock\\配置.ini";
}

// A per-machine package's shortcut belongs in the common Start menu; Wine's
// msi puts it in the user's ("FIXME: set to AllUsers profile path").
std::string StartMenuShortcut() {
    return KnownFolder(RunningUnderWine() ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS) + "\\Tiko Clock.lnk";
}

// msiexec started as an administrator starts it; ui is /qn (none) or /qb
// (basic: errors in message boxes).
unique_handle StartMsiexec(const std::string& arguments, const char* ui = "/qn") {
    std::string commandLine = "msiexec.exe " + arguments + " " + ui;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return unique_handle();
    CloseHandle(info.hThread);
    return unique_handle(info.hProcess);
}

DWORD ExitCodeOf(const unique_handle& process) {
    DWORD code = ERROR_TIMEOUT;
    if (process && WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.get(), &code);
    return code;
}

// A silent msiexec run to its end; its exit code.
DWORD Msiexec(const std::string& arguments) {
    return ExitCodeOf(StartMsiexec(arguments));
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string ReadText(HKEY key, const char* name) {
    char data[1024]{};
    DWORD size = sizeof data - 1;
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    return data;
}

// An entry in Programs and Features, as it reads it.
struct UninstallEntry {
    std::string version, publisher, helpLink, icon;
};

std::vector<UninstallEntry> TikoClockEntries() {
    std::vector<UninstallEntry> entries;
    HKEY uninstall = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                      KEY_READ, &uninstall) != ERROR_SUCCESS)
        return entries;
    char name[256]{};
    for (DWORD i = 0; RegEnumKeyA(uninstall, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        HKEY entry = nullptr;
        if (RegOpenKeyExA(uninstall, name, 0, KEY_READ, &entry) != ERROR_SUCCESS)
            continue;
        if (ReadText(entry, "DisplayName") == "Tiko Clock") {
            // An MSI product's icon is registered with the product, not in its entry.
            char icon[MAX_PATH]{};
            DWORD size = MAX_PATH;
            MsiGetProductInfoA(name, "ProductIcon", icon, &size);
            entries.push_back({ReadText(entry, "DisplayVersion"), ReadText(entry, "Publisher"),
                               ReadText(entry, "HelpLink"), icon});
        }
        RegCloseKey(entry);
    }
    RegCloseKey(uninstall);
    return entries;
}

std::string FileVersion(const std::string& path) {
    std::string block(GetFileVersionInfoSizeA(path.c_str(), nullptr), '\0');
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (block.empty() ||
        !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size))
        return "";
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(fixed->dwFileVersionLS));
}

// A shortcut keeps its target's full path.
bool ShortcutLeadsToTheProgram() {
    return ReadFileBytes(StartMenuShortcut()).find(InstalledProgram()) != std::string::npos;
}

// The installed program's Run value name, and the one versions before 1.0.1
// gave every copy.
std::wstring InstalledRunValueName() {
    return RunValueNameFor(AnsiToWide(InstalledProgram()));
}
constexpr wchar_t OldRunValueName[] = L"TikoClock.exe";

// Both Run values, as an administrator's and a user's "开机启动" of a version
// before 1.0.1 wrote them: 1.0.0 without quotes around the path's spaces.
void WriteBothRunValues() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        WriteRegistryText(root, std::wstring(RunKeyPath) + L"\\TikoClock.exe",
                          AnsiToWide(InstalledProgram()));
}

bool BothRunValuesExist() {
    return ReadRunValue(L"TikoClock.exe", HKEY_LOCAL_MACHINE) &&
           ReadRunValue(L"TikoClock.exe", HKEY_CURRENT_USER);
}

bool NoRunValueExists() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const std::wstring& name : {std::wstring(OldRunValueName), InstalledRunValueName()})
            if (ReadRunValue(name, root))
                return false;
    return true;
}

std::optional<std::wstring> InstallRecord() {
    return ReadRegistryText(HKEY_LOCAL_MACHINE, std::wstring(InstallRecordKey) + L"\\" + InstallRecordValue);
}

bool InstallRun() {
    return !Environment("TIKO_PACKAGE").empty();
}

TEST(InstalledPackage, InstallPutsTheProgramTheShortcutAndTheEntryInPlace) {
    if (!InstallRun())
        GTEST_SKIP() << "needs the packages InstallRun.sh names";
    ASSERT_EQ(Msiexec("/i " + Quoted(Environment("TIKO_PACKAGE"))), 0u);
    EXPECT_TRUE(Exists(InstalledProgram()));
    EXPECT_FALSE(Exists(InstalledFolder() + "\\配置.ini")) << "no settings file beside the program";
    EXPECT_EQ(WideToAnsi(InstallRecord().value_or(L"<none>")), InstalledFolder() + "\\");
    EXPECT_TRUE(ShortcutLeadsToTheProgram());
    const std::vector<UninstallEntry> entries = TikoClockEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].version, FileVersion(InstalledProgram()));
    EXPECT_EQ(entries[0].publisher, "Tiko Clock");
    EXPECT_EQ(entries[0].helpLink, InstalledFolder() + "\\README.md");
    EXPECT_TRUE(Exists(entries[0].helpLink));
    EXPECT_TRUE(Exists(entries[0].icon)) << "product icon: " << entries[0].icon;
}

// The gear, then "开机启动" in the settings window, clicked as a user does.
bool TickStartWithWindows(const ClockProcess& clock) {
    return clock_screen::TickStartWithWindows(clock) &&
           desktop::WaitUntil([] { return !NoRunValueExists(); }, 10s);
}

bool CloseWithEscape(ClockProcess& clock) {
    PostMessageW(clock.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    return clock.WaitForExit(30s) == std::optional<DWORD>(0);
}

// Where it could write beside itself, the installed clock still keeps the
// user's settings per user. A file an administrator left beside it is the
// first start's.
TEST(InstalledPackage, TheClockInAWritableFolderKeepsItsSettingsPerUserAllTheSame) {
    if (!InstallRun())
        GTEST_SKIP() << "needs the packages InstallRun.sh names";
    ASSERT_TRUE(FolderAcceptsNewFiles(AnsiToWide(InstalledFolder()))) << "needs Program Files writable";
    DeleteFileA(UserSettingsFile().c_str());
    const std::string beside = InstalledFolder() + "\\配置.ini", left = "[基本设置]\r\n窗口置顶=假\r\n";
    WriteFileBytes(beside, left);
    const ScopeExit removeLeft([&] { DeleteFileA(beside.c_str()); });
    ClockProcess clock(InstalledProgram());
    ASSERT_TRUE(clock.Start());
    const auto topmost = [&] { return (GetWindowLongW(clock.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_FALSE(topmost()) << "the file beside the program was not the first start's";
    ASSERT_TRUE(clock_screen::ClickHoverButton(clock, {316, 18}, {306, 8, 326, 28})); // keep on top, on
    ASSERT_TRUE(desktop::WaitUntil(topmost, 5s));
    ASSERT_TRUE(CloseWithEscape(clock));
    EXPECT_EQ(ReadFileBytes(beside), left) << "the clock wrote beside itself";
    EXPECT_NE(ReadFileBytes(UserSettingsFile()).find("窗口置顶=真"), std::string::npos)
        << "not saved per user";
}

TEST(InstalledPackage, TheClockInTheLockedFolderKeepsItsSettingsPerUserAndStartsWithWindows) {
    if (!InstallRun())
        GTEST_SKIP() << "needs the packages InstallRun.sh names";
    const HANDLE probe = CreateFileA((InstalledFolder() + "\\probe").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << "the installed folder can be written";
    DeleteFileA(UserSettingsFile().c_str());
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const std::wstring& name : {std::wstring(OldRunValueName), InstalledRunValueName()})
            DeleteRegistryValue(root, std::wstring(RunKeyPath) + L"\\" + name);
    ClockProcess clock(InstalledProgram());
    ASSERT_TRUE(clock.Start());
    const auto topmost = [](const ClockProcess& shown) {
        return (GetWindowLongW(shown.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    ASSERT_TRUE(topmost(clock));
    ASSERT_TRUE(clock_screen::ClickHoverButton(clock, {316, 18}, {306, 8, 326, 28})); // keep on top, off
    ASSERT_TRUE(desktop::WaitUntil([&] { return !topmost(clock); }, 5s));
    ASSERT_TRUE(TickStartWithWindows(clock)) << "no Run value written";
    const auto machine = ReadRunValue(InstalledRunValueName(), HKEY_LOCAL_MACHINE);
    const std::string data = WideToAnsi(
        machine ? *machine : ReadRunValue(InstalledRunValueName(), HKEY_CURRENT_USER).value_or(L""));
    EXPECT_NE(data.find(InstalledProgram()), std::string::npos) << data;
    ASSERT_TRUE(CloseWithEscape(clock));
    EXPECT_FALSE(Exists(InstalledFolder() + "\\配置.ini"));

    // The next start reads the user's copy.
    ClockProcess again(InstalledProgram());
    ASSERT_TRUE(again.Start());
    EXPECT_FALSE(topmost(again)) << "the change did not live on";
    ASSERT_TRUE(CloseWithEscape(again));
    EXPECT_TRUE(Exists(UserSettingsFile()));
}

// A message box on the screen that names the program, and its text.
HWND MessageBoxNamingTheProgram(std::string& text) {
    for (HWND box = FindWindowExA(nullptr, nullptr, "#32770", nullptr); box;
         box = FindWindowExA(nullptr, box, "#32770", nullptr)) {
        char message[512]{};
        GetDlgItemTextA(box, 0xFFFF, message, sizeof message); // a message box's text
        text = message;
        if (IsWindowVisible(box) && text.find("Tiko Clock") != std::string::npos)
            return box;
    }
    return nullptr;
}

TEST(InstalledPackage, UpgradeReplacesTheProgramInPlace) {
    if (!InstallRun())
        GTEST_SKIP() << "needs the packages InstallRun.sh names";
    WriteBothRunValues();
    ASSERT_EQ(Msiexec("/i " + Quoted(Environment("TIKO_NEXT_PACKAGE"))), 0u);
    const std::string next = Environment("TIKO_NEXT_VERSION");
    EXPECT_EQ(FileVersion(InstalledProgram()), next);
    EXPECT_TRUE(ShortcutLeadsToTheProgram());
    ASSERT_EQ(TikoClockEntries().size(), 1u);
    EXPECT_EQ(TikoClockEntries()[0].version, next);
    // Wine's msi removes the older version as a plain uninstall (without
    // UPGRADINGPRODUCTCODE), which deletes the values; the next test removes
    // it as Windows does within an upgrade.
    if (!RunningUnderWine()) {
        EXPECT_TRUE(BothRunValuesExist()) << "the upgrade lost the Run values";
    }

    // The older package is refused with its message (a user sees it with
    // the basic interface), and changes nothing.
    const unique_handle older = StartMsiexec("/i " + Quoted(Environment("TIKO_PACKAGE")), "/qb");
    std::string text;
    HWND box = nullptr;
    EXPECT_TRUE(desktop::WaitUntil([&] { return (box = MessageBoxNamingTheProgram(text)) != nullptr; }, 60s));
    EXPECT_NE(text.find("A newer version of Tiko Clock is already installed."), std::string::npos) << text;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ExitCodeOf(older), static_cast<DWORD>(ERROR_INSTALL_FAILURE));
    EXPECT_EQ(FileVersion(InstalledProgram()), next);
    EXPECT_EQ(TikoClockEntries().size(), 1u);
}

TEST(InstalledPackage, TheOlderVersionsRemovalWithinAnUpgradeKeepsTheRunValues) {
    if (!InstallRun())
        GTEST_SKIP() << "needs the packages InstallRun.sh names";
    WriteBothRunValues();
    // What RemoveExistingProducts runs on Windows: the newer product's code
    // in UPGRADINGPRODUCTCODE (any code serves here).
    ASSERT_EQ(Msiexec("/x " + Quoted(Environment("TIKO_NEXT_PACKAGE")) +
                      " UPGRADINGPRODUCTCODE={C0DE0000-0000-0000-0000-000000000001}"),
              0u);
    EXPECT_FALSE(Exists(InstalledProgram()));
    EXPECT_TRUE(BothRunValuesExist());
    ASSERT_EQ(Msiexec("/i " + Quoted(Environment("TIKO_NEXT_PACKAGE"))), 0u);
}

TEST(InstalledPackage, UninstallRemovesAllButTheUsersSettings) {
    if (!InstallRun())
        GTEST_SKIP() << "needs the packages InstallRun.sh names";
    WriteBothRunValues();
    // A clock of the installed program on a file of its own.
    const std::wstring clock = RunValueNameFor(AnsiToWide(InstalledProgram()), L"C:\\Clocks\\东京.ini");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        ASSERT_TRUE(WriteRegistryText(root, std::wstring(RunKeyPath) + L"\\" + clock, L"x"));
    ASSERT_TRUE(Exists(UserSettingsFile())) << "needs the settings the clock saved";
    ASSERT_EQ(Msiexec("/x " + Quoted(Environment("TIKO_NEXT_PACKAGE"))), 0u);
    EXPECT_FALSE(Exists(InstalledFolder())) << "the program folder stayed";
    EXPECT_FALSE(InstallRecord().has_value());
    EXPECT_FALSE(Exists(StartMenuShortcut()));
    EXPECT_TRUE(TikoClockEntries().empty());
    EXPECT_TRUE(NoRunValueExists());
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        EXPECT_FALSE(ReadRunValue(clock, root).has_value()) << "a clock's own value stayed";
    EXPECT_TRUE(Exists(UserSettingsFile()));
    DeleteFileA(UserSettingsFile().c_str());
}

} // namespace
