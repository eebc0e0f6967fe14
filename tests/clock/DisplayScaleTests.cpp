// The clock at display scales other than 96 DPI: the layout it is made from,
// and a change of scale while it runs (WM_DPICHANGED, which Wine never sends
// by itself).
#include "clock/ClockWindow.h"
#include "clock/HoverButtons.h"
#include "support/ClockFaceFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

struct ScaledFace {
    int dpi;
    Gdiplus::RectF window, panel, innerBorder;
    std::int32_t cornerSize, cornerMargin;
    float borderWidth, emOf80;
    IntRect close, smallerFont;
};
// Written out: 96 DPI is the face as it has always been.
const ScaledFace Faces[] = {
    {96,
     {0, 0, 380, 150},
     {10, 10, 358, 128},
     {1, 1, 375, 145},
     5,
     3,
     1,
     80,
     {354, 10, 16, 16},
     {350, 120, 20, 20}},
    {144,
     {0, 0, 570, 225},
     {15, 15, 537, 192},
     {1, 1, 563, 218},
     7,
     4,
     1.5f,
     120,
     {531, 15, 24, 24},
     {525, 180, 30, 30}},
    {192,
     {0, 0, 760, 300},
     {20, 20, 716, 256},
     {2, 2, 750, 290},
     10,
     6,
     2,
     160,
     {708, 20, 32, 32},
     {700, 240, 40, 40}},
};

bool Same(const Gdiplus::RectF& a, const Gdiplus::RectF& b) {
    return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height;
}

TEST(ClockLayoutForScale, FaceAndButtonsTakeTheScale) {
    for (const ScaledFace& f : Faces) {
        const DisplayScale scale{f.dpi};
        const ClockLayout layout = ClockLayoutFor(scale);
        EXPECT_TRUE(Same(layout.windowRect, f.window) && Same(layout.textRect, f.window) &&
                    Same(layout.panelRect, f.panel) && Same(layout.innerBorderRect, f.innerBorder))
            << f.dpi;
        EXPECT_EQ(layout.cornerSize, f.cornerSize) << f.dpi;
        EXPECT_EQ(layout.cornerMargin, f.cornerMargin) << f.dpi;
        EXPECT_EQ(layout.borderWidth, f.borderWidth) << f.dpi;
        EXPECT_EQ(layout.EmSize(80), f.emOf80) << f.dpi;
        EXPECT_EQ(layout.OutlineWidth(80), f.emOf80) << f.dpi;
        const PerButton<IntRect> bounds = ButtonBoundsFor(f.window.Width, f.window.Height, scale);
        EXPECT_EQ(At(bounds, ButtonId::Close), f.close) << f.dpi;
        EXPECT_EQ(At(bounds, ButtonId::SmallerFont), f.smallerFont) << f.dpi;
    }
    // The default layout is the one of 96 DPI.
    const ClockLayout plain;
    const ClockLayout at96 = ClockLayoutFor({96});
    EXPECT_TRUE(Same(plain.windowRect, at96.windowRect) && Same(plain.panelRect, at96.panelRect) &&
                Same(plain.innerBorderRect, at96.innerBorderRect) && plain.cornerSize == at96.cornerSize &&
                plain.cornerMargin == at96.cornerMargin && plain.textScale == at96.textScale);
}

class ClockScaleChange : public ClockFaceFixture {
protected:
    void SetUp() override {
        ClockFaceFixture::SetUp();
        ASSERT_TRUE(View().windowHost.Attach(Window()));
        SetupButtons(View());
        RedrawClock(View(), true);
    }
    // What the program does with the window's report of a new scale.
    void SendDpiChanged(int dpi, RECT suggested) { ChangeClockScale(View(), {dpi}, suggested); }
    // The face fitted to the settings now and drawn with a fresh time: the
    // window's height.
    int RefittedHeight() {
        FitClockToSecondLine(View());
        RedrawClock(View(), true);
        RECT window{};
        GetWindowRect(Window(), &window);
        return window.bottom - window.top;
    }
};

TEST_F(ClockScaleChange, TakesTheSuggestedRectangleAndDrawsEverythingAtTheNewScale) {
    const std::vector<std::uint8_t> at96 = CanvasBytes();
    for (const ScaledFace& f : {Faces[1], Faces[2]}) {
        const auto redraws = RedrawCount();
        const RECT suggested{200, 120, 200 + static_cast<LONG>(f.window.Width),
                             120 + static_cast<LONG>(f.window.Height)};
        SendDpiChanged(f.dpi, suggested);
        RECT now{};
        GetWindowRect(Window(), &now);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << f.dpi;
        EXPECT_EQ(View().scale.dpi, f.dpi);
        EXPECT_EQ(View().clockCanvas.GetHeight(), f.window.Height);
        EXPECT_EQ(View().textLayer.GetWidth(), f.window.Width) << "the time laid out anew";
        EXPECT_EQ(View().closeButton.bounds, f.close);
        EXPECT_TRUE(std::ranges::equal(View().closeButton.normalImage,
                                       ButtonImagesFor(ButtonId::Close, {f.dpi}).normal));
        EXPECT_EQ(RedrawCount(), redraws + 1);
        // The backdrop reaches the new right edge.
        EXPECT_GT(Pixel(static_cast<int>(f.window.Width) - f.cornerMargin - 2, 75).a, 0) << f.dpi;
    }
    // Back at 96 DPI, every pixel is as it was.
    SendDpiChanged(96, {100, 100, 480, 250});
    EXPECT_EQ(View().clockCanvas.GetWidth(), 380);
    EXPECT_TRUE(CanvasBytes() == at96);
}

// Where the layer holds ink (alpha above 0) in rows fromRow to toRow (not
// included), in top-down layer pixels.
RECT InkBounds(const GraphicsObject& layer, int fromRow = 0, int toRow = INT_MAX) {
    const std::vector<std::uint8_t> bytes = DibBytes(layer.GetBitmap());
    const int width = layer.GetWidth(), height = layer.GetHeight();
    RECT ink{width, height, -1, -1};
    for (int y = fromRow; y < std::min(height, toRow); ++y)
        for (int x = 0; x < width; ++x)
            if (bytes[(static_cast<std::size_t>(height - 1 - y) * width + x) * 4 + 3] != 0)
                ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x),
                       std::max<LONG>(ink.bottom, y)};
    return ink;
}

bool InsidePanel(const RECT& ink, const Gdiplus::RectF& panel) {
    return ink.left > panel.X && ink.top > panel.Y && ink.right < panel.GetRight() - 1 &&
           ink.bottom < panel.GetBottom() - 1;
}

// The line under the time, with the date, the zone's label or both: the face
// grows by its band and everything stays inside the panel; the label stands
// beside the date.
TEST_F(ClockScaleChange, TheLineUnderTheTimeGrowsTheFaceAndStaysInsideThePanelAtEveryScale) {
    struct Line {
        bool date;
        const char* label;
        std::int32_t fontSize; // with both, this locale's long date fits the panel at 60
    };
    for (const Line line : {Line{true, "", 80}, Line{false, "东京", 80}, Line{true, "东京", 60}}) {
        Settings().showDate = Settings().twelveHour = line.date;
        Settings().zoneLabel = line.label;
        Settings().fontSize = line.fontSize;
        for (const ScaledFace& f : Faces) {
            SCOPED_TRACE(testing::Message() << f.dpi << " " << line.date << " " << line.label);
            const int band = 40 * f.dpi / 96;
            View().scale = {f.dpi};
            EXPECT_EQ(RefittedHeight(), f.window.Height + band);
            const Gdiplus::RectF& panel = View().layout.panelRect;
            EXPECT_TRUE(Same(panel, {f.panel.X, f.panel.Y, f.panel.Width, f.panel.Height + band}));
            EXPECT_EQ(View().smallerFontButton.bounds.y, f.smallerFont.y + band) << "the buttons follow";

            // Time, designator and the line lie inside the panel, the line below the time.
            ASSERT_EQ(View().textLayer.GetHeight(), f.window.Height + band);
            const RECT ink = InkBounds(View().textLayer);
            EXPECT_TRUE(InsidePanel(ink, panel));
            EXPECT_GT(ink.bottom, 140 * f.dpi / 96) << "the line is drawn";
            // The digits' band, above the line's tallest glyphs, and the line's, below the digits.
            const int timeBottom = 110 * f.dpi / 96;
            const int lineTop = 125 * f.dpi / 96;
            const RECT time = InkBounds(View().textLayer, 0, timeBottom);
            const bool twelveHour = Settings().twelveHour;
            Settings().twelveHour = !twelveHour;
            RedrawClock(View(), true);
            const RECT other = InkBounds(View().textLayer, 0, timeBottom);
            EXPECT_NE(other.right - other.left, time.right - time.left)
                << "the designator is drawn beside the time";
            Settings().twelveHour = twelveHour;
            if (!line.date || !*line.label)
                continue;
            RedrawClock(View(), true);
            const RECT both = InkBounds(View().textLayer, lineTop);
            Settings().zoneLabel.clear();
            RedrawClock(View(), true);
            const RECT date = InkBounds(View().textLayer, lineTop);
            EXPECT_GT(both.right - both.left, date.right - date.left + 30 * f.dpi / 96) << "the label beside";
            Settings().zoneLabel = line.label;
        }
    }
    Settings().zoneLabel.clear();
    Settings().showDate = false;
    EXPECT_EQ(RefittedHeight(), 150 * View().scale.dpi / 96) << "the band goes with the line";
}

// Windows asks for the size at the new scale; unanswered, it scales the old
// size and truncates, and 96 -> 120 -> 144 -> 96 would end at 380 x 149.
TEST_F(ClockScaleChange, ARoundTripThroughScalesEndsAtTheFacesOwnSize) {
    for (const int dpi : {120, 144, 96}) {
        RECT now{};
        GetWindowRect(Window(), &now);
        SIZE size{(now.right - now.left) * dpi / View().scale.dpi,
                  (now.bottom - now.top) * dpi / View().scale.dpi};
        EXPECT_TRUE(SendMessageW(Window(), GetDpiScaledSizeMessage, dpi, reinterpret_cast<LPARAM>(&size)))
            << dpi;
        SendDpiChanged(dpi, {now.left, now.top, now.left + size.cx, now.top + size.cy});
    }
    EXPECT_EQ(View().clockCanvas.GetWidth(), 380);
    EXPECT_EQ(View().clockCanvas.GetHeight(), 150);
}

} // namespace
