#pragma once
// The settings window: opened on demand from the clock's settings button,
// non-modal, at most one at a time, built from SettingsWindowLayout.
#include "framework/Window.h"

class SettingsWindow : public Window {
public:
    SettingsWindow();

    WindowTimer scrollDownTimer; // "时钟1"
    WindowTimer scrollUpTimer;   // "时钟2"

    // Each control by its layout identifier ("标签20", "滑块条1", ...), e.g.
    // Find<Slider>("滑块条1"); nullptr for an unknown name or another kind.
    using Window::Find;

protected:
    void OnCreated() override;
};

// Opens the window, or brings the open one to the front (restored first).
void OpenSettingsWindow();
// Destroys the window when it is open.
void CloseSettingsWindow();
bool SettingsWindowIsOpen();
// The open window; nullptr while it is closed.
SettingsWindow* OpenedSettingsWindow();
// Loads every control from the settings (restore defaults calls it too);
// does nothing while the window is closed.
void FillSettingsControls();
