#pragma once
// Out of the way of full-screen programs: while "全屏时隐藏" is on, the clock
// hides whenever a full-screen program is in front of it, and comes back
// where it was when that ends. Looked at on every tick (every second while
// the switch is on), so it needs no foreground events.
#include <windows.h>

// Whether a window's rectangle covers the whole of a monitor's.
bool CoversMonitor(const RECT& window, const RECT& monitor);
// Whether a full-screen program is in front: the foreground window is on the
// monitor the clock is on, is not the desktop or the taskbar, and its client
// area covers that whole monitor (a borderless popup, not a maximized framed
// window) or the shell reports a full-screen program or a presentation.
bool FullScreenProgramInFront(HWND clock);
// Hides or shows the clock as the switch and the front window say. Hidden
// this way the clock is not hidden from the menu: that state, the menu and
// the tray icon stay as they are.
void FollowFullScreen();
