#include "app/SingleInstance.h"

#include "app/TrayIcon.h"
#include "framework/Services.h"

#include <windows.h>

std::wstring InstanceName(const std::wstring& settingsFilePath) {
    return L"TikoClock." + FileKey(settingsFilePath);
}

std::wstring IdentityInstanceName(const std::wstring& settingsFilePath) {
    const std::wstring identity = FileIdentityKey(settingsFilePath);
    return identity.empty() ? identity : L"TikoClock.File." + identity;
}

bool ClaimInstance(const std::wstring& name, unique_handle& claim) {
    // The session's namespace: another user's clock on a shared file is
    // their own.
    claim.reset(CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str()));
    const DWORD error = GetLastError();
    // A clock run as administrator holds a claim an ordinary process may
    // not open: it runs all the same.
    if (claim ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED) {
        claim.reset();
        return false;
    }
    return true;
}

bool WakeRunningClock(const std::wstring& name) {
    constexpr int Attempts = 40; // 2 s in all
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (const HWND window = FindWindowW(ProgramWindowClassName, name.c_str())) {
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            // The running clock may then take the foreground from this start.
            AllowSetForegroundWindow(processId);
            return PostMessageW(window, BringToFrontMessage(), 0, 0) != FALSE;
        }
        Sleep(50);
    }
    return false;
}
