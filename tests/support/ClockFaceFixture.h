#pragma once
// A clock face on a real (hidden-start-up) clock window: default settings,
// the canvas attached at 380 x 150, and a clock source fixed at 9:05:07.
#include "app/AppGlobals.h"
#include "clock/ClockFace.h"
#include "framework/Services.h"
#include "support/CanvasPixels.h"
#include "support/TestClockWindow.h"

#include <gtest/gtest.h>

inline SYSTEMTIME& FixedTime() {
    static SYSTEMTIME time{2026, 12, 1, 7, 0, 0, 0, 0}; // Monday, 7 December 2026
    return time;
}

inline void SetFixedTime(WORD hour, WORD minute, WORD second, WORD millisecond = 0) {
    FixedTime().wHour = hour;
    FixedTime().wMinute = minute;
    FixedTime().wSecond = second;
    FixedTime().wMilliseconds = millisecond;
    SetClockSource([] { return FixedTime(); });
}

class ClockFaceFixture : public testing::Test {
protected:
    void SetUp() override {
        state = std::make_unique<ClockWindowFixtureState>();
        MoveWindow(Window(), 100, 100, 380, 150, FALSE);
        App().clock.layout = ClockLayout{};
        ASSERT_TRUE(App().clock.clockCanvas.AttachToWindow(Window()));
        // The date too: a test before may have left the clock on another day.
        FixedTime() = {2026, 12, 1, 7, 0, 0, 0, 0};
        SetFixedTime(9, 5, 7);
    }
    void TearDown() override {
        SetClockSource(nullptr);
        state.reset();
    }

    HWND Window() const { return state->Window(); }
    ClockSettings& Settings() { return App().settings; }
    Bgra Pixel(int x, int y) const { return DibPixel(App().clock.clockCanvas.GetBitmap(), x, y); }
    std::vector<std::uint8_t> CanvasBytes() const { return DibBytes(App().clock.clockCanvas.GetBitmap()); }

    std::unique_ptr<ClockWindowFixtureState> state;
};
