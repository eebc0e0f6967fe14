#pragma once
// A real clock window for in-process tests, without the program's start-up
// and shut-down (which would read and write the settings file next to the
// test executable and end the message loop).
#include "app/AppGlobals.h"
#include "app/ProgramEvents.h"
#include "clock/ClockWindow.h"
#include "clock/ClockWindowLayout.h"

#include <memory>

class TestClockWindow : public ClockWindow {
public:
    explicit TestClockWindow(ClockWindowListener& listener) : ClockWindow(App().clock, listener) {}

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

// Program-wide state with default settings and a bare clock window, for
// the length of one test. The window reports to the program's own listener
// unless the test gives it another.
class ClockWindowFixtureState {
public:
    explicit ClockWindowFixtureState(ClockWindowListener& listener = Events()) {
        CreateAppGlobals();
        App().settings = DefaultSettings();
        App().settings.restoreLastPosition = true;
        App().clockWindow = std::make_unique<TestClockWindow>(listener);
        App().clockWindow->Create(ClockWindowLayout);
    }
    ~ClockWindowFixtureState() { ReleaseGlobals(); }
    ClockWindowFixtureState(const ClockWindowFixtureState&) = delete;
    ClockWindowFixtureState& operator=(const ClockWindowFixtureState&) = delete;

    HWND Window() const { return App().clockWindow->Handle(); }
};
