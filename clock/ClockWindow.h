#pragma once
// The clock window: a popup built from its layout, with its three timers. It
// shows its view and reports to its listener; it decides nothing else.
#include "framework/Window.h"

struct ClockView;
class ClockWindowListener;

inline constexpr UINT_PTR SaveTimerId = 3;

class ClockWindow : public Window {
public:
    // The view and the listener outlive the window.
    ClockWindow(ClockView& view, ClockWindowListener& listener);
    ~ClockWindow() override;

    WindowTimer tickTimer; // "时钟1": one redraw a second, on the second
    WindowTimer trimTimer; // "时钟2": working-set trimming
    WindowTimer saveTimer; // a change waiting to be saved

    ClockView& View() const { return view; }
    ClockWindowListener& Listener() const { return listener; }

    // Left and top of the window on the screen.
    POINT Position() const;
    // Arms the tick timer for the next tick after the clock's time now: every
    // second with seconds shown or "全屏时隐藏" on, else every minute; a timer
    // already on the seconds runs on with its period.
    void ArmTick();
    // Stops every timer.
    void StopTimers();

    void OnEscape() override;

protected:
    void OnCreated() override;
    void OnDestroyed() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The face's messages: hover, leave, press, a change of display scale, of
    // the time and a resume go on to the framework's handling after it; the
    // size for a coming display scale and the context menu are answered here.
    bool OnFaceMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    ClockView& view;
    ClockWindowListener& listener;
};

// How long after the moment now the next tick is due: just past the start of
// the next second, or of the next minute when seconds are hidden, so that the
// shown time changes right after the real one and none is skipped or shown
// twice.
inline constexpr UINT TickMarginMilliseconds = 5;
UINT MillisecondsToNextTick(const SYSTEMTIME& now, bool showSeconds);
// How far past that moment a tick may come before the next one is set
// again for it rather than left to the timer's period.
inline constexpr UINT TickDriftMilliseconds = 20;
