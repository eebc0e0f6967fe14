// The program on a display of another scale than 96 DPI. Wine reports the
// DPI of its prefix, so these tests only mean something in a prefix set to
// one: DpiRun.sh makes one per scale and runs every test whose suite name
// ends in "AtDisplayScale", with TIKO_DISPLAY_DPI naming the DPI. Started
// without it, they skip.
#include "clock/ButtonStateMachine.h"
#include "support/ClockProcess.h"
#include "support/Desktop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The clock window's size in physical pixels, written out: 380 x 150 at 96 DPI.
constexpr struct {
    int dpi;
    SIZE window;
} Expected[] = {{144, {570, 225}}, {192, {760, 300}}};

constexpr int DefaultFontSize = 80; // in 96-DPI units, as the file keeps it

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class ClockAtDisplayScale : public testing::Test {
protected:
    void SetUp() override {
        const char* dpi = std::getenv("TIKO_DISPLAY_DPI");
        if (!dpi)
            GTEST_SKIP() << "needs a Wine prefix at another DPI (tests/e2e/DpiRun.sh)";
        for (const auto& e : Expected)
            if (e.dpi == std::atoi(dpi))
                size = e.window;
        ASSERT_NE(size.cx, 0) << "no expectations for " << dpi << " DPI";
        scale = {std::atoi(dpi)};
        // Physical pixels, as the clock sees them: Windows would otherwise
        // scale every window rectangle and screen pixel this process reads.
        using SetContext = HANDLE(WINAPI*)(HANDLE);
        if (const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext"))))
            set(reinterpret_cast<HANDLE>(-4)); // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    }

    std::vector<COLORREF> Capture(const RECT& client) const {
        const RECT window = clock.WindowRect();
        return desktop::CaptureScreen(window.left + client.left, window.top + client.top,
                                      client.right - client.left, client.bottom - client.top);
    }
    COLORREF Pixel(int x, int y) const { return Capture({x, y, x + 1, y + 1}).front(); }
    RECT ButtonRect(ButtonId id) const {
        const IntRect b = At(ButtonBoundsFor(size.cx, size.cy, scale), id);
        return {b.x, b.y, b.x + b.width, b.y + b.height};
    }
    // The pointer moves onto the button until it no longer shows its picture
    // at rest (leaving another lit button can take a move of its own), then
    // a click. Clicks land either side of the middle in turn, too far apart
    // to make a double click. False when the button never lit: the press
    // would have gone to the face.
    [[nodiscard]] bool ClickButton(ButtonId id, const std::vector<COLORREF>& atRest = {}) {
        const RECT rect = ButtonRect(id), window = clock.WindowRect();
        const int side = (GetSystemMetrics(SM_CXDOUBLECLK) + 1) / 2;
        const int x = window.left + (rect.left + rect.right) / 2 + (clicks++ % 2 ? side : -side);
        const int y = window.top + (rect.top + rect.bottom) / 2;
        int moves = 0;
        const bool lit = desktop::WaitUntil(
            [&] {
                desktop::MoveMouse(x + moves++ % 2, y);
                return !atRest.empty() && Capture(rect) != atRest;
            },
            atRest.empty() ? 0ms : 10s);
        if (!lit && !atRest.empty())
            return false;
        desktop::LeftDown();
        desktop::LeftUp();
        return true;
    }
    // The time's first and last rows in its own colour.
    std::pair<int, int> TimeRows() const {
        const std::vector<COLORREF> pixels = Capture({0, 0, size.cx, size.cy});
        int top = -1, bottom = -1;
        for (std::size_t i = 0; i < pixels.size(); ++i)
            if (Near(pixels[i], RGB(40, 215, 144), 30)) {
                bottom = static_cast<int>(i / size.cx);
                top = top < 0 ? bottom : top;
            }
        return {top, bottom};
    }

    SIZE size{};
    DisplayScale scale;
    int clicks = 0;
    ClockProcess clock;
};

TEST_F(ClockAtDisplayScale, WindowBackdropAndTimeTakeTheScaledLayout) {
    ASSERT_TRUE(clock.Start());
    desktop::MoveMouse(5, 5);
    const RECT window = clock.WindowRect();
    EXPECT_EQ(window.right - window.left, size.cx);
    EXPECT_EQ(window.bottom - window.top, size.cy);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2) << "centred at its scaled size";

    // The backdrop reaches the far edge, its rounded corner leaves the last
    // pixel clear, and the time is centred at its scaled em size (its digits
    // stand well over half an em).
    const COLORREF desktopColour = desktop::ScreenPixel(window.right + 20, window.top + 5);
    const auto faceScaled = [&] {
        const auto [top, bottom] = TimeRows();
        return Near(Pixel(size.cx - 1 - scale.Pixels(6), size.cy / 2), RGB(120, 120, 120), 12) &&
               Pixel(size.cx - 1, size.cy - 1) == desktopColour &&
               bottom - top > DefaultFontSize * scale.Factor() / 2 &&
               std::abs((top + bottom) / 2 - size.cy / 2) < scale.Pixels(12);
    };
    EXPECT_TRUE(desktop::WaitUntil(faceScaled, 5s))
        << "time rows " << TimeRows().first << ".." << TimeRows().second;
}

TEST_F(ClockAtDisplayScale, EveryButtonAnswersWhereItIsDrawn) {
    ASSERT_TRUE(clock.Start());
    desktop::MoveMouse(5, 5);
    const RECT window = clock.WindowRect();
    // Hovering shows the buttons at their scaled bounds.
    const RECT closeRect = ButtonRect(ButtonId::Close);
    const std::vector<COLORREF> hidden = Capture(closeRect);
    // The pointer keeps moving until the clock shows its buttons.
    int moves = 0;
    ASSERT_TRUE(desktop::WaitUntil(
        [&] {
            desktop::MoveMouse(window.left + scale.Pixels(60) + moves++ % 2, window.top + scale.Pixels(75));
            return Capture(closeRect) != hidden;
        },
        5s));

    std::vector<COLORREF> atRest[ButtonCount];
    for (ButtonId id : {ButtonId::Close, ButtonId::Settings, ButtonId::LargerFont, ButtonId::SmallerFont})
        atRest[static_cast<int>(id)] = Capture(ButtonRect(id));
    const auto click = [&](ButtonId id) { return ClickButton(id, atRest[static_cast<int>(id)]); };

    // Larger font twice and smaller once: the file shows whether each acted.
    for (const ButtonId id : {ButtonId::LargerFont, ButtonId::LargerFont, ButtonId::SmallerFont})
        ASSERT_TRUE(click(id)) << "a font button did not light";
    ASSERT_TRUE(ClickButton(ButtonId::KeepOnTop)); // lit while on: a press switches it whatever it shows
    EXPECT_TRUE(desktop::WaitUntil(
        [&] { return (GetWindowLongW(clock.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) == 0; }, 5s));
    ASSERT_TRUE(click(ButtonId::Settings)) << "the settings button did not light";
    HWND settings = nullptr;
    ASSERT_TRUE(
        desktop::WaitUntil([&] { return (settings = clock.FindWindowTitled("设置")) != nullptr; }, 10s));
    PostMessageW(settings, WM_CLOSE, 0, 0);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !IsWindowVisible(settings); }, 10s));
    ASSERT_TRUE(click(ButtonId::Close)) << "the close button did not light";
    ASSERT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0));
    const std::string saved = clock.ReadIniBytes().value_or("");
    EXPECT_NE(saved.find("字体大小=" + std::to_string(DefaultFontSize + 5)), std::string::npos) << saved;
    EXPECT_NE(saved.find("窗口置顶=假"), std::string::npos) << saved;
}

} // namespace
