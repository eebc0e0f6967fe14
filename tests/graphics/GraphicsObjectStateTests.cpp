// State, transforms, clipping, saved states, containers, comments and
// metafile enumeration of a graphics context.
#include "GraphicsObjectTestSupport.h"

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

using Gdiplus::Point;
using Gdiplus::PointF;
using Gdiplus::Rect;
using Gdiplus::RectF;

namespace {

class GraphicsObjectStateTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(canvas.CreateCanvas(64, 64)); }

    // Where the world point lands on the device.
    PointF ToDevice(PointF point) {
        canvas.TransformPoints(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld,
                               std::span<PointF>(&point, 1));
        return point;
    }

    GraphicsObject canvas;
};

void ExpectPoint(PointF actual, float x, float y) {
    EXPECT_NEAR(actual.X, x, 1e-3f);
    EXPECT_NEAR(actual.Y, y, 1e-3f);
}

struct MatrixDeleter {
    void operator()(Gdiplus::GpMatrix* matrix) const { GdipDeleteMatrix(matrix); }
};
using MatrixPtr = std::unique_ptr<Gdiplus::GpMatrix, MatrixDeleter>;

MatrixPtr NewMatrix(float m11, float m12, float m21, float m22, float dx, float dy) {
    Gdiplus::GpMatrix* matrix = nullptr;
    GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &matrix);
    return MatrixPtr(matrix);
}

} // namespace

// ---- getter and setter pairs -----------------------------------------------------

namespace {

struct RoundTrip {
    const char* name;
    std::function<bool(GraphicsObject&)> set;
    std::function<double(GraphicsObject&)> get;
    double expected;
};

const RoundTrip RoundTrips[] = {
    {"CompositingMode",
     [](GraphicsObject& g) { return g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy); },
     [](GraphicsObject& g) { return static_cast<double>(g.GetCompositingMode()); },
     Gdiplus::CompositingModeSourceCopy},
    {"RenderingOrigin", [](GraphicsObject& g) { return g.SetRenderingOrigin(5, 7); },
     [](GraphicsObject& g) {
         INT x = -1, y = -1;
         g.GetRenderingOrigin(x, y);
         return x * 1000.0 + y;
     },
     5007},
    {"CompositingQuality",
     [](GraphicsObject& g) { return g.SetCompositingQuality(Gdiplus::CompositingQualityHighSpeed); },
     [](GraphicsObject& g) { return static_cast<double>(g.GetCompositingQuality()); },
     Gdiplus::CompositingQualityHighSpeed},
    {"SmoothingMode", [](GraphicsObject& g) { return g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias); },
     [](GraphicsObject& g) { return static_cast<double>(g.GetSmoothingMode()); },
     Gdiplus::SmoothingModeAntiAlias},
    {"TextRenderingHint",
     [](GraphicsObject& g) { return g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias); },
     [](GraphicsObject& g) { return static_cast<double>(g.GetTextRenderingHint()); },
     Gdiplus::TextRenderingHintAntiAlias},
    {"InterpolationMode",
     [](GraphicsObject& g) { return g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor); },
     [](GraphicsObject& g) { return static_cast<double>(g.GetInterpolationMode()); },
     Gdiplus::InterpolationModeNearestNeighbor},
    {"PixelOffsetMode", [](GraphicsObject& g) { return g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf); },
     [](GraphicsObject& g) { return static_cast<double>(g.GetPixelOffsetMode()); },
     Gdiplus::PixelOffsetModeHalf},
    {"PageUnit", [](GraphicsObject& g) { return g.SetPageUnit(Gdiplus::UnitMillimeter); },
     [](GraphicsObject& g) { return static_cast<double>(g.GetPageUnit()); }, Gdiplus::UnitMillimeter},
    {"PageScale", [](GraphicsObject& g) { return g.SetPageScale(2.5f); },
     [](GraphicsObject& g) { return static_cast<double>(g.GetPageScale()); }, 2.5},
    {"TextContrast", [](GraphicsObject& g) { return g.SetTextContrast(9); },
     [](GraphicsObject& g) { return static_cast<double>(g.GetTextContrast()); }, 9},
};

} // namespace

TEST(GraphicsObjectState, EverySetterRoundTripsThroughItsGetter) {
    for (const RoundTrip& r : RoundTrips) {
        SCOPED_TRACE(r.name);
        GraphicsObject canvas;
        ASSERT_TRUE(canvas.CreateCanvas(8, 8));
        ASSERT_NE(r.get(canvas), r.expected) << "the value must differ from the default";
        LastStatus = -1;
        const bool set = r.set(canvas);
        EXPECT_EQ(set, LastStatus == 0);
        if (LastStatus == NotImplementedStatus) {
            ADD_FAILURE() << "NotImplemented";
            continue;
        }
        ASSERT_TRUE(set) << LastStatus;
        LastStatus = -1;
        EXPECT_EQ(r.get(canvas), r.expected);
        EXPECT_EQ(LastStatus, 0);
    }
}

TEST(GraphicsObjectState, GettersWithoutACanvasAnswerZeroAndRecordInvalidParameter) {
    for (const RoundTrip& r : RoundTrips) {
        GraphicsObject empty;
        LastStatus = 0;
        EXPECT_FALSE(r.set(empty)) << r.name;
        EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter) << r.name;
        LastStatus = 0;
        EXPECT_EQ(r.get(empty), 0) << r.name;
        EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter) << r.name;
    }
}

TEST_F(GraphicsObjectStateTest, TransformRoundTripsThroughNativeMatrices) {
    const MatrixPtr set = NewMatrix(2, 0, 0, 3, 7, 9);
    const MatrixPtr got = NewMatrix(1, 0, 0, 1, 0, 0);
    ASSERT_TRUE(canvas.SetTransform(set.get()));
    ASSERT_TRUE(canvas.GetTransform(got.get()));
    Gdiplus::REAL elements[6] = {};
    ASSERT_EQ(GdipGetMatrixElements(got.get(), elements), Gdiplus::Ok);
    const Gdiplus::REAL expected[6] = {2, 0, 0, 3, 7, 9};
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(elements[i], expected[i]) << i;
    ExpectPoint(ToDevice({1, 1}), 9, 12);
    ASSERT_TRUE(canvas.ResetTransform());
    ExpectPoint(ToDevice({1, 1}), 1, 1);
}

TEST_F(GraphicsObjectStateTest, TransformsComposeInTheGivenOrder) {
    ASSERT_TRUE(canvas.TranslateTransform(10, 0));
    ASSERT_TRUE(canvas.ScaleTransform(2, 2)); // prepended: scale first
    ExpectPoint(ToDevice({1, 1}), 12, 2);
    ASSERT_TRUE(canvas.ResetTransform());
    ASSERT_TRUE(canvas.TranslateTransform(10, 0));
    ASSERT_TRUE(canvas.ScaleTransform(2, 2, Gdiplus::MatrixOrderAppend)); // translate first
    ExpectPoint(ToDevice({1, 1}), 22, 2);
    ASSERT_TRUE(canvas.ResetTransform());
    ASSERT_TRUE(canvas.RotateTransform(90));
    ExpectPoint(ToDevice({1, 0}), 0, 1);
    const MatrixPtr shift = NewMatrix(1, 0, 0, 1, 0, 5);
    ASSERT_TRUE(canvas.MultiplyTransform(shift.get(), Gdiplus::MatrixOrderAppend));
    ExpectPoint(ToDevice({1, 0}), 0, 6);
}

namespace {

struct AtCase {
    const char* name;
    Gdiplus::MatrixOrder order;
    std::function<bool(GraphicsObject&, PointF)> apply;
    PointF expected; // where (20, 10) lands after a prior translation by (100, 0)
};

} // namespace

TEST_F(GraphicsObjectStateTest, RotationAndScaleAboutACentreRespectTheOrder) {
    // Rotating (20, 10) by 90 degrees about (10, 10) gives (10, 20); scaling
    // it by 2 about the same centre gives (30, 10). Prepended, that happens
    // before the translation by (100, 0); appended, after it.
    const AtCase cases[] = {
        {"RotatePrepend",
         Gdiplus::MatrixOrderPrepend,
         [](GraphicsObject& g, PointF c) { return g.RotateTransformAt(90, c, Gdiplus::MatrixOrderPrepend); },
         {110, 20}},
        {"RotateAppend",
         Gdiplus::MatrixOrderAppend,
         [](GraphicsObject& g, PointF c) { return g.RotateTransformAt(90, c, Gdiplus::MatrixOrderAppend); },
         {10, 120}},
        {"ScalePrepend",
         Gdiplus::MatrixOrderPrepend,
         [](GraphicsObject& g, PointF c) { return g.ScaleTransformAt(2, 2, c, Gdiplus::MatrixOrderPrepend); },
         {130, 10}},
        {"ScaleAppend",
         Gdiplus::MatrixOrderAppend,
         [](GraphicsObject& g, PointF c) { return g.ScaleTransformAt(2, 2, c, Gdiplus::MatrixOrderAppend); },
         {230, 10}},
    };
    for (const AtCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(canvas.ResetTransform());
        ASSERT_TRUE(canvas.TranslateTransform(100, 0));
        LastStatus = -1;
        ASSERT_TRUE(c.apply(canvas, PointF(10, 10)));
        EXPECT_EQ(LastStatus, 0);
        ExpectPoint(ToDevice({20, 10}), c.expected.X, c.expected.Y);
        // The centre itself only follows the prior translation.
        const PointF centre = ToDevice({10, 10});
        if (c.order == Gdiplus::MatrixOrderPrepend)
            ExpectPoint(centre, 110, 10);
    }
}

TEST(GraphicsObjectState, CompositeTransformsStopAtTheFirstFailure) {
    GraphicsObject empty;
    LastStatus = 0;
    EXPECT_FALSE(empty.RotateTransformAt(45, PointF(1, 1)));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    LastStatus = 0;
    EXPECT_FALSE(empty.ScaleTransformAt(2, 2, PointF(1, 1), Gdiplus::MatrixOrderAppend));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

TEST_F(GraphicsObjectStateTest, DpiIsTheMemoryDcsResolution) {
    EXPECT_FLOAT_EQ(canvas.GetDpiX(), static_cast<float>(GetDeviceCaps(canvas.GetDc(), LOGPIXELSX)));
    EXPECT_FLOAT_EQ(canvas.GetDpiY(), static_cast<float>(GetDeviceCaps(canvas.GetDc(), LOGPIXELSY)));
    EXPECT_EQ(LastStatus, 0);
}

TEST_F(GraphicsObjectStateTest, PageUnitsScaleDrawing) {
    // One page unit of 1/72 inch at 96 DPI: 12 points are 16 pixels.
    ASSERT_TRUE(canvas.SetPageUnit(Gdiplus::UnitPoint));
    const float dpi = canvas.GetDpiX();
    ExpectPoint(ToDevice({12, 0}), 12 * dpi / 72, 0);
    ASSERT_TRUE(canvas.SetPageUnit(Gdiplus::UnitPixel));
    ASSERT_TRUE(canvas.SetPageScale(3));
    ExpectPoint(ToDevice({2, 4}), 6, 12);
}

TEST_F(GraphicsObjectStateTest, NearestColorOfATrueColourCanvasIsTheColourItself) {
    LastStatus = -1;
    EXPECT_EQ(canvas.GetNearestColor(0xFF123456), 0xFF123456u);
    EXPECT_EQ(LastStatus, 0);
    GraphicsObject empty;
    EXPECT_EQ(empty.GetNearestColor(0xFF123456), 0xFF123456u) << "the colour itself is the default";
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

TEST_F(GraphicsObjectStateTest, FlushSucceedsOnACanvas) {
    LastStatus = -1;
    EXPECT_TRUE(canvas.Flush());
    EXPECT_TRUE(canvas.Flush(Gdiplus::FlushIntentionSync));
    EXPECT_EQ(LastStatus, 0);
}

// ---- clipping ------------------------------------------------------------------

TEST_F(GraphicsObjectStateTest, ClipRectLimitsDrawingAndVisibility) {
    ASSERT_TRUE(canvas.SetClipRect(10, 10, 20, 20));
    const RectF bounds = canvas.GetClipBounds();
    EXPECT_FLOAT_EQ(bounds.X, 10);
    EXPECT_FLOAT_EQ(bounds.Width, 20);
    const Rect boundsI = canvas.GetClipBoundsI();
    EXPECT_EQ(boundsI.Y, 10);
    EXPECT_EQ(boundsI.Height, 20);
    EXPECT_FALSE(canvas.IsClipEmpty());
    EXPECT_FALSE(canvas.IsVisibleClipEmpty());
    EXPECT_TRUE(canvas.IsVisiblePoint(15, 15));
    EXPECT_FALSE(canvas.IsVisiblePoint(5, 5));
    EXPECT_TRUE(canvas.IsVisiblePointI(29, 29));
    EXPECT_FALSE(canvas.IsVisiblePointI(31, 31));
    EXPECT_TRUE(canvas.IsVisibleRect(0, 0, 12, 12));
    EXPECT_FALSE(canvas.IsVisibleRect(40, 40, 5, 5));
    EXPECT_TRUE(canvas.IsVisibleRectI(25, 25, 10, 10));
    EXPECT_FALSE(canvas.IsVisibleRectI(0, 0, 5, 5));

    TestBrush brush(NewBrush(OpaqueRed));
    ASSERT_TRUE(canvas.FillRectangleI(brush, 0, 0, 64, 64));
    EXPECT_EQ(PixelAt(canvas, 10, 10), OpaqueRed);
    EXPECT_EQ(PixelAt(canvas, 29, 29), OpaqueRed);
    EXPECT_EQ(PixelAt(canvas, 9, 9), 0u);
    EXPECT_EQ(PixelAt(canvas, 30, 30), 0u);
    EXPECT_EQ(PaintedCount(canvas), 400);
}

TEST_F(GraphicsObjectStateTest, ClipCombinesTranslatesAndResets) {
    ASSERT_TRUE(canvas.SetClipRectI(0, 0, 40, 40));
    ASSERT_TRUE(canvas.SetClipRect(20, 20, 40, 40, Gdiplus::CombineModeIntersect));
    Rect bounds = canvas.GetClipBoundsI();
    EXPECT_EQ(bounds.X, 20);
    EXPECT_EQ(bounds.Width, 20);
    ASSERT_TRUE(canvas.TranslateClip(5, 6));
    EXPECT_FLOAT_EQ(canvas.GetClipBounds().X, 25);
    EXPECT_FLOAT_EQ(canvas.GetClipBounds().Y, 26);
    ASSERT_TRUE(canvas.TranslateClipI(-25, -26));
    bounds = canvas.GetClipBoundsI();
    EXPECT_EQ(bounds.X, 0);
    EXPECT_EQ(bounds.Y, 0);
    ASSERT_TRUE(canvas.SetClipRect(0, 0, 0, 0));
    EXPECT_TRUE(canvas.IsClipEmpty());
    EXPECT_TRUE(canvas.IsVisibleClipEmpty());
    ASSERT_TRUE(canvas.ResetClip());
    EXPECT_FALSE(canvas.IsClipEmpty());
    const RectF visible = canvas.GetVisibleClipBounds();
    EXPECT_FLOAT_EQ(visible.Width, 64);
    EXPECT_FLOAT_EQ(visible.Height, 64);
    const Rect visibleI = canvas.GetVisibleClipBoundsI();
    EXPECT_EQ(visibleI.X, 0);
    EXPECT_EQ(visibleI.Width, 64);
}

TEST_F(GraphicsObjectStateTest, ClipFromRegionPathHrgnAndAnotherContext) {
    const RectF area(8, 8, 16, 16);
    Gdiplus::GpRegion* nativeRegion = nullptr;
    ASSERT_EQ(GdipCreateRegionRect(&area, &nativeRegion), Gdiplus::Ok);
    TestRegion region(nativeRegion);
    Gdiplus::GpPath* nativePath = nullptr;
    ASSERT_EQ(GdipCreatePath(Gdiplus::FillModeAlternate, &nativePath), Gdiplus::Ok);
    TestPath path(nativePath);
    ASSERT_EQ(GdipAddPathRectangle(nativePath, 8, 8, 16, 16), Gdiplus::Ok);
    GraphicsObject other;
    ASSERT_TRUE(other.CreateCanvas(64, 64));
    ASSERT_TRUE(other.SetClipRectI(8, 8, 16, 16));

    const struct {
        const char* name;
        std::function<bool()> set;
    } cases[] = {
        {"SetClipRegion", [&] { return canvas.SetClipRegion(region); }},
        {"SetClipPath", [&] { return canvas.SetClipPath(path); }},
        {"SetClipHrgn",
         [&] {
             const HRGN gdiRegion = CreateRectRgn(8, 8, 24, 24);
             const bool set = canvas.SetClipHrgn(gdiRegion);
             DeleteObject(gdiRegion);
             return set;
         }},
        {"SetClipGraphics", [&] { return canvas.SetClipGraphics(other); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(canvas.ResetClip());
        LastStatus = -1;
        const bool set = c.set();
        EXPECT_EQ(set, LastStatus == 0);
        if (LastStatus == NotImplementedStatus) {
            ADD_FAILURE() << "NotImplemented";
            continue;
        }
        ASSERT_TRUE(set) << LastStatus;
        const Rect bounds = canvas.GetClipBoundsI();
        EXPECT_EQ(bounds.X, 8);
        EXPECT_EQ(bounds.Y, 8);
        EXPECT_EQ(bounds.Width, 16);
        EXPECT_EQ(bounds.Height, 16);
        EXPECT_TRUE(canvas.IsVisiblePoint(10, 10));
        EXPECT_FALSE(canvas.IsVisiblePoint(30, 30));
    }
}

TEST_F(GraphicsObjectStateTest, GetClipWritesIntoTheRegionWrappersOwnRegion) {
    Gdiplus::GpRegion* native = nullptr;
    ASSERT_EQ(GdipCreateRegion(&native), Gdiplus::Ok);
    TestRegion region(native);
    ASSERT_TRUE(canvas.SetClipRectI(3, 4, 10, 11));
    ASSERT_TRUE(canvas.GetClip(region));
    EXPECT_EQ(region.Handle(), native) << "the wrapper keeps its own native region";
    RectF bounds;
    ASSERT_EQ(GdipGetRegionBounds(native, canvas.Handle(), &bounds), Gdiplus::Ok);
    EXPECT_FLOAT_EQ(bounds.X, 3);
    EXPECT_FLOAT_EQ(bounds.Y, 4);
    EXPECT_FLOAT_EQ(bounds.Width, 10);
    EXPECT_FLOAT_EQ(bounds.Height, 11);
}

// ---- saved states and containers --------------------------------------------------

TEST_F(GraphicsObjectStateTest, RestoreBringsBackTheSavedClipAndTransform) {
    ASSERT_TRUE(canvas.SetClipRectI(0, 0, 10, 10));
    const Gdiplus::GraphicsState state = canvas.Save();
    EXPECT_EQ(LastStatus, 0);
    ASSERT_TRUE(canvas.ResetClip());
    ASSERT_TRUE(canvas.TranslateTransform(5, 5));
    ASSERT_TRUE(canvas.Restore(state));
    EXPECT_EQ(canvas.GetClipBoundsI().Width, 10);
    ExpectPoint(ToDevice({1, 1}), 1, 1);
}

TEST_F(GraphicsObjectStateTest, ContainersMapSourceToDestinationUntilEnded) {
    const Gdiplus::GraphicsContainer container =
        canvas.BeginContainer(RectF(10, 10, 20, 20), RectF(0, 0, 10, 10), Gdiplus::UnitPixel);
    ASSERT_EQ(LastStatus, 0);
    ExpectPoint(ToDevice({5, 5}), 20, 20);
    ASSERT_TRUE(canvas.EndContainer(container));
    ExpectPoint(ToDevice({5, 5}), 5, 5);

    const Gdiplus::GraphicsContainer containerI =
        canvas.BeginContainerI(Rect(0, 0, 30, 30), Rect(0, 0, 10, 10), Gdiplus::UnitPixel);
    ASSERT_EQ(LastStatus, 0);
    ExpectPoint(ToDevice({1, 2}), 3, 6);
    ASSERT_TRUE(canvas.EndContainer(containerI));

    const Gdiplus::GraphicsContainer plain = canvas.BeginContainerPlain();
    ASSERT_EQ(LastStatus, 0);
    ASSERT_TRUE(canvas.TranslateTransform(7, 0));
    ExpectPoint(ToDevice({0, 0}), 7, 0);
    ASSERT_TRUE(canvas.EndContainer(plain));
    ExpectPoint(ToDevice({0, 0}), 0, 0);
}

TEST_F(GraphicsObjectStateTest, CommentsArePassedWithTheirSize) {
    const BYTE data[] = {'t', 'i', 'k', 'o'};
    LastStatus = -1;
    const bool added = canvas.AddComment(data);
    EXPECT_EQ(added, LastStatus == 0);
    SKIP_IF_NOT_IMPLEMENTED("GdipComment");
    // A context that draws on a DC has no record to keep the comment in;
    // GDI+ accepts and drops it.
    EXPECT_TRUE(added) << LastStatus;
    EXPECT_EQ(PaintedCount(canvas), 0);
}

// ---- metafile enumeration ----------------------------------------------------------

namespace {

struct MetafileDeleter {
    void operator()(Gdiplus::GpMetafile* metafile) const { GdipDisposeImage(metafile); }
};

// A small EMF with one filled rectangle, as a GDI+ metafile.
std::unique_ptr<Gdiplus::GpMetafile, MetafileDeleter> NewMetafile() {
    const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    Rectangle(recorder, 2, 2, 20, 20);
    const HENHMETAFILE emf = CloseEnhMetaFile(recorder);
    Gdiplus::GpMetafile* metafile = nullptr;
    GdipCreateMetafileFromEmf(emf, TRUE, &metafile);
    return std::unique_ptr<Gdiplus::GpMetafile, MetafileDeleter>(metafile);
}

BOOL CALLBACK CountRecord(Gdiplus::EmfPlusRecordType, UINT, UINT, const BYTE*, VOID* data) {
    ++*static_cast<int*>(data);
    return TRUE;
}

using Enumerate = std::function<bool(GraphicsObject&, Gdiplus::GpMetafile*, int*)>;
using G = GraphicsObject;
using M = Gdiplus::GpMetafile*;

const PointF DestinationF[] = {{0, 0}, {32, 0}, {0, 32}};
const Point Destination[] = {{0, 0}, {32, 0}, {0, 32}};

const struct {
    const char* name;
    Enumerate enumerate;
} EnumerateCases[] = {
    {"DestPoint",
     [](G& g, M m, int* n) { return g.EnumerateMetafileDestPoint(m, PointF(0, 0), CountRecord, n); }},
    {"DestPointI",
     [](G& g, M m, int* n) { return g.EnumerateMetafileDestPointI(m, Point(0, 0), CountRecord, n); }},
    {"DestPoints",
     [](G& g, M m, int* n) { return g.EnumerateMetafileDestPoints(m, DestinationF, CountRecord, n); }},
    {"DestPointsI",
     [](G& g, M m, int* n) { return g.EnumerateMetafileDestPointsI(m, Destination, CountRecord, n); }},
    {"DestRect",
     [](G& g, M m, int* n) { return g.EnumerateMetafileDestRect(m, RectF(0, 0, 32, 32), CountRecord, n); }},
    {"DestRectI",
     [](G& g, M m, int* n) { return g.EnumerateMetafileDestRectI(m, Rect(0, 0, 32, 32), CountRecord, n); }},
    {"SrcRectDestPoint",
     [](G& g, M m, int* n) {
         return g.EnumerateMetafileSrcRectDestPoint(m, PointF(0, 0), RectF(0, 0, 20, 20), Gdiplus::UnitPixel,
                                                    CountRecord, n);
     }},
    {"SrcRectDestPointI",
     [](G& g, M m, int* n) {
         return g.EnumerateMetafileSrcRectDestPointI(m, Point(0, 0), Rect(0, 0, 20, 20), Gdiplus::UnitPixel,
                                                     CountRecord, n);
     }},
    {"SrcRectDestPoints",
     [](G& g, M m, int* n) {
         return g.EnumerateMetafileSrcRectDestPoints(m, DestinationF, RectF(0, 0, 20, 20), Gdiplus::UnitPixel,
                                                     CountRecord, n);
     }},
    {"SrcRectDestPointsI",
     [](G& g, M m, int* n) {
         return g.EnumerateMetafileSrcRectDestPointsI(m, Destination, Rect(0, 0, 20, 20), Gdiplus::UnitPixel,
                                                      CountRecord, n);
     }},
    {"SrcRectDestRect",
     [](G& g, M m, int* n) {
         return g.EnumerateMetafileSrcRectDestRect(m, RectF(0, 0, 32, 32), RectF(0, 0, 20, 20),
                                                   Gdiplus::UnitPixel, CountRecord, n);
     }},
    {"SrcRectDestRectI",
     [](G& g, M m, int* n) {
         return g.EnumerateMetafileSrcRectDestRectI(m, Rect(0, 0, 32, 32), Rect(0, 0, 20, 20),
                                                    Gdiplus::UnitPixel, CountRecord, n);
     }},
};

} // namespace

TEST_F(GraphicsObjectStateTest, EveryMetafileEnumerationCallsTheCallbackPerRecord) {
    const auto metafile = NewMetafile();
    ASSERT_NE(metafile.get(), nullptr);
    std::vector<std::string> notImplemented;
    for (const auto& c : EnumerateCases) {
        SCOPED_TRACE(c.name);
        if (IsAbortingStubUnderWine(std::string("GdipEnumerateMetafile") + c.name)) {
            notImplemented.push_back(std::string(c.name) + " (aborting stub)");
            continue;
        }
        int records = 0;
        LastStatus = -1;
        const bool enumerated = c.enumerate(canvas, metafile.get(), &records);
        EXPECT_EQ(enumerated, LastStatus == 0);
        if (LastStatus == NotImplementedStatus) {
            EXPECT_EQ(records, 0);
            notImplemented.push_back(c.name);
            continue;
        }
        EXPECT_TRUE(enumerated) << LastStatus;
        EXPECT_GT(records, 0);
    }
    if (!notImplemented.empty()) {
        std::string names;
        for (const auto& name : notImplemented)
            names += " " + name;
        GTEST_SKIP() << "this GDI+ answers NotImplemented for:" << names;
    }
}

TEST_F(GraphicsObjectStateTest, EnumerationWithoutDestinationPointsIsRefused) {
    const auto metafile = NewMetafile();
    int records = 0;
    LastStatus = 0;
    EXPECT_FALSE(canvas.EnumerateMetafileDestPoints(metafile.get(), {}, CountRecord, &records));
    EXPECT_EQ(LastStatus, InvalidParameterStatus);
    LastStatus = 0;
    EXPECT_FALSE(canvas.EnumerateMetafileSrcRectDestPointsI(metafile.get(), {}, Rect(0, 0, 1, 1),
                                                            Gdiplus::UnitPixel, CountRecord, &records));
    EXPECT_EQ(LastStatus, InvalidParameterStatus);
    EXPECT_EQ(records, 0);
}
