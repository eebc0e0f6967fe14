#pragma once
// Small services of the window framework: where the program lives, the INI
// file, the screen, the local time, waiting. Texts are ANSI byte strings.
#include <windows.h>

#include <span>
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

// One key of an INI file and the text it gets.
struct IniEntry {
    const char* section;
    const char* key;
    std::string value;
};
// Writes the entries into a copy of source (into an empty file when source
// does not exist) beside path, then puts that file at path in one step: a
// reader, or a process that ends half-way, finds the old file or the new
// one, never half of one. A read-only file or a folder at path is left as it
// is. True when path holds the new file.
bool WriteIniFileWhole(const std::string& path, const std::string& source, std::span<const IniEntry> entries);

// Whether a new file can be made in the folder (a probe file, removed at once).
bool FolderAcceptsNewFiles(const std::string& folder);
// The current user's application-data folder, "" when there is none.
std::string UserApplicationDataDirectory();

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
