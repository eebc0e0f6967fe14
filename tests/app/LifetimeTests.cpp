// The program's run as a whole, in a process of its own (this executable,
// running one test): the run starts and stops GDI+, which Wine does not
// count, so it must not share the process with the other tests.
#include "app/Lifetime.h"
#include "support/TestProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <string_view>

namespace {

LRESULT CALLBACK RefuseClockWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const wchar_t* className = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->lpszClass;
        if (!IS_INTRESOURCE(className) && std::wstring_view(className) == L"TikoClockWindow")
            return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The other process's part; run only by the test below.
TEST(Lifetime, DISABLED_RunWhereTheClockWindowCannotBeCreated) {
    SetWindowsHookExW(WH_CBT, RefuseClockWindow, nullptr, GetCurrentThreadId());
    ExitProcess(static_cast<UINT>(RunProgram()));
}

TEST(Lifetime, WithoutItsClockWindowTheProgramEndsAtOnceWithAnError) {
    const PROCESS_INFORMATION process =
        StartTestProcess(L"--gtest_also_run_disabled_tests "
                         L"--gtest_filter=Lifetime.DISABLED_RunWhereTheClockWindowCannotBeCreated");
    ASSERT_NE(process.hProcess, nullptr);
    const bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process.hProcess, 0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_TRUE(ended) << "the program waited for messages with no window";
    EXPECT_EQ(exitCode, static_cast<DWORD>(NoClockWindowExitCode));
}

TEST(Lifetime, TheCommandLineAsksToDeleteRunValuesOrNamesTheClocksFile) {
    struct Case {
        const wchar_t* commandLine;
        bool deletesOnly;
        const wchar_t* runValue;
        const wchar_t* settingsFile;
    };
    for (
        const Case& c : {
            Case{LR"("C:\Program Files\Tiko Clock\TikoClock.exe" --delete-run-values)", true, L"", L""},
            Case{LR"(TikoClock.exe --delete-run-values)", true, L"", L""},
            Case{LR"("C:\Program Files\Tiko Clock\TikoClock.exe")", false, L"", L""},
            Case{LR"(TikoClock.exe --delete-run-values --later)", false, L"", L""},
            Case{LR"(TikoClock.exe --unknown --delete-run-values)", false, L"", L""},
            Case{LR"(TikoClock.exe --delete-run-value)", false, L"", L""},
            Case{LR"(TikoClock.exe "--delete-run-values now")", false, L"", L""},
            Case{LR"(TikoClock.exe /delete-run-values)", false, L"", L""},
            // One clock's value, as an elevated run is asked to delete it.
            Case{
                LR"x(TikoClock.exe --delete-run-values --run-value "TikoClock.exe (1a2b3c4d) 东京.ini (5e6f7a8b)")x",
                true, L"TikoClock.exe (1a2b3c4d) 东京.ini (5e6f7a8b)", L""},
            Case{LR"(TikoClock.exe --delete-run-values --run-value "")", false, L"", L""},
            Case{LR"(TikoClock.exe --delete-run-values --run-value)", false, L"", L""},
            // The clock's own file, quoted or not, after any other argument.
            Case{LR"(TikoClock.exe --settings "D:\时钟 们\东京.ini")", false, L"", L"D:\\时钟 们\\东京.ini"},
            Case{LR"(TikoClock.exe --later --settings 东京.ini)", false, L"", L"东京.ini"},
            Case{LR"(TikoClock.exe --settings)", false, L"", L""},
            Case{LR"(TikoClock.exe --settings --delete-run-values)", false, L"", L"--delete-run-values"},
        }) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.commandLine)));
        const ProgramArguments read = ReadProgramArguments(c.commandLine);
        EXPECT_EQ(read.deleteRunValues, c.deletesOnly);
        EXPECT_EQ(read.runValueName, c.runValue);
        EXPECT_EQ(read.settingsFile, c.settingsFile);
    }
}

} // namespace
