#pragma once
// What the clock's switches do to the system: the Run value in the
// registry, the topmost state, working-set trimming and window placement.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The Run key, under HKEY_LOCAL_MACHINE and under HKEY_CURRENT_USER, and the
// value path of this program in it.
inline constexpr wchar_t RunKeyPath[] = L"software\\microsoft\\windows\\CurrentVersion\\Run";
std::wstring StartWithWindowsValuePath();
// Where Windows 8 and later keep Task Manager's "enabled"/"disabled" for each
// Run value: a REG_BINARY of the Run value's name, under either root. The
// program deletes it when it writes or deletes its Run value.
inline constexpr wchar_t StartupApprovedKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// The value path of the Run value of that name.
std::wstring RunValuePath(const std::wstring& name);
// The value's name for the executable at that path: its file name and the
// first 8 hexadecimal digits of its folder's key ("TikoClock.exe (1a2b3c4d)"),
// so that two copies of the program have a value each. Versions before
// 1.0.1 named it after the file alone; such a value that starts this copy is
// deleted with this copy's own. A clock on a settings file of its own
// ("--settings") has a value of its own, named with that file's name and the
// first 8 digits of its key after the copy's ("TikoClock.exe (1a2b3c4d)
// 东京.ini (5e6f7a8b)").
std::wstring RunValueNameFor(const std::wstring& executablePath, const std::wstring& ownSettingsFile = {});
// The Run value's data: the executable's full path in double quotes, so
// that Windows, which reads it as a command line, cannot take a part of a
// path with spaces ("C:\Program.exe") for the program; for a clock on a file
// of its own, "--settings" and that file's full path in quotes after it.
std::wstring StartWithWindowsCommand();
// The arguments that start this clock again: none for the default file.
std::wstring ClockArguments();
// Starts another clock of this copy on that settings file; false when the
// process could not be made.
bool StartClockOn(const std::wstring& settingsFile);

// The settings check box "开机启动" was clicked; checked is its new state.
// Checked: writes the Run value, the machine-wide one first and, when that
// is refused (an ordinary user's process), the current user's; either sets
// startWithWindows to "真", and a refusal of both leaves the flag alone.
// Cleared: see ClearStartWithWindows. Answers the state the box must show
// (a failed write clears it again; a value that still starts the program
// keeps it checked).
bool ApplyStartWithWindows(bool checked);
// Sets "假" and deletes the Run value from both Run keys. A machine-wide
// value that remains (written by an administrator's run, and this user may
// not delete it) still starts the program: the user is told so and offered
// its removal by the program run as administrator (a UAC prompt); while it
// remains, the flag is "真" again. True when no Run value of the program
// is left.
bool ClearStartWithWindows();
// Deletes this clock's Run value from both Run keys; a missing key is not
// created.
void DeleteStartWithWindows();
// Deletes the Run value of that name from both Run keys when it is one of
// this copy's (an elevated run is told which clock's value to delete).
void DeleteRunValueNamed(const std::wstring& name);
// Deletes every Run value of this copy from both Run keys: the default
// clock's, each clock's on a file of its own, and the name versions before
// 1.0.1 used where it starts this copy (the uninstall).
void DeleteEveryRunValueOfThisCopy();
// The roots the Run value lives under; tests point them elsewhere.
void SetStartWithWindowsRoot(HKEY machineRoot, HKEY userRoot = HKEY_CURRENT_USER);

// Registry services: the value path is split at its last backslash into key
// and value name. Writing opens the key for writing, creates it when that
// fails, and sets a REG_SZ with its terminating zero; true when the set
// succeeded. Deleting never creates the key, and a path without a value
// name (the key's default value) deletes nothing.
bool WriteRegistryText(HKEY root, std::wstring_view valuePath, const std::wstring& data);
// A REG_SZ or REG_EXPAND_SZ value's text, without its terminating zeros.
std::optional<std::wstring> ReadRegistryText(HKEY root, std::wstring_view valuePath);
void DeleteRegistryValue(HKEY root, std::wstring_view valuePath);
bool RegistryValueExists(HKEY root, std::wstring_view valuePath);

// Keeps the clock window above other windows, or not.
void SetTopmost(bool on);

// Asks the system to take as many pages as it can out of the working set.
void TrimWorkingSet();
// How many trims the program asked for (a running count).
int WorkingSetTrimCount();
// "内存优化" trims every ten seconds.
inline constexpr int TrimmingPeriodSeconds = 10;
inline constexpr int TrimmingStopped = -1;
// Period in seconds, or -1 to stop. A period trims at once, then every
// period on the clock window's trimTimer; -1 stops the timer without a trim.
void SetWorkingSetTrimming(int period);

// Where the clock window goes at start-up for a position value
// flag|left|top: the flag part, and the window's left and top.
struct ClockPlacement {
    std::string flag;
    int left;
    int top;
};
// "假" or fewer than three parts centre the window on the primary screen; a
// remembered rectangle that lies on no monitor is centred too, so that the
// clock can never open where nobody can see or reach it. One that keeps its
// whole height and a third of its width on a monitor's work area opens where
// it was; a smaller part is moved the least way wholly onto the work area of
// the monitor it overlaps most. Positions are in physical screen pixels, the
// clock's size that of its display scale.
ClockPlacement ComputeClockPlacement(std::string_view positionValue, int screenWidth, int screenHeight,
                                     SIZE clock = {380, 150});

// Moves the clock window to its placement at its size for the display scale
// (380 x 150 at 96 DPI).
void PlaceClockWindow();
