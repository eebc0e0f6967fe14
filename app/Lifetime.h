#pragma once
// The program's spine: the entry sequence, and what the clock window does
// when it is created and destroyed.
#include <windows.h>

#include <string>

// The exit code when the clock window cannot be created, or GDI+ cannot be
// loaded (its box says so).
inline constexpr int NoClockWindowExitCode = 1;

// The entry sequence; answers the process exit code (0 on every orderly end).
// A start on a settings file that a running clock uses brings that clock to
// the front and ends with 0, having opened and written nothing.
// With DeleteRunValuesArgument on the command line it only deletes Run
// values and answers 0, with no window and no settings file.
int RunProgram();

// The installer's uninstall passes it alone, and every Run value of this
// copy goes: a Run value must never point at a removed program. An elevated
// copy of the program passes it with RunValueArgument and one value's name.
inline constexpr wchar_t DeleteRunValuesArgument[] = L"--delete-run-values";
inline constexpr wchar_t RunValueArgument[] = L"--run-value";
// "--settings <file>": the clock runs on that settings file.
inline constexpr wchar_t SettingsArgument[] = L"--settings";

// What the command line asks for.
struct ProgramArguments {
    bool deleteRunValues = false; // and nothing else
    std::wstring runValueName;    // with it: that value only
    std::wstring settingsFile;    // as given after SettingsArgument; other arguments are ignored
};
// The command line as GetCommandLineW gives it.
ProgramArguments ReadProgramArguments(const wchar_t* commandLine);

// The file the clock runs on: the default one, or the one the command line
// names. A named file that is the default one by another spelling (its
// case, an 8.3 name) is the default clock's, with no file of its own.
void ChooseClockFile(const ProgramArguments& arguments);

// Whether another clock runs on the chosen file, which then comes to the
// front; otherwise the file is claimed for this clock (and, for a copy's
// default clock, the copy: its file beside the program or its user's).
bool AnotherClockHasTheFile();

// The clock window's creation event: the settings are read, then the clock
// is shown.
void OnClockWindowCreated();
// With the settings loaded: keep on top and trimming take effect, the window
// is placed, the first frame shown and the tick armed.
void ShowClock();
// The clock window shows its first frame: the tray icon comes now, not
// before, so that nothing the frame does not need delays it.
void OnClockWindowShown();
// The clock window's destruction event: saves the settings (a failed save
// asks the user to retry or give up), releases the drawing resources, stops
// GDI+ and ends the message loop with code 0.
void OnClockWindowDestroyed();
