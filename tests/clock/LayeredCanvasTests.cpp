#include "clock/LayeredCanvas.h"

#include "support/CanvasPixels.h"
#include "support/Desktop.h"
#include "support/TestClockWindow.h"

#include <gtest/gtest.h>

#include <span>
#include <vector>

namespace {

using namespace std::chrono_literals;

class LayeredCanvasTest : public testing::Test {
protected:
    void SetUp() override {
        MoveWindow(state.Window(), 200, 200, 380, 150, FALSE);
        SetWindowLongW(state.Window(), GWL_EXSTYLE,
                       GetWindowLongW(state.Window(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    }
    LONG ExStyle() const { return GetWindowLongW(state.Window(), GWL_EXSTYLE); }

    ClockViewState state;
    LayeredCanvas canvas;
};

TEST_F(LayeredCanvasTest, RefusesAChildWindowAndLeavesItsStyle) {
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, state.Window(),
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    const LONG before = GetWindowLongW(child, GWL_EXSTYLE);
    EXPECT_FALSE(canvas.AttachToWindow(child));
    EXPECT_EQ(GetWindowLongW(child, GWL_EXSTYLE), before);
    EXPECT_EQ(canvas.GetWindow(), nullptr);
    EXPECT_FALSE(canvas.Present());
    EXPECT_FALSE(canvas.SetAlpha(10));
}

TEST_F(LayeredCanvasTest, AttachTakesTheWindowSizeAndReleaseRestoresTheStyle) {
    const LONG before = ExStyle();
    ASSERT_TRUE(canvas.AttachToWindow(state.Window()));
    EXPECT_TRUE(ExStyle() & WS_EX_LAYERED);
    EXPECT_EQ(canvas.GetWidth(), 380);
    EXPECT_EQ(canvas.GetHeight(), 150);
    EXPECT_EQ(canvas.GetAlpha(), 255);
    EXPECT_NE(canvas.GetDc(), nullptr);
    EXPECT_EQ(canvas.GetNativeHandle(), canvas.Handle());

    EXPECT_TRUE(canvas.ReleaseCanvas());
    EXPECT_EQ(ExStyle(), before);
    EXPECT_EQ(canvas.GetDc(), nullptr);
    EXPECT_EQ(canvas.GetBitmap(), nullptr);
    EXPECT_EQ(canvas.GetWidth(), 0);
    EXPECT_EQ(canvas.GetWindow(), nullptr);
    EXPECT_FALSE(canvas.ReleaseCanvas()) << "nothing left to release";
}

TEST_F(LayeredCanvasTest, DestroyingABoundCanvasRestoresTheStyle) {
    const LONG before = ExStyle();
    {
        LayeredCanvas scoped;
        ASSERT_TRUE(scoped.AttachToWindow(state.Window()));
    }
    EXPECT_EQ(ExStyle(), before);
}

TEST_F(LayeredCanvasTest, FreshCanvasIsFullyTransparent) {
    ASSERT_TRUE(canvas.AttachToWindow(state.Window()));
    const auto bytes = DibBytes(canvas.GetBitmap());
    ASSERT_EQ(bytes.size(), 380u * 150u * 4u);
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(canvas.Present());
}

TEST_F(LayeredCanvasTest, SetAlphaNeedsABinding) {
    EXPECT_FALSE(canvas.SetAlpha(128));
    EXPECT_EQ(canvas.GetAlpha(), 0);
    ASSERT_TRUE(canvas.AttachToWindow(state.Window()));
    EXPECT_TRUE(canvas.SetAlpha(128));
    EXPECT_EQ(canvas.GetAlpha(), 128);
}

TEST_F(LayeredCanvasTest, HalfAlphaPresentDimsTheWindowWithoutRedrawing) {
    ASSERT_TRUE(canvas.AttachToWindow(state.Window()));
    // An opaque white canvas, shown over the black virtual desktop.
    auto* bits = static_cast<std::uint32_t*>(nullptr);
    DIBSECTION section{};
    GetObjectW(canvas.GetBitmap(), sizeof section, &section);
    bits = static_cast<std::uint32_t*>(section.dsBm.bmBits);
    std::fill(bits, bits + 380 * 150, 0xFFFFFFFFu);
    const auto drawn = DibBytes(canvas.GetBitmap());

    ASSERT_TRUE(canvas.Present());
    ASSERT_TRUE(desktop::WaitUntil([] { return GetRValue(desktop::ScreenPixel(390, 275)) > 200; }, 10s))
        << "the opaque white canvas did not reach the screen";
    ASSERT_TRUE(canvas.SetAlpha(128));
    ASSERT_TRUE(canvas.Present());
    EXPECT_TRUE(desktop::WaitUntil(
        [] {
            const int red = GetRValue(desktop::ScreenPixel(390, 275));
            return red > 100 && red < 160;
        },
        2s))
        << "red now " << int(GetRValue(desktop::ScreenPixel(390, 275)));
    EXPECT_EQ(DibBytes(canvas.GetBitmap()), drawn) << "the canvas itself is untouched";
}

TEST_F(LayeredCanvasTest, ClearRectZeroesExactlyItsRectangle) {
    ASSERT_TRUE(canvas.AttachToWindow(state.Window()));
    DIBSECTION section{};
    GetObjectW(canvas.GetBitmap(), sizeof section, &section);
    auto* bits = static_cast<std::uint32_t*>(section.dsBm.bmBits);
    std::fill(bits, bits + 380 * 150, 0xFF336699u);
    ASSERT_TRUE(canvas.ClearRect(10, 20, 30, 40));
    EXPECT_EQ(DibPixel(canvas.GetBitmap(), 10, 20), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(DibPixel(canvas.GetBitmap(), 39, 59), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(DibPixel(canvas.GetBitmap(), 9, 20), (Bgra{0x99, 0x66, 0x33, 0xFF}));
    EXPECT_EQ(DibPixel(canvas.GetBitmap(), 40, 59), (Bgra{0x99, 0x66, 0x33, 0xFF}));
    EXPECT_EQ(DibPixel(canvas.GetBitmap(), 39, 60), (Bgra{0x99, 0x66, 0x33, 0xFF}));
}

TEST_F(LayeredCanvasTest, ResizeAndClearNeedABinding) {
    EXPECT_FALSE(canvas.ResizeCanvas(10, 10));
    EXPECT_FALSE(canvas.ClearRect(0, 0, 1, 1));
    ASSERT_TRUE(canvas.AttachToWindow(state.Window()));
    HDC dc = canvas.GetDc();
    EXPECT_TRUE(canvas.ResizeCanvas(100, 50));
    EXPECT_EQ(canvas.GetDc(), dc) << "the memory DC is kept";
    EXPECT_EQ(canvas.GetWidth(), 100);
    EXPECT_EQ(canvas.GetHeight(), 50);
}

} // namespace

TEST(ChangedPixelBounds, BoundsExactlyThePixelsThatDiffer) {
    constexpr int width = 7, height = 5;
    // Top-down window coordinates of the changed pixels, and the bounds.
    const struct {
        std::vector<POINT> changed;
        RECT bounds;
    } cases[] = {
        {{}, {0, 0, 0, 0}},
        {{{0, 0}}, {0, 0, 1, 1}},
        {{{6, 4}}, {6, 4, 7, 5}},
        {{{3, 1}, {1, 3}}, {1, 1, 4, 4}},
        {{{5, 0}, {2, 2}, {4, 4}}, {2, 0, 6, 5}},
        {{{0, 2}, {6, 2}}, {0, 2, 7, 3}},
        // The rightmost change at the edge, in a row below or above another.
        {{{1, 1}, {6, 3}}, {1, 1, 7, 4}},
        {{{6, 0}, {3, 4}}, {3, 0, 7, 5}},
    };
    const std::vector<std::uint8_t> before(width * height * 4, 0x40);
    for (const auto& c : cases) {
        std::vector<std::uint8_t> after = before;
        for (const POINT& p : c.changed) // bottom-up rows; one byte of the pixel
            after[((height - 1 - p.y) * width + p.x) * 4 + 3] ^= 1;
        EXPECT_EQ(SamePixels(before, after), c.changed.empty()); // (6, 0) is in the bytes past the last 8
        const RECT bounds = ChangedPixelBounds(before, after, width, height);
        EXPECT_TRUE(EqualRect(&bounds, &c.bounds))
            << bounds.left << "," << bounds.top << "," << bounds.right << "," << bounds.bottom;
        // Compared only inside a rectangle: what differs outside it is not seen.
        const RECT within{2, 1, 6, 9};
        RECT expected{};
        for (const POINT& p : c.changed) {
            const RECT pixel{p.x, p.y, p.x + 1, p.y + 1};
            if (PtInRect(&within, p))
                UnionRect(&expected, &expected, &pixel);
        }
        const RECT inside = ChangedPixelBounds(before, after, width, height, within);
        EXPECT_TRUE(EqualRect(&inside, &expected))
            << inside.left << "," << inside.top << "," << inside.right << "," << inside.bottom;
    }
    const RECT whole{0, 0, width, height};
    const RECT shorter = ChangedPixelBounds(before, std::span(before).first(10), width, height);
    EXPECT_TRUE(EqualRect(&shorter, &whole)) << "a canvas of another size differs everywhere";
    EXPECT_FALSE(SamePixels(before, std::span(before).first(136)));
}

TEST_F(LayeredCanvasTest, ChangedPresentSendsTheWholeWindowWhenItsPlacementChanged) {
    ASSERT_TRUE(canvas.AttachToWindow(state.Window()));
    const RECT none{};
    const auto serial = canvas.PresentSerial();
    EXPECT_TRUE(canvas.PresentChanged(none));
    EXPECT_EQ(LastStatus, 0);
    // Nothing changed: nothing is sent, yet the serial moves for every call.
    EXPECT_NE(canvas.PresentSerial(), serial);
    // A new alpha goes to the whole window; a window refusing presents shows
    // that the call reached the system.
    const LONG style = GetWindowLongW(state.Window(), GWL_EXSTYLE);
    SetWindowLongW(state.Window(), GWL_EXSTYLE, style & ~WS_EX_LAYERED);
    EXPECT_TRUE(canvas.PresentChanged(none)) << "same placement, nothing to send";
    ASSERT_TRUE(canvas.SetAlpha(128));
    EXPECT_FALSE(canvas.PresentChanged(none)) << "alpha changed: sent";
    SetWindowLongW(state.Window(), GWL_EXSTYLE, style);
    EXPECT_TRUE(canvas.PresentChanged(none)) << "the failed present left nothing shown: sent";
    EXPECT_TRUE(canvas.PresentChanged(none)) << "now nothing to send";
    SetWindowLongW(state.Window(), GWL_EXSTYLE, style & ~WS_EX_LAYERED);
    SetWindowPos(state.Window(), nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(canvas.PresentChanged(none)) << "moved: sent";
    SetWindowLongW(state.Window(), GWL_EXSTYLE, style);
}
