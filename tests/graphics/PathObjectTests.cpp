// PathObject: figures, the rounded rectangle, point and type queries, path
// data, transforms and hit tests.
#include "PathObjectTestSupport.h"

#include "graphics/PathObject.h"
#include "graphics/PenObject.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

using Gdiplus::PointF;
using Gdiplus::RectF;
using pathtest::TestCanvas;

namespace {

constexpr BYTE StartType = Gdiplus::PathPointTypeStart;
constexpr BYTE LineType = Gdiplus::PathPointTypeLine;
constexpr BYTE BezierType = Gdiplus::PathPointTypeBezier;
constexpr BYTE CloseFlag = Gdiplus::PathPointTypeCloseSubpath;
constexpr BYTE MarkerFlag = Gdiplus::PathPointTypePathMarker;

std::vector<PointF> PointsOf(const PathObject& path) {
    std::vector<PointF> points;
    path.GetPathPoints(points);
    return points;
}

std::vector<BYTE> TypesOf(const PathObject& path) {
    std::vector<BYTE> types;
    path.GetPathTypes(types);
    return types;
}

void ExpectPoint(const PointF& actual, float x, float y, const char* what) {
    EXPECT_NEAR(actual.X, x, 1e-3) << what;
    EXPECT_NEAR(actual.Y, y, 1e-3) << what;
}

} // namespace

// ---------------------------------------------------------------------------
// AddRoundedRectangle

struct RoundedCase {
    float x, y, width, height;
    int percent;
    // The corner ellipses' full width and height the percentage must give.
    float ellipseWidth, ellipseHeight;
};

class RoundedRectangle : public testing::TestWithParam<RoundedCase> {};

// Each 90-degree arc starts and ends on its ellipse's axes, so the figure's
// quarter points give the ellipse size away: the top edge starts half an
// ellipse width left of the right edge, and so on round the rectangle.
TEST_P(RoundedRectangle, CornerEllipsesFollowTheClampedPercentage) {
    const RoundedCase c = GetParam();
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddRoundedRectangle(c.x, c.y, c.width, c.height, c.percent));
    EXPECT_EQ(LastStatus, 0);

    const std::vector<PointF> points = PointsOf(path);
    const std::vector<BYTE> types = TypesOf(path);
    // Four arcs of one Bezier each, joined by lines. Where an arc ends on the
    // next one's start (percent 100) GDI+ may drop the joining point.
    ASSERT_GE(points.size(), 13u);
    ASSERT_LE(points.size(), 16u);
    ASSERT_EQ(types.size(), points.size());
    const float right = c.x + c.width, bottom = c.y + c.height;
    const float halfW = c.ellipseWidth / 2, halfH = c.ellipseHeight / 2;
    const struct {
        float x, y;
        const char* what;
    } axisPoints[] = {
        {right - halfW, c.y, "top right arc starts on the top edge"},
        {right, c.y + halfH, "top right arc ends on the right edge"},
        {right, bottom - halfH, "bottom right arc starts on the right edge"},
        {right - halfW, bottom, "bottom right arc ends on the bottom edge"},
        {c.x + halfW, bottom, "bottom left arc starts on the bottom edge"},
        {c.x, bottom - halfH, "bottom left arc ends on the left edge"},
        {c.x, c.y + halfH, "top left arc starts on the left edge"},
        {c.x + halfW, c.y, "top left arc ends on the top edge"},
    };
    for (const auto& expected : axisPoints) {
        const bool found = std::any_of(points.begin(), points.end(), [&](const PointF& p) {
            return std::fabs(p.X - expected.x) < 1e-3 && std::fabs(p.Y - expected.y) < 1e-3;
        });
        EXPECT_TRUE(found) << expected.what << " at (" << expected.x << ", " << expected.y << ")";
    }
    ExpectPoint(points.front(), right - halfW, c.y, "the figure starts with the top right arc");
    for (const PointF& p : points) {
        EXPECT_GE(p.X, c.x - 1e-3);
        EXPECT_LE(p.X, right + 1e-3);
        EXPECT_GE(p.Y, c.y - 1e-3);
        EXPECT_LE(p.Y, bottom + 1e-3);
    }

    EXPECT_EQ(types.front(), StartType);
    EXPECT_EQ(std::count_if(types.begin(), types.end(), [](BYTE t) { return (t & 0x07) == BezierType; }), 12)
        << "three Bezier points per arc";
    EXPECT_TRUE(types.back() & CloseFlag) << "the figure is closed";
}

INSTANTIATE_TEST_SUITE_P(
    PathObject, RoundedRectangle,
    testing::Values(RoundedCase{0, 0, 99, 50, 10, 9, 5},        // truncated, not rounded: 9.9 x 5
                    RoundedCase{0, 0, 200, 100, 0, 2, 1},       // 0 behaves as 1
                    RoundedCase{0, 0, 200, 100, -40, 2, 1},     // so does anything below
                    RoundedCase{0, 0, 200, 100, 1, 2, 1},       //
                    RoundedCase{0, 0, 200, 100, 250, 200, 100}, // 250 behaves as 100
                    RoundedCase{0, 0, 200, 100, 100, 200, 100}, // the ellipses span the rectangle
                    RoundedCase{10, 20, 99, 50, 10, 9, 5},      // placed away from the origin
                    RoundedCase{5, 5, 358, 128, 5, 17, 6}));    // the clock panel's size

TEST(PathObjectRoundedRectangle, ResultIsTheClosingCallsStatus) {
    PathObject empty;
    LastStatus = 0;
    EXPECT_FALSE(empty.AddRoundedRectangle(0, 0, 10, 10, 50));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_EQ(empty.GetNativeHandle(), nullptr);
}

TEST(PathObjectRoundedRectangle, AddsToTheCurrentFigureAfterExistingLines) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddLine(0, 0, 5, 5));
    ASSERT_TRUE(path.AddRoundedRectangle(10, 10, 100, 100, 20));
    // The arcs continue the open figure of the line: two points more than 16.
    EXPECT_EQ(path.GetPointCount(), 18);
}

// ---------------------------------------------------------------------------
// Point and type queries

TEST(PathObjectQueries, WithoutACountAnEmptyPathAnswersFalseAndLeavesTheArray) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    std::vector<PointF> points{{1, 2}, {3, 4}};
    std::vector<Gdiplus::Point> integerPoints{{7, 8}};
    std::vector<BYTE> types{9, 9, 9};
    EXPECT_FALSE(path.GetPathPoints(points));
    EXPECT_FALSE(path.GetPathPointsI(integerPoints));
    EXPECT_FALSE(path.GetPathTypes(types));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].X, 3);
    EXPECT_EQ(points[1].Y, 4);
    ASSERT_EQ(integerPoints.size(), 1u);
    EXPECT_EQ(integerPoints[0].X, 7);
    EXPECT_EQ(types, (std::vector<BYTE>{9, 9, 9}));
}

TEST(PathObjectQueries, AFailedCountQueryAnswersFalseWithTheStatusAndLeavesTheArray) {
    PathObject empty;
    std::vector<PointF> points{{1, 2}};
    LastStatus = 0;
    EXPECT_FALSE(empty.GetPathPoints(points));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].X, 1);
}

TEST(PathObjectQueries, ACountOfZeroOrLessIsRefusedWithoutACall) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddRectangle(0, 0, 4, 4));
    for (const int count : {0, -3}) {
        std::vector<BYTE> types{5};
        LastStatus = 0;
        EXPECT_FALSE(path.GetPathTypes(types, count));
        EXPECT_EQ(LastStatus, InvalidParameterStatus);
        EXPECT_EQ(types, std::vector<BYTE>{5});
    }
}

TEST(PathObjectQueries, TheArrayIsResizedToTheCountWithTheRectanglesCorners) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddRectangleI(10, 20, 30, 40));
    std::vector<Gdiplus::Point> points(9, Gdiplus::Point(-1, -1));
    ASSERT_TRUE(path.GetPathPointsI(points));
    ASSERT_EQ(points.size(), 4u);
    const int expected[4][2] = {{10, 20}, {40, 20}, {40, 60}, {10, 60}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(points[i].X, expected[i][0]) << i;
        EXPECT_EQ(points[i].Y, expected[i][1]) << i;
    }
    EXPECT_EQ(TypesOf(path), (std::vector<BYTE>{StartType, LineType, LineType, LineType | CloseFlag}));

    // An explicit count sizes the array itself.
    std::vector<PointF> all;
    ASSERT_TRUE(path.GetPathPoints(all, 4));
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[2].X, 40);
}

TEST(PathObjectQueries, GetPathDataFillsCountPointsAndTypes) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddLine(1, 2, 3, 4));
    ASSERT_TRUE(path.AddLine(5, 6, 7, 8));
    PathDataRecord data;
    data.points.resize(10);
    ASSERT_TRUE(path.GetPathData(data));
    EXPECT_EQ(data.count, 4);
    ASSERT_EQ(data.points.size(), 4u);
    ASSERT_EQ(data.types.size(), 4u);
    ExpectPoint(data.points[0], 1, 2, "first");
    ExpectPoint(data.points[3], 7, 8, "last");
    EXPECT_EQ(data.types, (std::vector<BYTE>{StartType, LineType, LineType, LineType}));
}

TEST(PathObjectQueries, GetPathDataOfAnEmptyPathEmptiesTheRecordAndAnswersFalse) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    PathDataRecord data{3, std::vector<PointF>(3), std::vector<BYTE>(3)};
    EXPECT_FALSE(path.GetPathData(data));
    EXPECT_EQ(data.count, 0);
    EXPECT_TRUE(data.points.empty());
    EXPECT_TRUE(data.types.empty());

    // Without a path the count query fails and the record stays as it was.
    PathObject none;
    PathDataRecord kept{2, std::vector<PointF>(2), std::vector<BYTE>(2)};
    EXPECT_FALSE(none.GetPathData(kept));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_EQ(kept.count, 2);
    EXPECT_EQ(kept.points.size(), 2u);
}

// ---------------------------------------------------------------------------
// Figures and arrays

TEST(PathObjectFigures, InputPointsReachGdiplusInOrder) {
    const std::vector<PointF> polygon{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 15}};
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddPolygon(polygon));
    const std::vector<PointF> points = PointsOf(path);
    ASSERT_EQ(points.size(), polygon.size());
    for (std::size_t i = 0; i < polygon.size(); ++i)
        ExpectPoint(points[i], polygon[i].X, polygon[i].Y, "polygon corner");
    EXPECT_TRUE(TypesOf(path).back() & CloseFlag);
}

TEST(PathObjectFigures, EmptyArraysAreRefusedWithInvalidParameter) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    const std::vector<PointF> none;
    const std::vector<Gdiplus::Point> noneI;
    const std::vector<RectF> noRects;
    using Call = std::function<bool()>;
    const std::vector<std::pair<const char*, Call>> calls{
        {"AddLines", [&] { return path.AddLines(none); }},
        {"AddLinesI", [&] { return path.AddLinesI(noneI); }},
        {"AddBeziers", [&] { return path.AddBeziers(none); }},
        {"AddCurve", [&] { return path.AddCurve(none); }},
        {"AddCurveSegment", [&] { return path.AddCurveSegment(none, 0, 1, 0.5f); }},
        {"AddClosedCurveI", [&] { return path.AddClosedCurveI(noneI); }},
        {"AddPolygon", [&] { return path.AddPolygon(none); }},
        {"AddRectangles", [&] { return path.AddRectangles(noRects); }},
        {"Warp", [&] { return path.Warp(none, RectF(0, 0, 1, 1)); }},
        {"CreateFromPoints", [&] { return path.CreateFromPoints(none, {}); }},
    };
    for (const auto& [name, call] : calls) {
        LastStatus = 0;
        EXPECT_FALSE(call()) << name;
        EXPECT_EQ(LastStatus, InvalidParameterStatus) << name;
    }
    EXPECT_TRUE(path.IsValid()) << "a refused create keeps the path it had";
    EXPECT_EQ(path.GetPointCount(), 0);
}

struct FigureCase {
    const char* name;
    std::function<bool(PathObject&)> add;
    int points;
};

class PathFigures : public testing::TestWithParam<FigureCase> {};

TEST_P(PathFigures, EachAddOperationAddsItsPoints) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(GetParam().add(path)) << "status " << LastStatus;
    EXPECT_EQ(LastStatus, 0);
    EXPECT_EQ(path.GetPointCount(), GetParam().points);
}

const PointF curvePoints[] = {{0, 0}, {10, 10}, {20, 0}, {30, 10}};
const Gdiplus::Point curvePointsI[] = {{0, 0}, {10, 10}, {20, 0}, {30, 10}};
const PointF bezierPoints[] = {{0, 0}, {1, 1}, {2, 1}, {3, 0}, {4, 1}, {5, 1}, {6, 0}};
const Gdiplus::Point bezierPointsI[] = {{0, 0}, {1, 1}, {2, 1}, {3, 0}};
const RectF rects[] = {{0, 0, 5, 5}, {10, 10, 5, 5}};
const Gdiplus::Rect rectsI[] = {{0, 0, 5, 5}};

INSTANTIATE_TEST_SUITE_P(
    PathObject, PathFigures,
    testing::Values(
        FigureCase{"Line", [](PathObject& p) { return p.AddLine(0, 0, 1, 1); }, 2},
        FigureCase{"LineI", [](PathObject& p) { return p.AddLineI(0, 0, 1, 1); }, 2},
        FigureCase{"Lines", [](PathObject& p) { return p.AddLines(curvePoints); }, 4},
        FigureCase{"LinesI", [](PathObject& p) { return p.AddLinesI(curvePointsI); }, 4},
        FigureCase{"Arc", [](PathObject& p) { return p.AddArc(0, 0, 10, 10, 0, 90); }, 4},
        FigureCase{"ArcI", [](PathObject& p) { return p.AddArcI(0, 0, 10, 10, 0, 180); }, 7},
        FigureCase{"Bezier", [](PathObject& p) { return p.AddBezier(0, 0, 1, 1, 2, 1, 3, 0); }, 4},
        FigureCase{"BezierI", [](PathObject& p) { return p.AddBezierI(0, 0, 1, 1, 2, 1, 3, 0); }, 4},
        FigureCase{"Beziers", [](PathObject& p) { return p.AddBeziers(bezierPoints); }, 7},
        FigureCase{"BeziersI", [](PathObject& p) { return p.AddBeziersI(bezierPointsI); }, 4},
        // A cardinal spline through n points is n - 1 Beziers: 3(n - 1) + 1 points.
        FigureCase{"Curve", [](PathObject& p) { return p.AddCurve(curvePoints); }, 10},
        FigureCase{"CurveTension", [](PathObject& p) { return p.AddCurveTension(curvePoints, 0.3f); }, 10},
        FigureCase{"CurveSegment", [](PathObject& p) { return p.AddCurveSegment(curvePoints, 1, 1, 0.5f); },
                   4},
        FigureCase{"CurveI", [](PathObject& p) { return p.AddCurveI(curvePointsI); }, 10},
        FigureCase{"CurveTensionI", [](PathObject& p) { return p.AddCurveTensionI(curvePointsI, 0.3f); }, 10},
        FigureCase{"CurveSegmentI",
                   [](PathObject& p) { return p.AddCurveSegmentI(curvePointsI, 0, 2, 0.5f); }, 7},
        // Closed: n Beziers back to the start.
        FigureCase{"ClosedCurve", [](PathObject& p) { return p.AddClosedCurve(curvePoints); }, 13},
        FigureCase{"ClosedCurveTension",
                   [](PathObject& p) { return p.AddClosedCurveTension(curvePoints, 0.2f); }, 13},
        FigureCase{"ClosedCurveI", [](PathObject& p) { return p.AddClosedCurveI(curvePointsI); }, 13},
        FigureCase{"ClosedCurveTensionI",
                   [](PathObject& p) { return p.AddClosedCurveTensionI(curvePointsI, 0.2f); }, 13},
        FigureCase{"Rectangle", [](PathObject& p) { return p.AddRectangle(0, 0, 5, 5); }, 4},
        FigureCase{"Rectangles", [](PathObject& p) { return p.AddRectangles(rects); }, 8},
        FigureCase{"RectangleI", [](PathObject& p) { return p.AddRectangleI(0, 0, 5, 5); }, 4},
        FigureCase{"RectanglesI", [](PathObject& p) { return p.AddRectanglesI(rectsI); }, 4},
        FigureCase{"Ellipse", [](PathObject& p) { return p.AddEllipse(0, 0, 10, 6); }, 13},
        FigureCase{"EllipseI", [](PathObject& p) { return p.AddEllipseI(0, 0, 10, 6); }, 13},
        FigureCase{"Pie", [](PathObject& p) { return p.AddPie(0, 0, 10, 10, 0, 90); }, 5},
        FigureCase{"PieI", [](PathObject& p) { return p.AddPieI(0, 0, 10, 10, 0, 90); }, 5},
        FigureCase{"Polygon", [](PathObject& p) { return p.AddPolygon(curvePoints); }, 4},
        FigureCase{"PolygonI", [](PathObject& p) { return p.AddPolygonI(curvePointsI); }, 4}),
    [](const testing::TestParamInfo<FigureCase>& info) { return std::string(info.param.name); });

TEST(PathObjectFigures, CreateFromPointsTakesPointsTypesAndFillMode) {
    const PointF points[] = {{0, 0}, {10, 0}, {10, 10}};
    const BYTE types[] = {StartType, LineType, LineType | CloseFlag};
    PathObject path;
    ASSERT_TRUE(path.CreateFromPoints(points, types, Gdiplus::FillModeWinding));
    EXPECT_EQ(path.GetPointCount(), 3);
    EXPECT_EQ(path.GetFillMode(), Gdiplus::FillModeWinding);
    EXPECT_EQ(TypesOf(path), std::vector<BYTE>(std::begin(types), std::end(types)));

    const Gdiplus::Point pointsI[] = {{1, 1}, {2, 2}};
    const BYTE typesI[] = {StartType, LineType};
    ASSERT_TRUE(path.CreateFromPointsI(pointsI, typesI));
    EXPECT_EQ(path.GetFillMode(), Gdiplus::FillModeAlternate) << "omitted fill mode is Alternate";
    EXPECT_EQ(path.GetPointCount(), 2);

    // Every point needs its type.
    const BYTE tooFew[] = {StartType};
    LastStatus = 0;
    EXPECT_FALSE(path.CreateFromPointsI(pointsI, tooFew));
    EXPECT_EQ(LastStatus, InvalidParameterStatus);
}

TEST(PathObjectFigures, FillModeRoundTripsAndCreateUsesItsArgument) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    EXPECT_EQ(path.GetFillMode(), Gdiplus::FillModeAlternate);
    ASSERT_TRUE(path.Create(Gdiplus::FillModeWinding));
    EXPECT_EQ(path.GetFillMode(), Gdiplus::FillModeWinding);
    ASSERT_TRUE(path.SetFillMode(Gdiplus::FillModeAlternate));
    EXPECT_EQ(path.GetFillMode(), Gdiplus::FillModeAlternate);
}

TEST(PathObjectFigures, FiguresMarkersReverseAndLastPoint) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddLine(0, 0, 10, 0));
    ASSERT_TRUE(path.SetMarker());
    ASSERT_TRUE(path.StartFigure());
    ASSERT_TRUE(path.AddLine(20, 20, 30, 40));
    ExpectPoint(path.GetLastPoint(), 30, 40, "last point");

    std::vector<BYTE> types = TypesOf(path);
    ASSERT_EQ(types.size(), 4u);
    EXPECT_TRUE(types[1] & MarkerFlag);
    EXPECT_EQ(types[2], StartType) << "StartFigure begins a new figure";
    ASSERT_TRUE(path.ClearMarkers());
    EXPECT_FALSE(TypesOf(path)[1] & MarkerFlag);

    // Whether the last, still open figure gets its flag too differs between
    // GDI+ implementations; the earlier one must be closed.
    ASSERT_TRUE(path.CloseAllFigures());
    EXPECT_TRUE(TypesOf(path)[1] & CloseFlag);

    ASSERT_TRUE(path.Reverse());
    ExpectPoint(PointsOf(path)[0], 30, 40, "reversed path starts at the old end");
    ExpectPoint(path.GetLastPoint(), 0, 0, "and ends at the old start");

    ASSERT_TRUE(path.Reset());
    EXPECT_EQ(path.GetPointCount(), 0);
}

TEST(PathObjectFigures, GetLastPointOfAnEmptyPathIsTheZeroPointWithTheStatus) {
    PathObject none;
    LastStatus = 0;
    const PointF point = none.GetLastPoint();
    EXPECT_EQ(point.X, 0);
    EXPECT_EQ(point.Y, 0);
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

TEST(PathObjectFigures, AddPathAppendsTheOtherPathConnectedOrNot) {
    PathObject first, second;
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    ASSERT_TRUE(first.AddLine(0, 0, 1, 1));
    ASSERT_TRUE(second.AddLine(5, 5, 6, 6));
    ASSERT_TRUE(first.AddPath(second, false));
    EXPECT_EQ(TypesOf(first), (std::vector<BYTE>{StartType, LineType, StartType, LineType}));
    ASSERT_TRUE(first.Reset());
    ASSERT_TRUE(first.AddLine(0, 0, 1, 1));
    ASSERT_TRUE(first.AddPath(second, true));
    EXPECT_EQ(TypesOf(first), (std::vector<BYTE>{StartType, LineType, LineType, LineType}));
}

TEST(PathObjectFigures, CloneGivesTheTargetAnIndependentCopy) {
    PathObject source, target;
    ASSERT_TRUE(source.Create(Gdiplus::FillModeWinding));
    ASSERT_TRUE(source.AddRectangle(1, 2, 3, 4));
    ASSERT_TRUE(target.Create());
    ASSERT_TRUE(source.Clone(target));
    ASSERT_TRUE(target.IsValid());
    EXPECT_NE(target.GetNativeHandle(), source.GetNativeHandle());
    EXPECT_EQ(target.GetNativeHandle(), static_cast<void*>(target.Handle()));
    EXPECT_EQ(target.GetPointCount(), 4);
    EXPECT_EQ(target.GetFillMode(), Gdiplus::FillModeWinding);
    ASSERT_TRUE(source.Reset());
    EXPECT_EQ(target.GetPointCount(), 4) << "the copy does not follow the source";

    // Cloning nothing leaves the target empty with the status of the refusal.
    PathObject none;
    EXPECT_FALSE(none.Clone(target));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_FALSE(target.IsValid());
}

// ---------------------------------------------------------------------------
// Transforms, bounds and hit tests

TEST(PathObjectGeometry, TransformMovesEveryPoint) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddRectangle(0, 0, 10, 10));
    const pathtest::Matrix shift = pathtest::NewMatrix(2, 0, 0, 1, 5, 7);
    ASSERT_TRUE(path.Transform(shift.get()));
    const std::vector<PointF> points = PointsOf(path);
    ExpectPoint(points[0], 5, 7, "origin moved");
    ExpectPoint(points[2], 25, 17, "scaled in x and moved");
}

TEST(PathObjectGeometry, BoundsWithAndWithoutAPen) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddRectangle(10, 20, 30, 40));
    PenObject noPen;
    RectF bounds;
    ASSERT_TRUE(path.GetBounds(bounds, nullptr, noPen));
    EXPECT_FLOAT_EQ(bounds.X, 10);
    EXPECT_FLOAT_EQ(bounds.Y, 20);
    EXPECT_FLOAT_EQ(bounds.Width, 30);
    EXPECT_FLOAT_EQ(bounds.Height, 40);

    PenObject wide;
    ASSERT_TRUE(wide.Create(0xFF000000, 8, Gdiplus::UnitPixel));
    RectF stroked;
    ASSERT_TRUE(path.GetBounds(stroked, nullptr, wide));
    EXPECT_LT(stroked.X, bounds.X) << "a stroke widens the bounds";
    EXPECT_GT(stroked.Width, bounds.Width);

    const pathtest::Matrix doubled = pathtest::NewMatrix(2, 0, 0, 2, 0, 0);
    Gdiplus::Rect scaled;
    ASSERT_TRUE(path.GetBoundsI(scaled, doubled.get(), noPen));
    EXPECT_EQ(scaled.X, 20);
    EXPECT_EQ(scaled.Width, 60);
}

TEST(PathObjectGeometry, FlattenTurnsCurvesIntoLines) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddEllipse(0, 0, 100, 100));
    ASSERT_TRUE(path.Flatten());
    const std::vector<BYTE> types = TypesOf(path);
    ASSERT_GT(types.size(), 13u) << "more points than the four Beziers had";
    for (const BYTE type : types)
        EXPECT_NE(type & 0x07, BezierType);
}

TEST(PathObjectGeometry, WidenTurnsALineIntoItsStrokeOutline) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddLine(0, 10, 100, 10));
    PenObject pen;
    ASSERT_TRUE(pen.Create(0xFF000000, 6, Gdiplus::UnitPixel));
    ASSERT_TRUE(path.Widen(pen));
    RectF bounds;
    ASSERT_TRUE(path.GetBounds(bounds, nullptr, PenObject{}));
    EXPECT_NEAR(bounds.Y, 7, 0.5);
    EXPECT_NEAR(bounds.Height, 6, 0.5);
}

TEST(PathObjectGeometry, OutlineRecordsWhatGdiplusAnswers) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddRectangle(0, 0, 10, 10));
    ASSERT_TRUE(path.AddRectangle(5, 5, 10, 10));
    void* const before = path.GetNativeHandle();
    const bool outlined = path.Outline();
    EXPECT_EQ(outlined, LastStatus == 0);
    EXPECT_EQ(path.GetNativeHandle(), before);
    PATHTEST_SKIP_IF_NOT_IMPLEMENTED("GdipWindingModeOutline");
    RectF bounds;
    ASSERT_TRUE(path.GetBounds(bounds, nullptr, PenObject{}));
    EXPECT_NEAR(bounds.Width, 15, 0.5) << "the outline of the union";
}

TEST(PathObjectGeometry, WarpRecordsWhatGdiplusAnswers) {
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddRectangle(0, 0, 10, 10));
    void* const before = path.GetNativeHandle();
    const PointF destination[] = {{0, 0}, {20, 0}, {0, 20}, {20, 20}};
    const bool warped = path.Warp(destination, RectF(0, 0, 10, 10));
    EXPECT_EQ(warped, LastStatus == 0);
    EXPECT_EQ(path.GetNativeHandle(), before);
    PATHTEST_SKIP_IF_NOT_IMPLEMENTED("GdipWarpPath");
    RectF bounds;
    ASSERT_TRUE(path.GetBounds(bounds, nullptr, PenObject{}));
    EXPECT_NEAR(bounds.Width, 20, 0.5) << "the square is stretched onto the destination";
}

TEST(PathObjectGeometry, VisibilityInsideOutsideAndOnTheOutline) {
    TestCanvas canvas(64, 64);
    PathObject path;
    ASSERT_TRUE(path.Create());
    ASSERT_TRUE(path.AddRectangle(10, 10, 20, 20));
    EXPECT_TRUE(path.IsVisiblePoint(15, 15, canvas.Graphics()));
    EXPECT_FALSE(path.IsVisiblePoint(40, 15, canvas.Graphics()));
    EXPECT_TRUE(path.IsVisiblePointI(29, 29, canvas.Graphics()));
    EXPECT_FALSE(path.IsVisiblePointI(5, 5, canvas.Graphics()));
    EXPECT_EQ(LastStatus, 0);

    PenObject pen;
    ASSERT_TRUE(pen.Create(0xFF000000, 4, Gdiplus::UnitPixel));
    EXPECT_TRUE(path.IsOutlineVisiblePoint(10, 20, pen, canvas.Graphics()));
    EXPECT_FALSE(path.IsOutlineVisiblePoint(20, 20, pen, canvas.Graphics()))
        << "the middle is not on the stroke";
    EXPECT_TRUE(path.IsOutlineVisiblePointI(30, 20, pen, canvas.Graphics()));
    EXPECT_FALSE(path.IsOutlineVisiblePointI(50, 50, pen, canvas.Graphics()));

    // Without a path the flag is false and the refusal recorded.
    PathObject none;
    LastStatus = 0;
    EXPECT_FALSE(none.IsVisiblePoint(15, 15, canvas.Graphics()));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}
