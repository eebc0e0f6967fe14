#include "config/SettingsLocation.h"

#include "config/ClockSettings.h"
#include "framework/Services.h"

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
