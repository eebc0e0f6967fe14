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
    globals.reset();
}

AppGlobals& App() {
    return *globals;
}

bool AppGlobalsExist() {
    return globals != nullptr;
}
