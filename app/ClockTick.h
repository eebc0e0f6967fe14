#pragma once
// The tick: the clock window's tickTimer fires at the next whole second and
// the window reports it (ClockWindowListener::OnTick, answered by
// ProgramEvents). Here the timer is armed for the next second, the face
// redrawn with a fresh time (RedrawClock, which draws only the characters
// that changed, see clock/), and the clock's name follows the minute.
#include <windows.h>

#include <string>

// tickTimer (and a change of the system time, or a resume): a redraw with a
// fresh time, the timer armed for the next tick, and the clock's name.
void OnClockTick();

// What a screen reader reads for the clock (its window text) and the tray
// icon's tooltip: the time to the minute and the date, in GBK, and the zone's
// label after them when the clock has one.
std::string ClockName(const SYSTEMTIME& time, const std::string& label = {});
// The window text and the tooltip follow the time, when the shown minute
// changed.
void UpdateClockName();
// The clock's zone or label changed: the name is made again now.
void RenameClock();