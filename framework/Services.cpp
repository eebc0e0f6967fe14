#include "framework/Services.h"

#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"

#include <aclapi.h>
#include <winioctl.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstddef>
#include <cwchar>
#include <vector>

namespace {

ClockSource clockSource = nullptr;

// Paths may be longer than MAX_PATH; the system's own limit is 32,767.
constexpr DWORD LongestPath = 32768;

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

} // namespace

unique_handle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    const HANDLE file =
        CreateFileW(ExtendedLengthPath(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
    return unique_handle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

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

namespace {

// The layout of a symbolic link's reparse data (the driver kit's
// REPARSE_DATA_BUFFER for IO_REPARSE_TAG_SYMLINK).
struct SymbolicLinkData {
    ULONG tag;
    USHORT dataLength;
    USHORT reserved;
    USHORT substituteOffset;
    USHORT substituteLength;
    USHORT printOffset;
    USHORT printLength;
    ULONG flags;
    WCHAR names[1];
};

} // namespace

std::optional<std::wstring> SymbolicLinkTarget(const std::wstring& link) {
    const unique_handle file = OpenFile(link, FILE_READ_ATTRIBUTES, ShareAll, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
    std::vector<BYTE> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD got = 0;
    if (!file ||
        !DeviceIoControl(file.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                         static_cast<DWORD>(buffer.size()), &got, nullptr) ||
        got < offsetof(SymbolicLinkData, names))
        return std::nullopt;
    const auto* data = reinterpret_cast<const SymbolicLinkData*>(buffer.data());
    const std::size_t namesEnd = got - offsetof(SymbolicLinkData, names);
    const auto name = [&](USHORT offset, USHORT length) -> std::wstring {
        if (offset + static_cast<std::size_t>(length) > namesEnd)
            return {};
        return std::wstring(data->names + offset / sizeof(WCHAR), length / sizeof(WCHAR));
    };
    if (data->tag != IO_REPARSE_TAG_SYMLINK)
        return std::nullopt;
    std::wstring target = name(data->printOffset, data->printLength);
    if (target.empty()) {
        target = name(data->substituteOffset, data->substituteLength);
        if (target.starts_with(L"\\??\\"))
            target.erase(0, 4);
    }
    if (target.empty())
        return std::nullopt;
    if (data->flags & SYMLINK_FLAG_RELATIVE)
        target = DirectoryPart(link) + L"\\" + target;
    return FullPath(target).value_or(target);
}

namespace {

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

std::wstring FileIdentityKey(const std::wstring& path) {
    const unique_handle file =
        OpenFile(path, FILE_READ_ATTRIBUTES, ShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || !GetFileInformationByHandle(file.get(), &information))
        return {};
    wchar_t digits[32]{};
    swprintf(digits, std::size(digits), L"%08lx%08lx%08lx", information.dwVolumeSerialNumber,
             information.nFileIndexHigh, information.nFileIndexLow);
    return digits;
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
