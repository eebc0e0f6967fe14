#pragma once
// The real TikoClock.exe (and the bare floor programs) while they only tick,
// read from outside: the CPU time of the Linux process that runs a program
// (see ProcStat.h), the run time of all its threads to the nanosecond, and
// the moment each new second reaches the screen.
#include "bench/BenchStats.h"

#include <windows.h>

#include <string>
#include <vector>

struct CpuSample {
    std::string name;
    double cpuSeconds = 0;
};

struct IdleResult {
    bool ok = false;
    std::string error;
    int ticks = 0;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double share = 0; // of one core, 0..1
    unsigned long exitCode = 0;
    bool exited = false;
    SIZE window{}; // the program's window, read once it was up
    // Other Linux processes read over the same interval (Xvfb, wineserver).
    std::vector<CpuSample> others;
};

struct OtherProcess {
    std::string name;
    long pid;
};

// A program to start in a fresh folder: its top-level window's class tells
// that it is up; Esc posted to that window ends it.
struct IdleProgram {
    std::string executable;
    std::string arguments;
    std::wstring windowClass = L"TikoClockWindow";
    std::string iniBytes; // 配置.ini next to it, when not empty
};

// Starts the program, lets it settle, reads its CPU time over that many
// seconds, then closes it with Esc.
IdleResult MeasureIdle(const IdleProgram& program, int seconds, const std::vector<OtherProcess>& others);

// Adds a run to the total of several runs of one program; a failed run
// makes the total fail with its error.
void AddIdleRun(IdleResult& total, const IdleResult& run);

// The same for a copy of the clock, with that settings file when iniBytes
// is not empty.
IdleResult MeasureIdleClock(const std::string& executable, const std::string& iniBytes, int ticks,
                            const std::vector<OtherProcess>& others);

// Anonymous memory (RssAnon) of a program's Linux process, read that many
// seconds after its start, in kB.
struct MemoryReading {
    bool ok = false;
    std::string error;
    long anonKb = 0;
};
MemoryReading MeasureStartedMemory(const IdleProgram& program, int secondsAfterStart);

// Milliseconds from the call that makes a program's process to its window
// shown, seen every millisecond; the program is closed right after.
struct StartReading {
    bool ok = false;
    std::string error;
    double milliseconds = 0;
};
StartReading MeasureStart(const IdleProgram& program);

// Anonymous memory of the clock that many seconds after its start, and as
// long after its settings window, opened with the gear, was closed, in kB.
struct SettingsMemory {
    bool ok = false;
    std::string error;
    long beforeKb = 0;
    long afterKb = 0;
};
SettingsMemory MeasureSettingsMemory(const std::string& executable, int seconds);

// When each new second reaches the screen, seen from this process by
// reading the clock window's pixels off the screen while the clock runs.
struct TickTiming {
    bool ok = false;
    std::string error;
    int seconds = 0;  // whole seconds watched
    int changes = 0;  // changes of the window's pixels seen in them
    Summary delay;    // ms from the start of a second to the change seen in it
    int skipped = 0;  // seconds in which the window did not change
    int repeated = 0; // changes beyond the first within one second
    Summary poll;     // ms between two reads of the screen
};

TickTiming MeasureTickTiming(const std::string& executable, int seconds);
