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
// icon's tooltip: the time to the minute and the date, in GBK.
std::string ClockName(const SYSTEMTIME& time);
// The window text and the tooltip follow the time, when the shown minute
// changed.
void UpdateClockName();