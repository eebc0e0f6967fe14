// Shared main of the test executables: GDI+ runs for the whole test run, as
// it does for the whole life of the program.
#include "support/TestArguments.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

std::vector<std::string>& TestArguments() {
    static std::vector<std::string> arguments;
    return arguments;
}

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string converted = "Z:" + path;
    for (char& c : converted)
        if (c == '/')
            c = '\\';
    return converted;
}

namespace {

// A run in which no test passed (every one skipped, or none selected) did
// not test anything: it ends with the code CTest counts as skipped.
constexpr int SkippedExitCode = 77;

// A test program that dies ends at once with the exception's code, as on
// Windows, and says so. Under Wine a thread killed by a stack overflow
// leaves the process running on or ending with another thread's code.
void EndWith(const char* what, DWORD code) {
    char line[96];
    const int length = wsprintfA(line, "\n[  CRASH   ] %s, exception 0x%08lX\n", what, code);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
    TerminateProcess(GetCurrentProcess(), code);
}

// First chance: a stack overflow leaves too little stack for any later handler.
LONG CALLBACK EndAtStackOverflow(EXCEPTION_POINTERS* exception) {
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    if (code == EXCEPTION_STACK_OVERFLOW)
        EndWith("stack overflow", code);
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI EndAtUnhandledException(EXCEPTION_POINTERS* exception) {
    EndWith("unhandled exception", exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_CONTINUE_SEARCH;
}

int PassedOrSkipped() {
    if (GTEST_FLAG_GET(list_tests))
        return 0;
    return testing::UnitTest::GetInstance()->successful_test_count() > 0 ? 0 : SkippedExitCode;
}

} // namespace

int main(int argc, char** argv) {
    AddVectoredExceptionHandler(1, EndAtStackOverflow);
    SetUnhandledExceptionFilter(EndAtUnhandledException);
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        TestArguments().emplace_back(argv[i]);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    const int result = RUN_ALL_TESTS();
    Gdiplus::GdiplusShutdown(token);
    return result == 0 ? PassedOrSkipped() : result;
}
