#pragma once
// Where "配置.ini" lives: beside the executable whenever a save can replace
// it there (portable use), otherwise in a per-user copy under the user's
// application-data folder.
#include <string>

inline constexpr wchar_t PerUserFolderName[] = L"Tiko Clock";

// "配置.ini" beside the executable.
std::wstring SettingsFileBesideProgram();
// "配置.ini" in the "Tiko Clock" folder of the user's application data, ""
// when the user has no such folder.
std::wstring PerUserSettingsFile();

// The file this run reads and writes. The file beside the executable when a
// save can replace it (or create it); otherwise the per-user copy, made
// first (in one step) from the file beside the executable when there is one
// and no copy yet. Without a per-user folder, the file beside the
// executable all the same.
std::wstring ChooseSettingsFile();

// The file "--settings" names: a relative name is taken in the folder of the
// default file (so "东京.ini" lies beside "配置.ini"), and the path is made
// whole ("." and ".." resolved).
std::wstring NamedSettingsFile(const std::wstring& name, const std::wstring& defaultFile);
// A file for a new clock in the folder of besideFile: "配置2.ini", "配置3.ini"
// and on, the first name no file has, claimed by creating it empty (a second
// claim at the same moment takes the next name). "" when none can be made.
std::wstring ClaimNewSettingsFile(const std::wstring& besideFile);
