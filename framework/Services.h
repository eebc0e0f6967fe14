#pragma once
// Small services of the window framework: where the program lives and what
// names a file, the screen, the local time, waiting. Paths are UTF-16 and reach the
// system through the wide calls, so that a folder named outside the ANSI
// code page works; the texts inside an INI file are GBK byte strings, read
// and written in the process whatever the system's code page.
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <optional>
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
// The file's identity while it exists: its volume and file ID, the same for
// every hard link and symbolic link to it; "" for a file not made yet. A
// file replaced by another (a save in one step) has a new identity.
std::wstring FileIdentityKey(const std::wstring& path);
// The path the file system resolves an existing file or folder to: its long
// names, the drive behind a subst, the target of a junction or symbolic
// link; nothing when it cannot be opened.
std::optional<std::wstring> FinalPath(const std::wstring& path);

// The path a symbolic link points to, made whole (a relative target taken in
// the link's folder); nothing for a path that is no symbolic link.
std::optional<std::wstring> SymbolicLinkTarget(const std::wstring& link);

// Every other opener may read, write and delete.
inline constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// CreateFileW on the path's long form; its failure as an empty handle, with
// the reason in GetLastError.
unique_handle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                       DWORD flags = FILE_ATTRIBUTE_NORMAL);

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
