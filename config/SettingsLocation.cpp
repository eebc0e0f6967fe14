#include "config/SettingsLocation.h"

#include "config/ClockSettings.h"
#include "framework/Services.h"

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

std::wstring ChooseSettingsFile() {
    const std::wstring beside = SettingsFileBesideProgram();
    // Installed under Program Files, in any folder the user may not write,
    // or beside a read-only or locked file, a save there would be lost.
    if (SaveCanReplace(beside))
        return beside;
    const std::wstring perUser = PerUserSettingsFile();
    if (perUser.empty())
        return beside;
    CreateDirectoryW(DirectoryPart(perUser).c_str(), nullptr);
    if (!FileExists(perUser) && FileExists(beside))
        WriteIniFileWhole(perUser, beside, {}, SettingSections);
    return perUser;
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
