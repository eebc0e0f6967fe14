#pragma once
// The clock window: a popup built from its layout, with its two timers.
#include "framework/Window.h"

class ClockWindow : public Window {
public:
    ClockWindow();

    WindowTimer tickTimer; // "时钟1": one redraw a second
    WindowTimer trimTimer; // "时钟2": working-set trimming

    // Left and top of the window on the screen.
    POINT Position() const;

protected:
    void OnCreated() override;
    void OnDestroyed() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// The clock window's own procedure, put in front of the framework's: hover,
// leave, press and a change of display scale, then every message goes on to
// the replaced procedure.
LRESULT CALLBACK ClockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
