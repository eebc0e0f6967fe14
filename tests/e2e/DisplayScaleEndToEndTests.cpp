// The program on a display of another scale than 96 DPI. Wine reports the
// DPI of its prefix, so these tests only mean something in a prefix set to
// one: DpiRun.sh makes one per scale and runs every test whose suite name
// ends in "AtDisplayScale", with TIKO_DISPLAY_DPI naming the DPI. Started
// without it, they skip.
#include "clock/ButtonStateMachine.h"
#include "support/ClockProcess.h"
#include "support/Desktop.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The clock window's size, written out rather than computed: 380 x 150 at
// 96 DPI, in physical pixels.
struct ExpectedClock {
    int dpi;
    SIZE window;
    IntRect close; // the close button's bounds in the window
};
constexpr ExpectedClock Expected[] = {
    {144, {570, 225}, {531, 15, 24, 24}},
    {192, {760, 300}, {708, 20, 32, 32}},
};

constexpr COLORREF FontColour = RGB(40, 215, 144);
constexpr int DefaultFontSize = 80; // in 96-DPI units, as the file keeps it

class ClockAtDisplayScale : public testing::Test {
protected:
    void SetUp() override {
        const char* dpiText = std::getenv("TIKO_DISPLAY_DPI");
        if (!dpiText)
            GTEST_SKIP() << "needs a Wine prefix at another DPI (tests/e2e/DpiRun.sh)";
        for (const ExpectedClock& e : Expected)
            if (e.dpi == std::atoi(dpiText))
                expected = e;
        ASSERT_NE(expected.dpi, 0) << "no expectations for " << dpiText << " DPI";
        // This process sees physical pixels like the clock: Windows would
        // otherwise scale every window rectangle and screen pixel it reads.
        using SetContext = HANDLE(WINAPI*)(HANDLE);
        const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
        if (set)
            set(reinterpret_cast<HANDLE>(-4)); // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
        scale = {expected.dpi};
    }

    std::vector<COLORREF> Capture(const RECT& client) const {
        const RECT window = clock.WindowRect();
        return desktop::CaptureScreen(window.left + client.left, window.top + client.top,
                                      client.right - client.left, client.bottom - client.top);
    }
    COLORREF Pixel(int x, int y) const {
        const RECT window = clock.WindowRect();
        return desktop::ScreenPixel(window.left + x, window.top + y);
    }
    RECT WholeWindow() const { return {0, 0, expected.window.cx, expected.window.cy}; }
    // As a user clicks a button: the pointer moves onto it until the button
    // no longer shows its picture at rest (it lights up; leaving another lit
    // button can take a move of its own), then a click. Clicks land on
    // either side of the middle in turn, too far apart to make a double click.
    void ClickButton(ButtonId id, const std::vector<COLORREF>& atRest = {}) {
        const RECT rect = ButtonRect(id);
        const RECT window = clock.WindowRect();
        const int side = GetSystemMetrics(SM_CXDOUBLECLK) + 1;
        const int x = window.left + (rect.left + rect.right) / 2 + (clicks++ % 2 == 0 ? -side : side) / 2;
        const int y = window.top + (rect.top + rect.bottom) / 2;
        int moves = 0;
        desktop::WaitUntil(
            [&] {
                desktop::MoveMouse(x + moves++ % 2, y);
                return !atRest.empty() && Capture(rect) != atRest;
            },
            atRest.empty() ? 0ms : 5s);
        desktop::LeftDown();
        desktop::LeftUp();
    }
    RECT ButtonRect(ButtonId id) const {
        const IntRect b = At(ButtonBoundsFor(expected.window.cx, expected.window.cy, scale), id);
        return {b.x, b.y, b.x + b.width, b.y + b.height};
    }

    // The first and last rows the time's own colour covers in the window.
    std::pair<int, int> TextRows() const {
        const std::vector<COLORREF> pixels = Capture(WholeWindow());
        int top = -1, bottom = -1;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            if (Near(pixels[i], FontColour)) {
                const int row = static_cast<int>(i / expected.window.cx);
                top = top < 0 ? row : top;
                bottom = row;
            }
        }
        return {top, bottom};
    }
    static bool Near(COLORREF a, COLORREF b, int tolerance = 30) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
               std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
               std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
    }

    ExpectedClock expected{};
    int clicks = 0;
    DisplayScale scale;
    ClockProcess clock;
};

TEST_F(ClockAtDisplayScale, WindowBackdropAndTimeTakeTheScaledLayout) {
    ASSERT_TRUE(clock.Start());
    desktop::MoveMouse(5, 5);
    const RECT window = clock.WindowRect();
    EXPECT_EQ(window.right - window.left, expected.window.cx);
    EXPECT_EQ(window.bottom - window.top, expected.window.cy);
    // The first start centres the clock at its scaled size.
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - expected.window.cx) / 2);

    // The backdrop reaches the scaled window's far edge, its rounded corner
    // leaves the outermost pixel clear, and the time is centred in the whole
    // window at its scaled em size (digits stand well over half an em).
    const int right = expected.window.cx - 1, bottom = expected.window.cy - 1;
    const COLORREF desktopColour = desktop::ScreenPixel(window.right + 20, window.top + 5);
    const auto timeFits = [&] {
        const auto [top, last] = TextRows();
        return last - top > DefaultFontSize * scale.Factor() / 2 &&
               std::abs((top + last) / 2 - expected.window.cy / 2) < scale.Pixels(12);
    };
    const bool drawn = desktop::WaitUntil(
        [&] {
            return Near(Pixel(right - scale.Pixels(6), expected.window.cy / 2), RGB(120, 120, 120), 12) &&
                   Pixel(right, bottom) == desktopColour && timeFits();
        },
        5s);
    EXPECT_TRUE(drawn) << "edge " << std::hex << Pixel(right - scale.Pixels(6), expected.window.cy / 2)
                       << ", corner " << Pixel(right, bottom) << std::dec << ", time rows "
                       << TextRows().first << ".." << TextRows().second;
}

TEST_F(ClockAtDisplayScale, EveryButtonAnswersAtItsScaledBounds) {
    ASSERT_TRUE(clock.Start());
    const IntRect close = expected.close;
    const RECT closeRect{close.x, close.y, close.x + close.width, close.y + close.height};
    const RECT closeLaidOut = ButtonRect(ButtonId::Close);
    EXPECT_TRUE(EqualRect(&closeRect, &closeLaidOut));
    desktop::MoveMouse(5, 5);
    const std::vector<COLORREF> hidden = Capture(closeRect);
    const RECT window = clock.WindowRect();
    desktop::MoveMouse(window.left + scale.Pixels(60), window.top + scale.Pixels(75));
    desktop::MoveMouse(window.left + scale.Pixels(62), window.top + scale.Pixels(76));
    ASSERT_TRUE(desktop::WaitUntil([&] { return Capture(closeRect) != hidden; }, 5s))
        << "no close button drawn at its scaled bounds";
    std::array<std::vector<COLORREF>, ButtonCount> atRest;
    for (ButtonId id : {ButtonId::Close, ButtonId::Settings, ButtonId::LargerFont, ButtonId::SmallerFont})
        atRest[static_cast<std::size_t>(id)] = Capture(ButtonRect(id));
    const auto rest = [&](ButtonId id) -> const std::vector<COLORREF>& {
        return atRest[static_cast<std::size_t>(id)];
    };

    // Larger font twice and smaller once: the file shows whether each acted.
    ClickButton(ButtonId::LargerFont, rest(ButtonId::LargerFont));
    ClickButton(ButtonId::LargerFont, rest(ButtonId::LargerFont));
    ClickButton(ButtonId::SmallerFont, rest(ButtonId::SmallerFont));

    // Keep on top is on by default, its button lit all the time: a press
    // switches it whatever it shows.
    ClickButton(ButtonId::KeepOnTop);
    EXPECT_TRUE(desktop::WaitUntil(
        [&] { return (GetWindowLongW(clock.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) == 0; }, 5s));

    ClickButton(ButtonId::Settings, rest(ButtonId::Settings));
    HWND settings = nullptr;
    ASSERT_TRUE(
        desktop::WaitUntil([&] { return (settings = clock.FindWindowTitled("设置")) != nullptr; }, 10s));
    PostMessageW(settings, WM_CLOSE, 0, 0);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !IsWindowVisible(settings); }, 10s));

    ClickButton(ButtonId::Close, rest(ButtonId::Close));
    ASSERT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0));
    const std::string saved = clock.ReadIniBytes().value_or("");
    EXPECT_NE(saved.find("字体大小=" + std::to_string(DefaultFontSize + 5)), std::string::npos) << saved;
    EXPECT_NE(saved.find("窗口置顶=假"), std::string::npos) << saved;
}

} // namespace
