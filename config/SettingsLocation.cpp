#include "config/SettingsLocation.h"

#include "config/ClockSettings.h"
#include "framework/Services.h"

std::string SettingsFileBesideProgram() {
    return ProgramDirectory() + "\\" + SettingsFileName;
}

std::string PerUserSettingsFile() {
    const std::string applicationData = UserApplicationDataDirectory();
    if (applicationData.empty())
        return {};
    return applicationData + "\\" + PerUserFolderName + "\\" + SettingsFileName;
}

std::string ChooseSettingsFile() {
    const std::string beside = SettingsFileBesideProgram();
    // Installed under Program Files, or in any folder the user may not
    // write, a save beside the executable would be lost.
    if (FolderAcceptsNewFiles(ProgramDirectory()))
        return beside;
    const std::string perUser = PerUserSettingsFile();
    if (perUser.empty())
        return beside;
    CreateDirectoryA(DirectoryPart(perUser).c_str(), nullptr);
    if (!FileExists(perUser) && FileExists(beside))
        WriteIniFileWhole(perUser, beside, {});
    return perUser;
}
