#include "clock/LayeredCanvas.h"

#include "support/CanvasPixels.h"
#include "support/Desktop.h"
#include "support/TestClockWindow.h"

#include <gtest/gtest.h>

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

    ClockWindowFixtureState state;
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
