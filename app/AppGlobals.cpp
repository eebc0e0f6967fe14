#include "app/AppGlobals.h"

#include "clock/ClockWindow.h"

namespace {
std::unique_ptr<AppGlobals> globals;
}

AppGlobals::AppGlobals() = default;
AppGlobals::~AppGlobals() = default;

void CreateAppGlobals() {
    globals = std::make_unique<AppGlobals>();
}

void ReleaseGlobals() {
    // The window goes first, while every object its procedure reaches is alive.
    if (globals)
        globals->clockWindow.reset();
    globals.reset();
}

AppGlobals& App() {
    return *globals;
}

bool AppGlobalsExist() {
    return globals != nullptr;
}
