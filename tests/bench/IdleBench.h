#pragma once
// CPU time of the real TikoClock.exe while it only ticks, as a share of one
// core, read from the Linux process that runs the program (see ProcStat.h):
// the run time of all its threads, to the nanosecond.
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
    // Other Linux processes read over the same interval (Xvfb, wineserver).
    std::vector<CpuSample> others;
};

struct OtherProcess {
    std::string name;
    long pid;
};

// Starts a copy of the program in a fresh directory (with that settings file
// when iniBytes is not empty), lets it settle, reads its CPU time over ticks
// seconds, then closes it with Esc.
IdleResult MeasureIdleClock(const std::string& executable, const std::string& iniBytes, int ticks,
                            const std::vector<OtherProcess>& others);
