#pragma once
// Staying on the desktop through "show desktop": Windows then raises the
// shell's desktop window above every ordinary window, and a clock not kept
// on top would vanish behind it. An ordinary click on the desktop makes it
// the foreground too, but leaves it at the bottom: that changes nothing.
#include "framework/UniqueHandle.h"

#include <windows.h>

// Hears every change of the foreground window, out of context, for as long
// as the hook lives.
unique_hwineventhook WatchForeground();

// The shell's desktop window ("WorkerW" or "Progman").
bool IsShellDesktopWindow(HWND window);

// Whether the desktop window stands above every shown ordinary window but
// the clock: raised by "show desktop", not merely clicked.
bool DesktopIsRaised(HWND desktop, HWND clock);

// A window came to the foreground. The desktop window: it is looked at now
// and again every DesktopCheckMilliseconds for DesktopCheckCount times (the
// raise comes after the event), and once it is raised a shown clock that is
// not kept on top joins the topmost band, unactivated. Any other window:
// a clock in that band for the desktop's sake leaves it, just below the new
// foreground window.
void OnForegroundChanged(HWND foreground);
inline constexpr UINT DesktopCheckMilliseconds = 250;
inline constexpr int DesktopCheckCount = 8;
// One look at the desktop window of the last foreground change (the timer's
// work, callable by itself); true once the clock went into the band.
bool CheckRaisedDesktop();
// Stops looking, and forgets that the clock was put in the band.
void StopDesktopChecks();
