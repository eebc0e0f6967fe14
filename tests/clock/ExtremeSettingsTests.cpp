// Settings far outside what the settings window offers (a hand-edited file,
// endless font-button presses) go to the renderer unchanged: no crash, no
// hang, no leak, and the time still shows wherever the font can draw it.
#include "clock/ClockFace.h"
#include "clock/FaceInternal.h"
#include "clock/HoverButtons.h"
#include "graphics/PathObject.h"
#include "support/ClockFaceFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <functional>
#include <string>
#include <utility>

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

    static bool FontColoured(Bgra p) {
        return p.r >= 20 && p.r <= 60 && p.g >= 195 && p.g <= 235 && p.b >= 124 && p.b <= 164;
    }

    // Canvas pixels inside the face that carry the font colour RGB(40, 215, 144).
    int FontColouredPixels() const {
        int count = 0;
        for (int y = 12; y < 136; ++y)
            for (int x = 12; x < 366; ++x) {
                const Bgra p = Pixel(x, y);
                if (FontColoured(p))
                    ++count;
            }
        return count;
    }

    // In rows fromRow to toRow: where the text layer holds ink, last column
    // and row included, and the runs of columns in the font colour, one for
    // each character whose fill stands apart (a colon's dots one).
    std::pair<RECT, int> TextInk(int fromRow = 0, int toRow = INT_MAX) {
        RECT ink{INT_MAX, INT_MAX, -1, -1};
        int runs = 0;
        for (int x = 0, filled = 0; x < View().textLayer.GetWidth(); ++x) {
            const int wasFilled = std::exchange(filled, 0);
            for (int y = fromRow; y < std::min(toRow, View().textLayer.GetHeight()); ++y) {
                if (DibPixel(View().textLayer.GetBitmap(), x, y).a)
                    ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), x,
                           std::max<LONG>(ink.bottom, y)};
                filled |= FontColoured(Pixel(x, y)) ? 1 : 0;
            }
            runs += filled && !wasFilled ? 1 : 0;
        }
        return {ink, runs};
    }
};

struct FontSizeCase {
    std::int32_t size;
    bool timeShows; // the glyphs fit well enough to leave font-coloured pixels
};

class ExtremeFontSizes : public ExtremeSettings, public testing::WithParamInterface<FontSizeCase> {};

// Alone and with the designator and the date line, each at its own share
// of the size.
TEST_P(ExtremeFontSizes, DrawInTimeAndShowTheTimeWhereItFits) {
    Settings().fontSize = GetParam().size;
    for (bool caching : {false, true, false, true}) {
        Settings().twelveHour = Settings().showDate = Settings().showDate || !caching;
        FitClockToSecondLine(View());
        SCOPED_TRACE(testing::Message() << "font size " << GetParam().size << ", caching " << caching
                                        << ", date " << Settings().showDate);
        EXPECT_LT(Frame(caching), FrameTimeLimit);
        if (GetParam().timeShows) {
            EXPECT_GT(FontColouredPixels(), 20);
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

// A time or date too large for the face at the size asked is drawn whole at
// the largest size that fits, all of its ink on the panel; the setting keeps
// the size asked for.
TEST_F(ExtremeSettings, TextTooLargeForTheFaceIsDrawnWholeAtTheLargestSizeThatFits) {
    const struct {
        bool twelveHour; // with the date
        WORD hour, minute, second;
        std::int32_t from, to, step;
    } cases[] = {
        {false, 16, 24, 13, 80, 400, 5}, {false, 20, 0, 8, 80, 400, 5}, {true, 23, 59, 59, 85, 5000, 305}};
    for (const auto& c : cases) {
        Settings().twelveHour = Settings().showDate = c.twelveHour;
        FitClockToSecondLine(View());
        FixedTime().wDayOfWeek = 4;
        SetFixedTime(c.hour, c.minute, c.second);
        const Gdiplus::RectF& panel = View().layout.panelRect;
        for (std::int32_t size = c.from; size <= c.to; size += c.step) {
            Settings().fontSize = size;
            for (bool caching : {false, true}) {
                Frame(caching);
                const std::string& time = View().timeText.digitsText;
                SCOPED_TRACE(testing::Message() << time << ", font size " << size << ", caching " << caching);
                const auto [ink, runs] = TextInk();
                EXPECT_TRUE(ink.left >= panel.X && ink.top >= panel.Y && ink.right < panel.GetRight() &&
                            ink.bottom < panel.GetBottom())
                    << "ink " << ink.left << "," << ink.top << " to " << ink.right << "," << ink.bottom;
                EXPECT_GT(FontColouredPixels(), 20);
                if (!c.twelveHour) {
                    EXPECT_EQ(runs, static_cast<int>(time.size())) << "every character drawn";
                }
            }
            EXPECT_EQ(Settings().fontSize, size);
        }
    }
}

// At any size the time is laid out whole on one line, also where its
// advances are wider than its band (from about 99): its ink grows with it.
TEST_F(ExtremeSettings, ATimeWiderThanItsBandIsLaidOutWhole) {
    SetFixedTime(16, 24, 13);
    RedrawClock(View(), true); // makes the family and format the frames share
    TextInputs inputs = clock_face::TextInputsNow(View());
    float inkPerEm = 0;
    for (const float em : {60.0f, 99.6f, 150.0f, 400.0f}) {
        inputs.emSize = em;
        PathObject time;
        time.Create(clock_face::FillModeWinding);
        clock_face::AddTime(time, inputs, clock_face::TimeRectOf(inputs, View().layout.textRect),
                            View().faceCache->family, View().faceCache->format);
        Gdiplus::RectF ink{};
        time.GetBounds(ink, nullptr, PenObject());
        inkPerEm = inkPerEm ? inkPerEm : ink.Width / em;
        EXPECT_NEAR(ink.Width / em, inkPerEm, inkPerEm / 100) << "em size " << em;
    }
}

// A zone label of any length set in the record (the file's reader bounds
// it, nothing else does) draws in time under the whole time: the line is cut
// where it would shrink below a legible size, and stays on the panel.
TEST_F(ExtremeSettings, ZoneLabelsOfAnyLengthDrawUnderTheWholeTime) {
    for (const std::size_t characters : {700, 5000, 100000}) {
        Settings().zoneLabel.clear();
        for (std::size_t i = 0; i < characters; ++i)
            Settings().zoneLabel += "\xB6\xAB"; // 东
        FitClockToSecondLine(View());
        const Gdiplus::RectF& panel = View().layout.panelRect;
        for (bool caching : {false, true}) {
            SCOPED_TRACE(testing::Message() << characters << " characters, caching " << caching);
            EXPECT_LT(Frame(caching), FrameTimeLimit);
            EXPECT_EQ(TextInk(0, 112).second, 7) << "9:05:07, every character";
            const RECT line = TextInk(112).first;
            EXPECT_TRUE(line.left >= panel.X && line.right < panel.GetRight() &&
                        line.bottom < panel.GetBottom());
            EXPECT_GE(line.bottom - line.top, 6) << "legible";
        }
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
