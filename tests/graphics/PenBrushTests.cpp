// PenObject and BrushObject: creation, properties, transforms about a centre,
// dash and compound arrays, caps, the pen's brush and the brush's two levels.
#include "PathObjectTestSupport.h"

#include "graphics/BrushObject.h"
#include "graphics/PathObject.h"
#include "graphics/PenObject.h"
#include "support/ImportHook.h"

#include <functional>
#include <vector>

using Gdiplus::PointF;
using pathtest::Matrix;
using pathtest::NewMatrix;

namespace {

constexpr std::uint32_t Red = 0xFFFF0000;
constexpr std::uint32_t Green = 0x8000FF00;

// The pen's transform, read into a matrix of the test's own.
PointF TransformedBy(const PenObject& pen, PointF point) {
    const Matrix matrix = NewMatrix();
    EXPECT_TRUE(pen.GetTransform(matrix.get()));
    return pathtest::Apply(matrix.get(), point);
}

GpStatus WINGDIPAPI RotateFails(Gdiplus::GpPen*, Gdiplus::REAL, Gdiplus::GpMatrixOrder) {
    return Gdiplus::OutOfMemory;
}
GpStatus WINGDIPAPI ScaleFails(Gdiplus::GpPen*, Gdiplus::REAL, Gdiplus::REAL, Gdiplus::GpMatrixOrder) {
    return Gdiplus::OutOfMemory;
}

} // namespace

// ---------------------------------------------------------------------------
// Transforms about a centre

struct CentredCase {
    const char* name;
    std::function<bool(PenObject&, int order)> transform;
    PointF appended;  // (0, 0) with the pen's shift applied first, then the transform
    PointF prepended; // the transform first, then the shift
};

class PenCentredTransform : public testing::TestWithParam<CentredCase> {};

// The pen starts shifted by (10, 0). Append puts the centred transform after
// that shift, Prepend before it: the translations wrap the rotation (or
// scaling) in opposite orders, so (0, 0) lands in different places.
TEST_P(PenCentredTransform, AppendAndPrependWrapTheTransformFromOppositeEnds) {
    const CentredCase c = GetParam();
    for (const int order : {Gdiplus::MatrixOrderAppend, Gdiplus::MatrixOrderPrepend}) {
        PenObject pen;
        ASSERT_TRUE(pen.Create(Red, 1));
        ASSERT_TRUE(pen.TranslateTransform(10, 0, Gdiplus::MatrixOrderAppend));
        ASSERT_TRUE(c.transform(pen, order));
        EXPECT_EQ(LastStatus, 0);
        const PointF expected = order == Gdiplus::MatrixOrderAppend ? c.appended : c.prepended;
        const PointF actual = TransformedBy(pen, PointF(0, 0));
        EXPECT_NEAR(actual.X, expected.X, 1e-3) << "order " << order;
        EXPECT_NEAR(actual.Y, expected.Y, 1e-3) << "order " << order;
    }
}

INSTANTIATE_TEST_SUITE_P(
    PenObject, PenCentredTransform,
    testing::Values(
        // (0,0) -> shift (10,0) -> quarter turn about (5,5) -> (10,10); or
        // quarter turn about (5,5) -> (10,0) -> shift -> (20,0).
        CentredCase{"RotateAt",
                    [](PenObject& pen, int order) { return pen.RotateTransformAt(90, PointF(5, 5), order); },
                    PointF(10, 10), PointF(20, 0)},
        // (0,0) -> (10,0) -> doubled about (5,5) -> (15,-5); or doubled about
        // (5,5) -> (-5,-5) -> shift -> (5,-5).
        CentredCase{"ScaleAt",
                    [](PenObject& pen, int order) { return pen.ScaleTransformAt(2, 2, PointF(5, 5), order); },
                    PointF(15, -5), PointF(5, -5)}),
    [](const testing::TestParamInfo<CentredCase>& info) { return std::string(info.param.name); });

TEST(PenObjectTransform, TheCentreStaysWhereItIsOnAnUntransformedPen) {
    for (const int order : {Gdiplus::MatrixOrderAppend, Gdiplus::MatrixOrderPrepend}) {
        PenObject pen;
        ASSERT_TRUE(pen.Create(Red, 1));
        ASSERT_TRUE(pen.RotateTransformAt(37, PointF(12, -4), order));
        const PointF centre = TransformedBy(pen, PointF(12, -4));
        EXPECT_NEAR(centre.X, 12, 1e-3);
        EXPECT_NEAR(centre.Y, -4, 1e-3);
    }
}

TEST(PenObjectTransform, ComposedTransformsResetAndSet) {
    PenObject pen;
    ASSERT_TRUE(pen.Create(Red, 1));
    ASSERT_TRUE(pen.ScaleTransform(2, 3, Gdiplus::MatrixOrderAppend));
    ASSERT_TRUE(pen.RotateTransform(90, Gdiplus::MatrixOrderAppend));
    PointF p = TransformedBy(pen, PointF(1, 1));
    EXPECT_NEAR(p.X, -3, 1e-3);
    EXPECT_NEAR(p.Y, 2, 1e-3);

    const Matrix shear = NewMatrix(1, 0, 1, 1, 0, 0);
    ASSERT_TRUE(pen.MultiplyTransform(shear.get(), Gdiplus::MatrixOrderAppend));
    p = TransformedBy(pen, PointF(1, 1));
    EXPECT_NEAR(p.X, -1, 1e-3);
    EXPECT_NEAR(p.Y, 2, 1e-3);

    ASSERT_TRUE(pen.ResetTransform());
    p = TransformedBy(pen, PointF(4, 5));
    EXPECT_NEAR(p.X, 4, 1e-3);
    EXPECT_NEAR(p.Y, 5, 1e-3);

    const Matrix given = NewMatrix(1, 0, 0, 1, 7, 8);
    ASSERT_TRUE(pen.SetTransform(given.get()));
    p = TransformedBy(pen, PointF(0, 0));
    EXPECT_NEAR(p.X, 7, 1e-3);
    EXPECT_NEAR(p.Y, 8, 1e-3);
}

TEST(PenObjectTransform, WithoutAPenEveryStepIsRefusedAndTheLastStatusKept) {
    PenObject none;
    LastStatus = 0;
    EXPECT_FALSE(none.RotateTransformAt(45, PointF(1, 1), Gdiplus::MatrixOrderAppend));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    LastStatus = 0;
    EXPECT_FALSE(none.ScaleTransformAt(2, 2, PointF(1, 1), Gdiplus::MatrixOrderPrepend));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

// The turn or scaling in the middle fails: the translation back is not made
// and the failure is what the call reports.
TEST(PenObjectTransform, AFailedMiddleStepEndsItAndIsReported) {
    const struct {
        const char* function;
        void* replacement;
        std::function<bool(PenObject&)> transform;
    } cases[] = {
        {"GdipRotatePenTransform", reinterpret_cast<void*>(&RotateFails),
         [](PenObject& pen) { return pen.RotateTransformAt(90, PointF(5, 5), Gdiplus::MatrixOrderAppend); }},
        {"GdipScalePenTransform", reinterpret_cast<void*>(&ScaleFails), [](PenObject& pen) {
             return pen.ScaleTransformAt(2, 2, PointF(5, 5), Gdiplus::MatrixOrderAppend);
         }}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function);
        PenObject pen;
        ASSERT_TRUE(pen.Create(Red, 1));
        {
            const ImportHook failing("gdiplus.dll", c.function, c.replacement);
            ASSERT_TRUE(failing.Installed());
            LastStatus = 0;
            EXPECT_FALSE(c.transform(pen));
            EXPECT_EQ(LastStatus, Gdiplus::OutOfMemory);
        }
        // Only the first translation, of the centre to the origin, was made.
        const PointF centre = TransformedBy(pen, PointF(5, 5));
        EXPECT_NEAR(centre.X, 0, 1e-3);
        EXPECT_NEAR(centre.Y, 0, 1e-3);
    }
}

// ---------------------------------------------------------------------------
// Pen properties

struct PenPropertyCase {
    const char* name;
    std::function<bool(PenObject&)> set;
    std::function<double(const PenObject&)> get;
    double before, after;
};

class PenProperties : public testing::TestWithParam<PenPropertyCase> {};

TEST_P(PenProperties, SetterChangesWhatTheGetterAnswers) {
    const PenPropertyCase c = GetParam();
    PenObject pen;
    ASSERT_TRUE(pen.Create(Red, 2, Gdiplus::UnitPixel));
    EXPECT_DOUBLE_EQ(c.get(pen), c.before) << "GDI+ default";
    EXPECT_EQ(LastStatus, 0);
    ASSERT_TRUE(c.set(pen)) << "status " << LastStatus;
    EXPECT_DOUBLE_EQ(c.get(pen), c.after);
    EXPECT_EQ(LastStatus, 0);
}

INSTANTIATE_TEST_SUITE_P(
    PenObject, PenProperties,
    testing::Values(
        PenPropertyCase{"Width", [](PenObject& p) { return p.SetWidth(7.5f); },
                        [](const PenObject& p) { return p.GetWidth(); }, 2, 7.5},
        PenPropertyCase{"StartCap", [](PenObject& p) { return p.SetStartCap(Gdiplus::LineCapRound); },
                        [](const PenObject& p) { return p.GetStartCap(); }, Gdiplus::LineCapFlat,
                        Gdiplus::LineCapRound},
        PenPropertyCase{"EndCap", [](PenObject& p) { return p.SetEndCap(Gdiplus::LineCapTriangle); },
                        [](const PenObject& p) { return p.GetEndCap(); }, Gdiplus::LineCapFlat,
                        Gdiplus::LineCapTriangle},
        PenPropertyCase{"DashCap", [](PenObject& p) { return p.SetDashCap(Gdiplus::DashCapRound); },
                        [](const PenObject& p) { return p.GetDashCap(); }, Gdiplus::DashCapFlat,
                        Gdiplus::DashCapRound},
        PenPropertyCase{"DashCap2", [](PenObject& p) { return p.SetDashCap(Gdiplus::DashCapTriangle); },
                        [](const PenObject& p) { return p.GetDashCap2(); }, Gdiplus::DashCapFlat,
                        Gdiplus::DashCapTriangle},
        PenPropertyCase{
            "LineCapSetsStart",
            [](PenObject& p) {
                return p.SetLineCap(Gdiplus::LineCapSquare, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
            },
            [](const PenObject& p) { return p.GetStartCap(); }, Gdiplus::LineCapFlat, Gdiplus::LineCapSquare},
        PenPropertyCase{
            "LineCap2SetsEnd",
            [](PenObject& p) {
                return p.SetLineCap2(Gdiplus::LineCapSquare, Gdiplus::LineCapRound, Gdiplus::DashCapTriangle);
            },
            [](const PenObject& p) { return p.GetEndCap(); }, Gdiplus::LineCapFlat, Gdiplus::LineCapRound},
        PenPropertyCase{"LineJoin", [](PenObject& p) { return p.SetLineJoin(Gdiplus::LineJoinBevel); },
                        [](const PenObject& p) { return p.GetLineJoin(); }, Gdiplus::LineJoinMiter,
                        Gdiplus::LineJoinBevel},
        PenPropertyCase{"MiterLimit", [](PenObject& p) { return p.SetMiterLimit(3); },
                        [](const PenObject& p) { return p.GetMiterLimit(); }, 10, 3},
        PenPropertyCase{"Alignment", [](PenObject& p) { return p.SetAlignment(Gdiplus::PenAlignmentInset); },
                        [](const PenObject& p) { return p.GetAlignment(); }, Gdiplus::PenAlignmentCenter,
                        Gdiplus::PenAlignmentInset},
        PenPropertyCase{"DashStyle", [](PenObject& p) { return p.SetDashStyle(Gdiplus::DashStyleDot); },
                        [](const PenObject& p) { return p.GetDashStyle(); }, Gdiplus::DashStyleSolid,
                        Gdiplus::DashStyleDot},
        PenPropertyCase{"DashOffset", [](PenObject& p) { return p.SetDashOffset(1.5f); },
                        [](const PenObject& p) { return p.GetDashOffset(); }, 0, 1.5},
        PenPropertyCase{"Color", [](PenObject& p) { return p.SetColor(Green); },
                        [](const PenObject& p) { return p.GetColor(); }, Red, Green}),
    [](const testing::TestParamInfo<PenPropertyCase>& info) { return std::string(info.param.name); });

TEST(PenObjectCreate, ColourWidthAndUnitReachThePen) {
    PenObject pen;
    ASSERT_TRUE(pen.Create(Green, 3.5f, Gdiplus::UnitPixel));
    EXPECT_EQ(pen.GetColor(), Green);
    EXPECT_FLOAT_EQ(pen.GetWidth(), 3.5f);
    EXPECT_EQ(pen.GetUnit(), Gdiplus::UnitPixel);
    EXPECT_EQ(pen.GetFillType(), Gdiplus::PenTypeSolidColor);

    ASSERT_TRUE(pen.Create(Red, 1));
    EXPECT_EQ(pen.GetUnit(), Gdiplus::UnitWorld) << "omitted unit is 0, World";
}

TEST(PenObjectCreate, AUnitThisGdiplusRefusesLeavesThePenEmpty) {
    PenObject pen;
    ASSERT_TRUE(pen.Create(Red, 1));
    const bool created = pen.Create(Red, 1, Gdiplus::UnitPoint);
    EXPECT_EQ(created, LastStatus == 0);
    EXPECT_EQ(pen.IsValid(), created);
    EXPECT_EQ(pen.GetNativeHandle(), static_cast<void*>(pen.Handle()));
    PATHTEST_SKIP_IF_NOT_IMPLEMENTED("pens in points");
    EXPECT_EQ(pen.GetUnit(), Gdiplus::UnitPoint);
}

namespace {

// What SetUnit hands to GdipSetPenUnit. Wine 8's GdipSetPenUnit is a stub
// that ends the process: there the call is answered NotImplemented on its way.
struct SetPenUnitCall {
    int calls = 0;
    Gdiplus::GpPen* pen = nullptr;
    Gdiplus::GpUnit unit = Gdiplus::UnitWorld;
    Gdiplus::GpStatus(WINGDIPAPI* passOn)(Gdiplus::GpPen*, Gdiplus::GpUnit) = nullptr;
};
SetPenUnitCall setPenUnitCall;

Gdiplus::GpStatus WINGDIPAPI RecordSetPenUnit(Gdiplus::GpPen* pen, Gdiplus::GpUnit unit) {
    ++setPenUnitCall.calls;
    setPenUnitCall.pen = pen;
    setPenUnitCall.unit = unit;
    return setPenUnitCall.passOn ? setPenUnitCall.passOn(pen, unit) : Gdiplus::NotImplemented;
}

} // namespace

TEST(PenObjectCreate, SetUnitHandsTheUnitToGdiplus) {
    PenObject pen;
    ASSERT_TRUE(pen.Create(Red, 1, Gdiplus::UnitPixel));
    ImportHook hook("gdiplus.dll", "GdipSetPenUnit", reinterpret_cast<void*>(&RecordSetPenUnit));
    ASSERT_TRUE(hook.Installed());
    const bool stub = RunningUnderWine();
    setPenUnitCall = {};
    if (!stub)
        setPenUnitCall.passOn = hook.Original<decltype(setPenUnitCall.passOn)>();
    const bool set = pen.SetUnit(Gdiplus::UnitWorld);
    EXPECT_EQ(setPenUnitCall.calls, 1);
    EXPECT_EQ(setPenUnitCall.pen, pen.Handle());
    EXPECT_EQ(setPenUnitCall.unit, Gdiplus::UnitWorld);
    EXPECT_EQ(set, LastStatus == 0);
    EXPECT_TRUE(pen.IsValid());
    if (stub) {
        EXPECT_EQ(LastStatus, pathtest::NotImplementedStatus) << "the answer is recorded";
        GTEST_SKIP() << "Wine's GdipSetPenUnit ends the process: the pen's new unit cannot be read back here";
    }
    EXPECT_EQ(pen.GetUnit(), Gdiplus::UnitWorld);
}

TEST(PenObjectCreate, FromABrushTakesTheBrushesColour) {
    BrushObject brush;
    ASSERT_TRUE(brush.CreateSolid(Green));
    PenObject pen;
    ASSERT_TRUE(pen.CreateFromBrush(brush, 4, Gdiplus::UnitPixel));
    EXPECT_EQ(pen.GetColor(), Green);
    EXPECT_FLOAT_EQ(pen.GetWidth(), 4);

    BrushObject none;
    LastStatus = 0;
    EXPECT_FALSE(pen.CreateFromBrush(none, 4, Gdiplus::UnitPixel));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_FALSE(pen.IsValid());
}

TEST(PenObjectCreate, CloneCopiesTheSettingsIntoAnIndependentPen) {
    PenObject pen, copy;
    ASSERT_TRUE(pen.Create(Red, 5, Gdiplus::UnitPixel));
    ASSERT_TRUE(pen.SetLineJoin(Gdiplus::LineJoinRound));
    ASSERT_TRUE(pen.Clone(copy));
    EXPECT_NE(copy.GetNativeHandle(), pen.GetNativeHandle());
    EXPECT_FLOAT_EQ(copy.GetWidth(), 5);
    EXPECT_EQ(copy.GetLineJoin(), Gdiplus::LineJoinRound);
    ASSERT_TRUE(pen.SetWidth(1));
    EXPECT_FLOAT_EQ(copy.GetWidth(), 5);
}

TEST(PenObjectArrays, DashPatternRoundTripsAndSwitchesToCustomDashes) {
    PenObject pen;
    ASSERT_TRUE(pen.Create(Red, 1));
    std::vector<float> dashes{9, 9, 9};
    EXPECT_EQ(pen.GetDashPattern(dashes), 0);
    EXPECT_TRUE(dashes.empty()) << "a solid pen has no dashes";

    const float pattern[] = {4, 2, 1, 2};
    ASSERT_TRUE(pen.SetDashPattern(pattern));
    EXPECT_EQ(pen.GetDashStyle(), Gdiplus::DashStyleCustom);
    ASSERT_EQ(pen.GetDashPattern(dashes), 4);
    EXPECT_EQ(dashes, (std::vector<float>{4, 2, 1, 2}));

    LastStatus = 0;
    EXPECT_FALSE(pen.SetDashPattern({}));
    EXPECT_EQ(LastStatus, InvalidParameterStatus);
}

TEST(PenObjectArrays, CompoundArrayRoundTrips) {
    PenObject pen;
    ASSERT_TRUE(pen.Create(Red, 10));
    const float bands[] = {0, 0.25f, 0.75f, 1};
    ASSERT_TRUE(pen.SetCompoundArray(bands));
    std::vector<float> read;
    ASSERT_EQ(pen.GetCompoundArray(read), 4);
    EXPECT_EQ(read, (std::vector<float>{0, 0.25f, 0.75f, 1}));

    LastStatus = 0;
    EXPECT_FALSE(pen.SetCompoundArray({}));
    EXPECT_EQ(LastStatus, InvalidParameterStatus);
}

TEST(PenObjectArrays, AFailedCountQueryAnswersZeroAndLeavesTheArray) {
    PenObject none;
    std::vector<float> values{1, 2};
    LastStatus = 0;
    EXPECT_EQ(none.GetDashPattern(values), 0);
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_EQ(values, (std::vector<float>{1, 2}));
    EXPECT_EQ(none.GetCompoundArray(values), 0);
    EXPECT_EQ(values, (std::vector<float>{1, 2}));
}

TEST(PenObjectBrush, GetBrushHandsTheTargetACopyOfThePensBrush) {
    PenObject pen;
    ASSERT_TRUE(pen.Create(Green, 1));
    BrushObject target;
    ASSERT_TRUE(target.CreateSolid(Red));
    ASSERT_TRUE(pen.GetBrush(target));
    ASSERT_TRUE(target.IsValid());
    EXPECT_EQ(target.GetColor(), Green);
    EXPECT_EQ(target.GetNativeHandle(), static_cast<void*>(target.SolidHandle()));

    BrushObject red;
    ASSERT_TRUE(red.CreateSolid(Red));
    ASSERT_TRUE(pen.SetBrush(red));
    EXPECT_EQ(pen.GetColor(), Red);
    EXPECT_EQ(target.GetColor(), Green) << "the copy is the target's own";
}

TEST(PenObjectCaps, CustomCapsGoInAndComeOutAsTheTargetsOwnCap) {
    // A small arrow-like cap from a triangle path.
    PathObject capPath;
    ASSERT_TRUE(capPath.Create());
    const PointF triangle[] = {{-2, 0}, {2, 0}, {0, 3}};
    ASSERT_TRUE(capPath.AddPolygon(triangle));
    Gdiplus::GpCustomLineCap* native = nullptr;
    ASSERT_EQ(GdipCreateCustomLineCap(nullptr, capPath.Handle(), Gdiplus::LineCapFlat, 0, &native),
              Gdiplus::Ok);
    pathtest::HeldCap cap(native);

    PenObject pen;
    ASSERT_TRUE(pen.Create(Red, 2));
    pathtest::HeldCap none;
    ASSERT_TRUE(pen.GetCustomStartCap(none));
    EXPECT_EQ(none.GetNativeHandle(), nullptr) << "no custom cap yet";

    ASSERT_TRUE(pen.SetCustomStartCap(cap));
    ASSERT_TRUE(pen.SetCustomEndCap(cap));
    EXPECT_EQ(pen.GetStartCap(), Gdiplus::LineCapCustom);
    EXPECT_EQ(pen.GetEndCap(), Gdiplus::LineCapCustom);

    pathtest::HeldCap start, end;
    ASSERT_TRUE(pen.GetCustomStartCap(start));
    ASSERT_TRUE(pen.GetCustomEndCap(end));
    EXPECT_NE(start.GetNativeHandle(), nullptr);
    EXPECT_NE(start.GetNativeHandle(), cap.GetNativeHandle()) << "a copy, not the pen's own";
    EXPECT_NE(end.GetNativeHandle(), nullptr);
}

TEST(PenObjectCaps, AnEmptyPenRefusesACustomCapWithInvalidParameter) {
    PathObject capPath;
    ASSERT_TRUE(capPath.Create());
    ASSERT_TRUE(capPath.AddRectangle(-1, -1, 2, 2));
    Gdiplus::GpCustomLineCap* native = nullptr;
    ASSERT_EQ(GdipCreateCustomLineCap(capPath.Handle(), nullptr, Gdiplus::LineCapFlat, 0, &native),
              Gdiplus::Ok);
    pathtest::HeldCap cap(native);

    PenObject none;
    LastStatus = 0;
    EXPECT_FALSE(none.SetCustomStartCap(cap));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    LastStatus = 0;
    EXPECT_FALSE(none.SetCustomEndCap(cap));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

TEST(PenObjectDrawing, APenStrokesWithItsColourAndWidth) {
    pathtest::TestCanvas canvas(40, 40);
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddLine(0, 20, 40, 20));
    PenObject pen;
    ASSERT_TRUE(pen.Create(Red, 6, Gdiplus::UnitPixel));
    ASSERT_EQ(GdipDrawPath(canvas.Native(), pen.Handle(), path.Handle()), Gdiplus::Ok);
    EXPECT_EQ(canvas.PixelAt(20, 20), Red);
    EXPECT_EQ(canvas.PixelAt(20, 18), Red) << "three pixels either side";
    EXPECT_EQ(canvas.PixelAt(20, 10), 0u);
}

// ---------------------------------------------------------------------------
// BrushObject

TEST(BrushObject, BothLevelsHoldTheOneSolidFill) {
    BrushObject brush;
    EXPECT_EQ(brush.Handle(), nullptr);
    EXPECT_EQ(brush.SolidHandle(), nullptr);
    ASSERT_TRUE(brush.CreateSolid(Green));
    EXPECT_NE(brush.GetNativeHandle(), nullptr);
    EXPECT_EQ(brush.GetNativeHandle(), static_cast<void*>(brush.Handle()));
    EXPECT_EQ(brush.GetNativeHandle(), static_cast<void*>(brush.SolidHandle()));
    EXPECT_EQ(brush.GetType(), Gdiplus::BrushTypeSolidColor);
    EXPECT_EQ(brush.GetColor(), Green);

    ASSERT_TRUE(brush.Delete());
    EXPECT_EQ(brush.Handle(), nullptr);
    EXPECT_EQ(brush.SolidHandle(), nullptr);
    LastStatus = 3;
    EXPECT_FALSE(brush.Delete()) << "one release empties both levels";
    EXPECT_EQ(LastStatus, 3);
}

TEST(BrushObject, SetColorChangesTheFill) {
    pathtest::TestCanvas canvas(8, 8);
    BrushObject brush;
    ASSERT_TRUE(brush.CreateSolid(Red));
    ASSERT_TRUE(brush.SetColor(0xFF0000FF));
    EXPECT_EQ(brush.GetColor(), 0xFF0000FFu);
    ASSERT_EQ(GdipFillRectangleI(canvas.Native(), brush.Handle(), 0, 0, 8, 8), Gdiplus::Ok);
    EXPECT_EQ(canvas.PixelAt(4, 4), 0xFF0000FFu);
}

TEST(BrushObject, CloneMakesAnIndependentBrushForTheTarget) {
    BrushObject brush, copy;
    ASSERT_TRUE(brush.CreateSolid(Red));
    ASSERT_TRUE(brush.Clone(copy));
    EXPECT_NE(copy.GetNativeHandle(), brush.GetNativeHandle());
    EXPECT_EQ(copy.GetNativeHandle(), static_cast<void*>(copy.SolidHandle()));
    ASSERT_TRUE(brush.SetColor(Green));
    EXPECT_EQ(copy.GetColor(), Red);
}

TEST(BrushObject, WithoutABrushGettersAnswerTheDefaultAndRecordTheRefusal) {
    BrushObject none;
    LastStatus = 0;
    EXPECT_EQ(none.GetColor(), 0u);
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    LastStatus = 0;
    EXPECT_FALSE(none.SetColor(Red));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    LastStatus = 0;
    EXPECT_EQ(none.GetType(), 0);
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}
