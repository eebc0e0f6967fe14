// Text and images on a graphics context.
#include "GraphicsObjectTestSupport.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using Gdiplus::PointF;
using Gdiplus::RectF;

namespace {

using FontPtr = std::unique_ptr<Gdiplus::GpFont, FontDeleter>;

Gdiplus::GpStringFormat* NewFormat() {
    Gdiplus::GpStringFormat* format = nullptr;
    GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
    return format;
}

// A canvas with crisp text and exact image scaling, so pixel probes hold.
class GraphicsObjectTextImageTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.CreateCanvas(64, 64));
        ASSERT_TRUE(canvas.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor));
        ASSERT_TRUE(canvas.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf));
        ASSERT_NE(font.get(), nullptr);
    }

    // The bounding box of everything painted, or an empty box.
    RECT PaintedBounds() const {
        RECT bounds{64, 64, -1, -1};
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if (PixelAt(canvas, x, y) != 0) {
                    bounds.left = std::min<LONG>(bounds.left, x);
                    bounds.top = std::min<LONG>(bounds.top, y);
                    bounds.right = std::max<LONG>(bounds.right, x + 1);
                    bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
                }
        return bounds;
    }

    GraphicsObject canvas;
    FontPtr font{NewFont(20)};
    TestBrush brush{NewBrush(OpaqueRed)};
    TestFormat format{NewFormat()};
};

// An 8 x 4 image: left half red, right half blue.
Gdiplus::GpImage* NewTwoColourImage() {
    Gdiplus::GpImage* image = NewBitmap(8, 4, OpaqueRed);
    for (INT y = 0; y < 4; ++y)
        for (INT x = 4; x < 8; ++x)
            GdipBitmapSetPixel(static_cast<Gdiplus::GpBitmap*>(image), x, y, OpaqueBlue);
    return image;
}

} // namespace

// ---- text -------------------------------------------------------------------

TEST_F(GraphicsObjectTextImageTest, DrawStringAndItsWideTwinPaintTheSameText) {
    ASSERT_TRUE(canvas.DrawString("88", font.get(), brush, RectF(0, 0, 64, 64), format));
    const int ansiPixels = PaintedCount(canvas);
    EXPECT_GT(ansiPixels, 20);
    ASSERT_TRUE(canvas.ReleaseCanvas());
    ASSERT_TRUE(canvas.CreateCanvas(64, 64));
    ASSERT_TRUE(canvas.DrawStringW(L"88", font.get(), brush, RectF(0, 0, 64, 64), format));
    EXPECT_EQ(PaintedCount(canvas), ansiPixels);
}

TEST_F(GraphicsObjectTextImageTest, DrawStringStaysInsideItsLayoutRectangle) {
    ASSERT_TRUE(canvas.DrawString("88", font.get(), brush, RectF(32, 20, 32, 40), format));
    const RECT bounds = PaintedBounds();
    EXPECT_GE(bounds.left, 32);
    EXPECT_GE(bounds.top, 20);
}

TEST_F(GraphicsObjectTextImageTest, EmptyWideTextReachesGdiplusAsNull) {
    LastStatus = 0;
    EXPECT_FALSE(canvas.DrawStringW(L"", font.get(), brush, RectF(0, 0, 64, 64), format));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_EQ(PaintedCount(canvas), 0);
}

TEST_F(GraphicsObjectTextImageTest, MeasureStringGrowsWithTheTextAndAgreesWithTheWideTwin) {
    RectF two, four, fourWide;
    ASSERT_TRUE(canvas.MeasureString("88", font.get(), RectF(0, 0, 500, 100), format, two));
    ASSERT_TRUE(canvas.MeasureString("8888", font.get(), RectF(0, 0, 500, 100), format, four));
    ASSERT_TRUE(canvas.MeasureStringW(L"8888", font.get(), RectF(0, 0, 500, 100), format, fourWide));
    EXPECT_GT(two.Width, 0);
    EXPECT_GT(two.Height, 0);
    EXPECT_GT(four.Width, two.Width * 1.5f);
    EXPECT_FLOAT_EQ(four.Width, fourWide.Width);
    EXPECT_FLOAT_EQ(four.Height, fourWide.Height);
}

TEST_F(GraphicsObjectTextImageTest, MeasureCharacterRangesWithNoCountSetsInvalidParameter) {
    std::vector<TestRegion> regions(2);
    for (const INT count : {0, -3}) {
        LastStatus = 0;
        EXPECT_FALSE(
            canvas.MeasureCharacterRanges("88", font.get(), RectF(0, 0, 64, 64), format, count, regions));
        EXPECT_EQ(LastStatus, InvalidParameterStatus);
        EXPECT_EQ(regions.size(), 2u) << "the caller's array is left alone";
    }
}

TEST_F(GraphicsObjectTextImageTest, MeasureCharacterRangesGivesOneRegionPerRange) {
    const Gdiplus::CharacterRange ranges[] = {{0, 1}, {2, 1}};
    ASSERT_EQ(GdipSetStringFormatMeasurableCharacterRanges(format.Handle(), 2, ranges), Gdiplus::Ok);
    std::vector<TestRegion> regions(5);
    LastStatus = -1;
    const bool measured =
        canvas.MeasureCharacterRanges("8 8", font.get(), RectF(0, 0, 64, 64), format, 2, regions);
    EXPECT_EQ(measured, LastStatus == 0);
    SKIP_IF_NOT_IMPLEMENTED("GdipMeasureCharacterRanges");
    ASSERT_TRUE(measured) << LastStatus;
    ASSERT_EQ(regions.size(), 2u);
    RectF first, second;
    ASSERT_TRUE(regions[0].IsValid());
    ASSERT_TRUE(regions[1].IsValid());
    EXPECT_EQ(regions[0].GetNativeHandle(), regions[0].Handle());
    GdipGetRegionBounds(regions[0].Handle(), canvas.Handle(), &first);
    GdipGetRegionBounds(regions[1].Handle(), canvas.Handle(), &second);
    EXPECT_GT(first.Width, 0);
    EXPECT_GT(second.X, first.X + first.Width - 0.5f) << "the second range lies right of the first";

    // The wide twin measures the same ranges.
    std::vector<TestRegion> wideRegions;
    ASSERT_TRUE(
        canvas.MeasureCharacterRangesW(L"8 8", font.get(), RectF(0, 0, 64, 64), format, 2, wideRegions));
    ASSERT_EQ(wideRegions.size(), 2u);
    RectF wideSecond;
    GdipGetRegionBounds(wideRegions[1].Handle(), canvas.Handle(), &wideSecond);
    EXPECT_FLOAT_EQ(wideSecond.X, second.X);
}

TEST_F(GraphicsObjectTextImageTest, FailedMeasureCharacterRangesLeavesTheCallersArray) {
    const Gdiplus::CharacterRange range{0, 1};
    ASSERT_EQ(GdipSetStringFormatMeasurableCharacterRanges(format.Handle(), 1, &range), Gdiplus::Ok);
    // Without a font GDI+ refuses the measurement after the regions exist.
    std::vector<TestRegion> regions(3);
    LastStatus = 0;
    EXPECT_FALSE(canvas.MeasureCharacterRanges("88", nullptr, RectF(0, 0, 64, 64), format, 1, regions));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_EQ(regions.size(), 3u);
    EXPECT_FALSE(regions[0].IsValid());
}

TEST_F(GraphicsObjectTextImageTest, DrawDriverStringPlacesEachCharacterAtItsPosition) {
    const PointF positions[] = {{5, 30}, {40, 30}};
    LastStatus = -1;
    const bool drawn = canvas.DrawDriverString("88", font.get(), brush, positions);
    EXPECT_EQ(drawn, LastStatus == 0);
    SKIP_IF_NOT_IMPLEMENTED("GdipDrawDriverString");
    ASSERT_TRUE(drawn) << LastStatus;
    // Two separate glyphs: something left of x = 25, something right of x = 38,
    // and a clear column between them.
    int left = 0, right = 0, between = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            if (PixelAt(canvas, x, y) == 0)
                continue;
            left += x < 25;
            right += x >= 38;
            between += x >= 30 && x < 36;
        }
    EXPECT_GT(left, 10);
    EXPECT_GT(right, 10);
    EXPECT_EQ(between, 0);
}

TEST_F(GraphicsObjectTextImageTest, DrawDriverStringWantsAPositionPerCharacter) {
    const PointF one[] = {{5, 30}};
    LastStatus = 0;
    EXPECT_FALSE(canvas.DrawDriverString("88", font.get(), brush, one));
    EXPECT_EQ(LastStatus, InvalidParameterStatus);
    LastStatus = 0;
    EXPECT_FALSE(canvas.DrawDriverStringW(L"888", font.get(), brush, one));
    EXPECT_EQ(LastStatus, InvalidParameterStatus);
    EXPECT_EQ(PaintedCount(canvas), 0);

    // With realized advance the one position is the origin of the run.
    LastStatus = -1;
    const bool drawn = canvas.DrawDriverStringW(L"88", font.get(), brush, one,
                                                Gdiplus::DriverStringOptionsCmapLookup |
                                                    Gdiplus::DriverStringOptionsRealizedAdvance);
    EXPECT_EQ(drawn, LastStatus == 0);
    SKIP_IF_NOT_IMPLEMENTED("GdipDrawDriverString");
    EXPECT_TRUE(drawn) << LastStatus;
    EXPECT_GT(PaintedCount(canvas), 20);
}

// ---- images -----------------------------------------------------------------------

namespace {

struct ImageCase {
    const char* name;
    std::function<bool(GraphicsObject&, const GraphicsObjectBase& image)> draw;
    // Expected inclusive rectangle of painted pixels, and the colour at its
    // centre.
    RECT painted;
    Gdiplus::ARGB centre;
};

class GraphicsObjectImage : public testing::TestWithParam<ImageCase> {};

using G = GraphicsObject;
using I = const GraphicsObjectBase&;

// The image is 8 x 4, red on the left half, blue on the right half.
const ImageCase ImageCases[] = {
    {"DrawImageAt", [](G& g, I i) { return g.DrawImageAt(i, 10, 20); }, {10, 20, 18, 24}, OpaqueBlue},
    {"DrawImageAtI", [](G& g, I i) { return g.DrawImageAtI(i, 10, 20); }, {10, 20, 18, 24}, OpaqueBlue},
    {"DrawImage", [](G& g, I i) { return g.DrawImage(i, 10, 20); }, {10, 20, 18, 24}, OpaqueBlue},
    {"DrawImageI", [](G& g, I i) { return g.DrawImageI(i, 10, 20); }, {10, 20, 18, 24}, OpaqueBlue},
    // Without a unit the source rectangle is in pixels: the whole image.
    {"DrawImageRect",
     [](G& g, I i) { return g.DrawImageRect(i, 10, 10, 32, 16); },
     {10, 10, 42, 26},
     OpaqueBlue},
    {"DrawImageRectI",
     [](G& g, I i) { return g.DrawImageRectI(i, 10, 10, 32, 16); },
     {10, 10, 42, 26},
     OpaqueBlue},
    {"DrawImageParallelogram",
     [](G& g, I i) { return g.DrawImageParallelogram(i, 10, 10, 42, 10, 10, 26); },
     {10, 10, 42, 26},
     OpaqueBlue},
    {"DrawImageParallelogramI",
     [](G& g, I i) { return g.DrawImageParallelogramI(i, 10, 10, 42, 10, 10, 26); },
     {10, 10, 42, 26},
     OpaqueBlue},
    // Parts of the source: the right half only, so everything is blue.
    {"DrawImagePointRect",
     [](G& g, I i) { return g.DrawImagePointRect(i, 20, 20, 4, 0, 4, 4); },
     {20, 20, 24, 24},
     OpaqueBlue},
    {"DrawImagePointRectI",
     [](G& g, I i) { return g.DrawImagePointRectI(i, 20, 20, 4, 0, 4, 4); },
     {20, 20, 24, 24},
     OpaqueBlue},
    {"DrawImagePart",
     [](G& g, I i) { return g.DrawImagePart(i, 20, 20, 4, 0, 4, 4); },
     {20, 20, 24, 24},
     OpaqueBlue},
    {"DrawImagePartI",
     [](G& g, I i) { return g.DrawImagePartI(i, 20, 20, 4, 0, 4, 4); },
     {20, 20, 24, 24},
     OpaqueBlue},
    {"DrawImageRectRect",
     [](G& g, I i) { return g.DrawImageRectRect(i, 10, 10, 16, 16, 0, 0, 4, 4); },
     {10, 10, 26, 26},
     OpaqueRed},
    {"DrawImageRectRectI",
     [](G& g, I i) { return g.DrawImageRectRectI(i, 10, 10, 16, 16, 0, 0, 4, 4); },
     {10, 10, 26, 26},
     OpaqueRed},
    {"DrawImagePointsRect",
     [](G& g, I i) { return g.DrawImagePointsRect(i, 10, 10, 26, 10, 10, 26, 4, 0, 4, 4); },
     {10, 10, 26, 26},
     OpaqueBlue},
    {"DrawImagePointsRectI",
     [](G& g, I i) { return g.DrawImagePointsRectI(i, 10, 10, 26, 10, 10, 26, 4, 0, 4, 4); },
     {10, 10, 26, 26},
     OpaqueBlue},
};

} // namespace

TEST_P(GraphicsObjectImage, DrawsTheExpectedPartIntoTheExpectedRectangle) {
    const ImageCase& c = GetParam();
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(64, 64));
    ASSERT_TRUE(canvas.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor));
    ASSERT_TRUE(canvas.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf));
    TestImage image(NewTwoColourImage());
    ASSERT_TRUE(image.IsValid());
    LastStatus = -1;
    const bool drawn = c.draw(canvas, image);
    EXPECT_EQ(drawn, LastStatus == 0);
    SKIP_IF_NOT_IMPLEMENTED(c.name);
    ASSERT_TRUE(drawn) << LastStatus;

    const RECT& r = c.painted;
    // Inner corners painted, the ring just outside clear.
    EXPECT_NE(PixelAt(canvas, r.left, r.top), 0u);
    EXPECT_NE(PixelAt(canvas, r.right - 1, r.bottom - 1), 0u);
    EXPECT_EQ(PixelAt(canvas, r.left - 1, r.top), 0u);
    EXPECT_EQ(PixelAt(canvas, r.left, r.top - 1), 0u);
    EXPECT_EQ(PixelAt(canvas, r.right, r.bottom - 1), 0u);
    EXPECT_EQ(PixelAt(canvas, r.right - 1, r.bottom), 0u);
    EXPECT_EQ(PixelAt(canvas, r.right - 1, (r.top + r.bottom) / 2), c.centre);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, GraphicsObjectImage, testing::ValuesIn(ImageCases),
                         [](const testing::TestParamInfo<ImageCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(GraphicsObjectImages, ImageAttributesArePassedToGdiplus) {
    // A colour matrix that turns every colour into opaque green.
    Gdiplus::GpImageAttributes* native = nullptr;
    ASSERT_EQ(GdipCreateImageAttributes(&native), Gdiplus::Ok);
    TestAttributes attributes(native);
    Gdiplus::ColorMatrix toGreen{};
    toGreen.m[3][3] = 1;
    toGreen.m[4][1] = 1;
    toGreen.m[4][3] = 0;
    ASSERT_EQ(GdipSetImageAttributesColorMatrix(native, Gdiplus::ColorAdjustTypeDefault, TRUE, &toGreen,
                                                nullptr, Gdiplus::ColorMatrixFlagsDefault),
              Gdiplus::Ok);
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(32, 32));
    TestImage image(NewTwoColourImage());
    ASSERT_TRUE(canvas.DrawImageRect(image, 0, 0, 16, 8, Gdiplus::UnitPixel, &attributes));
    EXPECT_EQ(PixelAt(canvas, 3, 3), 0xFF00FF00);
    EXPECT_EQ(PixelAt(canvas, 12, 4), 0xFF00FF00);
}

TEST(GraphicsObjectImages, WholeImageOperationsStopWhenTheImageHasNoSize) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(16, 16));
    TestImage none;
    const std::function<bool()> calls[] = {
        [&] { return canvas.DrawImageAt(none, 0, 0); },
        [&] { return canvas.DrawImageRectI(none, 0, 0, 4, 4); },
        [&] { return canvas.DrawImageParallelogram(none, 0, 0, 4, 0, 0, 4); },
    };
    for (const auto& call : calls) {
        LastStatus = 0;
        EXPECT_FALSE(call());
        EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    }
}

TEST(GraphicsObjectImages, DrawCachedBitmapTruncatesItsPosition) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(32, 32));
    TestImage image(NewBitmap(4, 4, OpaqueRed));
    Gdiplus::GpCachedBitmap* cached = nullptr;
    LastStatus = static_cast<std::int32_t>(
        GdipCreateCachedBitmap(static_cast<Gdiplus::GpBitmap*>(image.Handle()), canvas.Handle(), &cached));
    SKIP_IF_NOT_IMPLEMENTED("GdipCreateCachedBitmap");
    ASSERT_EQ(LastStatus, 0);
    LastStatus = -1;
    const bool drawn = canvas.DrawCachedBitmap(cached, 5.9f, 7.2f);
    EXPECT_EQ(drawn, LastStatus == 0);
    const std::int32_t status = LastStatus;
    GdipDeleteCachedBitmap(cached);
    LastStatus = status;
    SKIP_IF_NOT_IMPLEMENTED("GdipDrawCachedBitmap");
    ASSERT_TRUE(drawn);
    EXPECT_EQ(PixelAt(canvas, 5, 7), OpaqueRed);
    EXPECT_EQ(PixelAt(canvas, 8, 10), OpaqueRed);
    EXPECT_EQ(PixelAt(canvas, 4, 7), 0u);
    EXPECT_EQ(PixelAt(canvas, 9, 10), 0u);
}
