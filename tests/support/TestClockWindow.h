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

    // A message the framework answers with a value of its own, so that tests
    // can see whose answer a subclass procedure returns.
    static constexpr UINT ProbeMessage = WM_APP + 5;
    static constexpr LRESULT ProbeAnswer = 0x1234;

protected:
    void OnCreated() override {}
    void OnDestroyed() override {}
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message != ProbeMessage)
            return ClockWindow::OnMessage(message, wParam, lParam, result);
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
