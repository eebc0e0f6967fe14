#pragma once
// Small services of the window framework: where the program lives, the INI
// file, the screen, the local time, waiting. Texts are ANSI byte strings.
#include <windows.h>

#include <string>
#include <string_view>

// The directory of the running executable, without a trailing backslash.
std::string ProgramDirectory();
// The executable's file name with its extension, "" when it cannot be read.
std::string ExecutableFileName();
// Splits a full path at its last backslash: what follows it.
std::string FileNamePart(std::string_view path);
std::string DirectoryPart(std::string_view path);

// Private-profile access. Reads through a 10240-byte buffer; the platform
// answers the default for a missing key or file.
inline constexpr DWORD IniReadBufferSize = 10240;
std::string ReadIniText(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& defaultText);
bool WriteIniText(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value);
// A search for the path finds something.
bool FileExists(const std::string& path);

struct ScreenSize {
    int width;
    int height;
};
// The primary screen's size in pixels.
ScreenSize PrimaryScreenSize();

// The local date and time. Tests replace the source with a fixed time; the
// program always reads the system's local time.
using ClockSource = SYSTEMTIME (*)();
SYSTEMTIME ReadLocalTime();
void SetClockSource(ClockSource source); // nullptr restores the system clock

// A blocking wait on the calling thread.
void SleepMilliseconds(DWORD milliseconds);
