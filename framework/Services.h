#pragma once
// Small services of the window framework: where the program lives, the INI
// file, the screen, the local time, waiting. Paths are UTF-16 and reach the
// system through the wide calls, so that a folder named outside the ANSI
// code page works; the texts inside an INI file are GBK byte strings, read
// and written in the process whatever the system's code page.
#include "framework/IniText.h"

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

// The running executable's full path, "" when it cannot be read.
std::wstring ExecutablePath();
// The directory of the running executable, without a trailing backslash.
std::wstring ProgramDirectory();
// The executable's file name with its extension, "" when it cannot be read.
std::wstring ExecutableFileName();
// Splits a full path at its last backslash: what follows it.
std::wstring FileNamePart(std::wstring_view path);
std::wstring DirectoryPart(std::wstring_view path);

// Reads a key of an INI file as IniFileReader does; the default for a
// missing key or file.
inline constexpr DWORD IniReadBufferSize = 10240;
std::string ReadIniText(const std::wstring& path, const std::string& section, const std::string& key,
                        const std::string& defaultText);
// The path in the form the file calls take past MAX_PATH ("\\?\C:\...",
// "\\?\UNC\server\..."), whether or not the system has long paths
// enabled; a shorter path as it is.
std::wstring ExtendedLengthPath(const std::wstring& path);
// A search for the path finds something.
bool FileExists(const std::wstring& path);
// The same 16 hexadecimal digits for every way of writing a file's full path
// (case ignored, as Windows does; short 8.3 names, subst drives and junctions
// resolved where the file or its folder exists): a hash that names the
// objects standing for the file, whatever the path's length.
std::wstring FileKey(const std::wstring& path);

// The GBK names of the sections a program's INI file holds: a file without
// a byte order mark counts as UTF-8 only when it is valid UTF-8 and names
// one of them in UTF-8 (GBK text is rarely valid UTF-8, never so named).
using IniSections = std::span<const char* const>;

// The file's bytes as GBK text: a file saved as UTF-8 (a byte order mark, or
// see IniSections) or as UTF-16 with its byte order mark (Notepad's
// "Unicode") converted, any other file as it is; nothing when it cannot be
// read.
std::optional<std::string> ReadIniFileBytes(const std::wstring& path, IniSections knownSections);

// Reads the keys of a file, read whole once as GBK text (see
// ReadIniFileBytes): a value as the profile functions give it, at most
// IniReadBufferSize - 1 bytes; the default for a missing key or file.
class IniFileReader {
public:
    IniFileReader(const std::wstring& path, IniSections knownSections);

    std::string Text(const std::string& section, const std::string& key,
                     const std::string& defaultText) const;

private:
    IniText file;
};

// One key of an INI file and the text it gets.
struct IniEntry {
    const char* section;
    const char* key;
    std::string value;
};

// How a save ended: the system's error code that stopped it.
struct SaveResult {
    DWORD error = ERROR_SUCCESS;
    explicit operator bool() const { return error == ERROR_SUCCESS; }
};

// Writes the entries into a copy of source (into an empty file when source
// does not exist) beside path, then puts that file at path in one step: a
// reader, or a process that ends half-way, finds the old file or the new
// one, never half of one. The copy holds source as GBK text (see
// ReadIniFileBytes), changed only where an entry differs, and replaces path
// only when every byte of it reached the disk (a short write is a failure).
// Its name is unique to the process, and a mutex named
// after path's full path is held from reading source to replacing path, so
// that the saves of two processes never mix. A read-only file or a folder at
// path is left as it is.
SaveResult WriteIniFileWhole(const std::wstring& path, const std::wstring& source,
                             std::span<const IniEntry> entries, IniSections knownSections = {});

// Whether a new file can be made in the folder (a probe file, removed at once).
bool FolderAcceptsNewFiles(const std::wstring& folder);
// Whether a save can put a new file at path: its folder takes new files, and
// a file already there is neither read-only nor refuses to be opened for
// writing and deletion (held by another program, or not the user's to change).
bool SaveCanReplace(const std::wstring& path);
// The current user's roaming application-data folder, "" when there is none.
std::wstring UserApplicationDataDirectory();

// Loads a DLL of the system folder by its full path there (a second load
// only counts up); false when the system has no such DLL.
bool LoadSystemDll(const wchar_t* name);

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
// The same moment in UTC: the system's, or the test source's local time
// taken back to UTC by the machine's zone.
SYSTEMTIME ReadUtcTime();

// A blocking wait on the calling thread.
void SleepMilliseconds(DWORD milliseconds);
