#include "app/SingleInstance.h"

#include "app/TrayIcon.h"
#include "framework/TextConversion.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace {

std::wstring FullPath(const std::string& path) {
    const std::wstring wide = AnsiToWide(path);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return wide;
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    full.resize(written < length ? written : 0);
    return full.empty() ? wide : full;
}

// FNV-1a over the UTF-16 units: names stay short whatever the path's length.
std::uint64_t Hash(const std::wstring& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const wchar_t unit : text) {
        hash ^= static_cast<std::uint16_t>(unit);
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

std::wstring InstanceName(const std::string& settingsFilePath) {
    std::wstring path = FullPath(settingsFilePath);
    if (!path.empty())
        CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    wchar_t hex[17]{};
    swprintf(hex, std::size(hex), L"%016llx", static_cast<unsigned long long>(Hash(path)));
    return L"TikoClock." + std::wstring(hex);
}

bool ClaimInstance(const std::wstring& name, unique_handle& claim) {
    // The session's namespace: another user's clock on a shared file is
    // their own.
    claim.reset(CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str()));
    if (claim && GetLastError() == ERROR_ALREADY_EXISTS) {
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
