#include "framework/Services.h"

#include "framework/UniqueHandle.h"

#include <shlobj.h>

#include <array>

namespace {

ClockSource clockSource = nullptr;

std::string ModulePath() {
    std::array<char, 1024> buffer{};
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size())
        return {};
    return std::string(buffer.data(), length);
}

std::size_t LastBackslash(std::string_view path) {
    // GBK trail bytes can be 0x5C: walk the text by characters, not bytes.
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == '\\')
            last = i;
    }
    return last;
}

} // namespace

std::string FileNamePart(std::string_view path) {
    const std::size_t slash = LastBackslash(path);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DirectoryPart(std::string_view path) {
    const std::size_t slash = LastBackslash(path);
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string ProgramDirectory() {
    return DirectoryPart(ModulePath());
}

std::string ExecutableFileName() {
    return FileNamePart(ModulePath());
}

std::string ReadIniText(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& defaultText) {
    std::string buffer(IniReadBufferSize, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(),
                                                  buffer.data(), IniReadBufferSize, path.c_str());
    buffer.resize(length);
    return buffer;
}

bool WriteIniText(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

bool FileExists(const std::string& path) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

namespace {

// Whatever sits at path that a new file may not replace.
bool RefusesReplacement(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

// The file's bytes on the disk before it takes another file's place.
bool FlushToDisk(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const unique_handle owned(file);
    return FlushFileBuffers(file) != FALSE;
}

// A reader that holds the file open without sharing its deletion (a virus
// scanner, an indexer) refuses the replacement for a moment.
bool MoveIntoPlace(const std::string& from, const std::string& to) {
    constexpr int Attempts = 10;
    constexpr DWORD PauseMilliseconds = 20;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        Sleep(PauseMilliseconds);
    }
    return false;
}

bool WriteEntries(const std::string& path, std::span<const IniEntry> entries) {
    for (const IniEntry& entry : entries)
        if (!WritePrivateProfileStringA(entry.section, entry.key, entry.value.c_str(), path.c_str()))
            return false;
    return true;
}

} // namespace

bool WriteIniFileWhole(const std::string& path, const std::string& source,
                       std::span<const IniEntry> entries) {
    if (RefusesReplacement(path))
        return false;
    const std::string draft = path + ".tmp";
    SetFileAttributesA(draft.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(draft.c_str());
    const bool copied = !FileExists(source) || CopyFileA(source.c_str(), draft.c_str(), FALSE);
    // The copy takes the source's attributes; the new file must not be read-only.
    SetFileAttributesA(draft.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (copied && WriteEntries(draft, entries) && FileExists(draft) && FlushToDisk(draft) &&
        MoveIntoPlace(draft, path))
        return true;
    DeleteFileA(draft.c_str());
    return false;
}

bool FolderAcceptsNewFiles(const std::string& folder) {
    // A new file of our own, gone when closed: its creation is the answer.
    constexpr int Attempts = 8;
    const std::string stem = folder + "\\tiko-probe-" + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const std::string probe = stem + std::to_string(GetTickCount() + attempt) + ".tmp";
        const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

std::string UserApplicationDataDirectory() {
    std::array<char, MAX_PATH> folder{};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                folder.data())))
        return {};
    return folder.data();
}

ScreenSize PrimaryScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

SYSTEMTIME ReadLocalTime() {
    if (clockSource)
        return clockSource();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now;
}

void SetClockSource(ClockSource source) {
    clockSource = source;
}

void SleepMilliseconds(DWORD milliseconds) {
    Sleep(milliseconds);
}
