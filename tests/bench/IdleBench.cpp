#include "bench/IdleBench.h"

#include "bench/BenchStats.h"
#include "bench/ProcStat.h"
#include "bench/ScreenReader.h"
#include "bench/Screenshots.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>

namespace {

// Looks every millisecond, so that the moment it appears is known to one.
HWND WaitForClockWindow(DWORD processId, HANDLE process, const std::wstring& windowClass) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 60'000) {
        const HWND found = FindShownWindow(processId, windowClass.c_str(), nullptr);
        if (found || WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            return found;
        Sleep(1);
    }
    return nullptr;
}

void RemoveRunDirectory(const std::string& directory, const std::string& executableName) {
    for (const std::string& name : {executableName, std::string("配置.ini")}) {
        const std::string path = directory + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(directory.c_str());
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A copy of a program started in a fresh folder (which names its Linux
// process), its window up and, unless told otherwise, settled; closed with
// Esc when this goes.
class StartedProgram {
public:
    explicit StartedProgram(const IdleProgram& program, bool settle = true)
        : fileName(FileNameOf(program.executable)) {
        char temp[MAX_PATH]{};
        GetTempPathA(MAX_PATH, temp);
        marker = "tiko-bench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
        directory = std::string(temp) + marker;
        CreateDirectoryA(directory.c_str(), nullptr);
        const std::string copy = directory + "\\" + fileName;
        if (!CopyFileA(program.executable.c_str(), copy.c_str(), FALSE)) {
            error = "cannot copy " + program.executable;
            return;
        }
        if (!program.iniBytes.empty()) {
            HANDLE file = CreateFileA((directory + "\\配置.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            DWORD written = 0;
            if (file != INVALID_HANDLE_VALUE) {
                WriteFile(file, program.iniBytes.data(), static_cast<DWORD>(program.iniBytes.size()),
                          &written, nullptr);
                CloseHandle(file);
            }
        }
        // The pointer stays off the clock: its buttons would otherwise show.
        SetCursorPos(0, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine =
            "\"" + copy + "\"" + (program.arguments.empty() ? "" : " " + program.arguments);
        const Stopwatch watch;
        const double created = watch.Now();
        if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            directory.c_str(), &startup, &info)) {
            error = "cannot start " + fileName;
            info = {};
            return;
        }
        CloseHandle(info.hThread);
        window = WaitForClockWindow(info.dwProcessId, info.hProcess, program.windowClass);
        shownAfter = watch.Now() - created;
        linuxPid = window ? FindLinuxProcess(marker) : 0; // the directory names it
        if (!window)
            error = "the window did not appear";
        else if (!linuxPid)
            error = "no Linux process found for " + fileName;
        else if (settle)
            Sleep(3000); // start-up work (fonts, first frames) is not part of the idle cost
    }

    ~StartedProgram() {
        Close();
        RemoveRunDirectory(directory, fileName);
    }
    // Ends the program with Esc (killing it when that does not end it).
    void Close() {
        if (!info.hProcess)
            return;
        if (window)
            PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(info.hProcess, &code);
            exitCode = code;
            exited = true;
        } else {
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, 5000);
        }
        CloseHandle(info.hProcess);
        info.hProcess = nullptr;
    }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool Ready() const { return error.empty(); }
    const std::string& Error() const { return error; }
    HWND Window() const { return window; }
    long LinuxPid() const { return linuxPid; }
    // Milliseconds from the call that made the process to its window seen.
    double ShownAfter() const { return shownAfter; }
    // After Close: whether it ended by itself, and its exit code.
    bool Exited() const { return exited; }
    unsigned long ExitCode() const { return exitCode; }

private:
    std::string fileName, marker, directory, error;
    PROCESS_INFORMATION info{};
    HWND window = nullptr;
    long linuxPid = 0;
    double shownAfter = 0;
    unsigned long exitCode = 0;
    bool exited = false;
};

} // namespace

IdleResult MeasureIdle(const IdleProgram& program, int seconds, const std::vector<OtherProcess>& others) {
    IdleResult result;
    result.ticks = seconds;
    StartedProgram started(program);
    if (!started.Ready()) {
        result.error = started.Error();
        return result;
    }
    RECT window{};
    GetWindowRect(started.Window(), &window);
    result.window = {window.right - window.left, window.bottom - window.top};
    Stopwatch watch;
    std::vector<std::optional<double>> othersBefore;
    for (const OtherProcess& other : others)
        othersBefore.push_back(ProcessCpuSecondsPrecise(other.pid));
    const auto before = ProcessCpuSecondsPrecise(started.LinuxPid());
    const double start = watch.Now();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const auto after = ProcessCpuSecondsPrecise(started.LinuxPid());
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
        result.error = "cannot read the CPU time";
    }
    started.Close();
    result.exited = started.Exited();
    result.exitCode = started.ExitCode();
    return result;
}

void AddIdleRun(IdleResult& total, const IdleResult& run) {
    if (!total.error.empty())
        return;
    if (!run.ok) {
        total = run;
        return;
    }
    total.exited = (total.ok ? total.exited : true) && run.exited;
    total.exitCode = total.exitCode ? total.exitCode : run.exitCode;
    total.ok = true;
    total.window = run.window;
    total.ticks += run.ticks;
    total.wallSeconds += run.wallSeconds;
    total.cpuSeconds += run.cpuSeconds;
    total.share = total.cpuSeconds / total.wallSeconds;
    for (const CpuSample& other : run.others) {
        const auto same = std::ranges::find(total.others, other.name, &CpuSample::name);
        if (same == total.others.end())
            total.others.push_back(other);
        else
            same->cpuSeconds += other.cpuSeconds;
    }
}

IdleResult MeasureIdleClock(const std::string& executable, const std::string& iniBytes, int ticks,
                            const std::vector<OtherProcess>& others) {
    return MeasureIdle({executable, "", L"TikoClockWindow", iniBytes}, ticks, others);
}

namespace {

// Waits the rest of that many seconds since the stopwatch read start.
void SleepUntil(const Stopwatch& watch, double start, int seconds) {
    const double left = seconds * 1000.0 - (watch.Now() - start);
    if (left > 0)
        Sleep(static_cast<DWORD>(left));
}

// The settings window, opened as a user does: the pointer rests on the
// clock's gear until the button lights, then clicks; null when no settings
// window shows within ten seconds.
HWND OpenSettingsWithGear(HWND clock) {
    constexpr POINT Gear{340, 18}; // the gear's centre in the clock's client area at 100 %
    DWORD processId = 0;
    GetWindowThreadProcessId(clock, &processId);
    HWND settings = nullptr;
    const DWORD start = GetTickCount();
    for (int move = 0; !settings && GetTickCount() - start < 10000; ++move) {
        POINT at = Gear;
        ClientToScreen(clock, &at);
        SetCursorPos(at.x + move % 2, at.y);
        Sleep(100);
        if (move % 5 == 4) {
            mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
            mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
            Sleep(200);
        }
        settings = FindShownWindow(processId, nullptr, L"\u8bbe\u7f6e"); // "设置"
    }
    SetCursorPos(0, 0);
    return settings;
}

} // namespace

MemoryReading MeasureStartedMemory(const IdleProgram& program, int secondsAfterStart) {
    MemoryReading reading;
    Stopwatch watch;
    const double start = watch.Now();
    StartedProgram started(program);
    if (!started.Ready()) {
        reading.error = started.Error();
        return reading;
    }
    SleepUntil(watch, start, secondsAfterStart);
    const std::optional<long> anon = AnonymousKbOf(started.LinuxPid());
    if (!anon) {
        reading.error = "cannot read the process's status";
        return reading;
    }
    reading.anonKb = *anon;
    reading.ok = true;
    return reading;
}

StartReading MeasureStart(const IdleProgram& program) {
    const StartedProgram started(program, false);
    if (!started.Ready())
        return {false, started.Error(), 0};
    return {true, "", started.ShownAfter()};
}

SettingsMemory MeasureSettingsMemory(const std::string& executable, int seconds) {
    SettingsMemory memory;
    Stopwatch watch;
    const double start = watch.Now();
    StartedProgram started({executable, "", L"TikoClockWindow", ""});
    if (!started.Ready()) {
        memory.error = started.Error();
        return memory;
    }
    SleepUntil(watch, start, seconds);
    const std::optional<long> before = AnonymousKbOf(started.LinuxPid());
    const HWND settings = OpenSettingsWithGear(started.Window());
    if (!settings) {
        memory.error = "the gear opened no settings window";
        return memory;
    }
    Sleep(1000);
    PostMessageW(settings, WM_CLOSE, 0, 0);
    for (int wait = 0; wait < 100 && IsWindow(settings); ++wait)
        Sleep(50);
    if (IsWindow(settings)) {
        memory.error = "the settings window did not close";
        return memory;
    }
    const double closed = watch.Now();
    SleepUntil(watch, closed, seconds);
    const std::optional<long> after = AnonymousKbOf(started.LinuxPid());
    if (!before || !after) {
        memory.error = "cannot read the process's status";
        return memory;
    }
    memory = {true, "", *before, *after};
    return memory;
}

TickTiming MeasureTickTiming(const std::string& executable, int seconds) {
    TickTiming timing;
    StartedProgram started({executable, "", L"TikoClockWindow", ""});
    if (!started.Ready()) {
        timing.error = started.Error();
        return timing;
    }
    RECT rect{};
    GetWindowRect(started.Window(), &rect);
    ScreenReader reader(rect);
    std::vector<std::uint8_t> shown, now;
    if (!reader.Ready() || !reader.Read(shown)) {
        timing.error = "cannot read the screen";
        return timing;
    }
    // Whole seconds from the next one on; a change seen within a second is
    // taken to show that second (delays stay well below a second).
    const double first = (std::floor(WallMilliseconds() / 1000) + 1) * 1000;
    const double end = first + seconds * 1000.0;
    std::vector<int> changesPerSecond(static_cast<std::size_t>(seconds), 0);
    std::vector<double> delays, polls;
    double lastRead = WallMilliseconds();
    for (double at = lastRead; at < end + 500; at = WallMilliseconds()) {
        Sleep(1);
        if (!reader.Read(now))
            continue;
        const double seen = WallMilliseconds();
        polls.push_back(seen - lastRead);
        lastRead = seen;
        if (now == shown)
            continue;
        std::swap(now, shown);
        if (seen < first || seen >= end)
            continue;
        const auto second = static_cast<std::size_t>((seen - first) / 1000);
        ++changesPerSecond[second];
        delays.push_back(seen - first - static_cast<double>(second) * 1000);
    }
    for (int changes : changesPerSecond) {
        timing.skipped += changes == 0;
        timing.repeated += changes > 1 ? changes - 1 : 0;
    }
    timing.seconds = seconds;
    timing.changes = static_cast<int>(delays.size());
    timing.delay = Summarise(std::move(delays));
    timing.poll = Summarise(std::move(polls));
    timing.ok = true;
    return timing;
}
