#pragma once
// Where the clock's memory and start-up time go: its start-up sequence taken
// step by step in a fresh process of this program, each step read as its
// time and the growth of the process's anonymous memory (RssAnon) and of the
// bytes its heaps hold, and
// what the clock view keeps at the end, by kind, to the byte.
#include <string>
#include <vector>

struct MemoryStep {
    std::string name;
    long anonKb = 0;         // RssAnon after the step
    long heapKb = 0;         // bytes held in all of the process's heaps, after the step
    double milliseconds = 0; // the step's own work (the first: since the process was made)
};

struct MemoryKind {
    std::string name;
    long kb = 0;
};

struct MemorySteps {
    bool ok = false;
    std::string error;
    std::vector<MemoryStep> steps;
    std::vector<MemoryKind> kinds; // what the view holds once the clock is up and hovered
};

// The command-line switch that makes bench.exe the fresh process.
inline constexpr char MemoryStepsSwitch[] = "--memory-steps";

// Starts this executable with the switch and reads its report.
MemorySteps MeasureMemorySteps();

// The fresh process's side: takes the steps and prints them on stdout. The
// marker is the one its command line holds after the switch.
int RunMemorySteps(const std::string& marker);
