#include "support/ClockProcess.h"

#include "support/Desktop.h"
#include "support/TestArguments.h"

#include "framework/TextConversion.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    const std::wstring* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND candidate, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    if (owner != search->processId || !IsWindowVisible(candidate))
        return TRUE;
    wchar_t className[64]{};
    GetClassNameW(candidate, className, 64);
    if (search->className && std::wstring_view(className) != search->className)
        return TRUE;
    if (search->title) {
        wchar_t title[256]{};
        GetWindowTextW(candidate, title, 256);
        if (*search->title != title)
            return TRUE;
    }
    search->found = candidate;
    return FALSE;
}

void RemoveDirectoryTree(const std::wstring& directory) {
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = directory + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    SetFileAttributesW(directory.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(directory.c_str());
}

std::wstring CopyPath(const std::wstring& directory) {
    return directory + L"\\TikoClock.exe";
}

// Starts the copy in the directory, in that directory, as Explorer would;
// arguments follow its quoted path.
bool LaunchCopy(const std::wstring& directory, PROCESS_INFORMATION& info, const std::string& arguments = "") {
    const std::wstring executable = CopyPath(directory);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine =
        L"\"" + executable + L"\"" + (arguments.empty() ? L"" : L" " + AnsiToWide(arguments));
    return CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.c_str(), &startup, &info) != FALSE;
}

} // namespace

std::string ClockExecutablePath() {
    const auto& arguments = TestArguments();
    return arguments.empty() ? std::string("TikoClock.exe") : WindowsPath(arguments.front());
}

ClockProcess::ClockProcess(std::wstring_view programFolder) {
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    root = std::wstring(temp) + L"tiko-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++serial);
    CreateDirectoryW(root.c_str(), nullptr);
    directory = programFolder.empty() ? root : root + L"\\" + std::wstring(programFolder);
    CreateDirectoryW(directory.c_str(), nullptr);
}

ClockProcess::ClockProcess(const std::string& installedExecutable)
    : directory(AnsiToWide(installedExecutable.substr(0, installedExecutable.find_last_of('\\')))) {}

ClockProcess::~ClockProcess() {
    if (IsRunning()) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
    if (process)
        CloseHandle(process);
    if (!root.empty())
        RemoveDirectoryTree(root);
}

std::wstring ClockProcess::ExecutablePath() const {
    return CopyPath(directory);
}

std::string ClockProcess::Directory() const {
    return WideToAnsi(directory);
}

std::string ClockProcess::IniPath() const {
    return WideToAnsi(WideIniPath());
}

void ClockProcess::WriteIni(const std::string& bytes) const {
    std::ofstream file(std::filesystem::path(WideIniPath()), std::ios::binary);
    file << bytes;
}

std::optional<std::string> ClockProcess::ReadIniBytes() const {
    std::ifstream file(std::filesystem::path(WideIniPath()), std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool ClockProcess::Start(std::chrono::milliseconds timeout) {
    return StartWith("", timeout);
}

bool ClockProcess::StartWith(const std::string& arguments, std::chrono::milliseconds timeout) {
    // A loaded machine can refuse the copy or the start for a moment (a file
    // still held, a server busy): a few tries, and the error kept if none.
    PROCESS_INFORMATION info{};
    const auto launched = [&] {
        const bool copied = root.empty() || CopyFileW(AnsiToWide(ClockExecutablePath()).c_str(),
                                                      CopyPath(directory).c_str(), FALSE);
        if (copied && LaunchCopy(directory, info, arguments))
            return true;
        launchError = GetLastError();
        return false;
    };
    if (!desktop::WaitUntil(launched, std::chrono::seconds(5), std::chrono::milliseconds(200)))
        return false;
    launchError = 0;
    CloseHandle(info.hThread);
    process = info.hProcess;
    processId = info.dwProcessId;
    desktop::WaitUntil(
        [this] {
            WindowSearch search{processId, L"TikoClockWindow", nullptr, nullptr};
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
            window = search.found;
            return window != nullptr || !IsRunning();
        },
        timeout);
    return window != nullptr;
}

std::optional<DWORD> ClockProcess::StartAgain(std::chrono::milliseconds timeout,
                                              std::chrono::milliseconds* ran) const {
    PROCESS_INFORMATION info{};
    if (!LaunchCopy(directory, info))
        return std::nullopt;
    CloseHandle(info.hThread);
    std::optional<DWORD> code;
    if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(info.hProcess, &exitCode);
        code = exitCode;
        FILETIME created{}, ended{}, kernel{}, user{};
        if (ran && GetProcessTimes(info.hProcess, &created, &ended, &kernel, &user)) {
            const auto ticks = [](const FILETIME& time) {
                return (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
            };
            *ran = std::chrono::milliseconds((ticks(ended) - ticks(created)) / 10000);
        }
    } else {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
    return code;
}

RECT ClockProcess::WindowRect() const {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool ClockProcess::MoveTo(POINT to) const {
    SetWindowPos(window, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return desktop::WaitUntil(
        [&] {
            const RECT rect = WindowRect();
            return rect.left == to.x && rect.top == to.y;
        },
        std::chrono::seconds(10));
}

std::optional<DWORD> ClockProcess::WaitForExit(std::chrono::milliseconds timeout) {
    if (!process)
        return std::nullopt;
    const bool ended = desktop::WaitUntil([this] { return !IsRunning(); }, timeout);
    if (!ended)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

bool ClockProcess::IsRunning() const {
    return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

HWND ClockProcess::FindWindowTitled(const std::string& title) const {
    const std::wstring wide = MultiByteToWide(title, GbkCodePage);
    WindowSearch search{processId, nullptr, &wide, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
