#include "framework/Services.h"

#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"

#include <aclapi.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace {

ClockSource clockSource = nullptr;

// Paths may be longer than MAX_PATH; the system's own limit is 32,767.
constexpr DWORD LongestPath = 32768;
constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The path made whole (current folder, "." and ".." resolved); nothing when
// the system cannot.
std::optional<std::wstring> FullPath(const std::wstring& path) {
    std::wstring full(LongestPath, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), LongestPath, full.data(), nullptr);
    if (length == 0 || length >= LongestPath)
        return std::nullopt;
    full.resize(length);
    return full;
}

// CreateFileW with its failure as an empty handle.
unique_handle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                       DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    const HANDLE file =
        CreateFileW(ExtendedLengthPath(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
    return unique_handle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

} // namespace

std::wstring ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    while (buffer.size() <= LongestPath) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

std::wstring FileNamePart(std::wstring_view path) {
    const std::size_t slash = path.rfind(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::wstring DirectoryPart(std::wstring_view path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash));
}

std::wstring ProgramDirectory() {
    return DirectoryPart(ExecutablePath());
}

std::wstring ExecutableFileName() {
    return FileNamePart(ExecutablePath());
}

std::string ReadIniText(const std::wstring& path, const std::string& section, const std::string& key,
                        const std::string& defaultText) {
    return IniFileReader(path, {}).Text(section, key, defaultText);
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
    if (path.size() < MAX_PATH - 12 || path.starts_with(L"\\\\?\\"))
        return path;
    // The prefix turns off the parsing of the path: it must be whole.
    const std::optional<std::wstring> full = FullPath(path);
    if (!full)
        return path;
    if (full->starts_with(L"\\\\"))
        return L"\\\\?\\UNC" + full->substr(1);
    return L"\\\\?\\" + *full;
}

bool FileExists(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(ExtendedLengthPath(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

namespace {

// The path the file system resolves an existing file or folder to: its long
// names, the drive behind a subst, the target of a junction; nothing when it
// cannot be opened.
std::optional<std::wstring> FinalPath(const std::wstring& path) {
    const unique_handle file =
        OpenFile(path, FILE_READ_ATTRIBUTES, ShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (!file)
        return std::nullopt;
    std::wstring final(LongestPath, L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(file.get(), final.data(), LongestPath, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= LongestPath)
        return std::nullopt;
    final.resize(length);
    if (final.starts_with(L"\\\\?\\UNC\\"))
        return L"\\" + final.substr(7);
    if (final.starts_with(L"\\\\?\\"))
        return final.substr(4);
    return final;
}

// One way of writing the file's path: the file's final path, or its folder's
// and its name while it does not exist yet; else its full path.
std::wstring CanonicalPath(const std::wstring& path) {
    const std::optional<std::wstring> full = FullPath(path);
    if (!full)
        return path;
    if (std::optional<std::wstring> final = FinalPath(*full))
        return *final;
    if (std::optional<std::wstring> folder = FinalPath(DirectoryPart(*full)))
        return *folder + L"\\" + FileNamePart(*full);
    return *full;
}

} // namespace

std::wstring FileKey(const std::wstring& path) {
    std::wstring full = CanonicalPath(path);
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a over the UTF-16 units
    for (const wchar_t unit : full)
        hash = (hash ^ static_cast<std::uint16_t>(unit)) * 1099511628211ull;
    wchar_t digits[17]{};
    swprintf(digits, std::size(digits), L"%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

namespace {

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    const unique_handle file = OpenFile(path, GENERIC_READ, ShareAll, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > MAXDWORD)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

// Creates the file anew with the bytes; ERROR_SUCCESS or the failure. A
// write that took fewer bytes than it was given (a disk that filled up on
// the way) is a failure too.
DWORD WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    const unique_handle file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return GetLastError();
    return written == bytes.size() ? ERROR_SUCCESS : static_cast<DWORD>(ERROR_DISK_FULL);
}

bool IsValidUtf8(std::string_view bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

bool NamesASectionInUtf8(std::string_view bytes, IniSections knownSections) {
    for (const char* section : knownSections) {
        const std::string header =
            "[" + WideToMultiByte(MultiByteToWide(section, GbkCodePage), CP_UTF8) + "]";
        if (bytes.find(header) != std::string_view::npos)
            return true;
    }
    return false;
}

// Notepad's "Unicode": UTF-16, little-endian, after its byte order mark.
std::optional<std::string> Utf16AsGbk(std::string_view bytes) {
    constexpr std::string_view ByteOrderMark("\xFF\xFE", 2);
    if (!bytes.starts_with(ByteOrderMark))
        return std::nullopt;
    bytes.remove_prefix(ByteOrderMark.size());
    std::wstring wide(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return WideToMultiByte(wide, GbkCodePage);
}

// Notepad saves UTF-8, with or without a byte order mark.
std::optional<std::string> Utf8AsGbk(std::string_view bytes, IniSections knownSections) {
    if (bytes.starts_with(Utf8ByteOrderMark))
        bytes.remove_prefix(std::size(Utf8ByteOrderMark) - 1);
    else if (!IsValidUtf8(bytes) || !NamesASectionInUtf8(bytes, knownSections))
        return std::nullopt;
    return WideToMultiByte(MultiByteToWide(bytes, CP_UTF8), GbkCodePage);
}

} // namespace

std::optional<std::string> ReadIniFileBytes(const std::wstring& path, IniSections knownSections) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes)
        return std::nullopt;
    if (std::optional<std::string> converted = Utf16AsGbk(*bytes))
        return converted;
    if (std::optional<std::string> converted = Utf8AsGbk(*bytes, knownSections))
        return converted;
    return bytes;
}

IniFileReader::IniFileReader(const std::wstring& path, IniSections knownSections)
    : file(ReadIniFileBytes(path, knownSections).value_or(std::string())) {}

std::string IniFileReader::Text(const std::string& section, const std::string& key,
                                const std::string& defaultText) const {
    std::string text = file.Value(section, key).value_or(defaultText);
    // As through a buffer of that size, never half a character.
    if (text.size() >= IniReadBufferSize) {
        std::size_t cut = 0;
        while (cut < text.size()) {
            const std::size_t width = static_cast<unsigned char>(text[cut]) >= 0x81 ? 2 : 1;
            if (cut + width > IniReadBufferSize - 1)
                break;
            cut += width;
        }
        text.resize(cut);
    }
    return text;
}

namespace {

// Whatever sits at path that a new file may not replace; ERROR_SUCCESS when
// nothing does.
DWORD ReplacementRefusal(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ERROR_SUCCESS;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_ACCESS_DENIED;
    return attributes & FILE_ATTRIBUTE_READONLY ? ERROR_FILE_READ_ONLY : ERROR_SUCCESS;
}

// The saves of every process to one file take turns: a mutex named after
// the file.
class SaveTurn {
public:
    explicit SaveTurn(const std::wstring& path) {
        // A writer that hangs must not cost this save: the result is still
        // one whole file, only perhaps without the other's keys.
        constexpr DWORD LongestWaitMilliseconds = 10000;
        const DWORD start = GetTickCount();
        const auto waitedSoFar = [&] { return GetTickCount() - start; };
        // A clock run as administrator saving now holds a mutex this process
        // may not open: it exists only during that save, so the turn is
        // asked for again until it can be had.
        for (;;) {
            const HANDLE made = CreateMutexW(nullptr, FALSE, MutexName(path).c_str());
            if (made) {
                mutex.reset(made);
                break;
            }
            if (GetLastError() != ERROR_ACCESS_DENIED || waitedSoFar() >= LongestWaitMilliseconds)
                return;
            Sleep(20);
        }
        const DWORD left = LongestWaitMilliseconds - std::min<DWORD>(waitedSoFar(), LongestWaitMilliseconds);
        const DWORD waited = WaitForSingleObject(mutex.get(), left);
        owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~SaveTurn() {
        if (owned)
            ReleaseMutex(mutex.get());
    }
    SaveTurn(const SaveTurn&) = delete;
    SaveTurn& operator=(const SaveTurn&) = delete;
    bool Owned() const { return owned; }

private:
    static std::wstring MutexName(const std::wstring& path) {
        return L"TikoClock.SettingsSave." + FileKey(path);
    }

    unique_handle mutex;
    bool owned = false;
};

std::wstring DraftPathFor(const std::wstring& path) {
    return path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
}

// Drafts of the file that a save ended half-way left behind (a killed
// process, a power cut): with the file's turn held, no other save is writing
// one.
void RemoveStaleDrafts(const std::wstring& path) {
    const std::wstring folder = DirectoryPart(path);
    const std::wstring prefix = FileNamePart(path) + L".";
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(ExtendedLengthPath(path + L".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring_view name(found.cFileName);
        if (!name.starts_with(prefix) || !name.ends_with(L".tmp"))
            continue;
        const std::wstring_view id = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        if (!id.empty() && id.find_first_not_of(L"0123456789") == std::wstring_view::npos) {
            const std::wstring draft = ExtendedLengthPath(folder + L"\\" + std::wstring(name));
            SetFileAttributesW(draft.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(draft.c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The file's bytes on the disk before it takes another file's place.
DWORD FlushToDisk(const std::wstring& path) {
    const unique_handle file = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file || !FlushFileBuffers(file.get()))
        return GetLastError();
    return ERROR_SUCCESS;
}

// A reader that holds the file open without sharing its deletion (a virus
// scanner, an indexer) refuses the replacement for a moment.
DWORD MoveIntoPlace(const std::wstring& from, const std::wstring& to) {
    constexpr int Attempts = 10;
    constexpr DWORD PauseMilliseconds = 20;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (MoveFileExW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        error = GetLastError();
        Sleep(PauseMilliseconds);
    }
    return error;
}

// The new file takes the place of the old one with what the user or an
// administrator set on it: its attributes (hidden, say) and the access it
// was given beyond what its folder hands down. Best effort: a draft that
// cannot take them still holds the settings.
void TakeOverFileSettings(const std::wstring& from, const std::wstring& to) {
    const std::wstring oldFile = ExtendedLengthPath(from);
    const std::wstring draft = ExtendedLengthPath(to);
    const DWORD attributes = GetFileAttributesW(oldFile.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(draft.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(oldFile.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &access, nullptr, &descriptor) != ERROR_SUCCESS)
        return;
    const ScopeExit freeDescriptor([descriptor] { LocalFree(descriptor); });
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (access && GetSecurityDescriptorControl(descriptor, &control, &revision)) {
        const SECURITY_INFORMATION inheritance = control & SE_DACL_PROTECTED
                                                     ? PROTECTED_DACL_SECURITY_INFORMATION
                                                     : UNPROTECTED_DACL_SECURITY_INFORMATION;
        SetNamedSecurityInfoW(const_cast<wchar_t*>(draft.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | inheritance, nullptr, nullptr, access, nullptr);
    }
}

DWORD WriteDraft(const std::wstring& draft, const std::wstring& source, std::span<const IniEntry> entries,
                 IniSections knownSections) {
    std::optional<std::string> seed = std::string();
    if (FileExists(source) && !(seed = ReadIniFileBytes(source, knownSections)))
        return GetLastError();
    IniText file(std::move(*seed));
    for (const IniEntry& entry : entries)
        file.SetValue(entry.section, entry.key, entry.value);
    if (const DWORD error = WriteWholeFile(draft, file.Text()))
        return error;
    if (const DWORD error = FlushToDisk(draft))
        return error;
    return ERROR_SUCCESS;
}

} // namespace

SaveResult WriteIniFileWhole(const std::wstring& path, const std::wstring& source,
                             std::span<const IniEntry> entries, IniSections knownSections) {
    if (const DWORD refusal = ReplacementRefusal(path))
        return {refusal};
    const SaveTurn turn(path);
    const std::wstring draft = DraftPathFor(path);
    if (turn.Owned()) {
        RemoveStaleDrafts(path);
    } else { // only this process's own may go
        SetFileAttributesW(ExtendedLengthPath(draft).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(ExtendedLengthPath(draft).c_str());
    }
    DWORD error = WriteDraft(draft, source, entries, knownSections);
    if (error == ERROR_SUCCESS) {
        TakeOverFileSettings(path, draft);
        error = MoveIntoPlace(draft, path);
    }
    if (error != ERROR_SUCCESS)
        DeleteFileW(ExtendedLengthPath(draft).c_str());
    return {error};
}

bool FolderAcceptsNewFiles(const std::wstring& folder) {
    // A new file of our own, gone when closed: its creation is the answer.
    constexpr int Attempts = 8;
    const std::wstring stem = folder + L"\\tiko-probe-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const std::wstring probe = stem + std::to_wstring(GetTickCount() + attempt) + L".tmp";
        const unique_handle file = OpenFile(probe, GENERIC_WRITE, 0, CREATE_NEW,
                                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
        if (file)
            return true;
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

bool SaveCanReplace(const std::wstring& path) {
    if (!FolderAcceptsNewFiles(DirectoryPart(path)) || ReplacementRefusal(path) != ERROR_SUCCESS)
        return false;
    // What replacing it takes: the right to write it and to delete it, and
    // no other program holding it without sharing both.
    if (OpenFile(path, GENERIC_WRITE | DELETE, ShareAll, OPEN_EXISTING))
        return true;
    return GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::wstring UserApplicationDataDirectory() {
    wchar_t* folder = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &folder);
    std::wstring path = SUCCEEDED(found) && folder ? folder : L"";
    CoTaskMemFree(folder);
    return path;
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

SYSTEMTIME ReadUtcTime() {
    SYSTEMTIME utc{};
    if (!clockSource) {
        GetSystemTime(&utc);
        return utc;
    }
    const SYSTEMTIME local = clockSource();
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc))
        utc = local;
    return utc;
}

void SetClockSource(ClockSource source) {
    clockSource = source;
}

void SleepMilliseconds(DWORD milliseconds) {
    Sleep(milliseconds);
}

namespace {

std::wstring SystemFolderPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH]{};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(folder, length) + L"\\" + name;
}

} // namespace

bool LoadSystemDll(const wchar_t* name) {
    const std::wstring path = SystemFolderPath(name);
    return !path.empty() && LoadLibraryW(path.c_str()) != nullptr;
}
