#pragma once
// What the clock's switches do to the system: the Run value in the
// registry, the topmost state, working-set trimming and window placement.
#include <string>

// The settings check box "开机启动" was clicked; checked is its new state.
// Writes or deletes the Run value and updates startWithWindows. Answers the
// state the box must show: a failed write clears it again.
bool ApplyStartWithWindows(bool checked);
// Deletes the Run value named after the executable; missing keys are not created.
void DeleteStartWithWindows();

// Keeps the clock window above other windows, or not.
void SetTopmost(bool on);

// Asks the system to take as many pages as it can out of the working set.
void TrimWorkingSet();
// Period in seconds, or -1 to stop. A period trims at once, then every period.
void SetWorkingSetTrimming(int period);

// Moves the clock window to its remembered position (or centres it) at
// 380 x 150, and keeps only the flag of the position value in the settings.
void PlaceClockWindow();
