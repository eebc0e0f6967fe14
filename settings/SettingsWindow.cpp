#include "settings/SettingsWindow.h"

// Placeholder until the settings window is built from its layout.
void OpenSettingsWindow() {}
void CloseSettingsWindow() {}
bool SettingsWindowIsOpen() { return false; }
void FillSettingsControls() {}
