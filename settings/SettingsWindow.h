#pragma once
// The settings window: opened on demand from the clock's settings button,
// non-modal, at most one at a time.

// Opens the window, or brings the open one to the front (restored first).
void OpenSettingsWindow();
// Destroys the window when it is open.
void CloseSettingsWindow();
bool SettingsWindowIsOpen();
// Loads every control from the settings (restore defaults calls it too);
// does nothing while the window is closed.
void FillSettingsControls();
