#pragma once
// This test executable started once more, to run one test in a process of
// its own.
#include <windows.h>

#include <string>

// Starts it with these arguments after its own path (a --gtest_filter, for
// one); handles of nothing when it cannot be started.
inline PROCESS_INFORMATION StartTestProcess(const std::wstring& arguments) {
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    return process;
}
