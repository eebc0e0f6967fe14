// Settings far outside what the settings window offers (a hand-edited file,
// endless font-button presses) go to the renderer unchanged: no crash, no
// hang, no leak, and the time still shows wherever the font can draw it.
#include "clock/ClockFace.h"
#include "clock/HoverButtons.h"
#include "support/ClockFaceFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <functional>
#include <string>

#include "SoakResources.h"

namespace {

using Clock = std::chrono::steady_clock;

// A frame may be slow with a huge font, but it ends.
constexpr auto FrameTimeLimit = std::chrono::seconds(20);

class ExtremeSettings : public ClockFaceFixture {
protected:
    void SetUp() override {
        ClockFaceFixture::SetUp();
        // A black, opaque panel: the font colour stands out on it.
        Settings().clockBackgroundAlpha = 255;
        Settings().clockBackgroundColor = 0x000000;
        Settings().layeredTransparency = false;
        DrawWindowBackdrop(View());
        SetupButtons(View());
        View().hoverActive = true;
    }

    // Draws one frame, as written or cached, and answers how long it took.
    Clock::duration Frame(bool caching) {
        SetFrameCaching(View(), caching);
        const auto start = Clock::now();
        RedrawClock(View(), true);
        const auto took = Clock::now() - start;
        SetFrameCaching(View(), true);
        return took;
    }

    // Canvas pixels inside the face that carry the font colour RGB(40, 215, 144).
    int FontColouredPixels() const {
        int count = 0;
        for (int y = 12; y < 136; ++y)
            for (int x = 12; x < 366; ++x) {
                const Bgra p = Pixel(x, y);
                if (p.r >= 20 && p.r <= 60 && p.g >= 195 && p.g <= 235 && p.b >= 124 && p.b <= 164)
                    ++count;
            }
        return count;
    }
};

struct FontSizeCase {
    std::int32_t size;
    bool timeShows; // the glyphs fit well enough to leave font-coloured pixels
};

class ExtremeFontSizes : public ExtremeSettings, public testing::WithParamInterface<FontSizeCase> {};

TEST_P(ExtremeFontSizes, DrawInTimeAndShowTheTimeWhereItFits) {
    Settings().fontSize = GetParam().size;
    for (bool caching : {false, true}) {
        EXPECT_LT(Frame(caching), FrameTimeLimit) << "font size " << GetParam().size;
        if (GetParam().timeShows) {
            EXPECT_GT(FontColouredPixels(), 20) << "font size " << GetParam().size << ", caching " << caching;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    FontSizes, ExtremeFontSizes,
    testing::Values(FontSizeCase{-1000, false}, FontSizeCase{-5, false}, FontSizeCase{-1, false},
                    FontSizeCase{0, false}, FontSizeCase{1, false}, FontSizeCase{5, false},
                    FontSizeCase{12, true}, FontSizeCase{20, true}, FontSizeCase{95, true},
                    FontSizeCase{150, true}, FontSizeCase{400, true}, FontSizeCase{1000, true},
                    FontSizeCase{5000, true}, FontSizeCase{10000, true}, FontSizeCase{-10000, false},
                    FontSizeCase{-50000, false}, FontSizeCase{800000, false}, FontSizeCase{-1000000, false},
                    FontSizeCase{INT_MAX, false}, FontSizeCase{INT_MIN, false}));

// Ink in the text layer's outermost columns or rows: text cut by the face.
bool InkAtTheEdges(const GraphicsObject& layer) {
    const int width = layer.GetWidth(), height = layer.GetHeight();
    for (int y = 0; y < height; ++y)
        if (DibPixel(layer.GetBitmap(), 0, y).a || DibPixel(layer.GetBitmap(), width - 1, y).a)
            return true;
    for (int x = 0; x < width; ++x)
        if (DibPixel(layer.GetBitmap(), x, 0).a || DibPixel(layer.GetBitmap(), x, height - 1).a)
            return true;
    return false;
}

// A time or date too large for the face at the size asked is drawn whole at
// the largest size that fits; the setting keeps the size asked for.
TEST_F(ExtremeSettings, TextTooLargeForTheFaceIsDrawnWholeAtTheLargestSizeThatFits) {
    Settings().twelveHour = true;
    Settings().showDate = true;
    FitClockToSecondLine(View());
    FixedTime().wDayOfWeek = 4;
    SetFixedTime(23, 59, 59);
    for (const std::int32_t size : {85, 100, 400, 5000}) {
        Settings().fontSize = size;
        for (bool caching : {false, true}) {
            Frame(caching);
            EXPECT_FALSE(InkAtTheEdges(View().textLayer)) << "font size " << size << ", caching " << caching;
            EXPECT_GT(FontColouredPixels(), 20) << "font size " << size;
        }
        EXPECT_EQ(Settings().fontSize, size);
    }
}

TEST_F(ExtremeSettings, WideOutlinesDrawInTime) {
    for (std::int32_t width : {-5, 1, 50, 200, 1000}) {
        Settings().outlineWidth = width;
        for (bool caching : {false, true})
            EXPECT_LT(Frame(caching), FrameTimeLimit) << "outline " << width;
        if (width > 0 && width <= 50) {
            EXPECT_GT(FontColouredPixels(), 20) << "outline " << width << " still leaves the fill visible";
        }
    }
}

TEST_F(ExtremeSettings, OutOfRangeColoursAndAlphasUseTheirLowBytes) {
    // Every colour at -1 and at 0x7FFFFFFF draws as white (their low three
    // bytes); a panel or clock alpha of 256 draws as 0 and -1 as 255. (The
    // backdrop's alpha is also scaled for its border lines before its low
    // byte is taken, so it is left at its default here.)
    auto& s = Settings();
    auto setAll = [&](std::int32_t colour, std::int32_t alpha) {
        for (std::int32_t* c : {&s.outerBorderColor, &s.innerBorderColor, &s.windowBackgroundColor,
                                &s.clockBackgroundColor, &s.fontColor, &s.outlineColor})
            *c = colour;
        for (std::int32_t* a : {&s.clockBackgroundAlpha, &s.clockAlpha})
            *a = alpha;
    };
    setAll(-1, -1);
    Frame(false);
    const auto minusOne = CanvasBytes();
    setAll(0x7FFFFFFF, 255);
    Frame(true);
    EXPECT_EQ(CanvasBytes(), minusOne);
    setAll(0xFFFFFF, 0x7FFFFFFF);
    Frame(true);
    EXPECT_EQ(CanvasBytes(), minusOne) << "0x7FFFFFFF has the low byte 0xFF";

    setAll(0x123456, 256);
    Frame(false);
    const auto alpha256 = CanvasBytes();
    setAll(0x123456, 0);
    Frame(true);
    EXPECT_EQ(CanvasBytes(), alpha256);
    setAll(0x123456, INT_MIN);
    Frame(true);
    EXPECT_EQ(CanvasBytes(), alpha256) << "INT_MIN has the low byte 0";

    for (std::int32_t alpha : {-1, 256, 1000, INT_MAX, INT_MIN}) {
        s.windowBackgroundAlpha = alpha;
        EXPECT_LT(Frame(false), FrameTimeLimit) << alpha;
        const auto asWritten = CanvasBytes();
        Frame(true);
        EXPECT_EQ(CanvasBytes(), asWritten) << "backdrop alpha " << alpha;
    }
}

TEST_F(ExtremeSettings, LongFontNamesStillShowTheTime) {
    const std::string names[] = {std::string(31, 'Q'), std::string(200, 'Z'),
                                 std::string(99, '\xB0') /* a lead byte left alone at the end */,
                                 std::string("微软雅黑") + std::string(23, ' '), ""};
    for (const std::string& name : names) {
        Settings().fontName = name;
        for (bool caching : {false, true}) {
            EXPECT_LT(Frame(caching), FrameTimeLimit) << name.size() << "-byte name";
            EXPECT_GT(FontColouredPixels(), 20) << name.size() << "-byte name, caching " << caching;
        }
        EXPECT_EQ(Settings().fontName, name) << "the setting keeps the name as it was";
    }
}

// Every extreme above, twice over: what the first pass made, the second
// pass may use again, but nothing may pile up.
TEST_F(ExtremeSettings, NothingLeaks) {
    auto& s = Settings();
    const std::function<void()> changes[] = {
        [&] { s.fontSize = 10000; },
        [&] { s.fontSize = -1000; },
        [&] { s.fontSize = 80; },
        [&] { s.outlineWidth = 1000; },
        [&] { s.outlineWidth = 5; },
        [&] { s.fontName = std::string(200, 'Z'); },
        [&] { s.fontName = "微软雅黑"; },
        [&] { s.fontColor = -1; },
        [&] { s.clockAlpha = 300; },
        [&] { s.windowBackgroundAlpha = -7; },
        [&] { View().hoverActive = !View().hoverActive; },
    };
    auto pass = [&] {
        for (int round = 0; round < 3; ++round)
            for (const auto& change : changes) {
                change();
                Frame(round % 2 == 0);
            }
    };
    pass();
    const ResourceSample before = SampleResources(0);
    pass();
    pass();
    const ResourceSample after = SampleResources(0);
    EXPECT_LE(after.gdiObjects, before.gdiObjects);
    EXPECT_LE(after.handles, before.handles);
    EXPECT_LE(after.userObjects, before.userObjects);
    EXPECT_LE(after.privateBytes, before.privateBytes + 1024 * 1024);
}

} // namespace
