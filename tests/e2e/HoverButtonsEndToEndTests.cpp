// The hover buttons of the real program, used with the real mouse.
#include "support/ClockProcess.h"
#include "support/Desktop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Client points of the buttons and of the face away from them.
constexpr POINT OnClose{362, 18};
constexpr POINT OnKeepOnTop{316, 18};
constexpr POINT OnLargerFont{337, 130};
constexpr POINT OnFace{60, 75};
constexpr RECT CloseBounds{354, 10, 370, 26};
// The panel's middle, clear of every button: where the time is drawn.
constexpr RECT TimeArea{12, 30, 300, 120};

// The screen's pixels in a rectangle of the clock's client area.
std::vector<COLORREF> Capture(const ClockProcess& clock, const RECT& area) {
    const RECT window = clock.WindowRect();
    return desktop::CaptureScreen(window.left + area.left, window.top + area.top, area.right - area.left,
                                  area.bottom - area.top);
}

int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    int count = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        count += a[i] != b[i] ? 1 : 0;
    return count;
}

// How many pixels of the time area stand out from the panel behind the text
// (the area's first pixel, left of any time).
int TextPixels(const std::vector<COLORREF>& area) {
    if (area.empty())
        return 0;
    const COLORREF panel = area.front();
    int count = 0;
    for (COLORREF p : area) {
        const int distance = std::abs(GetRValue(p) - GetRValue(panel)) +
                             std::abs(GetGValue(p) - GetGValue(panel)) +
                             std::abs(GetBValue(p) - GetBValue(panel));
        count += distance > 60 ? 1 : 0;
    }
    return count;
}

POINT ToScreen(const ClockProcess& clock, POINT client) {
    const RECT window = clock.WindowRect();
    return {window.left + client.x, window.top + client.y};
}

void MoveTo(const ClockProcess& clock, POINT client) {
    const POINT p = ToScreen(clock, client);
    desktop::MoveMouse(p.x, p.y);
}

// As a user clicks a button: the pointer comes to rest on it, then a click.
void ClickButton(const ClockProcess& clock, POINT client) {
    MoveTo(clock, {client.x - 2, client.y});
    MoveTo(clock, client);
    std::this_thread::sleep_for(200ms);
    desktop::LeftDown();
    desktop::LeftUp();
    std::this_thread::sleep_for(400ms); // the pressed image's pause and the redraw after it
}

bool IsTopmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST(HoverButtonsEndToEnd, HoverShowsThemLargerFontGrowsTheTimeKeepOnTopTogglesCloseSaves) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    desktop::MoveMouse(5, 5);            // far from the centred clock
    std::this_thread::sleep_for(1500ms); // a tick or so with the buttons hidden

    // Hovering shows the buttons.
    const std::vector<COLORREF> closeHidden = Capture(clock, CloseBounds);
    ASSERT_FALSE(closeHidden.empty());
    MoveTo(clock, OnFace);
    MoveTo(clock, {OnFace.x + 3, OnFace.y + 2});
    EXPECT_TRUE(
        desktop::WaitUntil([&] { return Differences(Capture(clock, CloseBounds), closeHidden) > 10; }, 5s))
        << "the close button did not appear while the mouse was over the clock";

    // Three clicks on larger font: the time grows.
    const int textBefore = TextPixels(Capture(clock, TimeArea));
    ASSERT_GT(textBefore, 200) << "no time visible to measure";
    for (int i = 0; i < 3; ++i)
        ClickButton(clock, OnLargerFont);
    MoveTo(clock, OnFace);
    EXPECT_TRUE(
        desktop::WaitUntil([&] { return TextPixels(Capture(clock, TimeArea)) > textBefore * 11 / 10; }, 5s))
        << "text pixels before " << textBefore << ", after " << TextPixels(Capture(clock, TimeArea));

    // Keep on top is on by default; a click switches it off, another on.
    ASSERT_TRUE(IsTopmost(clock.Window()));
    ClickButton(clock, OnKeepOnTop);
    EXPECT_TRUE(desktop::WaitUntil([&] { return !IsTopmost(clock.Window()); }, 3s));
    ClickButton(clock, OnKeepOnTop);
    EXPECT_TRUE(desktop::WaitUntil([&] { return IsTopmost(clock.Window()); }, 3s));
    ClickButton(clock, OnKeepOnTop);
    EXPECT_TRUE(desktop::WaitUntil([&] { return !IsTopmost(clock.Window()); }, 3s));

    // Close ends the program and saves what the buttons changed.
    ClickButton(clock, OnClose);
    const auto exitCode = clock.WaitForExit(20s);
    ASSERT_TRUE(exitCode.has_value()) << "the close button did not end the clock";
    EXPECT_EQ(*exitCode, 0u);
    const auto saved = clock.ReadIniBytes();
    ASSERT_TRUE(saved.has_value());
    EXPECT_NE(saved->find("字体大小=95"), std::string::npos) << *saved;
    EXPECT_NE(saved->find("窗口置顶=假"), std::string::npos) << *saved;
}

} // namespace
