#pragma once
// The clock window: a popup built from its layout, with its two timers.
#include "framework/Window.h"

class ClockWindow : public Window {
public:
    ClockWindow();

    WindowTimer tickTimer; // "时钟1": one redraw a second, on the second
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

// How long after the moment now the next tick is due: just past the start of
// the next second, or of the next minute when seconds are hidden, so that the
// shown time changes right after the real one and none is skipped or shown
// twice.
inline constexpr UINT TickMarginMilliseconds = 5;
UINT MillisecondsToNextTick(const SYSTEMTIME& now, bool showSeconds);
// Arms the tick timer once, for the next tick after the clock's time now.
void ArmClockTick();
