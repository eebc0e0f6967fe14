#pragma once
// A clock face on a real (hidden-start-up) clock window, built from its own
// settings record (the defaults) and reporting to a recording listener: the
// canvas attached at 380 x 150, and a clock source fixed at 9:05:07.
#include "clock/ClockFace.h"
#include "support/CanvasPixels.h"
#include "support/FixedTime.h"
#include "support/TestClockWindow.h"

#include <gtest/gtest.h>

#include <memory>

class ClockFaceFixture : public testing::Test {
protected:
    void SetUp() override {
        state = std::make_unique<ClockViewState>();
        MoveWindow(Window(), 100, 100, 380, 150, FALSE);
        View().layout = ClockLayout{};
        ASSERT_TRUE(View().clockCanvas.AttachToWindow(Window()));
        ResetFixedTime();
    }
    void TearDown() override {
        SetClockSource(nullptr);
        state.reset();
    }

    HWND Window() const { return state->Window(); }
    ClockSettings& Settings() { return state->settings; }
    ClockView& View() { return state->view; }
    TestClockWindow& ClockWin() { return state->window; }
    RecordingClockListener& Listener() { return state->recorder; }
    Bgra Pixel(int x, int y) const { return DibPixel(state->view.clockCanvas.GetBitmap(), x, y); }
    std::vector<std::uint8_t> CanvasBytes() const { return DibBytes(state->view.clockCanvas.GetBitmap()); }

    std::unique_ptr<ClockViewState> state;
};
