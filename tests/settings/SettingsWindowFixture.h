#pragma once
// The settings window built from a settings record of its own, and the
// helpers that read it back from Windows.
#include "settings/SettingsWindow.h"
#include "settings/WindowLayouts.h"
#include "support/Desktop.h"
#include "support/RecordingListeners.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace settings_test {

using namespace std::chrono_literals;

// Runs the program's own message handling (Esc, Tab) for a while.
inline void Pump(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    do {
        PumpPendingMessages();
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
}

inline bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 3s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        PumpPendingMessages();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
}

// Plays the user on a second thread while this one handles the messages:
// a drag on this thread's own window needs both at once.
inline void AsUser(const std::function<void()>& actions) {
    std::atomic<bool> done = false;
    std::thread user([&] {
        actions();
        done = true;
    });
    PumpUntil([&] { return done.load(); }, 30s);
    user.join();
    Pump(100ms);
}

inline RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// A rectangle in the parent's client area, as Windows holds it now.
inline RECT RectInParent(HWND window) {
    RECT rect = ScreenRect(window);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A point of the settings window's client area on the screen.
inline POINT ClientToScreenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

inline void Repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(100ms);
}

// The settings window over a record with default settings, reporting to a
// listener that writes each change down and takes it into the record, as a
// program refusing nothing would.
class SettingsWindowState {
public:
    SettingsWindowState() : window(settings, listener) {
        listener.takeInto = &settings;
        window.Create(SettingsWindowLayout);
    }
    SettingsWindowState(const SettingsWindowState&) = delete;
    SettingsWindowState& operator=(const SettingsWindowState&) = delete;

    ClockSettings settings = DefaultSettings();
    RecordingSettingsListener listener;
    SettingsWindow window;
};

class OpenSettingsWindowTest : public testing::Test {
protected:
    void SetUp() override {
        desktop::MoveMouse(0, 0); // no hover over the window
        state = std::make_unique<SettingsWindowState>();
        window = &state->window;
        ASSERT_TRUE(window->Exists());
        SetForegroundWindow(window->Handle());
        Repaint(window->Handle());
    }
    void TearDown() override {
        state.reset();
        Pump(50ms);
    }

    ClockSettings& Settings() { return state->settings; }

    std::unique_ptr<SettingsWindowState> state;
    SettingsWindow* window = nullptr;
};

} // namespace settings_test
