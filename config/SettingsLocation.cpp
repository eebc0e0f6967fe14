#include "config/SettingsLocation.h"

#include "config/ClockSettings.h"
#include "framework/IniFile.h"
#include "framework/Services.h"
#include "framework/UniqueHandle.h"

#include <string_view>

std::wstring SettingsFileBesideProgram() {
    return ProgramDirectory() + L"\\" + SettingsFileName;
}

std::wstring PerUserSettingsFile() {
    const std::wstring applicationData = UserApplicationDataDirectory();
    if (applicationData.empty())
        return {};
    return applicationData + L"\\" + PerUserFolderName + L"\\" + SettingsFileName;
}

namespace {

// A folder written with a trailing backslash is the same folder; a drive's
// root keeps its own.
std::wstring WithoutTrailingBackslashes(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

// The folder the package recorded, "" when no package installed the program.
// A standard user may read the key, and a 32-bit build reads the 64-bit
// view the package wrote.
std::wstring InstalledFolder() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, InstallRecordKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened) !=
        ERROR_SUCCESS)
        return {};
    const unique_hkey key(opened);
    DWORD size = 0;
    if (RegGetValueW(key.get(), nullptr, InstallRecordValue, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return {};
    std::wstring folder(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(key.get(), nullptr, InstallRecordValue, RRF_RT_REG_SZ, nullptr, folder.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    folder.resize(size / sizeof(wchar_t));
    while (!folder.empty() && folder.back() == L'\0')
        folder.pop_back();
    return folder;
}

} // namespace

bool SameFolder(const std::wstring& one, const std::wstring& other) {
    if (one.empty() || other.empty())
        return false;
    return FileKey(WithoutTrailingBackslashes(one)) == FileKey(WithoutTrailingBackslashes(other));
}

bool IsInstalledCopy() {
    return SameFolder(ProgramDirectory(), InstalledFolder());
}

std::wstring ChooseSettingsFile() {
    const std::wstring beside = SettingsFileBesideProgram();
    // The installed copy never writes beside itself, even where it could (run
    // as administrator): its uninstall removes the folder whole. Any other
    // copy in a folder the user may not write, or beside a read-only or
    // locked file, would lose a save there.
    if (!IsInstalledCopy() && SaveCanReplace(beside))
        return beside;
    const std::wstring perUser = PerUserSettingsFile();
    if (perUser.empty())
        return beside;
    CreateDirectoryW(DirectoryPart(perUser).c_str(), nullptr);
    return perUser;
}

std::wstring SettingsSource(const std::wstring& path) {
    const std::wstring beside = SettingsFileBesideProgram();
    if (path == PerUserSettingsFile() && !FileExists(path) && FileExists(beside))
        return beside;
    return path;
}

namespace {

// "C:\…", "C:…", "\\server\…" and "\…" name their place; anything else
// is a name in a folder.
bool IsRelativeName(const std::wstring& name) {
    const bool drive = name.size() >= 2 && name[1] == L':';
    const bool rooted = !name.empty() && (name[0] == L'\\' || name[0] == L'/');
    return !drive && !rooted;
}

} // namespace

std::wstring NamedSettingsFile(const std::wstring& name, const std::wstring& defaultFile) {
    const std::wstring path = IsRelativeName(name) ? DirectoryPart(defaultFile) + L"\\" + name : name;
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring whole(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, whole.data(), nullptr);
    if (written == 0 || written >= length)
        return path;
    whole.resize(written);
    return whole;
}

std::wstring ClaimNewSettingsFile(const std::wstring& besideFile) {
    constexpr int MostClocks = 999;
    const std::wstring_view defaultName = SettingsFileName;
    const std::wstring_view stem = defaultName.substr(0, defaultName.rfind(L'.'));
    const std::wstring folder = DirectoryPart(besideFile);
    for (int number = 2; number <= MostClocks; ++number) {
        const std::wstring path = folder + L"\\" + std::wstring(stem) + std::to_wstring(number) + L".ini";
        const HANDLE file = CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return path;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            return {};
    }
    return {};
}
