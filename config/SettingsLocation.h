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
