#pragma once
// The program's own record and listener around a bare clock window, for the
// tests of what the program does (app/): default settings, the canvas
// attached at 380 x 150, and a clock source fixed at 9:05:07.
#include "clock/ClockFace.h"
#include "support/CanvasPixels.h"
#include "support/FixedTime.h"
#include "support/ProgramState.h"

#include <gtest/gtest.h>

#include <memory>

class ProgramFixture : public testing::Test {
protected:
    void SetUp() override {
        state = std::make_unique<ClockWindowFixtureState>();
        MoveWindow(Window(), 100, 100, 380, 150, FALSE);
        App().clock.layout = ClockLayout{};
        ASSERT_TRUE(App().clock.clockCanvas.AttachToWindow(Window()));
        ResetFixedTime();
    }
    void TearDown() override {
        SetClockSource(nullptr);
        state.reset();
    }

    HWND Window() const { return state->Window(); }
    ClockSettings& Settings() { return App().settings; }
    ClockView& View() { return App().clock; }
    ClockWindow& ClockWin() { return *App().clockWindow; }
    Bgra Pixel(int x, int y) const { return DibPixel(App().clock.clockCanvas.GetBitmap(), x, y); }
    std::vector<std::uint8_t> CanvasBytes() const { return DibBytes(App().clock.clockCanvas.GetBitmap()); }

    std::unique_ptr<ClockWindowFixtureState> state;
};
