#pragma once
// CPU time of Linux processes, read from /proc through Wine's Z: drive. Wine
// answers GetProcessTimes for another process with no user time and keeps
// thread times only to 10 ms; and /proc/self would name the wineserver,
// which opens files for its clients. So processes are named by their Linux
// process id.
#include <optional>
#include <string>

// The whole text of a file that reports no size (as /proc files do).
std::optional<std::string> ReadWholeFile(const std::string& path);

// The CPU time of the threads of a Linux process, to the nanosecond
// (schedstat; /proc/<pid>/stat counts in 10 ms steps).
std::optional<double> ProcessCpuSecondsPrecise(long pid);

// Anonymous memory of a Linux process (RssAnon), in kB.
std::optional<long> AnonymousKbOf(long pid);

// The Linux process whose command line holds the text (0 when none does).
long FindLinuxProcess(const std::string& commandLinePart);
// The Linux process of this program (found by its own executable's path).
long OwnLinuxProcess();
