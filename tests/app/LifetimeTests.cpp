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

TEST(Lifetime, OnlyTheDeleteRunValuesArgumentAloneKeepsTheClockFromStarting) {
    struct Case {
        const wchar_t* commandLine;
        bool deletesOnly;
    };
    for (const Case& c : {
             Case{LR"("C:\Program Files\Tiko Clock\TikoClock.exe" --delete-run-values)", true},
             Case{LR"(TikoClock.exe --delete-run-values)", true},
             Case{LR"("C:\Program Files\Tiko Clock\TikoClock.exe")", false},
             Case{LR"(TikoClock.exe --delete-run-values --later)", false},
             Case{LR"(TikoClock.exe --unknown --delete-run-values)", false},
             Case{LR"(TikoClock.exe --delete-run-value)", false},
             Case{LR"(TikoClock.exe "--delete-run-values now")", false},
             Case{LR"(TikoClock.exe /delete-run-values)", false},
         }) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.commandLine)));
        EXPECT_EQ(AsksOnlyToDeleteRunValues(c.commandLine), c.deletesOnly);
    }
}

} // namespace
