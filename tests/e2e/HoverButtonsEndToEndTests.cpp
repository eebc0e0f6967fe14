// The hover buttons of the real program, used with the real mouse.
#include "support/ClockScreen.h"
#include "support/Desktop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace clock_screen;

// Client points of the buttons, their bounds, and the face away from them.
constexpr POINT OnClose{362, 18};
constexpr RECT CloseBounds{354, 10, 370, 26};
constexpr POINT OnKeepOnTop{316, 18};
constexpr RECT KeepOnTopBounds{306, 8, 326, 28};
constexpr POINT OnLargerFont{337, 130};
constexpr RECT LargerFontBounds{327, 120, 347, 140};
constexpr POINT OnFace{60, 75};

bool IsTopmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST(HoverButtonsEndToEnd, HoverShowsThemLargerFontGrowsTheTimeKeepOnTopTogglesCloseSaves) {
    // Far from the centred clock before it starts: a pointer that an earlier
    // test left where the clock opens would light it until its leave arrives.
    desktop::MoveMouse(5, 5);
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    ASSERT_TRUE(desktop::WaitUntil([&] { return TimeIsShown(clock); }, 5s)) << "no time on the clock";

    // Hovering shows the buttons.
    ASSERT_TRUE(desktop::WaitUntil([&] { return !ButtonIsDrawn(clock, CloseBounds); }, 5s))
        << "the buttons show with the mouse away from the clock";
    PointAt(clock, OnFace);
    PointAt(clock, {OnFace.x + 3, OnFace.y + 2});
    EXPECT_TRUE(desktop::WaitUntil([&] { return ButtonIsDrawn(clock, CloseBounds); }, 5s))
        << "the close button did not appear while the mouse was over the clock";
    EXPECT_FALSE(ButtonIsLit(clock, CloseBounds)) << "lit with the mouse away from it";

    // Four clicks on larger font (80 to 100), as quick as double-clicks:
    // each one acts, and the time grows by about as much, whatever its digits.
    const int heightBefore = Height(TimeBounds(clock));
    PointAt(clock, {OnLargerFont.x - 2, OnLargerFont.y});
    PointAt(clock, OnLargerFont);
    ASSERT_TRUE(desktop::WaitUntil([&] { return ButtonIsLit(clock, LargerFontBounds); }, 5s))
        << "larger font did not light";
    for (int i = 0; i < 4; ++i) {
        desktop::LeftDown();
        desktop::LeftUp();
    }
    PointAt(clock, OnFace);
    EXPECT_TRUE(desktop::WaitUntil([&] { return Height(TimeBounds(clock)) * 10 > heightBefore * 11; }, 5s))
        << "the time's height before " << heightBefore << ", after " << Height(TimeBounds(clock));

    // Keep on top is on by default; a click switches it off, another on.
    ASSERT_TRUE(IsTopmost(clock.Window()));
    for (const bool on : {false, true, false}) {
        ASSERT_TRUE(ClickHoverButton(clock, OnKeepOnTop, KeepOnTopBounds)) << "keep on top did not light";
        EXPECT_TRUE(desktop::WaitUntil([&] { return IsTopmost(clock.Window()) == on; }, 3s)) << on;
    }

    // Close ends the program and saves what the buttons changed.
    ASSERT_TRUE(ClickHoverButton(clock, OnClose, CloseBounds)) << "close did not light";
    const auto exitCode = clock.WaitForExit(20s);
    ASSERT_TRUE(exitCode.has_value()) << "the close button did not end the clock";
    EXPECT_EQ(*exitCode, 0u);
    const auto saved = clock.ReadIniBytes();
    ASSERT_TRUE(saved.has_value());
    EXPECT_NE(saved->find("字体大小=100"), std::string::npos) << *saved;
    EXPECT_NE(saved->find("窗口置顶=假"), std::string::npos) << *saved;
}

} // namespace
