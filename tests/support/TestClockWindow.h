#pragma once
// A real clock window for in-process tests, without the program's start-up
// and shut-down (which would read and write the settings file next to the
// test executable and end the message loop).
#include "app/AppGlobals.h"
#include "clock/ClockWindow.h"
#include "settings/WindowLayouts.h"

#include <memory>

class TestClockWindow : public ClockWindow {
protected:
    void OnCreated() override {}
    void OnDestroyed() override {}
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
