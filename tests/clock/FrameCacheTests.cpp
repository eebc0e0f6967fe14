// Frames drawn with caching must be the frames as written, pixel for pixel,
// whatever changed between them and whatever touched the canvas or the
// layers from outside a frame.
#include "clock/ClockFace.h"
#include "clock/FaceInternal.h"
#include "clock/HoverButtons.h"
#include "clock/TextFigures.h"
#include "support/ClockFaceFixture.h"
#include "support/Desktop.h"

#include <EmbeddedAssets.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <span>
#include <vector>

namespace {

class FrameCache : public ClockFaceFixture {
protected:
    void SetUp() override {
        ClockFaceFixture::SetUp();
        SetFrameCaching(View(), true);
        DrawWindowBackdrop(View());
        SetupButtons(View());
    }
    void TearDown() override {
        SetFrameCaching(View(), true);
        ClockFaceFixture::TearDown();
    }
};

struct Step {
    const char* what;
    std::function<void()> change;
    bool refreshTime;
};

std::vector<Step> Steps(ClockView& view, ClockSettings& s) {
    return {
        {"first tick", [] {}, true},
        {"a new second", [] { SetFixedTime(9, 5, 8); }, true},
        {"the same second again", [] {}, true},
        {"nothing changed", [] {}, false},
        {"pointer enters", [&] { view.hoverActive = true; }, false},
        {"close lit", [&] { view.closeButton.state = ButtonState::Hover; }, false},
        {"close pressed", [&] { view.closeButton.state = ButtonState::Pressed; }, false},
        {"larger font shows another image's bytes",
         [&] {
             view.largerFontButton.normalImage.assign(embedded::settingsHoverPng.begin(),
                                                      embedded::settingsHoverPng.end());
         },
         false},
        {"font size 40", [&] { s.fontSize = 40; }, false},
        {"font colour", [&] { s.fontColor = 0x3366CC; }, false},
        {"outline 0", [&] { s.outlineWidth = 0; }, false},
        {"outline 12", [&] { s.outlineWidth = 12; }, false},
        {"backdrop colour and alpha",
         [&] {
             s.windowBackgroundColor = 0x112233;
             s.windowBackgroundAlpha = 300;
         },
         false},
        {"panel at opacity 0, layered", [&] { s.clockBackgroundAlpha = 0; }, false},
        {"panel at opacity 256 (low byte 0)", [&] { s.clockBackgroundAlpha = 256; }, false},
        {"panel copied opaque", [&] { s.layeredTransparency = false; }, false},
        {"clock alpha 0", [&] { s.clockAlpha = 0; }, false},
        {"clock alpha 128", [&] { s.clockAlpha = 128; }, false},
        {"font not installed", [&] { s.fontName = "No Such Font Anywhere"; }, false},
        {"font back", [&] { s.fontName = "微软雅黑"; }, false},
        {"corner size 40", [&] { view.layout.cornerSize = 40; }, false},
        {"seconds hidden", [&] { s.showSeconds = false; }, true},
        {"date line on",
         [&] {
             FixedTime().wDay = 7;
             s.showDate = true;
             FitClockToSecondLine(view);
         },
         true},
        {"midnight: the next day's date",
         [] {
             FixedTime().wDay = 8;
             FixedTime().wDayOfWeek = 2;
             SetFixedTime(0, 0, 0);
         },
         true},
        {"12-hour clock at noon",
         [&] {
             s.twelveHour = true;
             SetFixedTime(12, 0, 0);
         },
         true},
        {"date line off",
         [&] {
             s.showDate = false;
             FitClockToSecondLine(view);
         },
         true},
        {"pointer leaves", [&] { view.hoverActive = false; }, false},
        {"nothing changed, buttons hidden", [] {}, false},
    };
}

// Whether the screen under the window shows the canvas: at window alpha 255
// over the black desktop, its premultiplied colours exactly.
bool ScreenShowsCanvas(const ClockView& view) {
    const LayeredCanvas& canvas = view.clockCanvas;
    RECT rect{};
    GetWindowRect(canvas.GetWindow(), &rect);
    const std::vector<COLORREF> screen =
        desktop::CaptureScreen(rect.left, rect.top, canvas.GetWidth(), canvas.GetHeight());
    const std::vector<std::uint8_t> bytes = DibBytes(canvas.GetBitmap());
    if (screen.size() * 4 != bytes.size())
        return false;
    const std::size_t stride = static_cast<std::size_t>(canvas.GetWidth()) * 4;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        const std::size_t x = i % canvas.GetWidth();
        const std::size_t y = i / canvas.GetWidth();
        const std::uint8_t* pixel = &bytes[(canvas.GetHeight() - 1 - y) * stride + x * 4];
        if (screen[i] != RGB(pixel[2], pixel[1], pixel[0]))
            return false;
    }
    return true;
}

bool WaitForScreenToShowCanvas(const ClockView& view) {
    return desktop::WaitUntil([&] { return ScreenShowsCanvas(view); }, std::chrono::seconds(2),
                              std::chrono::milliseconds(10));
}

// Every step's canvas, from the same start; with checkScreen, each step's
// frame must reach the screen whole, though only its changed pixels are sent.
std::vector<std::vector<std::uint8_t>> DrawSteps(ClockView& view, ClockSettings& s, bool caching,
                                                 bool checkScreen = false) {
    SetFrameCaching(view, caching);
    std::vector<std::vector<std::uint8_t>> frames;
    for (const Step& step : Steps(view, s)) {
        step.change();
        RedrawClock(view, step.refreshTime);
        frames.push_back(DibBytes(view.clockCanvas.GetBitmap()));
        if (checkScreen) {
            EXPECT_TRUE(WaitForScreenToShowCanvas(view)) << step.what;
        }
    }
    return frames;
}

TEST_F(FrameCache, CachedFramesAreTheFramesAsWrittenOnCanvasAndScreen) {
    const std::vector<std::vector<std::uint8_t>> asWritten = DrawSteps(View(), Settings(), false);
    // The same start again: a fresh program-wide record and window.
    TearDown();
    SetUp();
    RedrawClock(View(), true);
    const bool screenReadable = WaitForScreenToShowCanvas(View());
    if (!screenReadable)
        ADD_FAILURE() << "this display does not show layered windows to screen reads";
    const std::vector<std::vector<std::uint8_t>> cached = DrawSteps(View(), Settings(), true, screenReadable);
    const std::vector<Step> steps = Steps(View(), Settings());
    ASSERT_EQ(cached.size(), asWritten.size());
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_TRUE(cached[i] == asWritten[i]) << "step " << i << ": " << steps[i].what;
}

// The clock at a second of the week that starts on Monday 7 December 2026.
void SetSecondOfWeek(int second) {
    const int day = second / 86400;
    FixedTime().wDay = static_cast<WORD>(7 + day);
    FixedTime().wDayOfWeek = static_cast<WORD>((1 + day) % 7);
    SetFixedTime(static_cast<WORD>(second / 3600 % 24), static_cast<WORD>(second / 60 % 60),
                 static_cast<WORD>(second % 60));
}

constexpr int Hours = 3600;

// A day of ticks as the clock meets them: runs of seconds over ten o'clock,
// noon and midnight on both clocks, a sweep through the hours, the date
// line coming on, and the font changing mid-run.
std::vector<std::function<void()>> ScriptedDay(ClockView& view, ClockSettings& s) {
    std::vector<std::function<void()>> ticks;
    const auto run = [&](int from, int count) {
        for (int second = from; second < from + count; ++second)
            ticks.push_back([second] { SetSecondOfWeek(second); });
    };
    const auto change = [&](std::function<void()> what) { ticks.push_back(std::move(what)); };
    run(9 * Hours + 59 * 60 + 56, 8); // 9:59:59 -> 10:00:00
    for (int second = 10 * Hours; second < 24 * Hours; second += 1009)
        run(second, 2);
    change([&] { s.fontSize = 40; });
    run(11 * Hours + 11 * 60 + 58, 4);
    // Mid-minute, with the next ten seconds' cells drawn ahead in the old
    // colours.
    change([&] {
        s.fontColor = 0x3366CC;
        s.outlineColor = 0x102030;
    });
    run(11 * Hours + 12 * 60 + 2, 5);
    change([&] {
        s.showDate = true;
        FitClockToSecondLine(view);
    });
    run(23 * Hours + 59 * 60 + 57, 6); // 23:59:59 -> 0:00:00, and the next day's date
    change([&] { s.twelveHour = true; });
    run(24 * Hours + 11 * Hours + 59 * 60 + 57, 6); // noon
    change([&] { s.fontName = "Tahoma"; });
    run(24 * Hours + 23 * Hours + 59 * 60 + 57, 6); // midnight: 12:00:00 上午 and another date
    change([&] { s.showSeconds = false; });
    run(2 * 24 * Hours + 9 * Hours + 58 * 60, 3 * 60);
    return ticks;
}

// The kept figures' cells, one pixel narrower at their left. (Their other
// edges allow for a renderer that samples pixels at their top left corners,
// as Windows' does: one that samples at their centres leaves them a pixel to
// spare there.)
void NarrowKeptCells(ClockView& view) {
    FaceCache& cache = *view.faceCache;
    for (auto* figures : {&cache.timeFigures, &cache.dateFigures})
        for (TextFigure& figure : *figures)
            ++figure.reach.left;
}

// Every tick's canvas, each tick redrawn on its own.
std::vector<std::vector<std::uint8_t>> DrawDay(ClockView& view, ClockSettings& s, bool caching,
                                               bool narrowCells = false) {
    SetFrameCaching(view, caching);
    std::vector<std::vector<std::uint8_t>> frames;
    for (const auto& tick : ScriptedDay(view, s)) {
        tick();
        RedrawClock(view, true);
        frames.push_back(DibBytes(view.clockCanvas.GetBitmap()));
        if (narrowCells)
            NarrowKeptCells(view);
    }
    return frames;
}

// Each tick redraws only the cells of the figures that changed; the canvas
// must be the tick drawn whole, and a cell one pixel too narrow must show.
TEST_F(FrameCache, ADayOfTicksDrawnCellByCellIsTheDayDrawnWhole) {
    const std::vector<std::vector<std::uint8_t>> whole = DrawDay(View(), Settings(), false);
    TearDown();
    SetUp();
    const std::vector<std::vector<std::uint8_t>> cells = DrawDay(View(), Settings(), true);
    EXPECT_TRUE(WaitForScreenToShowCanvas(View()));
    TearDown();
    SetUp();
    const std::vector<std::vector<std::uint8_t>> narrow = DrawDay(View(), Settings(), true, true);

    ASSERT_EQ(cells.size(), whole.size());
    ASSERT_EQ(narrow.size(), whole.size());
    std::size_t differing = 0;
    std::size_t narrowDiffering = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        differing += cells[i] != whole[i];
        narrowDiffering += narrow[i] != whole[i];
    }
    EXPECT_EQ(differing, 0u) << "of " << whole.size() << " ticks";
    EXPECT_GT(narrowDiffering, 0u) << "cells one pixel too narrow went unnoticed";
}

// Windows' renderer samples pixels at their top left corners: a figure that
// ends at x = 20.6 inks pixel 21, which its reach must hold (Wine samples at
// the centres, and no picture here can show the difference).
TEST(TextFigureReach, HoldsThePixelsEitherSamplingRuleInks) {
    using namespace Gdiplus;
    std::vector<TextFigure> figures(1);
    figures[0].points = {{10, 5}, {20.6f, 5}, {20.6f, 15.3f}, {10, 15.3f}};
    figures[0].types = {PathPointTypeStart, PathPointTypeLine, PathPointTypeLine,
                        PathPointTypeLine | PathPointTypeCloseSubpath};
    MeasureReach(figures, nullptr);
    const RECT& reach = figures[0].reach;
    EXPECT_EQ(reach.left, 10);
    EXPECT_EQ(reach.top, 5);
    EXPECT_EQ(reach.right, 22) << "pixel 21 left out";
    EXPECT_EQ(reach.bottom, 16) << "pixel 15 left out";
}

// A tick lays out the time of the ten seconds after it; the ticks that
// follow take theirs from there (the day above checks their pixels), and
// the tick that takes the last lays out the next ten, taking the cells that
// come round again from the ten before.
TEST_F(FrameCache, ATickLaysOutTheTimeOfTheTenSecondsAfterIt) {
    const std::vector<TextInputs>& ahead = View().faceCache->timesAheadFor;
    const auto tick = [this](int second) {
        SetSecondOfWeek(9 * Hours + 59 * 60 + second);
        RedrawClock(View(), true);
    };
    tick(55);
    tick(56);
    ASSERT_EQ(ahead.size(), 10u);
    EXPECT_EQ(ahead.front().text, "9:59:57");
    EXPECT_EQ(ahead.back().text, "10:00:06");
    for (int second = 57; second < 66; ++second) {
        tick(second);
        EXPECT_EQ(ahead.front().text, "9:59:57") << "laid out again at second " << second;
    }
    tick(66);
    ASSERT_FALSE(ahead.empty());
    EXPECT_EQ(ahead.front().text, "10:00:07");

    // Marked in every block drawn for 10:00:07 to 10:00:16, the mark shows
    // where the next ten took a block instead of drawing it.
    const Bgra mark{1, 2, 3, 4};
    const auto marked = [&](const DrawnCells& cells, std::size_t block) {
        const std::span<const std::uint8_t> pixels = cells.PixelsOf(block);
        return pixels.size() >= 4 && std::memcmp(pixels.data(), &mark, 4) == 0;
    };
    DrawnCells& cells = View().faceCache->cellsAhead;
    for (std::size_t block = 0; block < cells.rects.size(); ++block) {
        const std::span<const std::uint8_t> pixels = cells.PixelsOf(block);
        if (!pixels.empty())
            std::memcpy(cells.pixels.data() + (pixels.data() - cells.pixels.data()), &mark, 4);
    }
    for (int second = 67; second <= 76; ++second)
        tick(second);
    ASSERT_EQ(ahead.front().text, "10:00:17");
    std::size_t taken = 0;
    for (std::size_t block = 0; block < cells.rects.size(); ++block)
        taken += marked(cells, block);
    EXPECT_GT(taken, 0u) << "every cell drawn again";
    EXPECT_LT(taken, 10u) << "the tens digit changes at 10:00:20";
}

// Where a whole redraw would clear it: the first ink of the hour.
POINT FirstInkOfTheHour(const GraphicsObject& layer, int bottom) {
    for (int x = 0; x < layer.GetWidth(); ++x)
        for (int y = 0; y < bottom; ++y)
            if (DibPixel(layer.GetBitmap(), x, y).a != 0)
                return {x, y};
    return {-1, -1};
}

TEST_F(FrameCache, ATickKeepsTheCharactersThatDidNotChangeAndTheDateUntilItChanges) {
    GraphicsObject& layer = View().textLayer;
    const Bgra mark{1, 2, 3, 4};
    const auto markedAfterTick = [&](int second, POINT at) {
        SetDibPixel(layer.GetBitmap(), at, mark);
        SetSecondOfWeek(second);
        RedrawClock(View(), true);
        return DibPixel(layer.GetBitmap(), at.x, at.y) == mark;
    };
    SetSecondOfWeek(23 * Hours + 59 * 60 + 56);
    RedrawClock(View(), true);
    const POINT hour = FirstInkOfTheHour(layer, layer.GetHeight());
    ASSERT_GE(hour.x, 0) << "no time drawn";
    EXPECT_TRUE(markedAfterTick(23 * Hours + 59 * 60 + 57, hour)) << "the hour was drawn again";

    Settings().showDate = true;
    FitClockToSecondLine(View());
    RedrawClock(View(), true);
    const int timeBottom = static_cast<int>(View().layout.dateRect.Y);
    const POINT datedHour = FirstInkOfTheHour(layer, timeBottom);
    const POINT date{layer.GetWidth() / 2, timeBottom + 10};
    SetDibPixel(layer.GetBitmap(), datedHour, mark);
    EXPECT_TRUE(markedAfterTick(23 * Hours + 59 * 60 + 58, date)) << "the date was drawn again";
    EXPECT_EQ(DibPixel(layer.GetBitmap(), datedHour.x, datedHour.y), mark) << "the hour was drawn again";

    SetDibPixel(layer.GetBitmap(), datedHour, mark);
    EXPECT_FALSE(markedAfterTick(24 * Hours, date)) << "every character and the date change at midnight";
    EXPECT_NE(DibPixel(layer.GetBitmap(), datedHour.x, datedHour.y), mark);
}

TEST_F(FrameCache, AFrameWhosePresentFailedIsSentAgain) {
    RedrawClock(View(), true);
    ASSERT_TRUE(WaitForScreenToShowCanvas(View()));
    // A window that is not layered refuses the present.
    const LONG style = GetWindowLongW(Window(), GWL_EXSTYLE);
    SetWindowLongW(Window(), GWL_EXSTYLE, style & ~WS_EX_LAYERED);
    SetFixedTime(9, 5, 8);
    LastStatus = 0;
    RedrawClock(View(), true);
    ASSERT_EQ(LastStatus, GenericErrorStatus) << "the present failed";
    SetWindowLongW(Window(), GWL_EXSTYLE, style);
    // The same frame again: it never reached the screen, so it is sent.
    LastStatus = GenericErrorStatus;
    RedrawClock(View(), false);
    EXPECT_EQ(LastStatus, 0);
    EXPECT_TRUE(WaitForScreenToShowCanvas(View()));
}

TEST_F(FrameCache, CanvasChangedOutsideAFrameIsDrawnAgain) {
    RedrawClock(View(), true);
    const auto frame = CanvasBytes();
    // Something else draws on the canvas; the next frame has the same inputs.
    ASSERT_TRUE(View().clockCanvas.ClearRect(0, 0, 380, 150));
    ASSERT_NE(CanvasBytes(), frame);
    RedrawClock(View(), false);
    EXPECT_EQ(CanvasBytes(), frame);
}

TEST_F(FrameCache, LayersReleasedOutsideAFrameAreDrawnAgain) {
    View().hoverActive = true;
    RedrawClock(View(), true);
    const auto frame = CanvasBytes();
    View().textLayer.ReleaseCanvas();
    View().backdropLayer.ReleaseCanvas();
    View().closeButton.layer.ReleaseCanvas();
    Settings().clockAlpha = 254; // a new frame, over the same layers
    RedrawClock(View(), false);
    Settings().clockAlpha = 255;
    RedrawClock(View(), false);
    EXPECT_EQ(CanvasBytes(), frame);
}

TEST_F(FrameCache, ButtonLayerDrawnDirectlyIsDrawnAgainByTheNextFrame) {
    View().hoverActive = true;
    RedrawClock(View(), true);
    const auto frame = CanvasBytes();
    HoverButton& close = View().closeButton;
    DrawButtonImage(View(), close.layer, close.pressedImage, close.bounds, false);
    Settings().clockAlpha = 254;
    RedrawClock(View(), false);
    Settings().clockAlpha = 255;
    RedrawClock(View(), false);
    EXPECT_EQ(CanvasBytes(), frame);
}

TEST_F(FrameCache, KeepsOneFamilyAndFormatAndReleasesThem) {
    RedrawClock(View(), true);
    FaceCache& cache = *View().faceCache;
    ASSERT_NE(cache.family.GetNativeHandle(), nullptr);
    ASSERT_NE(cache.format.GetNativeHandle(), nullptr);
    const NativeHandle family = cache.family.GetNativeHandle();
    SetFixedTime(9, 5, 8);
    RedrawClock(View(), true);
    EXPECT_EQ(cache.family.GetNativeHandle(), family) << "same font, same family";
    EXPECT_EQ(cache.familyName, Settings().fontName);

    ReleaseFrameCaches(View());
    EXPECT_EQ(cache.family.GetNativeHandle(), nullptr);
    EXPECT_EQ(cache.format.GetNativeHandle(), nullptr);
    EXPECT_FALSE(cache.shown);
    EXPECT_TRUE(View().closeButton.cache.images.empty());
}

TEST_F(FrameCache, AsWrittenKeepsNothingBetweenFrames) {
    SetFrameCaching(View(), false);
    View().hoverActive = true;
    RedrawClock(View(), true);
    RedrawClock(View(), false);
    const FaceCache& cache = *View().faceCache;
    EXPECT_EQ(cache.family.GetNativeHandle(), nullptr);
    EXPECT_FALSE(cache.text);
    EXPECT_FALSE(cache.shown);
    for (ButtonId id : {ButtonId::Close, ButtonId::KeepOnTop, ButtonId::Settings, ButtonId::LargerFont,
                        ButtonId::SmallerFont})
        EXPECT_TRUE(HoverButtonFor(View(), id).cache.images.empty());
}

TEST(ButtonCacheDecode, DecodesEachImageOnceAndKeepsOnePerState) {
    ButtonCache cache;
    const ImageObject& hover = cache.Decode(embedded::closeHoverPng);
    ASSERT_NE(hover.GetNativeHandle(), nullptr) << LastStatus;
    EXPECT_EQ(&cache.Decode(embedded::closeHoverPng), &hover);
    cache.Decode(embedded::closeNormalPng);
    cache.Decode(embedded::closePressedPng);
    cache.Decode(embedded::settingsHoverPng);
    EXPECT_EQ(cache.images.size(), ButtonCache::MaxImages) << "the oldest is released";
    const std::vector<std::uint8_t> notAnImage(40, 0x5A);
    EXPECT_EQ(cache.Decode(notAnImage).GetNativeHandle(), nullptr);
    cache.Release();
    EXPECT_TRUE(cache.images.empty());
}

} // namespace
