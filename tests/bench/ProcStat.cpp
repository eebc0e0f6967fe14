#include "bench/ProcStat.h"

#include <windows.h>

#include <cstdlib>

namespace {

std::string ProcPath(long pid, const std::string& entry) {
    return "Z:\\proc\\" + std::to_string(pid) + "\\" + entry;
}

template <class Visit> void ForEachNumberedEntry(const std::string& directory, Visit visit) {
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        char* end = nullptr;
        const long number = std::strtol(entry.cFileName, &end, 10);
        if (number > 0 && !*end && !visit(number))
            break;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

std::optional<long> AnonymousKbOf(long pid) {
    const auto status = ReadWholeFile("Z:\\proc\\" + std::to_string(pid) + "\\status");
    const std::size_t at = status ? status->find("RssAnon:") : std::string::npos;
    if (at == std::string::npos)
        return std::nullopt;
    return std::atol(status->c_str() + at + 8);
}

std::optional<double> ProcessCpuSecondsPrecise(long pid) {
    double nanoseconds = 0;
    bool any = false;
    ForEachNumberedEntry(ProcPath(pid, "task"), [&](long thread) {
        const auto text = ReadWholeFile(ProcPath(pid, "task\\" + std::to_string(thread) + "\\schedstat"));
        if (text && !text->empty()) {
            nanoseconds += std::atof(text->c_str());
            any = true;
        }
        return true;
    });
    if (!any)
        return std::nullopt;
    return nanoseconds / 1e9;
}

long FindLinuxProcess(const std::string& commandLinePart) {
    long found = 0;
    ForEachNumberedEntry("Z:\\proc", [&](long pid) {
        const auto commandLine = ReadWholeFile(ProcPath(pid, "cmdline"));
        if (commandLine && commandLine->find(commandLinePart) != std::string::npos)
            found = pid;
        return found == 0;
    });
    return found;
}

long OwnLinuxProcess() {
    char path[MAX_PATH]{};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    // Z:\a\b.exe is /a/b.exe on the Linux side.
    std::string unixPath = path;
    if (unixPath.size() > 2 && (unixPath[0] == 'Z' || unixPath[0] == 'z') && unixPath[1] == ':')
        unixPath.erase(0, 2);
    for (char& c : unixPath)
        if (c == '\\')
            c = '/';
    const long pid = FindLinuxProcess(unixPath);
    return pid ? pid : FindLinuxProcess(path);
}
