#pragma once
// Where "配置.ini" lives: for the copy the package installed, always in a
// per-user copy under the user's application-data folder; for any other
// copy beside the executable whenever a save can replace it there (portable
// use), otherwise in that per-user copy.
#include <string>

inline constexpr wchar_t PerUserFolderName[] = L"Tiko Clock";

// The package records the folder it installed the program in under this key
// of HKEY_LOCAL_MACHINE (its 64-bit view), and removes it with the program.
inline constexpr wchar_t InstallRecordKey[] = L"Software\\Tiko Clock";
inline constexpr wchar_t InstallRecordValue[] = L"InstallDir";

// Whether the two paths name one folder: case, trailing backslashes, "." and
// "..", and the 8.3 names, subst drives and junctions of an existing folder
// aside. An empty path names none.
bool SameFolder(const std::wstring& one, const std::wstring& other);
// Whether this executable runs from the folder the package recorded.
bool IsInstalledCopy();

// "配置.ini" beside the executable.
std::wstring SettingsFileBesideProgram();
// "配置.ini" in the "Tiko Clock" folder of the user's application data, ""
// when the user has no such folder.
std::wstring PerUserSettingsFile();

// The file this run reads and writes. The file beside the executable when
// this is not the installed copy and a save can replace it (or create it:
// a file another program holds for a while still counts); otherwise the
// per-user copy, its folder made. Without a per-user folder, the file beside
// the executable all the same.
std::wstring ChooseSettingsFile();
// The file the settings of path are read from: path, or while the per-user
// copy is not made yet, the file beside the executable it starts as.
std::wstring SettingsSource(const std::wstring& path);

// The file "--settings" names: a relative name is taken in the folder of the
// default file (so "东京.ini" lies beside "配置.ini"), and the path is made
// whole ("." and ".." resolved).
std::wstring NamedSettingsFile(const std::wstring& name, const std::wstring& defaultFile);
// A file for a new clock in the folder of besideFile: "配置2.ini", "配置3.ini"
// and on, the first name no file has, claimed by creating it empty (a second
// claim at the same moment takes the next name). "" when none can be made.
std::wstring ClaimNewSettingsFile(const std::wstring& besideFile);
