#pragma once
// The settings window opened in this process, as the clock's settings
// button opens it, and the helpers that read it back from Windows.
#include "app/Actions.h"
#include "settings/SettingsWindow.h"
#include "support/ClockFaceFixture.h"
#include "support/Desktop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
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

// The settings window opens over a running clock, as in the program: the
// program-wide record with default settings and a clock window with its
// canvas (at 100, 100, clear of the settings window), which every control
// of the window acts on.
class OpenSettingsWindowTest : public ClockFaceFixture {
protected:
    void SetUp() override {
        ClockFaceFixture::SetUp();
        desktop::MoveMouse(0, 0); // no hover over the window
        OpenSettingsWindow();
        window = OpenedSettingsWindow();
        ASSERT_NE(window, nullptr);
        SetForegroundWindow(window->Handle());
        Repaint(window->Handle());
    }
    void TearDown() override {
        CloseSettingsWindow();
        Pump(50ms);
        ClockFaceFixture::TearDown();
    }

    SettingsWindow* window = nullptr;
};

} // namespace settings_test
