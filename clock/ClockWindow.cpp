#include "clock/ClockWindow.h"

#include "app/Lifetime.h"
#include "app/SystemIntegration.h"
#include "settings/WindowLayouts.h"

ClockWindow::ClockWindow()
    : tickTimer(*this, Timer1Id, [] { OnClockTick(); }), trimTimer(*this, Timer2Id, [] { OnTrimTick(); }) {}

POINT ClockWindow::Position() const {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return {rect.left, rect.top};
}

void ClockWindow::OnCreated() {
    OnClockWindowCreated();
}

void ClockWindow::OnDestroyed() {
    OnClockWindowDestroyed();
}
