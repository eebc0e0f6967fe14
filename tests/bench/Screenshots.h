#pragma once
// Screenshots of the real clock for the README: the clock alone, the clock
// with the pointer over it (its buttons showing), and the settings window
// opened from its gear button, its menu, and two clocks side by side (local
// time and Tokyo's). Written as BMP files into a folder.
#include <windows.h>

#include <string>

// Answers an error text, empty on success.
std::string TakeScreenshots(const std::string& executable, const std::string& folder);

// A shown window of the process with that class and title (either null for
// any), or null.
HWND FindShownWindow(DWORD processId, const wchar_t* className, const wchar_t* title);
