#include "clock/ClockFace.h"

#include "graphics/PathObject.h"
#include "graphics/PenObject.h"
#include "support/ClockFaceFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct TimeCase {
    WORD hour, minute, second;
    bool showSeconds;
    const char* expected;
};

class TimeTextFormat : public testing::TestWithParam<TimeCase> {};

TEST_P(TimeTextFormat, HourWithoutLeadingZeroMinutesAndSecondsWithOne) {
    const TimeCase& c = GetParam();
    SYSTEMTIME time{};
    time.wHour = c.hour;
    time.wMinute = c.minute;
    time.wSecond = c.second;
    EXPECT_EQ(FormatTimeText(time, c.showSeconds).digitsText, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Times, TimeTextFormat,
                         testing::Values(TimeCase{9, 5, 7, true, "9:05:07"}, TimeCase{9, 5, 7, false, "9:05"},
                                         TimeCase{0, 0, 0, false, "0:00"}, TimeCase{0, 0, 0, true, "0:00:00"},
                                         TimeCase{14, 30, 0, true, "14:30:00"},
                                         TimeCase{23, 59, 59, true, "23:59:59"}));

struct ArgbCase {
    std::int32_t colour, alpha;
    std::uint32_t expected;
};

class MakeArgbConversion : public testing::TestWithParam<ArgbCase> {};

TEST_P(MakeArgbConversion, SwapsRedAndBlueAndKeepsTheAlphaLowByte) {
    EXPECT_EQ(MakeArgb(GetParam().colour, GetParam().alpha), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Colours, MakeArgbConversion,
                         testing::Values(ArgbCase{0x0000FF, 128, 0x80FF0000u},
                                         ArgbCase{0x0000FF, 300, 0x2CFF0000u},
                                         ArgbCase{0x0000FF, 256, 0x00FF0000u},
                                         ArgbCase{static_cast<std::int32_t>(0xFF123456), 255, 0xFF563412u},
                                         ArgbCase{-1, 0, 0x00FFFFFFu}, ArgbCase{9492264, 255, 0xFF28D790u},
                                         ArgbCase{0x7FFFFFFF, -1, 0xFFFFFFFFu}));

TEST(BorderAlphas, TruncateInDoubles) {
    const struct {
        std::int32_t backdrop, outer, inner;
    } cases[] = {{150, 88, 82}, {0, 0, 0}, {255, 150, 140}, {1, 0, 0}, {100, 58, 54}};
    for (const auto& c : cases) {
        const BorderAlphas alphas = BorderAlphasFor(c.backdrop);
        EXPECT_EQ(alphas.outer, c.outer) << c.backdrop;
        EXPECT_EQ(alphas.inner, c.inner) << c.backdrop;
    }
}

TEST(FaceRoundedRectangle, CornerSizeIsClampedAndRightBottomArcsSetIn) {
    const struct {
        std::int32_t size;
        float left, top, right, bottom;
    } cases[] = {{0, 0, 0, 97, 47}, {5, 0, 0, 97, 47}, {500, 0, -3, 97, 50}, {-7, 0, 0, 97, 47}};
    for (const auto& c : cases) {
        PathObject path;
        ASSERT_TRUE(path.Create());
        AddRoundedRectangle(path, 0, 0, 100, 50, c.size);
        Gdiplus::RectF bounds{};
        ASSERT_TRUE(path.GetBounds(bounds, nullptr, PenObject())) << LastStatus;
        EXPECT_NEAR(bounds.X, c.left, 0.6) << c.size;
        EXPECT_NEAR(bounds.Y, c.top, 0.6) << c.size;
        EXPECT_NEAR(bounds.X + bounds.Width, c.right, 0.6) << c.size;
        EXPECT_NEAR(bounds.Y + bounds.Height, c.bottom, 0.6) << c.size;
    }
}

using ClockFaceFrames = ClockFaceFixture;

TEST_F(ClockFaceFrames, RedrawWithoutRefreshKeepsTheLastText) {
    RedrawClock(View(), true);
    EXPECT_EQ(View().timeText.timeText, L"9:05:07");
    SetFixedTime(10, 0, 0);
    RedrawClock(View(), false);
    EXPECT_EQ(View().timeText.timeText, L"9:05:07");
    RedrawClock(View(), true);
    EXPECT_EQ(View().timeText.timeText, L"10:00:00");
    Settings().showSeconds = false;
    RedrawClock(View(), true);
    EXPECT_EQ(View().timeText.timeText, L"10:00");
}

TEST_F(ClockFaceFrames, BackdropCoversTheFaceAndLeavesTheRoundedCornerTransparent) {
    RedrawClock(View(), true);
    const Bgra inside = Pixel(5, 75); // backdrop, outside the panel
    EXPECT_GT(inside.a, 0);
    EXPECT_EQ(Pixel(379, 149), (Bgra{0, 0, 0, 0})) << "beyond the set-in corner arcs";
    EXPECT_EQ(Pixel(378, 2), (Bgra{0, 0, 0, 0}));
}

// A layered window lets clicks through pixels of alpha 0: inside the rounded
// backdrop every pixel keeps alpha 1 or more (and, premultiplied, no more
// colour than that), whatever the opacities; the corners stay empty.
TEST_F(ClockFaceFrames, EveryPixelInsideTheBackdropKeepsSomeAlphaAtEveryOpacity) {
    ClockSettings& s = Settings();
    s.windowBackgroundAlpha = 255;
    RedrawClock(View(), true);
    const HBITMAP canvas = View().clockCanvas.GetBitmap();
    const int width = View().clockCanvas.GetWidth(), height = View().clockCanvas.GetHeight();
    std::vector<Bgra> full; // the backdrop's full coverage at opacity 255 marks what is inside
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            full.push_back(DibPixel(canvas, x, y));
    const auto inside = std::ranges::count_if(full, [](Bgra p) { return p.a == 255; });
    ASSERT_GT(inside, width * height * 95 / 100);

    const struct {
        const char* name;
        std::int32_t panelAlpha, clockAlpha;
        bool layered;
    } cases[] = {{"panel 0, layered", 0, 255, true},
                 {"panel 0, copied", 0, 255, false},
                 {"panel 1, layered", 1, 255, true},
                 {"panel 0, copied, time 0", 0, 0, false},
                 {"panel 0, layered, time 100", 0, 100, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        s.windowBackgroundAlpha = 0;
        s.clockBackgroundAlpha = c.panelAlpha;
        s.clockAlpha = c.clockAlpha;
        s.layeredTransparency = c.layered;
        RedrawClock(View(), false);
        int bad = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Bgra p = DibPixel(canvas, x, y),
                           reference = full[static_cast<std::size_t>(y * width + x)];
                if (reference.a == 255)
                    bad += p.a < 1 || p.r > p.a || p.g > p.a || p.b > p.a ? 1 : 0;
                else if (reference.a == 0)
                    bad += p == Bgra{0, 0, 0, 0} ? 0 : 1;
            }
        EXPECT_EQ(bad, 0);
        EXPECT_EQ(Pixel(0, 0), (Bgra{0, 0, 0, 0}));
        EXPECT_EQ(Pixel(379, 149), (Bgra{0, 0, 0, 0}));
    }
}

TEST_F(ClockFaceFrames, BackdropColourFollowsTheSetting) {
    Settings().windowBackgroundAlpha = 255;
    Settings().windowBackgroundColor = 0x0000FF; // red
    RedrawClock(View(), true);
    const Bgra red = Pixel(5, 75);
    EXPECT_GT(red.r, 200);
    EXPECT_LT(red.g, 40);
    EXPECT_LT(red.b, 40);
    Settings().windowBackgroundColor = 0xFF0000; // blue
    RedrawClock(View(), false);
    const Bgra blue = Pixel(5, 75);
    EXPECT_GT(blue.b, 200);
    EXPECT_LT(blue.r, 40);
}

TEST_F(ClockFaceFrames, PanelIsCopiedOpaqueWithoutLayeredTransparency) {
    Settings().clockBackgroundColor = 0x00FF00;
    Settings().clockBackgroundAlpha = 60;
    Settings().windowBackgroundColor = 0x0000FF;
    Settings().windowBackgroundAlpha = 255;
    Settings().layeredTransparency = true;
    RedrawClock(View(), true);
    const Bgra blended = Pixel(14, 134);
    Settings().layeredTransparency = false;
    RedrawClock(View(), false);
    const Bgra copied = Pixel(14, 134);
    // Blended at 60/255 the backdrop's red still dominates; copied, the
    // panel replaces it.
    EXPECT_GT(blended.r, copied.r);
    EXPECT_LT(copied.r, 40);
    EXPECT_NE(blended, copied);
}

// Pixels within the text's box that carry the font or outline colour.
int CountColouredPixels(const ClockView& view, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                        int tolerance = 40) {
    auto within = [tolerance](int a, int e) { return a >= e - tolerance && a <= e + tolerance; };
    int count = 0;
    for (int y = 20; y < 130; ++y)
        for (int x = 20; x < 360; ++x) {
            const Bgra p = DibPixel(view.clockCanvas.GetBitmap(), x, y);
            if (within(p.r, r) && within(p.g, g) && within(p.b, b))
                ++count;
        }
    return count;
}

TEST_F(ClockFaceFrames, TimeShowsInFontAndOutlineColours) {
    Settings().clockBackgroundAlpha = 255;
    Settings().clockBackgroundColor = 0x000000; // black panel: text stands out
    Settings().layeredTransparency = false;
    RedrawClock(View(), true);
    EXPECT_GT(CountColouredPixels(View(), 40, 215, 144), 200) << "font colour RGB(40,215,144)";
    EXPECT_GT(CountColouredPixels(View(), 255, 255, 255), 100) << "white outline";
}

TEST_F(ClockFaceFrames, SmallFontAfterLargeLeavesNothingOfTheLargeGlyphs) {
    Settings().fontSize = 20;
    RedrawClock(View(), true);
    const auto smallOnly = CanvasBytes();
    Settings().fontSize = 95;
    RedrawClock(View(), false);
    ASSERT_NE(CanvasBytes(), smallOnly);
    Settings().fontSize = 20;
    RedrawClock(View(), false);
    EXPECT_EQ(CanvasBytes(), smallOnly);
}

TEST_F(ClockFaceFrames, UninstalledFontStillShowsTheTime) {
    Settings().clockBackgroundAlpha = 255;
    Settings().clockBackgroundColor = 0x000000;
    Settings().layeredTransparency = false;
    Settings().fontName = "No Such Font Anywhere";
    RedrawClock(View(), true);
    EXPECT_GT(CountColouredPixels(View(), 40, 215, 144), 200);
    EXPECT_EQ(Settings().fontName, "No Such Font Anywhere");
}

TEST_F(ClockFaceFrames, ZeroOutlineDrawsNoOutline) {
    Settings().clockBackgroundAlpha = 255;
    Settings().clockBackgroundColor = 0x000000;
    Settings().layeredTransparency = false;
    Settings().outlineWidth = 0;
    RedrawClock(View(), true);
    EXPECT_LT(CountColouredPixels(View(), 255, 255, 255, 20), 5);
}

} // namespace
