#include "bench/IdleBench.h"

#include "bench/BenchStats.h"
#include "bench/ProcStat.h"

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <sstream>

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchClockWindow(HWND candidate, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    wchar_t className[64]{};
    GetClassNameW(candidate, className, 64);
    if (owner == search->processId && std::wstring_view(className) == L"TikoClockWindow" &&
        IsWindowVisible(candidate)) {
        search->found = candidate;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForClockWindow(DWORD processId, HANDLE process) {
    for (int i = 0; i < 600; ++i) {
        WindowSearch search{processId, nullptr};
        EnumWindows(MatchClockWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found || WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            return search.found;
        Sleep(100);
    }
    return nullptr;
}

void RemoveRunDirectory(const std::string& directory) {
    for (const char* name : {"TikoClock.exe", "配置.ini"}) {
        const std::string path = directory + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(directory.c_str());
}

} // namespace

IdleResult MeasureIdleClock(const std::string& executable, const std::string& iniBytes, int ticks,
                            const std::vector<OtherProcess>& others) {
    IdleResult result;
    result.ticks = ticks;
    char temp[MAX_PATH]{};
    GetTempPathA(MAX_PATH, temp);
    const std::string marker =
        "tiko-bench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    const std::string directory = std::string(temp) + marker;
    CreateDirectoryA(directory.c_str(), nullptr);
    const std::string copy = directory + "\\TikoClock.exe";
    if (!CopyFileA(executable.c_str(), copy.c_str(), FALSE)) {
        result.error = "cannot copy " + executable;
        RemoveRunDirectory(directory);
        return result;
    }

    if (!iniBytes.empty()) {
        HANDLE file = CreateFileA((directory + "\\配置.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (file != INVALID_HANDLE_VALUE) {
            WriteFile(file, iniBytes.data(), static_cast<DWORD>(iniBytes.size()), &written, nullptr);
            CloseHandle(file);
        }
    }

    // The pointer stays off the clock: its buttons would otherwise show.
    SetCursorPos(0, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + copy + "\"";
    if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info)) {
        result.error = "cannot start the clock";
        RemoveRunDirectory(directory);
        return result;
    }
    CloseHandle(info.hThread);

    const HWND window = WaitForClockWindow(info.dwProcessId, info.hProcess);
    const long linuxPid = window ? FindLinuxProcess(marker) : 0; // the directory names it
    if (!window)
        result.error = "the clock window did not appear";
    else if (!linuxPid)
        result.error = "no Linux process found for the clock";
    else {
        // Start-up work (fonts, first frames) is not part of the idle cost.
        Sleep(3000);
        Stopwatch watch;
        std::vector<std::optional<double>> othersBefore;
        for (const OtherProcess& other : others)
            othersBefore.push_back(ProcessCpuSecondsPrecise(other.pid));
        const auto before = ProcessCpuSecondsPrecise(linuxPid);
        const double start = watch.Now();
        Sleep(static_cast<DWORD>(ticks) * 1000);
        const auto after = ProcessCpuSecondsPrecise(linuxPid);
        result.wallSeconds = (watch.Now() - start) / 1000;
        for (std::size_t i = 0; i < others.size(); ++i) {
            const auto otherAfter = ProcessCpuSecondsPrecise(others[i].pid);
            if (othersBefore[i] && otherAfter)
                result.others.push_back({others[i].name, *otherAfter - *othersBefore[i]});
        }
        if (before && after && result.wallSeconds > 0) {
            result.cpuSeconds = *after - *before;
            result.share = result.cpuSeconds / result.wallSeconds;
            result.ok = true;
        } else {
            result.error = "cannot read the clock's CPU time";
        }
    }

    if (window)
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        result.exitCode = code;
        result.exited = true;
    } else {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
    RemoveRunDirectory(directory);
    return result;
}
