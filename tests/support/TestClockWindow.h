#pragma once
// A real clock window for in-process tests, without the program's start-up
// and shut-down (which would read and write the settings file next to the
// test executable and end the message loop).
#include "app/AppGlobals.h"
#include "clock/ClockWindow.h"
#include "settings/WindowLayouts.h"

#include <memory>

class TestClockWindow : public ClockWindow {
public:
    // A message the framework answers with a value of its own, so that tests
    // can see whose answer a subclass procedure returns.
    static constexpr UINT ProbeMessage = WM_APP + 5;
    static constexpr LRESULT ProbeAnswer = 0x1234;

protected:
    void OnCreated() override {}
    void OnDestroyed() override {}
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message != ProbeMessage)
            return false;
        result = ProbeAnswer;
        return true;
    }
};

// Program-wide state with default settings and a bare clock window, for
// the length of one test.
class ClockWindowFixtureState {
public:
    ClockWindowFixtureState() {
        CreateAppGlobals();
        App().settings = DefaultSettings();
        App().settings.restoreLastPosition = "真";
        App().clockWindow = std::make_unique<TestClockWindow>();
        App().clockWindow->Create(ClockWindowLayout);
    }
    ~ClockWindowFixtureState() { ReleaseGlobals(); }
    ClockWindowFixtureState(const ClockWindowFixtureState&) = delete;
    ClockWindowFixtureState& operator=(const ClockWindowFixtureState&) = delete;

    HWND Window() const { return App().clockWindow->Handle(); }
};
