#pragma once
// The program's own record and listener around a bare clock window.
#include "app/AppGlobals.h"
#include "app/ProgramEvents.h"
#include "support/TestClockWindow.h"

#include <memory>

// Program-wide state with default settings and a bare clock window, for
// the length of one test. The window reports to the program's own listener
// unless the test gives it another.
class ClockWindowFixtureState {
public:
    explicit ClockWindowFixtureState(ClockWindowListener& listener = Events()) {
        CreateAppGlobals();
        App().settings = DefaultSettings();
        App().clockWindow = std::make_unique<TestClockWindow>(App().clock, listener);
        App().clockWindow->Create(ClockWindowLayout);
    }
    ~ClockWindowFixtureState() { ReleaseGlobals(); }
    ClockWindowFixtureState(const ClockWindowFixtureState&) = delete;
    ClockWindowFixtureState& operator=(const ClockWindowFixtureState&) = delete;

    HWND Window() const { return App().clockWindow->Handle(); }
};
