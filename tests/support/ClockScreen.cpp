#include "support/ClockScreen.h"

#include "support/Desktop.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

namespace clock_screen {

namespace {

using namespace std::chrono_literals;

int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// Pixels at least this bright in every channel.
int WhitePixels(const std::vector<COLORREF>& pixels, int floor) {
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [floor](COLORREF p) {
        return GetRValue(p) >= floor && GetGValue(p) >= floor && GetBValue(p) >= floor;
    }));
}

// When ClickHoverButton last pressed, for the double-click interval.
std::chrono::steady_clock::time_point lastPress{};

} // namespace

std::vector<COLORREF> Capture(const ClockProcess& clock, const RECT& area) {
    const RECT window = clock.WindowRect();
    return desktop::CaptureScreen(window.left + area.left, window.top + area.top, area.right - area.left,
                                  area.bottom - area.top);
}

void PointAt(const ClockProcess& clock, POINT client) {
    const RECT window = clock.WindowRect();
    desktop::MoveMouse(window.left + client.x, window.top + client.y);
}

RECT InkBounds(const std::vector<COLORREF>& pixels, int width) {
    RECT bounds{width, static_cast<LONG>(pixels.size()), 0, 0};
    if (pixels.empty() || width <= 0)
        return {};
    const COLORREF panel = pixels.front();
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (Distance(pixels[i], panel) <= 60)
            continue;
        const LONG x = static_cast<LONG>(i % width);
        const LONG y = static_cast<LONG>(i / width);
        bounds = {std::min(bounds.left, x), std::min(bounds.top, y), std::max(bounds.right, x + 1),
                  std::max(bounds.bottom, y + 1)};
    }
    return bounds.right > bounds.left ? bounds : RECT{};
}

RECT TimeBounds(const ClockProcess& clock) {
    return InkBounds(Capture(clock, TimeArea), TimeArea.right - TimeArea.left);
}

bool TimeIsShown(const ClockProcess& clock) {
    return Height(TimeBounds(clock)) > 10;
}

bool ButtonIsDrawn(const ClockProcess& clock, const RECT& bounds) {
    return WhitePixels(Capture(clock, bounds), 160) >= 3;
}

bool ButtonIsLit(const ClockProcess& clock, const RECT& bounds) {
    return ButtonLooksLit(Capture(clock, bounds));
}

bool ButtonLooksLit(const std::vector<COLORREF>& pixels) {
    return WhitePixels(pixels, 235) >= 3;
}

bool ClickHoverButton(const ClockProcess& clock, POINT client, const RECT& bounds) {
    PointAt(clock, {client.x - 2, client.y});
    PointAt(clock, client);
    if (!desktop::WaitUntil([&] { return ButtonIsLit(clock, bounds); }, 5s))
        return false;
    const auto apart = lastPress + std::chrono::milliseconds(GetDoubleClickTime()) + 100ms;
    desktop::WaitUntil([&] { return std::chrono::steady_clock::now() >= apart; }, 5s, 20ms);
    desktop::LeftDown();
    lastPress = std::chrono::steady_clock::now();
    desktop::LeftUp();
    return true;
}

namespace {

// Read wide: the ANSI code page of another Windows would damage the text.
BOOL CALLBACK FindStartWithWindowsBox(HWND child, LPARAM found) {
    wchar_t text[64]{};
    GetWindowTextW(child, text, 64);
    if (std::wstring_view(text) != L"开机启动(&A)")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

} // namespace

bool TickStartWithWindows(const ClockProcess& clock) {
    if (!ClickHoverButton(clock, {340, 18}, {330, 8, 350, 28}))
        return false;
    HWND settings = nullptr;
    desktop::WaitUntil([&] { return (settings = clock.FindWindowTitled("设置")) != nullptr; }, 10s);
    HWND box = nullptr;
    EnumChildWindows(settings, FindStartWithWindowsBox, reinterpret_cast<LPARAM>(&box));
    RECT rect{};
    if (!box || !desktop::WaitUntil([&] { return IsWindowVisible(box) && IsWindowEnabled(box); }, 5s) ||
        !GetWindowRect(box, &rect))
        return false;
    const auto checked = [&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    for (int attempt = 0; attempt < 2 && !checked(); ++attempt) {
        desktop::Click(rect.left + 7, (rect.top + rect.bottom) / 2); // on the box
        desktop::WaitUntil(checked, 5s);
    }
    return checked();
}

} // namespace clock_screen
