#pragma once
// A program's INI file on the disk: read whole as GBK text whatever form
// an editor saved it in, and saved whole in one step. Reading waits its turn
// behind another program that holds the file for a moment; a file whose
// form cannot be read, or whose text GBK cannot hold, is never rewritten.
#include "framework/IniText.h"

#include <windows.h>

#include <optional>
#include <span>
#include <string>

// The GBK names of the sections a program's INI file holds: a file without
// a byte order mark counts as UTF-8 only when it is valid UTF-8 and names
// one of them in UTF-8 (GBK text is rarely valid UTF-8, never so named).
using IniSections = std::span<const char* const>;

// How long a read waits for a file another program holds without sharing
// it (a sync client, a backup, an editor saving): at the start, the clock
// waits this long before it gives up on the file; a save, only a moment.
inline constexpr DWORD StartReadPatienceMilliseconds = 5000;
inline constexpr DWORD SaveReadPatienceMilliseconds = 300;

// What reading the file gave.
struct IniFileText {
    // The file as GBK text; nothing when it could not be read.
    std::optional<std::string> text;
    // Why it could not be read (ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND:
    // there is none), or, with a text, why it must not be rewritten: it held
    // characters GBK has not (ERROR_NO_UNICODE_TRANSLATION).
    DWORD error = ERROR_SUCCESS;

    bool Missing() const { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }
    bool Writable() const { return error == ERROR_SUCCESS || Missing(); }
};

// The file's bytes as GBK text: UTF-16 with its byte order mark (Notepad's
// "Unicode" and "Unicode big endian") and UTF-8 (a byte order mark, or see
// IniSections) converted, any other file as it is. A byte order mark of
// another form (UTF-32, UTF-7...) and UTF-16 or UTF-8 that is not valid are
// not read (ERROR_UNSUPPORTED_TYPE, ERROR_NO_UNICODE_TRANSLATION). A file
// held without sharing is asked for again until patience runs out.
IniFileText ReadIniFile(const std::wstring& path, IniSections knownSections, DWORD patience = 0);

// Reads the keys of a file, read whole once (see ReadIniFile): a value as
// the profile functions give it, at most IniReadBufferSize - 1 bytes; the
// default for a missing key or file.
inline constexpr DWORD IniReadBufferSize = 10240;
class IniFileReader {
public:
    IniFileReader(const std::wstring& path, IniSections knownSections, DWORD patience = 0);

    std::string Text(const std::string& section, const std::string& key,
                     const std::string& defaultText) const;
    // How the reading went.
    const IniFileText& Read() const { return read; }

private:
    IniFileText read;
    IniText file;
};

// Reads a key of an INI file as IniFileReader does.
std::string ReadIniText(const std::wstring& path, const std::string& section, const std::string& key,
                        const std::string& defaultText);

// One key of an INI file and the text it gets.
struct IniEntry {
    const char* section;
    const char* key;
    std::string value;
    // Written only where the file has no such key: a value nobody changed,
    // which the file must not lose to an edit made outside.
    bool onlyWhenMissing = false;
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
// ReadIniFile), changed only where an entry differs, and replaces path only
// when every byte of it reached the disk (a short write is a failure); a
// source that cannot be read, or not rewritten, fails the save; a save that
// changes no byte of the text leaves the file untouched. A path that
// is a symbolic link keeps the link: the file it points to is replaced. The
// draft's name is unique to the process, and a mutex named after path's full
// path is held from reading source to replacing path, so that the saves of
// two processes never mix. A read-only file or a folder at path is left as
// it is.
SaveResult WriteIniFileWhole(const std::wstring& path, const std::wstring& source,
                             std::span<const IniEntry> entries, IniSections knownSections = {});

// Whether a new file can be made in the folder (a probe file, removed at once).
bool FolderAcceptsNewFiles(const std::wstring& folder);
// Whether a save can put a new file at path: its folder takes new files, and
// a file already there is neither read-only nor refuses to be opened for
// writing and deletion (not the user's to change). A file another program
// holds is waited for; still held after patience, it counts as the user's.
bool SaveCanReplace(const std::wstring& path, DWORD patience = StartReadPatienceMilliseconds);
