// The real program's settings window on a display of another scale. Run by
// the per-DPI CTest tests, with TIKO_DISPLAY_DPI naming the prefix's DPI;
// without that variable the suite skips.
#include "framework/Window.h"
#include "settings/WindowLayouts.h"
#include "support/ClockProcess.h"
#include "support/Desktop.h"
#include "support/SettingsControls.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace std::chrono_literals;

ControlRect RectInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

TEST(SettingsWindowAtDisplayScale, ControlsAtTheirScaledRectanglesAndTheWheelScrollsTheScaledStep) {
    const char* dpi = std::getenv("TIKO_DISPLAY_DPI");
    if (!dpi)
        GTEST_SKIP() << "needs a Wine prefix at another DPI (tests/e2e/DpiRun.sh)";
    const DisplayScale scale{std::atoi(dpi)};
    // Physical pixels, as the program sees them.
    using SetContext = HANDLE(WINAPI*)(HANDLE);
    if (const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext"))))
        set(reinterpret_cast<HANDLE>(-4)); // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    // The gear, wherever the clock's scale puts it: at 340, 18 of 380 x 150.
    const RECT face = clock.WindowRect();
    const POINT gear{face.left + (face.right - face.left) * 340 / 380,
                     face.top + (face.bottom - face.top) * 18 / 150};
    HWND settings = nullptr;
    desktop::WaitUntil(
        [&] {
            desktop::MoveMouse(gear.x - 100, gear.y + 20); // the first move shows the buttons
            desktop::Click(gear.x, gear.y);
            return desktop::WaitUntil([&] { return (settings = clock.FindWindowTitled("设置")) != nullptr; },
                                      2s);
        },
        20s, 1s);
    ASSERT_NE(settings, nullptr) << "the gear did not open the settings window";

    // The client area is the 96-DPI one scaled, in the frame drawn at this scale.
    using AdjustFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjust = reinterpret_cast<AdjustFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT frame96{}, client{};
    ASSERT_TRUE(adjust && adjust(&frame96, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_CONTROLPARENT, BaseDpi));
    GetClientRect(settings, &client);
    EXPECT_EQ(client.right,
              scale.Pixels(SettingsWindowLayout.width - static_cast<int>(frame96.right - frame96.left)));
    EXPECT_EQ(client.bottom,
              scale.Pixels(SettingsWindowLayout.height - static_cast<int>(frame96.bottom - frame96.top)));

    HWND panel = nullptr;
    for (std::size_t i = 0; i < std::size(SettingsWindowControls); ++i) {
        const ControlRecord& record = SettingsWindowControls[i];
        const HWND control = SettingsControlOf(settings, i);
        ControlRect expected = ScaledRect(record.rect, scale);
        if (record.name == "外形框4") {
            panel = control;
            expected.top = 0; // the panel opens at its top
        }
        EXPECT_EQ(RectInParent(control), expected) << std::string(record.name);
    }

    // The wheel over the panel, right of the check boxes: 64 s a notch, the
    // second notch going on from where the first one came to rest.
    POINT free{scale.Pixels(500), scale.Pixels(140)};
    ClientToScreen(panel, &free);
    desktop::MoveMouse(free.x, free.y);
    // A notch goes where the focus is: to the panel once the move gave it the focus.
    ASSERT_TRUE(desktop::WaitUntil([&] { return desktop::FocusInThreadOf(settings) == panel; }, 5s))
        << "the panel did not take the focus under the pointer";
    for (int notch = 1; notch <= 2; ++notch) {
        desktop::Wheel(-WHEEL_DELTA);
        EXPECT_TRUE(
            desktop::WaitUntil([&] { return RectInParent(panel).top == -scale.Pixels(64 * notch); }, 5s))
            << "notch " << notch << ": offset " << RectInParent(panel).top;
    }
}

} // namespace
