#include "graphics/RegionObject.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace image_test;
using Gdiplus::Rect;
using Gdiplus::RectF;

namespace {

// No graphics context: visibility tests then work in world coordinates.
const BorrowedHandle<Gdiplus::GpGraphics> World;

// Bounds, emptiness and equality need a real graphics context.
class RegionTest : public testing::Test {
protected:
    DibCanvas canvas{16, 16};
    const BorrowedHandle<Gdiplus::GpGraphics> graphics{canvas.Graphics()};
};

class RegionCombine : public RegionTest {};
class RegionCreate : public RegionTest {};
class RegionData : public RegionTest {};
class RegionHandles : public RegionTest {};
class RegionTransform : public RegionTest {};
class RegionVisibility : public RegionTest {};
class RegionScans : public RegionTest {};

// A path holding one rectangle, made with the flat interface.
class RectanglePath {
public:
    RectanglePath(float x, float y, float width, float height) {
        GdipCreatePath(Gdiplus::FillModeAlternate, &path);
        GdipAddPathRectangle(path, x, y, width, height);
        wrapper.SetNativeHandle(path);
    }
    ~RectanglePath() { GdipDeletePath(path); }
    const GraphicsObjectBase& Wrapper() const { return wrapper; }

private:
    Gdiplus::GpPath* path = nullptr;
    BorrowedHandle<Gdiplus::GpPath> wrapper;
};

class ScaleMatrix {
public:
    ScaleMatrix(float sx, float sy) { GdipCreateMatrix2(sx, 0, 0, sy, 0, 0, &matrix); }
    ~ScaleMatrix() { GdipDeleteMatrix(matrix); }
    Gdiplus::GpMatrix* Get() const { return matrix; }

private:
    Gdiplus::GpMatrix* matrix = nullptr;
};

// ---- combine modes ---------------------------------------------------------

// The region starts as (0, 0, 10, 10); the operand is (5, 0, 10, 10). Three
// probes: only in the region, in both, only in the operand.
struct CombineCase {
    const char* name;
    int mode; // -1: omitted
    bool left;
    bool middle;
    bool right;
};

const CombineCase CombineCases[] = {
    {"omitted means Intersect", -1, false, true, false},
    {"Replace", Gdiplus::CombineModeReplace, false, true, true},
    {"Intersect", Gdiplus::CombineModeIntersect, false, true, false},
    {"Union", Gdiplus::CombineModeUnion, true, true, true},
    {"Xor", Gdiplus::CombineModeXor, true, false, true},
    {"Exclude", Gdiplus::CombineModeExclude, true, false, false},
    {"Complement", Gdiplus::CombineModeComplement, false, false, true},
};

using Combiner = std::function<bool(RegionObject&, const CombineCase&)>;

struct CombinerCase {
    const char* name;
    Combiner combine;
};

TEST_F(RegionCombine, EveryModeThroughEveryOperandKind) {
    const RectanglePath operandPath(5, 0, 10, 10);
    const CombinerCase combiners[] = {
        {"CombineRect",
         [](RegionObject& r, const CombineCase& c) {
             const RectF operand(5, 0, 10, 10);
             return c.mode < 0 ? r.CombineRect(operand) : r.CombineRect(operand, c.mode);
         }},
        {"CombineRectI",
         [](RegionObject& r, const CombineCase& c) {
             const Rect operand(5, 0, 10, 10);
             return c.mode < 0 ? r.CombineRectI(operand) : r.CombineRectI(operand, c.mode);
         }},
        {"CombineRegion",
         [](RegionObject& r, const CombineCase& c) {
             RegionObject operand;
             operand.CreateFromRect(RectF(5, 0, 10, 10));
             return c.mode < 0 ? r.CombineRegion(operand) : r.CombineRegion(operand, c.mode);
         }},
        {"CombinePath",
         [&](RegionObject& r, const CombineCase& c) {
             return c.mode < 0 ? r.CombinePath(operandPath.Wrapper())
                               : r.CombinePath(operandPath.Wrapper(), c.mode);
         }},
    };
    for (const CombinerCase& combiner : combiners) {
        for (const CombineCase& c : CombineCases) {
            SCOPED_TRACE(std::string(combiner.name) + ", " + c.name);
            RegionObject region;
            ASSERT_TRUE(region.CreateFromRect(RectF(0, 0, 10, 10)));
            ASSERT_TRUE(combiner.combine(region, c));
            EXPECT_EQ(LastStatus, 0);
            EXPECT_EQ(region.IsVisiblePoint(2, 5, World), c.left);
            EXPECT_EQ(region.IsVisiblePoint(7, 5, World), c.middle);
            EXPECT_EQ(region.IsVisiblePoint(12, 5, World), c.right);
        }
    }
}

TEST_F(RegionCombine, IsVisiblePointAfterCombineRect) {
    RegionObject region;
    ASSERT_TRUE(region.Create()); // infinite
    ASSERT_TRUE(region.CombineRect(RectF(10, 20, 30, 40)));
    // Probes off the half-pixel: GDI+ implementations round differently there.
    EXPECT_TRUE(region.IsVisiblePoint(10, 20, graphics));
    EXPECT_TRUE(region.IsVisiblePoint(39.2f, 59.2f, graphics));
    EXPECT_FALSE(region.IsVisiblePoint(40.8f, 30, graphics));
    EXPECT_FALSE(region.IsVisiblePoint(9.2f, 30, graphics));
    EXPECT_TRUE(region.IsVisiblePointI(25, 45, graphics));
    EXPECT_FALSE(region.IsVisiblePointI(5, 45, graphics));
    EXPECT_EQ(LastStatus, 0);
}

TEST_F(RegionCombine, CombiningIntoAnEmptyWrapperFails) {
    RegionObject empty;
    LastStatus = 0;
    EXPECT_FALSE(empty.CombineRect(RectF(0, 0, 1, 1)));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_FALSE(empty.IsValid());
}

// ---- creation -----------------------------------------------------------

TEST_F(RegionCreate, InfiniteEmptyAndBack) {
    RegionObject region;
    ASSERT_TRUE(region.Create());
    EXPECT_TRUE(region.IsInfinite(graphics));
    EXPECT_FALSE(region.IsEmpty(graphics));
    ASSERT_TRUE(region.MakeEmpty());
    EXPECT_TRUE(region.IsEmpty(graphics));
    EXPECT_FALSE(region.IsInfinite(graphics));
    EXPECT_FALSE(region.IsVisiblePoint(0, 0, graphics));
    ASSERT_TRUE(region.MakeInfinite());
    EXPECT_TRUE(region.IsInfinite(graphics));
    EXPECT_TRUE(region.IsVisiblePoint(-1e6f, 1e6f, graphics));
}

struct CreateCase {
    const char* name;
    std::function<bool(RegionObject&)> create;
    RectF bounds;
};

TEST_F(RegionCreate, EachSourceGivesItsBounds) {
    const RectanglePath path(2, 3, 4, 5);
    HRGN gdiRegion = CreateRectRgn(1, 2, 11, 22);
    const CreateCase cases[] = {
        // Whole pixels: some GDI+ implementations measure bounds on the pixel grid.
        {"CreateFromRect", [](RegionObject& r) { return r.CreateFromRect(RectF(1, 2, 3, 4)); },
         RectF(1, 2, 3, 4)},
        {"CreateFromRectI", [](RegionObject& r) { return r.CreateFromRectI(Rect(-3, 4, 5, 6)); },
         RectF(-3, 4, 5, 6)},
        {"CreateFromPath", [&](RegionObject& r) { return r.CreateFromPath(path.Wrapper()); },
         RectF(2, 3, 4, 5)},
        {"CreateFromHrgn", [&](RegionObject& r) { return r.CreateFromHrgn(gdiRegion); }, RectF(1, 2, 10, 20)},
    };
    for (const CreateCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegionObject region;
        ASSERT_TRUE(region.Create());
        ASSERT_TRUE(c.create(region));
        EXPECT_EQ(region.GetNativeHandle(), region.Handle());
        const RectF bounds = region.GetBounds(graphics);
        EXPECT_EQ(LastStatus, 0);
        EXPECT_FLOAT_EQ(bounds.X, c.bounds.X);
        EXPECT_FLOAT_EQ(bounds.Y, c.bounds.Y);
        EXPECT_FLOAT_EQ(bounds.Width, c.bounds.Width);
        EXPECT_FLOAT_EQ(bounds.Height, c.bounds.Height);
    }
    // The GDI region stays the caller's and intact.
    RECT box{};
    EXPECT_EQ(GetRgnBox(gdiRegion, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 11);
    DeleteObject(gdiRegion);
}

TEST_F(RegionCreate, FromAPathWithoutNativeObjectFails) {
    const BorrowedHandle<Gdiplus::GpPath> noPath;
    RegionObject region;
    ASSERT_TRUE(region.Create());
    EXPECT_FALSE(region.CreateFromPath(noPath));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_FALSE(region.IsValid());
}

// ---- data, handles, transforms -----------------------------------------------

TEST_F(RegionData, DataRoundTripsIntoAnEqualRegion) {
    RegionObject region;
    ASSERT_TRUE(region.CreateFromRect(RectF(0, 0, 10, 10)));
    ASSERT_TRUE(region.CombineRect(RectF(20, 0, 5, 5), Gdiplus::CombineModeUnion));
    const std::uint32_t size = region.GetDataSize();
    ASSERT_GT(size, 0u);
    std::uint32_t filled = 0;
    const ByteArray data = region.GetData(size, filled);
    ASSERT_EQ(LastStatus, 0);
    EXPECT_EQ(data.size(), size);
    EXPECT_EQ(filled, size);

    RegionObject copy;
    ASSERT_TRUE(copy.CreateFromData(data, static_cast<int>(filled)));
    EXPECT_TRUE(copy.Equals(region, graphics));
    EXPECT_TRUE(copy.IsVisiblePoint(22, 2, graphics));
    EXPECT_FALSE(copy.IsVisiblePoint(15, 2, graphics));
}

TEST_F(RegionData, TooSmallBufferIsRefusedByGdiplus) {
    RegionObject region;
    ASSERT_TRUE(region.CreateFromRect(RectF(0, 0, 10, 10)));
    const std::uint32_t size = region.GetDataSize();
    std::uint32_t filled = 77;
    const ByteArray data = region.GetData(size - 1, filled);
    EXPECT_NE(LastStatus, 0);
    EXPECT_EQ(data.size(), size - 1);
}

TEST_F(RegionData, CreateFromDataNeverReadsPastTheBytes) {
    RegionObject source;
    ASSERT_TRUE(source.CreateFromRect(RectF(0, 0, 10, 10)));
    std::uint32_t filled = 0;
    const ByteArray data = source.GetData(source.GetDataSize(), filled);
    // A size larger than the bytes is cut to the bytes: same region.
    RegionObject region;
    ASSERT_TRUE(region.CreateFromData(data, static_cast<int>(data.size()) + 1000));
    EXPECT_TRUE(region.Equals(source, graphics));
    // Too few bytes: GDI+ refuses, the wrapper stays empty.
    EXPECT_FALSE(region.CreateFromData(std::span(data).first(4), static_cast<int>(data.size())));
    EXPECT_NE(LastStatus, 0);
    EXPECT_FALSE(region.IsValid());
}

TEST_F(RegionHandles, GetHrgnGivesAGdiRegionOfTheSameShape) {
    RegionObject region;
    ASSERT_TRUE(region.CreateFromRectI(Rect(3, 4, 10, 20)));
    HRGN gdiRegion = region.GetHrgn(graphics);
    ASSERT_NE(gdiRegion, nullptr);
    RECT box{};
    EXPECT_EQ(GetRgnBox(gdiRegion, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.top, 4);
    EXPECT_EQ(box.right, 13);
    EXPECT_EQ(box.bottom, 24);
    DeleteObject(gdiRegion);
}

TEST_F(RegionHandles, InfiniteRegionHasNoGdiRegion) {
    RegionObject region;
    ASSERT_TRUE(region.Create());
    EXPECT_EQ(region.GetHrgn(World), nullptr);
    EXPECT_EQ(LastStatus, 0);
}

TEST_F(RegionTransform, TranslateAndTransformMoveTheBounds) {
    RegionObject region;
    ASSERT_TRUE(region.CreateFromRectI(Rect(1, 2, 3, 4)));
    ASSERT_TRUE(region.Translate(10, -2));
    RectF bounds = region.GetBounds(graphics);
    EXPECT_FLOAT_EQ(bounds.X, 11.0f);
    EXPECT_FLOAT_EQ(bounds.Y, 0.0f);
    ASSERT_TRUE(region.TranslateI(-11, 1));
    const Rect integral = region.GetBoundsI(graphics);
    EXPECT_EQ(LastStatus, 0);
    EXPECT_EQ(integral.X, 0);
    EXPECT_EQ(integral.Y, 1);
    EXPECT_EQ(integral.Width, 3);
    EXPECT_EQ(integral.Height, 4);

    const ScaleMatrix twice(2, 3);
    ASSERT_TRUE(region.Transform(twice.Get()));
    bounds = region.GetBounds(graphics);
    EXPECT_FLOAT_EQ(bounds.Width, 6.0f);
    EXPECT_FLOAT_EQ(bounds.Height, 12.0f);
}

TEST_F(RegionTransform, TransformWithoutMatrixIsRefused) {
    RegionObject region;
    ASSERT_TRUE(region.CreateFromRectI(Rect(1, 2, 3, 4)));
    EXPECT_FALSE(region.Transform(nullptr));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

// ---- comparisons and visibility ----------------------------------------------

TEST_F(RegionVisibility, RectanglesAndGraphicsContexts) {
    RegionObject region;
    ASSERT_TRUE(region.CreateFromRect(RectF(0, 0, 10, 10)));
    for (const GraphicsObjectBase* context : {static_cast<const GraphicsObjectBase*>(&World),
                                              static_cast<const GraphicsObjectBase*>(&graphics)}) {
        SCOPED_TRACE(context == &World ? "world" : "graphics");
        EXPECT_TRUE(region.IsVisibleRect(8, 8, 5, 5, *context)); // overlaps
        EXPECT_FALSE(region.IsVisibleRect(11, 0, 5, 5, *context));
        EXPECT_TRUE(region.IsVisibleRectI(-5, -5, 6, 6, *context));
        EXPECT_FALSE(region.IsVisibleRectI(-5, -5, 4, 4, *context));
        EXPECT_TRUE(region.IsVisiblePoint(5, 5, *context));
        EXPECT_TRUE(region.IsVisiblePointI(9, 9, *context));
        EXPECT_FALSE(region.IsVisiblePointI(10, 10, *context));
        EXPECT_EQ(LastStatus, 0);
    }
    EXPECT_FALSE(region.IsEmpty(graphics));
    // Emptiness needs a context: without one GDI+ refuses.
    LastStatus = 0;
    region.IsEmpty(World);
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

TEST_F(RegionVisibility, EqualsComparesShapesNotHandles) {
    RegionObject a;
    ASSERT_TRUE(a.CreateFromRect(RectF(0, 0, 4, 4)));
    RegionObject b;
    ASSERT_TRUE(b.CreateFromRectI(Rect(0, 0, 2, 4)));
    ASSERT_TRUE(b.CombineRectI(Rect(2, 0, 2, 4), Gdiplus::CombineModeUnion));
    EXPECT_TRUE(a.Equals(b, graphics));
    ASSERT_TRUE(b.TranslateI(1, 0));
    EXPECT_FALSE(a.Equals(b, graphics));
}

struct EmptyRegionCase {
    const char* name;
    std::function<bool(RegionObject&)> call; // answers whether the result is the default
};

TEST_F(RegionVisibility, EmptyWrapperPassesNullAndAnswersDefaults) {
    RegionObject other;
    ASSERT_TRUE(other.Create());
    const EmptyRegionCase cases[] = {
        {"IsVisiblePoint", [&](RegionObject& r) { return !r.IsVisiblePoint(0, 0, graphics); }},
        {"IsVisibleRectI", [&](RegionObject& r) { return !r.IsVisibleRectI(0, 0, 1, 1, graphics); }},
        {"IsInfinite", [&](RegionObject& r) { return !r.IsInfinite(graphics); }},
        {"Equals", [&](RegionObject& r) { return !r.Equals(other, graphics); }},
        {"GetDataSize", [](RegionObject& r) { return r.GetDataSize() == 0; }},
        {"GetScansCount", [](RegionObject& r) { return r.GetScansCount(nullptr) == 0; }},
        {"GetBoundsI", [&](RegionObject& r) { return r.GetBoundsI(graphics).Width == 0; }},
        {"MakeEmpty", [](RegionObject& r) { return !r.MakeEmpty(); }},
        {"Translate", [](RegionObject& r) { return !r.Translate(1, 1); }},
    };
    for (const EmptyRegionCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegionObject empty;
        LastStatus = 0;
        EXPECT_TRUE(c.call(empty));
        EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    }
}

// ---- scans ---------------------------------------------------------------------

TEST_F(RegionScans, TwoSeparateRectanglesGiveTwoScans) {
    RegionObject region;
    ASSERT_TRUE(region.CreateFromRectI(Rect(0, 0, 4, 2)));
    ASSERT_TRUE(region.CombineRectI(Rect(0, 10, 6, 3), Gdiplus::CombineModeUnion));
    const ScaleMatrix identity(1, 1);
    EXPECT_EQ(region.GetScansCount(identity.Get()), 2u);

    std::vector<RectF> scans(5);
    ASSERT_EQ(region.GetScans(identity.Get(), scans), 2u);
    ASSERT_EQ(scans.size(), 2u);
    EXPECT_FLOAT_EQ(scans[0].Width, 4.0f);
    EXPECT_FLOAT_EQ(scans[1].Y, 10.0f);

    std::vector<Rect> integral;
    ASSERT_EQ(region.GetScansI(identity.Get(), integral), 2u);
    ASSERT_EQ(integral.size(), 2u);
    EXPECT_EQ(integral[0].Height, 2);
    EXPECT_EQ(integral[1].Width, 6);
    EXPECT_EQ(integral[1].Height, 3);

    // The matrix applies to the scans.
    const ScaleMatrix doubled(2, 2);
    ASSERT_EQ(region.GetScansI(doubled.Get(), integral), 2u);
    EXPECT_EQ(integral[1].Y, 20);
}

TEST_F(RegionScans, FailedCountLeavesTheArrayAlone) {
    RegionObject empty;
    std::vector<Rect> scans(3, Rect(1, 1, 1, 1));
    EXPECT_EQ(empty.GetScansI(nullptr, scans), 0u);
    EXPECT_EQ(scans.size(), 3u);
    EXPECT_EQ(scans[0].X, 1);
}

} // namespace
