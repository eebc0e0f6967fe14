#include "settings/SettingsWindow.h"

#include "settings/WindowLayouts.h"

#include <memory>

namespace {

// Outlives its window: a closed window's object is replaced at the next
// opening, never from inside one of its own handlers.
std::unique_ptr<SettingsWindow>& SettingsWindowObject() {
    static std::unique_ptr<SettingsWindow> window;
    return window;
}

} // namespace

SettingsWindow::SettingsWindow() : scrollDownTimer(*this, Timer1Id, {}), scrollUpTimer(*this, Timer2Id, {}) {}

void SettingsWindow::OnCreated() {
    // The panel is laid out scrolled; the window always opens at its top.
    if (ShapeBox* panel = Find<ShapeBox>("外形框4"))
        panel->Move(0, 0);
    FillSettingsControls();
}

void OpenSettingsWindow() {
    std::unique_ptr<SettingsWindow>& window = SettingsWindowObject();
    if (window && window->Exists()) {
        window->BringToFront();
        return;
    }
    window = std::make_unique<SettingsWindow>();
    window->Create(SettingsWindowLayout);
}

void CloseSettingsWindow() {
    if (SettingsWindow* window = OpenedSettingsWindow())
        window->Destroy();
}

bool SettingsWindowIsOpen() {
    return OpenedSettingsWindow() != nullptr;
}

SettingsWindow* OpenedSettingsWindow() {
    const std::unique_ptr<SettingsWindow>& window = SettingsWindowObject();
    return window && window->Exists() ? window.get() : nullptr;
}

void FillSettingsControls() {}
