#pragma once
// Staying on the desktop through "show desktop": Windows then brings the
// shell's desktop window to the front, and a clock not kept on top would
// vanish behind it.
#include "framework/UniqueHandle.h"

#include <windows.h>

// Hears every change of the foreground window, out of context, for as long
// as the hook lives.
unique_hwineventhook WatchForeground();

// The shell's desktop window ("WorkerW" or "Progman").
bool IsShellDesktopWindow(HWND window);

// A window came to the foreground. Only the desktop window moves the clock
// (ordinary windows cover it as they always did): a shown clock that is not
// kept on top goes just above it, neither active nor topmost.
void OnForegroundChanged(HWND foreground);
