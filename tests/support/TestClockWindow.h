#pragma once
// A real clock window for in-process tests, without the program's start-up
// and shut-down (which would read and write the settings file next to the
// test executable and end the message loop).
#include "clock/ClockView.h"
#include "clock/ClockWindow.h"
#include "clock/ClockWindowLayout.h"
#include "clock/HoverButtons.h"
#include "config/ClockSettings.h"
#include "support/RecordingListeners.h"

class TestClockWindow : public ClockWindow {
public:
    TestClockWindow(ClockView& view, ClockWindowListener& listener) : ClockWindow(view, listener) {}

    // A message answered with a value of its own after the clock window's
    // handling, as the framework's would be, so that tests can see whether
    // the clock window lets a message through to it.
    static constexpr UINT ProbeMessage = WM_APP + 5;
    static constexpr LRESULT ProbeAnswer = 0x1234;

protected:
    void OnCreated() override {}
    void OnDestroyed() override {}
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (ClockWindow::OnMessage(message, wParam, lParam, result))
            return true;
        if (message != ProbeMessage)
            return false;
        result = ProbeAnswer;
        return true;
    }
};

// A clock view built from a settings record of its own (the defaults) on a
// bare clock window, for the length of one test. The window reports to a
// recording listener unless the test gives it another.
class ClockViewState {
public:
    explicit ClockViewState(ClockWindowListener* reportTo = nullptr)
        : window(view, reportTo ? *reportTo : recorder) {
        recorder.view = &view;
        window.Create(ClockWindowLayout);
    }
    ClockViewState(const ClockViewState&) = delete;
    ClockViewState& operator=(const ClockViewState&) = delete;

    HWND Window() const { return window.Handle(); }

    ClockSettings settings = DefaultSettings();
    ClockView view{settings};
    RecordingClockListener recorder;
    TestClockWindow window;
};

// The buttons as the program has them once its first frame is shown: laid
// out, then drawn unseen (their images decoded, their layers filled).
inline void SetupButtons(ClockView& view) {
    PlaceButtons(view);
    DrawHoverButtons(view, false);
}
