// The clock on the screen, as a user sees it and drags it.
#include "support/ClockScreen.h"
#include "support/Desktop.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;

struct ScreenArea {
    int left, top, width, height;
};

std::vector<COLORREF> Capture(const ScreenArea& area) {
    return desktop::CaptureScreen(area.left, area.top, area.width, area.height);
}

bool Near(COLORREF colour, int r, int g, int b, int tolerance) {
    return std::abs(GetRValue(colour) - r) <= tolerance && std::abs(GetGValue(colour) - g) <= tolerance &&
           std::abs(GetBValue(colour) - b) <= tolerance;
}

int CountNear(const std::vector<COLORREF>& colours, int r, int g, int b, int tolerance = 30) {
    int count = 0;
    for (COLORREF c : colours)
        count += Near(c, r, g, b, tolerance) ? 1 : 0;
    return count;
}

ScreenArea FaceOf(const ClockProcess& clock) {
    const RECT rect = clock.WindowRect();
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void ParkMouseAwayFrom(const ClockProcess& clock) {
    const RECT rect = clock.WindowRect();
    desktop::MoveMouse(rect.right + 200 < 1900 ? rect.right + 200 : 10, 10);
}

TEST(ClockOnScreen, ShowsBackdropAndTimeColoursWithinTwoSeconds) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    ParkMouseAwayFrom(clock);
    const ScreenArea face = FaceOf(clock);
    // Over the black virtual desktop the backdrop (RGB 205,205,205 at 150/255)
    // shows as a mid grey; the time in RGB(40,215,144) with a white outline.
    const bool drawn = desktop::WaitUntil(
        [&] {
            const auto pixels = Capture(face);
            return CountNear(pixels, 120, 120, 120, 12) > 5000 && CountNear(pixels, 40, 215, 144) > 300 &&
                   CountNear(pixels, 255, 255, 255, 20) > 150;
        },
        2s);
    EXPECT_TRUE(drawn);
}

TEST(ClockOnScreen, SecondsChangeEverySecond) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    ParkMouseAwayFrom(clock);
    ASSERT_TRUE(desktop::WaitUntil([&] { return clock_screen::TimeIsShown(clock); }, 3s)) << "no time drawn";
    // Whichever second it is, the next one comes within a second; the rest
    // is room for a loaded machine.
    const auto before = clock_screen::Capture(clock, clock_screen::TimeArea);
    EXPECT_TRUE(desktop::WaitUntil(
        [&] { return clock_screen::Capture(clock, clock_screen::TimeArea) != before; }, 3s))
        << "the time shown did not change";
}

TEST(ClockOnScreen, DraggingMovesTheClockAndCloseSavesThePlace) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    const RECT start = clock.WindowRect();
    // The system's move loop follows the pointer move by move: wait for the
    // last one before letting go and before measuring where the drag ended.
    const auto offset = [&] {
        const RECT now = clock.WindowRect();
        return POINT{now.left - start.left, now.top - start.top};
    };
    desktop::Drag(start.left + 40, start.top + 75, start.left + 240, start.top + 175,
                  [&] { return offset().x == 200 && offset().y == 100; });
    ASSERT_TRUE(desktop::WaitUntil([&] { return offset().x == 200 && offset().y == 100; }, 5s))
        << "the clock did not follow the mouse to (200, 100) from its start: it is at (" << offset().x << ", "
        << offset().y << ")";
    const RECT end = clock.WindowRect();

    ASSERT_TRUE(desktop::GiveKeyboardTo(clock.Window())) << "the clock did not take the keyboard";
    desktop::PressKey(VK_ESCAPE);
    ASSERT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0));
    const std::string expected =
        "恢复上次关闭时的位置=真|" + std::to_string(end.left) + "|" + std::to_string(end.top);
    EXPECT_NE(clock.ReadIniBytes().value_or("").find(expected), std::string::npos);
}

} // namespace
