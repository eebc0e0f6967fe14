#pragma once
// The program's spine: the entry sequence, and what the clock window does
// when it is created and destroyed.

// The exit code when the clock window cannot be created.
inline constexpr int NoClockWindowExitCode = 1;

// The entry sequence; answers the process exit code (0 on every orderly end).
int RunProgram();

// The clock window's creation event.
void OnClockWindowCreated();
// The clock window's destruction event: saves the settings, releases the
// drawing resources, stops GDI+ and ends the message loop with code 0.
void OnClockWindowDestroyed();

// Writes every setting and the window's position to the settings file.
void SaveClockSettings();
// The Windows session ends (log-off, shut-down): the settings are saved, as
// no destruction event will come.
void OnSessionEnding();

// tickTimer (and a change of the system time, or a resume): a redraw with a
// fresh time, and the timer armed for the next tick.
void OnClockTick();