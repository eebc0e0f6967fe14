#pragma once
// PathObject: a GDI+ path (GpPath). The clock builds its backdrop, panel and
// time text as paths and then strokes and fills them.
//
// Arrays go to GDI+ straight from the caller's contiguous records (GDI+ point
// and rectangle records are the native layout); output arrays are resized to
// exactly the count GDI+ reports, with fresh zeroed elements.
#include "graphics/GraphicsObjectBase.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class PenObject;
class FontFamilyObject;
class StringFormatObject;

// The points and point types of a path, as GetPathData fills them.
struct PathDataRecord {
    int count = 0;
    std::vector<Gdiplus::PointF> points;
    std::vector<BYTE> types;
};

class PathObject : public SingleLevelObject<Gdiplus::GpPath> {
public:
    using GpMatrix = Gdiplus::GpMatrix;

    PathObject() = default;
    ~PathObject() override { Delete(); }

    bool Delete();
    bool Create(int fillMode = Gdiplus::FillModeAlternate);
    bool CreateFromPoints(std::span<const Gdiplus::PointF> points, std::span<const BYTE> types,
                          int fillMode = Gdiplus::FillModeAlternate);
    bool CreateFromPointsI(std::span<const Gdiplus::Point> points, std::span<const BYTE> types,
                           int fillMode = Gdiplus::FillModeAlternate);
    // Clones this path into target; target's previous path is released.
    bool Clone(PathObject& target) const;
    bool Reset();
    int GetFillMode() const;
    bool SetFillMode(int fillMode);

    bool GetPathData(PathDataRecord& data) const;
    // Without a count the path's own count is queried; a failed query or an
    // empty path answers false and leaves the array as it was.
    bool GetPathTypes(std::vector<BYTE>& types, std::optional<int> count = std::nullopt) const;
    bool GetPathPoints(std::vector<Gdiplus::PointF>& points, std::optional<int> count = std::nullopt) const;
    bool GetPathPointsI(std::vector<Gdiplus::Point>& points, std::optional<int> count = std::nullopt) const;

    bool StartFigure();
    bool CloseFigure();
    bool CloseAllFigures();
    bool SetMarker();
    bool ClearMarkers();
    bool Reverse();
    Gdiplus::PointF GetLastPoint() const;

    bool AddLine(float x1, float y1, float x2, float y2);
    bool AddLineI(int x1, int y1, int x2, int y2);
    bool AddLines(std::span<const Gdiplus::PointF> points);
    bool AddLinesI(std::span<const Gdiplus::Point> points);
    bool AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle);
    bool AddArcI(int x, int y, int width, int height, float startAngle, float sweepAngle);
    bool AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
    bool AddBezierI(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    bool AddBeziers(std::span<const Gdiplus::PointF> points);
    bool AddBeziersI(std::span<const Gdiplus::Point> points);
    bool AddCurve(std::span<const Gdiplus::PointF> points);
    bool AddCurveTension(std::span<const Gdiplus::PointF> points, float tension);
    bool AddCurveSegment(std::span<const Gdiplus::PointF> points, int offset, int numberOfSegments,
                         float tension);
    bool AddCurveI(std::span<const Gdiplus::Point> points);
    bool AddCurveTensionI(std::span<const Gdiplus::Point> points, float tension);
    bool AddCurveSegmentI(std::span<const Gdiplus::Point> points, int offset, int numberOfSegments,
                          float tension);
    bool AddClosedCurve(std::span<const Gdiplus::PointF> points);
    bool AddClosedCurveTension(std::span<const Gdiplus::PointF> points, float tension);
    bool AddClosedCurveI(std::span<const Gdiplus::Point> points);
    bool AddClosedCurveTensionI(std::span<const Gdiplus::Point> points, float tension);
    bool AddRectangle(float x, float y, float width, float height);
    // A closed figure of four 90-degree arcs whose ellipses are percent of the
    // width and height (percent clamped to 1..100, sizes truncated). Answers
    // the status of the closing call.
    bool AddRoundedRectangle(float x, float y, float width, float height, int percent);
    bool AddRectangles(std::span<const Gdiplus::RectF> rectangles);
    bool AddRectangleI(int x, int y, int width, int height);
    bool AddRectanglesI(std::span<const Gdiplus::Rect> rectangles);
    bool AddEllipse(float x, float y, float width, float height);
    bool AddEllipseI(int x, int y, int width, int height);
    bool AddPie(float x, float y, float width, float height, float startAngle, float sweepAngle);
    bool AddPieI(int x, int y, int width, int height, float startAngle, float sweepAngle);
    bool AddPolygon(std::span<const Gdiplus::PointF> points);
    bool AddPolygonI(std::span<const Gdiplus::Point> points);
    bool AddPath(const PathObject& other, bool connect);

    // Text outlines. The em size comes before the layout and the style after
    // it, unlike GdipAddPathString; an empty format wrapper means GDI+'s default.
    bool AddString(std::string_view text, const FontFamilyObject& family, int emSize,
                   const Gdiplus::RectF& layout, int style, const StringFormatObject& format);
    // A fractional em size, as a scaled font size gives.
    bool AddString(std::string_view text, const FontFamilyObject& family, float emSize,
                   const Gdiplus::RectF& layout, int style, const StringFormatObject& format);
    bool AddStringW(const std::wstring& text, const FontFamilyObject& family, int emSize,
                    const Gdiplus::RectF& layout, int style, const StringFormatObject& format);
    bool AddStringW(const std::wstring& text, const FontFamilyObject& family, float emSize,
                    const Gdiplus::RectF& layout, int style, const StringFormatObject& format);
    bool AddStringI(std::string_view text, const FontFamilyObject& family, int emSize,
                    const Gdiplus::Rect& layout, int style, const StringFormatObject& format);
    bool AddStringIW(const std::wstring& text, const FontFamilyObject& family, int emSize,
                     const Gdiplus::Rect& layout, int style, const StringFormatObject& format);

    bool Transform(GpMatrix* matrix);
    bool Flatten(GpMatrix* matrix = nullptr, float flatness = DefaultFlatness);
    bool Widen(const PenObject& pen, GpMatrix* matrix = nullptr, float flatness = DefaultFlatness);
    bool Outline(GpMatrix* matrix = nullptr, float flatness = DefaultFlatness);
    bool Warp(std::span<const Gdiplus::PointF> destination, const Gdiplus::RectF& source,
              GpMatrix* matrix = nullptr, int warpMode = Gdiplus::WarpModePerspective,
              float flatness = DefaultFlatness);

    int GetPointCount() const;
    // An empty pen wrapper means bounds without a stroke.
    bool GetBounds(Gdiplus::RectF& bounds, GpMatrix* matrix, const PenObject& pen) const;
    bool GetBoundsI(Gdiplus::Rect& bounds, GpMatrix* matrix, const PenObject& pen) const;
    bool IsVisiblePoint(float x, float y, const GraphicsObjectBase& graphics) const;
    bool IsVisiblePointI(int x, int y, const GraphicsObjectBase& graphics) const;
    bool IsOutlineVisiblePoint(float x, float y, const PenObject& pen,
                               const GraphicsObjectBase& graphics) const;
    bool IsOutlineVisiblePointI(int x, int y, const PenObject& pen, const GraphicsObjectBase& graphics) const;

    static constexpr float DefaultFlatness = 0.25f;
};
