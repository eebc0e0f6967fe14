#include "app/SystemIntegration.h"

#include "app/AppGlobals.h"
#include "framework/Services.h"
#include "support/ProgramFixture.h"

#include "support/ImportHook.h"
#include "support/RunValue.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <optional>
#include <string>

namespace {

// The "remove as administrator" box is answered through the import table:
// a value left behind shows it, and unanswered it would hold the test until
// CTest's time-out. Only a fixture that expects the box may see it.
class StartWithWindows : public testing::Test {
protected:
    ClockWindowFixtureState state;
    void SetUp() override {
        shownText.clear();
        answer = IDNO;
        ASSERT_TRUE(answerBox.Installed());
        DeleteStartWithWindows();
    }
    void TearDown() override {
        SetStartWithWindowsRoot(HKEY_LOCAL_MACHINE);
        DeleteStartWithWindows();
        EXPECT_TRUE(boxExpected || shownText.empty()) << "a value of this clock was left behind";
    }
    static int WINAPI Answer(HWND, LPCWSTR text, LPCWSTR, UINT) {
        shownText = text;
        return answer;
    }

    bool boxExpected = false;
    static inline int answer = IDNO;
    static inline std::wstring shownText;
    ImportHook answerBox{"user32.dll", "MessageBoxW", reinterpret_cast<void*>(&Answer)};
};

TEST_F(StartWithWindows, CheckingWritesTheQuotedFullPathUnderTheExecutableName) {
    App().settings.startWithWindows = false;
    EXPECT_TRUE(ApplyStartWithWindows(true));
    EXPECT_TRUE(App().settings.startWithWindows);

    const std::wstring name = OwnRunValueName();
    EXPECT_TRUE(name.starts_with(L"app_tests.exe (")) << WideToAnsi(name);
    const auto value = ReadRunValue(name);
    ASSERT_TRUE(value.has_value());
    // The stored size includes the terminating zero; Windows reads the data
    // as a command line, where only quotes keep a path with spaces whole.
    const std::wstring expected = L"\"" + ProgramDirectory() + L"\\" + ExecutableFileName() + L"\"";
    EXPECT_EQ(*value, expected + L'\0');
}

// Task Manager's "disabled" outlives the value: checking the box overrides
// it, and clearing takes it with the value.
TEST_F(StartWithWindows, ClearingDeletesTheValueAndCheckingOrClearingTaskManagersChoice) {
    PlantDisabledStartup(OwnRunValueName());
    ASSERT_TRUE(StartupChoiceExists(OwnRunValueName()));
    ASSERT_TRUE(ApplyStartWithWindows(true));
    EXPECT_FALSE(StartupChoiceExists(OwnRunValueName())) << "written again, the value would stay disabled";
    PlantDisabledStartup(OwnRunValueName());
    EXPECT_FALSE(ApplyStartWithWindows(false));
    EXPECT_FALSE(App().settings.startWithWindows);
    EXPECT_FALSE(ReadRunValue(OwnRunValueName()).has_value());
    EXPECT_FALSE(StartupChoiceExists(OwnRunValueName()));
}

TEST_F(StartWithWindows, DeletingWhenAlreadyOffStillRemovesAStaleValue) {
    ASSERT_TRUE(ApplyStartWithWindows(true));
    App().settings.startWithWindows = false;
    DeleteStartWithWindows();
    EXPECT_FALSE(ReadRunValue(OwnRunValueName()).has_value());
}

// A copy made to stand in a folder with spaces, by the path
// GetModuleFileNameW reports for it.
DWORD WINAPI ModuleFileInFolderWithSpaces(HMODULE module, LPWSTR buffer, DWORD size) {
    static const auto original = reinterpret_cast<decltype(&GetModuleFileNameW)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetModuleFileNameW")));
    wchar_t real[MAX_PATH]{};
    if (module || original(nullptr, real, MAX_PATH) == 0)
        return original(module, buffer, size);
    const std::wstring path = DirectoryPart(real) + L"\\Tiko Clock\\" + FileNamePart(real);
    if (path.size() >= size)
        return 0;
    buffer[path.copy(buffer, path.size())] = L'\0';
    return static_cast<DWORD>(path.size());
}

// Two copies of the program have a value each, and one copy one value
// whatever the current folder; the name earlier versions shared goes only
// where it starts this copy, quoted or, as 1.0.0 wrote it, not.
TEST_F(StartWithWindows, EachCopyHasAValueOfItsOwnAndAnOldSharedOneGoesOnlyWhenItIsThisCopys) {
    EXPECT_NE(RunValueNameFor(L"C:\\One\\TikoClock.exe"), RunValueNameFor(L"C:\\Two\\TikoClock.exe"));
    EXPECT_EQ(RunValueNameFor(L"C:\\One\\TikoClock.exe"), RunValueNameFor(L"c:\\one\\.\\TikoClock.exe"));
    wchar_t current[MAX_PATH]{};
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, current), 0u);
    std::wstring atRoot[2];
    for (int at = 0; at < 2; ++at) {
        ASSERT_TRUE(SetCurrentDirectoryW(at ? L"C:\\windows\\system32" : L"C:\\windows"));
        atRoot[at] = RunValueNameFor(L"C:\\TikoClock.exe");
    }
    SetCurrentDirectoryW(current);
    EXPECT_EQ(atRoot[0], atRoot[1]) << "a copy at a drive's root named after the drive's current folder";

    const ImportHook moved("kernel32.dll", "GetModuleFileNameW",
                           reinterpret_cast<void*>(&ModuleFileInFolderWithSpaces));
    const std::wstring program = ExecutablePath();
    ASSERT_NE(program.find(L"\\Tiko Clock\\"), std::wstring::npos);
    const std::wstring folder = DirectoryPart(program);
    const struct {
        std::wstring command;
        bool thisCopys;
    } cases[] = {{StartWithWindowsCommand(), true},
                 {program, true},
                 {program + L" --settings \"" + folder + L"\\x y.ini\"", true},
                 {L"\"" + folder + L" 2\\app_tests.exe\"", false},
                 {folder + L" 2\\app_tests.exe", false},
                 {folder + L"\\app_tests.exe2 x", false}};
    const std::wstring legacy = RunValuePath(ExecutableFileName());
    for (const auto& c : cases)
        for (const auto remove : {&DeleteStartWithWindows, &DeleteEveryRunValueOfThisCopy}) {
            for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
                ASSERT_TRUE(WriteRegistryText(root, legacy, c.command));
            remove();
            for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
                EXPECT_EQ(ReadRunValue(ExecutableFileName(), root).has_value(), !c.thisCopys)
                    << WideToAnsi(c.command);
        }
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        DeleteRegistryValue(root, legacy);
}

// A clock on a file of its own has a value of its own, which starts it on
// that file; clearing it leaves the default clock's, and the uninstall's
// deletion takes every value of this copy and no other copy's.
TEST_F(StartWithWindows, AClockOnItsOwnFileHasItsOwnValueAndTheUninstallTakesEveryOneOfThisCopy) {
    const std::wstring file = ProgramDirectory() + L"\\时钟 们\\东京.ini";
    ASSERT_TRUE(ApplyStartWithWindows(true)); // the default clock's
    App().ownSettingsFile = file;
    ASSERT_TRUE(ApplyStartWithWindows(true));
    const std::wstring own = RunValueNameFor(ExecutablePath(), file);
    EXPECT_EQ(own.substr(0, OwnRunValueName().size() + 9), OwnRunValueName() + L" 东京.ini (");
    EXPECT_EQ(ReadRunValue(own), L"\"" + ExecutablePath() + L"\" --settings \"" + file + L"\"" + L'\0');
    ASSERT_TRUE(ReadRunValue(OwnRunValueName()).has_value());

    EXPECT_FALSE(ApplyStartWithWindows(false));
    EXPECT_FALSE(ReadRunValue(own).has_value());
    EXPECT_TRUE(ReadRunValue(OwnRunValueName()).has_value()) << "the default clock's value went too";

    const std::wstring otherCopy = L"app_tests.exe (00000000) 东京.ini (00000000)";
    const std::wstring lookalike = OwnRunValueName() + L"x";
    for (const std::wstring& name : {own, otherCopy, lookalike}) {
        ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, std::wstring(RunKeyPath) + L"\\" + name, L"x"));
        PlantDisabledStartup(name);
    }
    DeleteRunValueNamed(otherCopy); // an elevated run deletes only this copy's
    EXPECT_TRUE(ReadRunValue(otherCopy).has_value());
    DeleteEveryRunValueOfThisCopy();
    EXPECT_FALSE(ReadRunValue(own).has_value());
    EXPECT_FALSE(StartupChoiceExists(own));
    EXPECT_FALSE(ReadRunValue(OwnRunValueName()).has_value());
    EXPECT_TRUE(ReadRunValue(otherCopy).has_value());
    EXPECT_TRUE(ReadRunValue(lookalike).has_value());
    for (const std::wstring& name : {otherCopy, lookalike}) {
        EXPECT_TRUE(StartupChoiceExists(name));
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, std::wstring(RunKeyPath) + L"\\" + name);
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, std::wstring(StartupApprovedKeyPath) + L"\\" + name);
    }
    App().ownSettingsFile.clear();
}

// A root that is no key at all: neither open nor create can succeed, as
// under HKEY_LOCAL_MACHINE for a process that is not elevated.
const HKEY RefusedRoot = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7654321));

TEST_F(StartWithWindows, RefusedMachineWideTheUsersRunKeyGetsTheValueAndClearingRemovesBoth) {
    SetStartWithWindowsRoot(RefusedRoot);
    App().settings.startWithWindows = false;
    PlantDisabledStartup(OwnRunValueName(), HKEY_CURRENT_USER);
    EXPECT_TRUE(ApplyStartWithWindows(true)) << "the box stays checked";
    EXPECT_FALSE(StartupChoiceExists(OwnRunValueName(), HKEY_CURRENT_USER));
    EXPECT_TRUE(App().settings.startWithWindows);
    const std::wstring name = OwnRunValueName();
    EXPECT_EQ(ReadRunValue(name, HKEY_CURRENT_USER),
              L"\"" + ProgramDirectory() + L"\\" + ExecutableFileName() + L"\"" + L'\0');

    SetStartWithWindowsRoot(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(ApplyStartWithWindows(true));
    ASSERT_TRUE(ReadRunValue(name).has_value());
    EXPECT_FALSE(ApplyStartWithWindows(false));
    EXPECT_FALSE(ReadRunValue(name).has_value());
    EXPECT_FALSE(ReadRunValue(name, HKEY_CURRENT_USER).has_value());
}

TEST_F(StartWithWindows, AFailedWriteClearsTheBoxAndKeepsTheFlag) {
    SetStartWithWindowsRoot(RefusedRoot, RefusedRoot);
    App().settings.startWithWindows = false;
    EXPECT_FALSE(ApplyStartWithWindows(true));
    EXPECT_FALSE(App().settings.startWithWindows);
    // A hand-edited text stays, to be written back as it was.
    const SettingField& field = *FindSettingField("开机启动");
    ReadFieldText(App().settings, field, "1");
    EXPECT_FALSE(ApplyStartWithWindows(true));
    EXPECT_EQ(FieldText(App().settings, field), "1");
}

// A machine-wide value an administrator's run wrote, under a root this user
// may read but not change (as HKEY_LOCAL_MACHINE for an ordinary user). The
// user's answer and the elevated run are played through the import table.
class UndeletableMachineValue : public StartWithWindows {
protected:
    void SetUp() override {
        StartWithWindows::SetUp();
        boxExpected = true;
        RegCreateKeyW(HKEY_CURRENT_USER, L"Software\\TikoClockTests\\Machine", &machine);
        ASSERT_TRUE(WriteRegistryText(machine, StartWithWindowsValuePath(), L"\"C:\\old\\app_tests.exe\""));
        SetStartWithWindowsRoot(machine);
        App().settings.startWithWindows = true;
        ASSERT_TRUE(refuseWrites.Installed() && elevate.Installed());
    }
    void TearDown() override {
        StartWithWindows::TearDown();
        RegCloseKey(machine);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TikoClockTests");
    }
    static LONG WINAPI OpenReadOnly(HKEY root, LPCWSTR key, DWORD options, REGSAM access, PHKEY opened) {
        return root == machine && (access & KEY_SET_VALUE) ? ERROR_ACCESS_DENIED
                                                           : open(root, key, options, access, opened);
    }
    static BOOL WINAPI RunElevated(SHELLEXECUTEINFOW* request) { // deletes the value and ends
        startedCommand =
            std::wstring(request->lpVerb) + L" " + request->lpFile + L" " + request->lpParameters;
        RegDeleteKeyValueW(machine, RunKeyPath, OwnRunValueName().c_str());
        request->hProcess = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        return TRUE;
    }

    static inline HKEY machine = nullptr;
    static inline const auto open = reinterpret_cast<decltype(&RegOpenKeyExW)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegOpenKeyExW")));
    static inline std::wstring startedCommand;
    ImportHook refuseWrites{"advapi32.dll", "RegOpenKeyExW", reinterpret_cast<void*>(&OpenReadOnly)};
    ImportHook elevate{"shell32.dll", "ShellExecuteExW", reinterpret_cast<void*>(&RunElevated)};
};

TEST_F(UndeletableMachineValue, ClearingKeepsTheBoxCheckedUntilTheElevatedRunRemovesIt) {
    answer = IDNO;
    EXPECT_TRUE(ApplyStartWithWindows(false)) << "the program still starts at logon: the box stays checked";
    EXPECT_TRUE(App().settings.startWithWindows);
    EXPECT_NE(shownText.find(L"管理员"), std::wstring::npos) << "the message names what it takes";
    EXPECT_EQ(startedCommand, L"") << "declined: nothing is started";
    answer = IDYES;
    EXPECT_FALSE(ApplyStartWithWindows(false));
    EXPECT_FALSE(App().settings.startWithWindows);
    EXPECT_EQ(startedCommand, L"runas " + ExecutablePath() + L" --delete-run-values --run-value \"" +
                                  OwnRunValueName() + L"\"")
        << "UAC for the program, to delete this clock's value";
    EXPECT_FALSE(RegistryValueExists(machine, StartWithWindowsValuePath()));
}

TEST(RegistryServices, DeleteNeverCreatesTheKey) {
    const std::wstring path = L"Software\\TikoClockTests\\NoSuchKey\\value";
    DeleteRegistryValue(HKEY_CURRENT_USER, path);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\TikoClockTests\\NoSuchKey", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

TEST(RegistryServices, DeleteWithoutAValueNameLeavesTheKeysDefaultValue) {
    // An empty executable file name makes such a path of the Run value.
    const std::wstring key = L"Software\\TikoClockTests\\Run";
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, key + L"\\", L"default"));
    DeleteRegistryValue(HKEY_CURRENT_USER, key + L"\\");
    char data[64]{};
    DWORD size = sizeof data;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\TikoClockTests\\Run", nullptr, RRF_RT_REG_SZ,
                           nullptr, data, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(data, "default");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TikoClockTests");
}

TEST(RegistryServices, WriteCreatesAMissingKey) {
    const std::wstring path = L"Software\\TikoClockTests\\Created\\value";
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, path, L"C:\\x y\\z.exe"));
    char data[64]{};
    DWORD size = sizeof data;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\TikoClockTests\\Created", "value", RRF_RT_REG_SZ,
                           nullptr, data, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(data, "C:\\x y\\z.exe");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TikoClockTests");
}

bool IsTopmost(HWND window) {
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST(Topmost, ExtendedStyleFollowsSetTopmost) {
    ClockWindowFixtureState state;
    ASSERT_NE(state.Window(), nullptr);
    EXPECT_FALSE(IsTopmost(state.Window())) << "the layout creates the window without topmost";
    SetTopmost(true);
    EXPECT_TRUE(IsTopmost(state.Window()));
    SetTopmost(false);
    EXPECT_FALSE(IsTopmost(state.Window()));
    EXPECT_EQ(GetWindow(state.Window(), GW_OWNER), HiddenOwnerWindow()) << "the window stays owned";
    SetTopmost(true);
    EXPECT_TRUE(IsTopmost(state.Window()));
}

TEST(WorkingSetTrimming, RunsOnlyWhileOnAndTrimsAtOnce) {
    ClockWindowFixtureState state;
    WindowTimer& timer = App().clockWindow->trimTimer;
    const int before = WorkingSetTrimCount();

    SetWorkingSetTrimming(10);
    EXPECT_EQ(WorkingSetTrimCount(), before + 1) << "the first trim happens at once";
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_EQ(timer.Interval(), 10000u);

    SetWorkingSetTrimming(-1);
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(WorkingSetTrimCount(), before + 1) << "stopping does not trim";
}

TEST(WorkingSetTrimming, TimerTicksTrim) {
    ClockWindowFixtureState state;
    const int before = WorkingSetTrimCount();
    App().clockWindow->trimTimer.SetInterval(20);
    const DWORD start = GetTickCount();
    MSG message{};
    while (WorkingSetTrimCount() == before && GetTickCount() - start < 3000) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(5);
    }
    EXPECT_GT(WorkingSetTrimCount(), before);
}

struct PlacementCase {
    const char* value;
    const char* flag;
    int left;
    int top;
};

class Placement : public testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, OnAFullHdScreen) {
    const PlacementCase& c = GetParam();
    const ClockPlacement placement = ComputeClockPlacement(c.value, 1920, 1080);
    EXPECT_EQ(placement.flag, c.flag);
    EXPECT_EQ(placement.left, c.left);
    EXPECT_EQ(placement.top, c.top);
}

// A place partly off the screen stays while the work area holds the clock's
// whole height and a third of its width (127 of 380 pixels); a sliver moves
// the least way wholly onto it.
INSTANTIATE_TEST_SUITE_P(
    PositionValues, Placement,
    testing::Values(
        PlacementCase{"假|100|100", "假", 770, 465}, PlacementCase{"真|100|100", "真", 100, 100},
        PlacementCase{"真|-50|20", "真", -50, 20}, PlacementCase{"真|5000|5000", "真", 770, 465},
        PlacementCase{"真", "真", 770, 465}, PlacementCase{"真|100", "真", 770, 465},
        PlacementCase{"", "", 770, 465}, PlacementCase{"真|abc|x9", "真", 0, 0},
        PlacementCase{"1|30|40", "1", 30, 40}, PlacementCase{"真|770.5|465", "真", 770, 465},
        PlacementCase{"真|-379|-149", "真", 0, 0}, PlacementCase{"真|-380|0", "真", 770, 465},
        PlacementCase{"真|1919|1079", "真", 1540, 930}, PlacementCase{"真|1920|0", "真", 770, 465},
        PlacementCase{"真|1900|1070", "真", 1540, 930}, PlacementCase{"真|-370|500", "真", 0, 500},
        PlacementCase{"真|-50|-20", "真", 0, 0}, PlacementCase{"真|600|931", "真", 600, 930},
        PlacementCase{"真|1793|200", "真", 1793, 200}, PlacementCase{"真|1794|200", "真", 1540, 200},
        PlacementCase{"真|-253|0", "真", -253, 0}, PlacementCase{"真|-254|0", "真", 0, 0}));

TEST(Placement, OddScreenHalvesTruncate) {
    EXPECT_EQ(ComputeClockPlacement("假", 1365, 768).left, 492);
}

TEST(Placement, FlagWithABarTrailByteStaysWhole) {
    // A GBK character whose second byte is 0x7C, the code of '|'.
    const std::string flag = "\xD8\x7C";
    const ClockPlacement placement = ComputeClockPlacement(flag + "|10|20", 1920, 1080);
    EXPECT_EQ(placement.flag, flag);
    EXPECT_EQ(placement.left, 10);
    EXPECT_EQ(placement.top, 20);
}

TEST(Placement, MovesTheWindowToThePlaceTheFileHolds) {
    ClockWindowFixtureState state;
    App().settings.positionText = "真|120|80";
    PlaceClockWindow();
    RECT rect{};
    GetWindowRect(state.Window(), &rect);
    EXPECT_EQ(rect.left, 120);
    EXPECT_EQ(rect.top, 80);
    EXPECT_EQ(rect.right - rect.left, 380);
    EXPECT_EQ(rect.bottom - rect.top, 150);
}

} // namespace
