// Drawing and filling: every operation and its integer twin paints the
// expected pixels of a canvas and leaves the rest alone.
#include "GraphicsObjectTestSupport.h"

#include <functional>
#include <optional>

using Gdiplus::Point;
using Gdiplus::PointF;
using Gdiplus::Rect;
using Gdiplus::RectF;

namespace {

struct Tools {
    TestPen pen{NewPen(OpaqueRed, 3)};
    TestBrush brush{NewBrush(OpaqueRed)};
    TestPath rectanglePath;
    TestRegion rectangleRegion;

    Tools() {
        Gdiplus::GpPath* path = nullptr;
        GdipCreatePath(Gdiplus::FillModeAlternate, &path);
        GdipAddPathRectangle(path, 15, 15, 30, 30);
        rectanglePath.SetNativeHandle(path);
        const RectF area(15, 15, 30, 30);
        Gdiplus::GpRegion* region = nullptr;
        GdipCreateRegionRect(&area, &region);
        rectangleRegion.SetNativeHandle(region);
    }
};

struct Probe {
    int x, y;
};

struct DrawCase {
    const char* name;
    std::function<bool(GraphicsObject&, Tools&)> draw;
    Probe painted;                  // on the shape
    std::optional<Probe> unpainted; // inside an outline, or a part not asked for
};

// Every shape lies within (10, 10)-(50, 50) of a 64 x 64 canvas.
constexpr Probe Corners[] = {{2, 2}, {61, 2}, {2, 61}, {61, 61}};

const PointF PolylineF[] = {{10, 10}, {50, 10}, {50, 50}};
const Point Polyline[] = {{10, 10}, {50, 10}, {50, 50}};
const PointF BezierF[] = {{10, 30}, {20, 30}, {40, 30}, {50, 30}};
const Point Bezier[] = {{10, 30}, {20, 30}, {40, 30}, {50, 30}};
const RectF SquaresF[] = {{15, 15, 30, 30}};
const Rect Squares[] = {{15, 15, 30, 30}};
const PointF TriangleF[] = {{10, 10}, {50, 10}, {30, 50}};
const Point Triangle[] = {{10, 10}, {50, 10}, {30, 50}};
const PointF ArchF[] = {{10, 30}, {30, 20}, {50, 30}};
const Point Arch[] = {{10, 30}, {30, 20}, {50, 30}};
const PointF ZigzagF[] = {{10, 30}, {20, 20}, {40, 40}, {50, 30}};
const Point Zigzag[] = {{10, 30}, {20, 20}, {40, 40}, {50, 30}};
const PointF DiamondF[] = {{30, 10}, {50, 30}, {30, 50}, {10, 30}};
const Point Diamond[] = {{30, 10}, {50, 30}, {30, 50}, {10, 30}};

using G = GraphicsObject;
using T = Tools;

const DrawCase DrawCases[] = {
    {"DrawLine", [](G& g, T& t) { return g.DrawLine(t.pen, 10, 30, 50, 30); }, {30, 30}, Probe{30, 40}},
    {"DrawLineI", [](G& g, T& t) { return g.DrawLineI(t.pen, 10, 30, 50, 30); }, {30, 30}, Probe{30, 40}},
    {"DrawLines", [](G& g, T& t) { return g.DrawLines(t.pen, PolylineF); }, {50, 30}, Probe{20, 40}},
    {"DrawLinesI", [](G& g, T& t) { return g.DrawLinesI(t.pen, Polyline); }, {50, 30}, Probe{20, 40}},
    {"DrawArc", [](G& g, T& t) { return g.DrawArc(t.pen, 10, 10, 40, 40, 0, 90); }, {44, 44}, Probe{16, 16}},
    {"DrawArcI",
     [](G& g, T& t) { return g.DrawArcI(t.pen, 10, 10, 40, 40, 0, 90); },
     {44, 44},
     Probe{16, 16}},
    {"DrawBezier",
     [](G& g, T& t) { return g.DrawBezier(t.pen, 10, 30, 20, 30, 40, 30, 50, 30); },
     {30, 30},
     Probe{30, 40}},
    {"DrawBezierI",
     [](G& g, T& t) { return g.DrawBezierI(t.pen, 10, 30, 20, 30, 40, 30, 50, 30); },
     {30, 30},
     Probe{30, 40}},
    {"DrawBeziers", [](G& g, T& t) { return g.DrawBeziers(t.pen, BezierF); }, {30, 30}, Probe{30, 40}},
    {"DrawBeziersI", [](G& g, T& t) { return g.DrawBeziersI(t.pen, Bezier); }, {30, 30}, Probe{30, 40}},
    {"DrawRectangle",
     [](G& g, T& t) { return g.DrawRectangle(t.pen, 15, 15, 30, 30); },
     {15, 30},
     Probe{30, 30}},
    {"DrawRectangleI",
     [](G& g, T& t) { return g.DrawRectangleI(t.pen, 15, 15, 30, 30); },
     {15, 30},
     Probe{30, 30}},
    {"DrawRectangles", [](G& g, T& t) { return g.DrawRectangles(t.pen, SquaresF); }, {15, 30}, Probe{30, 30}},
    {"DrawRectanglesI",
     [](G& g, T& t) { return g.DrawRectanglesI(t.pen, Squares); },
     {15, 30},
     Probe{30, 30}},
    {"DrawEllipse", [](G& g, T& t) { return g.DrawEllipse(t.pen, 10, 10, 40, 40); }, {10, 30}, Probe{30, 30}},
    {"DrawEllipseI",
     [](G& g, T& t) { return g.DrawEllipseI(t.pen, 10, 10, 40, 40); },
     {10, 30},
     Probe{30, 30}},
    {"DrawPie", [](G& g, T& t) { return g.DrawPie(t.pen, 10, 10, 40, 40, 0, 90); }, {40, 30}, Probe{38, 38}},
    {"DrawPieI",
     [](G& g, T& t) { return g.DrawPieI(t.pen, 10, 10, 40, 40, 0, 90); },
     {40, 30},
     Probe{38, 38}},
    {"DrawPolygon", [](G& g, T& t) { return g.DrawPolygon(t.pen, TriangleF); }, {30, 10}, Probe{30, 22}},
    {"DrawPolygonI", [](G& g, T& t) { return g.DrawPolygonI(t.pen, Triangle); }, {30, 10}, Probe{30, 22}},
    {"DrawPath", [](G& g, T& t) { return g.DrawPath(t.pen, t.rectanglePath); }, {15, 30}, Probe{30, 30}},
    {"DrawCurve", [](G& g, T& t) { return g.DrawCurve(t.pen, ArchF); }, {30, 20}, Probe{30, 35}},
    {"DrawCurveI", [](G& g, T& t) { return g.DrawCurveI(t.pen, Arch); }, {30, 20}, Probe{30, 35}},
    {"DrawCurveTension",
     [](G& g, T& t) { return g.DrawCurveTension(t.pen, ArchF, 0.5f); },
     {30, 20},
     Probe{30, 35}},
    {"DrawCurveTensionI",
     [](G& g, T& t) { return g.DrawCurveTensionI(t.pen, Arch, 0.5f); },
     {30, 20},
     Probe{30, 35}},
    // Only the middle segment, so the first point stays clear.
    {"DrawCurveSegment",
     [](G& g, T& t) { return g.DrawCurveSegment(t.pen, ZigzagF, 1, 1, 0.5f); },
     {30, 30},
     Probe{10, 30}},
    {"DrawCurveSegmentI",
     [](G& g, T& t) { return g.DrawCurveSegmentI(t.pen, Zigzag, 1, 1, 0.5f); },
     {30, 30},
     Probe{10, 30}},
    {"DrawClosedCurve",
     [](G& g, T& t) { return g.DrawClosedCurve(t.pen, DiamondF); },
     {30, 10},
     Probe{30, 30}},
    {"DrawClosedCurveI",
     [](G& g, T& t) { return g.DrawClosedCurveI(t.pen, Diamond); },
     {30, 10},
     Probe{30, 30}},
    {"DrawClosedCurveTension",
     [](G& g, T& t) { return g.DrawClosedCurveTension(t.pen, DiamondF, 0.3f); },
     {30, 10},
     Probe{30, 30}},
    {"DrawClosedCurveTensionI",
     [](G& g, T& t) { return g.DrawClosedCurveTensionI(t.pen, Diamond, 0.3f); },
     {30, 10},
     Probe{30, 30}},
    {"FillRectangle",
     [](G& g, T& t) { return g.FillRectangle(t.brush, 15, 15, 30, 30); },
     {30, 30},
     Probe{12, 30}},
    {"FillRectangleI",
     [](G& g, T& t) { return g.FillRectangleI(t.brush, 15, 15, 30, 30); },
     {30, 30},
     Probe{12, 30}},
    {"FillRectangles",
     [](G& g, T& t) { return g.FillRectangles(t.brush, SquaresF); },
     {30, 30},
     Probe{12, 30}},
    {"FillRectanglesI",
     [](G& g, T& t) { return g.FillRectanglesI(t.brush, Squares); },
     {30, 30},
     Probe{12, 30}},
    {"FillPolygon", [](G& g, T& t) { return g.FillPolygon(t.brush, TriangleF); }, {30, 22}, Probe{14, 40}},
    {"FillPolygonI", [](G& g, T& t) { return g.FillPolygonI(t.brush, Triangle); }, {30, 22}, Probe{14, 40}},
    {"FillPolygonWinding",
     [](G& g, T& t) { return g.FillPolygon(t.brush, TriangleF, Gdiplus::FillModeWinding); },
     {30, 22},
     Probe{14, 40}},
    {"FillEllipse",
     [](G& g, T& t) { return g.FillEllipse(t.brush, 10, 10, 40, 40); },
     {30, 30},
     Probe{12, 12}},
    {"FillEllipseI",
     [](G& g, T& t) { return g.FillEllipseI(t.brush, 10, 10, 40, 40); },
     {30, 30},
     Probe{12, 12}},
    {"FillPie",
     [](G& g, T& t) { return g.FillPie(t.brush, 10, 10, 40, 40, 0, 90); },
     {38, 38},
     Probe{22, 22}},
    {"FillPieI",
     [](G& g, T& t) { return g.FillPieI(t.brush, 10, 10, 40, 40, 0, 90); },
     {38, 38},
     Probe{22, 22}},
    {"FillPath", [](G& g, T& t) { return g.FillPath(t.brush, t.rectanglePath); }, {30, 30}, Probe{12, 30}},
    {"FillClosedCurve",
     [](G& g, T& t) { return g.FillClosedCurve(t.brush, DiamondF); },
     {30, 30},
     Probe{12, 12}},
    {"FillClosedCurveI",
     [](G& g, T& t) { return g.FillClosedCurveI(t.brush, Diamond); },
     {30, 30},
     Probe{12, 12}},
    {"FillClosedCurveTension",
     [](G& g, T& t) { return g.FillClosedCurveTension(t.brush, DiamondF, 0.3f, Gdiplus::FillModeAlternate); },
     {30, 30},
     Probe{12, 12}},
    {"FillClosedCurveTensionI",
     [](G& g, T& t) { return g.FillClosedCurveTensionI(t.brush, Diamond, 0.3f, Gdiplus::FillModeWinding); },
     {30, 30},
     Probe{12, 12}},
    {"FillRegion",
     [](G& g, T& t) { return g.FillRegion(t.brush, t.rectangleRegion); },
     {30, 30},
     Probe{12, 30}},
};

class GraphicsObjectDrawing : public testing::TestWithParam<DrawCase> {};

} // namespace

TEST_P(GraphicsObjectDrawing, PaintsTheShapeAndNothingFarFromIt) {
    const DrawCase& c = GetParam();
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(64, 64));
    Tools tools;
    LastStatus = -1;
    const bool drawn = c.draw(canvas, tools);
    EXPECT_EQ(drawn, LastStatus == 0) << "result and LastStatus disagree";
    SKIP_IF_NOT_IMPLEMENTED(c.name);
    ASSERT_TRUE(drawn) << "status " << LastStatus;
    EXPECT_TRUE(PaintedNear(canvas, c.painted.x, c.painted.y, 2))
        << "nothing at (" << c.painted.x << ", " << c.painted.y << ")";
    if (c.unpainted) {
        EXPECT_EQ(PixelAt(canvas, c.unpainted->x, c.unpainted->y), 0u)
            << "painted at (" << c.unpainted->x << ", " << c.unpainted->y << ")";
    }
    for (const Probe& corner : Corners)
        EXPECT_EQ(PixelAt(canvas, corner.x, corner.y), 0u)
            << "painted at (" << corner.x << ", " << corner.y << ")";
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, GraphicsObjectDrawing, testing::ValuesIn(DrawCases),
                         [](const testing::TestParamInfo<DrawCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(GraphicsObjectDrawingFailure, DrawingWithoutACanvasRecordsInvalidParameterAndPaintsNothing) {
    Tools tools;
    for (const DrawCase& c : DrawCases) {
        GraphicsObject empty;
        LastStatus = 0;
        EXPECT_FALSE(c.draw(empty, tools)) << c.name;
        EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter) << c.name;
    }
}

TEST(GraphicsObjectDrawingFailure, DrawingWithAnEmptyPenOrBrushRecordsInvalidParameter) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(16, 16));
    TestPen noPen;
    TestBrush noBrush;
    LastStatus = 0;
    EXPECT_FALSE(canvas.DrawLine(noPen, 0, 0, 10, 10));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    LastStatus = 0;
    EXPECT_FALSE(canvas.FillRectangleI(noBrush, 0, 0, 10, 10));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_EQ(PaintedCount(canvas), 0);
}

TEST(GraphicsObjectDrawingState, ClearPaintsEveryPixelWithTheColour) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(7, 5));
    ASSERT_TRUE(canvas.Clear(0x80402010));
    // Premultiplied or not, every pixel carries the colour's alpha.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(PixelAt(canvas, x, y) >> 24, 0x80u);
    ASSERT_TRUE(canvas.Clear(OpaqueBlue));
    EXPECT_EQ(PixelAt(canvas, 6, 4), OpaqueBlue);
}
