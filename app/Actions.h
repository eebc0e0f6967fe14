#pragma once
// Everything the user can do to the clock, one function each. The hover
// buttons, the keys and the settings window all come here (through
// ProgramEvents), and so will every new way to reach an action.
#include "config/ClockSettings.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

class SettingsWindow;

// A font button's step.
inline constexpr double FontStep = 5;

// Closes the settings window, stops the timers and destroys the clock
// window, whose destruction saves the settings and ends the program.
void CloseClock();

// Opens the settings window beside the clock, or brings the open one to the
// front.
void OpenSettingsWindow();
// Destroys the settings window when it is open.
void CloseSettingsWindow();
bool SettingsWindowIsOpen();
// The open settings window; nullptr while it is closed.
SettingsWindow* OpenedSettingsWindow();

// The font size one step larger or smaller (no bounds), redrawn at once.
void StepFontSize(double step);
// Sets the font size and outline width and redraws.
void SetFontMetrics(std::int32_t size, std::int32_t outline);

// Keep on top on or off: the setting and the window's topmost state.
void SetKeepOnTop(bool on);
// The keep-on-top button: the setting switches.
void ToggleKeepOnTop();

// Click-through on or off: the setting, the window letting every click and
// the wheel through, and no hover buttons while it is on.
void SetClickThrough(bool on);
void ToggleClickThrough();
// "显示托盘图标" switches.
void ToggleTrayIcon();

// Below this whole-window opacity the clock is as good as invisible.
inline constexpr std::int32_t VisibleAlphaFloor = 32;
// The tray icon shows as the setting says, and always while it is the only
// way back to the clock: click-through on, the clock (nearly) invisible, or
// hidden.
bool TrayIconWanted();
void UpdateTrayIcon();

// Hides or shows the clock window; not saved, the next start shows it.
void SetClockHidden(bool hidden);
void ToggleClockHidden();
bool ClockIsHidden();
// The clock to the front, shown again if hidden (the tray icon's click, a
// second start of the program).
void BringClockToFront();

// One setting takes a new value and the clock follows at once: the redraw,
// the whole-window alpha, the topmost state, the trimming period, the tick
// and the Run value, as the field needs. "开机启动" keeps its old value when
// the Run value cannot be written.
void ApplyField(bool ClockSettings::*field, bool on);
void ApplyField(std::int32_t ClockSettings::*field, std::int32_t value);
void ApplyField(std::string ClockSettings::*field, const std::string& value);
void ApplyField(DateForm ClockSettings::*field, DateForm value);

// The program's texts take the language "界面语言" asks for, the user's
// display language's for "自动".
void FollowInterfaceLanguage();

// "恢复默认设置": every setting back to its default, applied to the clock and
// shown in the settings window at once. A Run value for every user that
// stays (see ClearStartWithWindows) keeps "开机启动" on.
void RestoreDefaultSettings();

// "新建时钟…": another clock on a new file beside this clock's ("配置2.ini"),
// with this clock's look, local time and no Run value, placed where no other
// clock stands (PlaceNewClock). The file goes again when the clock cannot be
// started.
void StartNewClock();

// Where a new clock of that size goes from this clock: beside it (right,
// left, below, above, gap away) on a work area and over none of the taken
// rectangles (the other clocks); else cascaded from it by steps down and
// right, where no other clock's corner is within a step; else right of it.
POINT PlaceNewClock(const RECT& clock, SIZE size, std::span<const RECT> workAreas,
                    std::span<const RECT> taken, int gap, int step);

// Holds the claim of the settings file's identity as it is now: a start
// through a link to it finds this clock. False when another clock holds it.
bool ClaimFileIdentity();
// The settings file as the clock reads it (see SettingsSource).
SettingsRead ReadClockSettingsFile(DWORD patience);
// Reads the settings file again: what an edit made outside changed takes
// effect (see TakeOutsideEdits), and a file not read before is read now.
// False when it cannot be read (the reason in settingsFileError).
bool TakeInSettingsFile(DWORD patience);
// Whether a setting or the place differs from what the file holds.
bool HasUnsavedChanges();

// Takes in the file's edits made outside, then writes what changed since
// the file was read or saved, the window's place among it. Nothing is
// written to a file that could not be read, or not whole.
SaveResult SaveClockSettings();
// A setting changed, or the clock was moved: the file follows two seconds
// after the last such change, so that a crash, End task or a power loss
// keeps it; nothing is written while nothing changes.
inline constexpr UINT SaveDelayMilliseconds = 2000;
void SaveSoon();
// The save timer: the file is read and the change saved. A save that fails
// is tried again after a pause that doubles up to this; the close tells
// the user of one that still fails.
inline constexpr UINT LongestSaveRetryMilliseconds = 30000;
void SaveWaitingChange();
// Something changed in the settings file's folder: the file is read once
// it settled (a burst of changes, one read).
inline constexpr UINT FileSettleMilliseconds = 300;
void OnSettingsFileChanged();
