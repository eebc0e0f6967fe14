// GraphicsObject: drawing, filling, text, images and metafile enumeration.
#include "graphics/GraphicsObject.h"

#include "graphics/ArrayMarshalling.h"

using namespace Gdiplus;

namespace {

GpPen* PenOf(const GraphicsObjectBase& pen) {
    return NativeOf<GpPen>(pen);
}
GpBrush* BrushOf(const GraphicsObjectBase& brush) {
    return NativeOf<GpBrush>(brush);
}
GpImage* ImageOf(const GraphicsObjectBase& image) {
    return NativeOf<GpImage>(image);
}
GpImageAttributes* AttributesOf(const GraphicsObjectBase* attributes) {
    return NativeOf<GpImageAttributes>(attributes);
}

// The W operations pass the caller's UTF-16 as is, null when empty.
const WCHAR* WideData(std::wstring_view text) {
    return text.empty() ? nullptr : text.data();
}

} // namespace

// ---- drawing ----------------------------------------------------------------

bool GraphicsObject::DrawLine(const GraphicsObjectBase& pen, float x1, float y1, float x2, float y2) {
    return RecordStatus(GdipDrawLine(handle, PenOf(pen), x1, y1, x2, y2));
}

bool GraphicsObject::DrawLineI(const GraphicsObjectBase& pen, INT x1, INT y1, INT x2, INT y2) {
    return RecordStatus(GdipDrawLineI(handle, PenOf(pen), x1, y1, x2, y2));
}

bool GraphicsObject::DrawLines(const GraphicsObjectBase& pen, std::span<const PointF> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawLines(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawLinesI(const GraphicsObjectBase& pen, std::span<const Point> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawLinesI(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawArc(const GraphicsObjectBase& pen, float x, float y, float arcWidth, float arcHeight,
                             float startAngle, float sweepAngle) {
    return RecordStatus(GdipDrawArc(handle, PenOf(pen), x, y, arcWidth, arcHeight, startAngle, sweepAngle));
}

bool GraphicsObject::DrawArcI(const GraphicsObjectBase& pen, INT x, INT y, INT arcWidth, INT arcHeight,
                              float startAngle, float sweepAngle) {
    return RecordStatus(GdipDrawArcI(handle, PenOf(pen), x, y, arcWidth, arcHeight, startAngle, sweepAngle));
}

bool GraphicsObject::DrawBezier(const GraphicsObjectBase& pen, float x1, float y1, float x2, float y2,
                                float x3, float y3, float x4, float y4) {
    return RecordStatus(GdipDrawBezier(handle, PenOf(pen), x1, y1, x2, y2, x3, y3, x4, y4));
}

bool GraphicsObject::DrawBezierI(const GraphicsObjectBase& pen, INT x1, INT y1, INT x2, INT y2, INT x3,
                                 INT y3, INT x4, INT y4) {
    return RecordStatus(GdipDrawBezierI(handle, PenOf(pen), x1, y1, x2, y2, x3, y3, x4, y4));
}

bool GraphicsObject::DrawBeziers(const GraphicsObjectBase& pen, std::span<const PointF> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawBeziers(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawBeziersI(const GraphicsObjectBase& pen, std::span<const Point> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawBeziersI(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawRectangle(const GraphicsObjectBase& pen, float x, float y, float rectWidth,
                                   float rectHeight) {
    return RecordStatus(GdipDrawRectangle(handle, PenOf(pen), x, y, rectWidth, rectHeight));
}

bool GraphicsObject::DrawRectangleI(const GraphicsObjectBase& pen, INT x, INT y, INT rectWidth,
                                    INT rectHeight) {
    return RecordStatus(GdipDrawRectangleI(handle, PenOf(pen), x, y, rectWidth, rectHeight));
}

bool GraphicsObject::DrawRectangles(const GraphicsObjectBase& pen, std::span<const RectF> rects) {
    return RequirePositiveCount(CountOf(rects)) &&
           RecordStatus(GdipDrawRectangles(handle, PenOf(pen), rects.data(), CountOf(rects)));
}

bool GraphicsObject::DrawRectanglesI(const GraphicsObjectBase& pen, std::span<const Rect> rects) {
    return RequirePositiveCount(CountOf(rects)) &&
           RecordStatus(GdipDrawRectanglesI(handle, PenOf(pen), rects.data(), CountOf(rects)));
}

bool GraphicsObject::DrawEllipse(const GraphicsObjectBase& pen, float x, float y, float ellipseWidth,
                                 float ellipseHeight) {
    return RecordStatus(GdipDrawEllipse(handle, PenOf(pen), x, y, ellipseWidth, ellipseHeight));
}

bool GraphicsObject::DrawEllipseI(const GraphicsObjectBase& pen, INT x, INT y, INT ellipseWidth,
                                  INT ellipseHeight) {
    return RecordStatus(GdipDrawEllipseI(handle, PenOf(pen), x, y, ellipseWidth, ellipseHeight));
}

bool GraphicsObject::DrawPie(const GraphicsObjectBase& pen, float x, float y, float pieWidth, float pieHeight,
                             float startAngle, float sweepAngle) {
    return RecordStatus(GdipDrawPie(handle, PenOf(pen), x, y, pieWidth, pieHeight, startAngle, sweepAngle));
}

bool GraphicsObject::DrawPieI(const GraphicsObjectBase& pen, INT x, INT y, INT pieWidth, INT pieHeight,
                              float startAngle, float sweepAngle) {
    return RecordStatus(GdipDrawPieI(handle, PenOf(pen), x, y, pieWidth, pieHeight, startAngle, sweepAngle));
}

bool GraphicsObject::DrawPolygon(const GraphicsObjectBase& pen, std::span<const PointF> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawPolygon(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawPolygonI(const GraphicsObjectBase& pen, std::span<const Point> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawPolygonI(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawPath(const GraphicsObjectBase& pen, const GraphicsObjectBase& path) {
    return RecordStatus(GdipDrawPath(handle, PenOf(pen), NativeOf<GpPath>(path)));
}

bool GraphicsObject::DrawCurve(const GraphicsObjectBase& pen, std::span<const PointF> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawCurve(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawCurveI(const GraphicsObjectBase& pen, std::span<const Point> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawCurveI(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawCurveTension(const GraphicsObjectBase& pen, std::span<const PointF> points,
                                      float tension) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawCurve2(handle, PenOf(pen), points.data(), CountOf(points), tension));
}

bool GraphicsObject::DrawCurveTensionI(const GraphicsObjectBase& pen, std::span<const Point> points,
                                       float tension) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawCurve2I(handle, PenOf(pen), points.data(), CountOf(points), tension));
}

bool GraphicsObject::DrawCurveSegment(const GraphicsObjectBase& pen, std::span<const PointF> points,
                                      INT offset, INT segments, float tension) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(
               GdipDrawCurve3(handle, PenOf(pen), points.data(), CountOf(points), offset, segments, tension));
}

bool GraphicsObject::DrawCurveSegmentI(const GraphicsObjectBase& pen, std::span<const Point> points,
                                       INT offset, INT segments, float tension) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawCurve3I(handle, PenOf(pen), points.data(), CountOf(points), offset, segments,
                                        tension));
}

bool GraphicsObject::DrawClosedCurve(const GraphicsObjectBase& pen, std::span<const PointF> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawClosedCurve(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawClosedCurveI(const GraphicsObjectBase& pen, std::span<const Point> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawClosedCurveI(handle, PenOf(pen), points.data(), CountOf(points)));
}

bool GraphicsObject::DrawClosedCurveTension(const GraphicsObjectBase& pen, std::span<const PointF> points,
                                            float tension) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawClosedCurve2(handle, PenOf(pen), points.data(), CountOf(points), tension));
}

bool GraphicsObject::DrawClosedCurveTensionI(const GraphicsObjectBase& pen, std::span<const Point> points,
                                             float tension) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipDrawClosedCurve2I(handle, PenOf(pen), points.data(), CountOf(points), tension));
}

// ---- filling ------------------------------------------------------------------

bool GraphicsObject::FillRectangle(const GraphicsObjectBase& brush, float x, float y, float rectWidth,
                                   float rectHeight) {
    return RecordStatus(GdipFillRectangle(handle, BrushOf(brush), x, y, rectWidth, rectHeight));
}

bool GraphicsObject::FillRectangleI(const GraphicsObjectBase& brush, INT x, INT y, INT rectWidth,
                                    INT rectHeight) {
    return RecordStatus(GdipFillRectangleI(handle, BrushOf(brush), x, y, rectWidth, rectHeight));
}

bool GraphicsObject::FillRectangles(const GraphicsObjectBase& brush, std::span<const RectF> rects) {
    return RequirePositiveCount(CountOf(rects)) &&
           RecordStatus(GdipFillRectangles(handle, BrushOf(brush), rects.data(), CountOf(rects)));
}

bool GraphicsObject::FillRectanglesI(const GraphicsObjectBase& brush, std::span<const Rect> rects) {
    return RequirePositiveCount(CountOf(rects)) &&
           RecordStatus(GdipFillRectanglesI(handle, BrushOf(brush), rects.data(), CountOf(rects)));
}

bool GraphicsObject::FillPolygon(const GraphicsObjectBase& brush, std::span<const PointF> points,
                                 FillMode fillMode) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipFillPolygon(handle, BrushOf(brush), points.data(), CountOf(points), fillMode));
}

bool GraphicsObject::FillPolygonI(const GraphicsObjectBase& brush, std::span<const Point> points,
                                  FillMode fillMode) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipFillPolygonI(handle, BrushOf(brush), points.data(), CountOf(points), fillMode));
}

bool GraphicsObject::FillEllipse(const GraphicsObjectBase& brush, float x, float y, float ellipseWidth,
                                 float ellipseHeight) {
    return RecordStatus(GdipFillEllipse(handle, BrushOf(brush), x, y, ellipseWidth, ellipseHeight));
}

bool GraphicsObject::FillEllipseI(const GraphicsObjectBase& brush, INT x, INT y, INT ellipseWidth,
                                  INT ellipseHeight) {
    return RecordStatus(GdipFillEllipseI(handle, BrushOf(brush), x, y, ellipseWidth, ellipseHeight));
}

bool GraphicsObject::FillPie(const GraphicsObjectBase& brush, float x, float y, float pieWidth,
                             float pieHeight, float startAngle, float sweepAngle) {
    return RecordStatus(
        GdipFillPie(handle, BrushOf(brush), x, y, pieWidth, pieHeight, startAngle, sweepAngle));
}

bool GraphicsObject::FillPieI(const GraphicsObjectBase& brush, INT x, INT y, INT pieWidth, INT pieHeight,
                              float startAngle, float sweepAngle) {
    return RecordStatus(
        GdipFillPieI(handle, BrushOf(brush), x, y, pieWidth, pieHeight, startAngle, sweepAngle));
}

bool GraphicsObject::FillPath(const GraphicsObjectBase& brush, const GraphicsObjectBase& path) {
    return RecordStatus(GdipFillPath(handle, BrushOf(brush), NativeOf<GpPath>(path)));
}

bool GraphicsObject::FillClosedCurve(const GraphicsObjectBase& brush, std::span<const PointF> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipFillClosedCurve(handle, BrushOf(brush), points.data(), CountOf(points)));
}

bool GraphicsObject::FillClosedCurveTension(const GraphicsObjectBase& brush, std::span<const PointF> points,
                                            float tension, FillMode fillMode) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipFillClosedCurve2(handle, BrushOf(brush), points.data(), CountOf(points), tension,
                                             fillMode));
}

bool GraphicsObject::FillClosedCurveI(const GraphicsObjectBase& brush, std::span<const Point> points) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipFillClosedCurveI(handle, BrushOf(brush), points.data(), CountOf(points)));
}

bool GraphicsObject::FillClosedCurveTensionI(const GraphicsObjectBase& brush, std::span<const Point> points,
                                             float tension, FillMode fillMode) {
    return RequirePositiveCount(CountOf(points)) &&
           RecordStatus(GdipFillClosedCurve2I(handle, BrushOf(brush), points.data(), CountOf(points), tension,
                                              fillMode));
}

bool GraphicsObject::FillRegion(const GraphicsObjectBase& brush, const GraphicsObjectBase& region) {
    return RecordStatus(GdipFillRegion(handle, BrushOf(brush), NativeOf<GpRegion>(region)));
}

// ---- text -----------------------------------------------------------------------

bool GraphicsObject::DrawString(std::string_view text, GpFont* font, const GraphicsObjectBase& brush,
                                const RectF& layout, const GraphicsObjectBase& format) {
    const std::wstring wide = AnsiToWide(text);
    return RecordStatus(GdipDrawString(handle, wide.c_str(), WideLength(wide), font, &layout,
                                       NativeOf<GpStringFormat>(format), BrushOf(brush)));
}

bool GraphicsObject::DrawStringW(std::wstring_view text, GpFont* font, const GraphicsObjectBase& brush,
                                 const RectF& layout, const GraphicsObjectBase& format) {
    return RecordStatus(GdipDrawString(handle, WideData(text), WideLength(text), font, &layout,
                                       NativeOf<GpStringFormat>(format), BrushOf(brush)));
}

bool GraphicsObject::MeasureString(std::string_view text, GpFont* font, const RectF& layout,
                                   const GraphicsObjectBase& format, RectF& bounds) {
    const std::wstring wide = AnsiToWide(text);
    return RecordStatus(GdipMeasureString(handle, wide.c_str(), WideLength(wide), font, &layout,
                                          NativeOf<GpStringFormat>(format), &bounds, nullptr, nullptr));
}

bool GraphicsObject::MeasureStringW(std::wstring_view text, GpFont* font, const RectF& layout,
                                    const GraphicsObjectBase& format, RectF& bounds) {
    return RecordStatus(GdipMeasureString(handle, WideData(text), WideLength(text), font, &layout,
                                          NativeOf<GpStringFormat>(format), &bounds, nullptr, nullptr));
}

std::vector<GpRegion*> GraphicsObject::MeasureRanges(const WCHAR* text, INT length, GpFont* font,
                                                     const RectF& layout, const GraphicsObjectBase& format,
                                                     INT count) {
    std::vector<GpRegion*> natives;
    if (!RequirePositiveCount(count))
        return natives;
    const auto discard = [&natives] {
        for (GpRegion* region : natives)
            GdipDeleteRegion(region);
        natives.clear();
    };
    natives.reserve(static_cast<std::size_t>(count));
    for (INT i = 0; i < count; ++i) {
        GpRegion* region = nullptr;
        if (!RecordStatus(GdipCreateRegion(&region))) {
            discard();
            return natives;
        }
        natives.push_back(region);
    }
    if (!RecordStatus(GdipMeasureCharacterRanges(handle, text, length, font, layout,
                                                 NativeOf<GpStringFormat>(format), count, natives.data()))) {
        // Deleting leaves LastStatus as GDI+ answered the measurement.
        discard();
    }
    return natives;
}

bool GraphicsObject::DriverString(const WCHAR* text, INT length, GpFont* font,
                                  const GraphicsObjectBase& brush, std::span<const PointF> positions,
                                  INT flags, GpMatrix* matrix) {
    // GDI+ reads one position per character unless told that the first
    // position is the origin of the whole run.
    const bool onePosition = (flags & DriverStringOptionsRealizedAdvance) != 0;
    const INT needed = onePosition ? 1 : length;
    if (!RequirePositiveCount(CountOf(positions)) || CountOf(positions) < needed) {
        LastStatus = InvalidParameterStatus;
        return false;
    }
    return RecordStatus(GdipDrawDriverString(handle, reinterpret_cast<const UINT16*>(text), length, font,
                                             BrushOf(brush), positions.data(), flags, matrix));
}

bool GraphicsObject::DrawDriverString(std::string_view text, GpFont* font, const GraphicsObjectBase& brush,
                                      std::span<const PointF> positions, INT flags, GpMatrix* matrix) {
    const std::wstring wide = AnsiToWide(text);
    return DriverString(wide.c_str(), WideLength(wide), font, brush, positions, flags, matrix);
}

bool GraphicsObject::DrawDriverStringW(std::wstring_view text, GpFont* font, const GraphicsObjectBase& brush,
                                       std::span<const PointF> positions, INT flags, GpMatrix* matrix) {
    return DriverString(WideData(text), WideLength(text), font, brush, positions, flags, matrix);
}

// ---- images -----------------------------------------------------------------------

bool GraphicsObject::ImageSize(GpImage* image, UINT& imageWidth, UINT& imageHeight) {
    imageWidth = 0;
    imageHeight = 0;
    return RecordStatus(GdipGetImageWidth(image, &imageWidth)) &&
           RecordStatus(GdipGetImageHeight(image, &imageHeight));
}

bool GraphicsObject::DrawImageAt(const GraphicsObjectBase& image, float x, float y, Unit unit,
                                 const GraphicsObjectBase* attributes) {
    UINT w = 0, h = 0;
    if (!ImageSize(ImageOf(image), w, h))
        return false;
    const auto fw = static_cast<REAL>(w), fh = static_cast<REAL>(h);
    return RecordStatus(GdipDrawImageRectRect(handle, ImageOf(image), x, y, fw, fh, 0, 0, fw, fh, unit,
                                              AttributesOf(attributes), nullptr, nullptr));
}

bool GraphicsObject::DrawImageAtI(const GraphicsObjectBase& image, INT x, INT y, Unit unit,
                                  const GraphicsObjectBase* attributes) {
    UINT w = 0, h = 0;
    if (!ImageSize(ImageOf(image), w, h))
        return false;
    const auto iw = static_cast<INT>(w), ih = static_cast<INT>(h);
    return RecordStatus(GdipDrawImageRectRectI(handle, ImageOf(image), x, y, iw, ih, 0, 0, iw, ih, unit,
                                               AttributesOf(attributes), nullptr, nullptr));
}

bool GraphicsObject::DrawImage(const GraphicsObjectBase& image, float x, float y) {
    return RecordStatus(GdipDrawImage(handle, ImageOf(image), x, y));
}

bool GraphicsObject::DrawImageI(const GraphicsObjectBase& image, INT x, INT y) {
    return RecordStatus(GdipDrawImageI(handle, ImageOf(image), x, y));
}

bool GraphicsObject::DrawCachedBitmap(GpCachedBitmap* cachedBitmap, float x, float y) {
    return RecordStatus(GdipDrawCachedBitmap(handle, cachedBitmap, static_cast<INT>(x), static_cast<INT>(y)));
}

bool GraphicsObject::DrawImageRect(const GraphicsObjectBase& image, float x, float y, float rectWidth,
                                   float rectHeight, Unit unit, const GraphicsObjectBase* attributes) {
    UINT w = 0, h = 0;
    if (!ImageSize(ImageOf(image), w, h))
        return false;
    return RecordStatus(GdipDrawImageRectRect(handle, ImageOf(image), x, y, rectWidth, rectHeight, 0, 0,
                                              static_cast<REAL>(w), static_cast<REAL>(h), unit,
                                              AttributesOf(attributes), nullptr, nullptr));
}

bool GraphicsObject::DrawImageRectI(const GraphicsObjectBase& image, INT x, INT y, INT rectWidth,
                                    INT rectHeight, Unit unit, const GraphicsObjectBase* attributes) {
    UINT w = 0, h = 0;
    if (!ImageSize(ImageOf(image), w, h))
        return false;
    return RecordStatus(GdipDrawImageRectRectI(handle, ImageOf(image), x, y, rectWidth, rectHeight, 0, 0,
                                               static_cast<INT>(w), static_cast<INT>(h), unit,
                                               AttributesOf(attributes), nullptr, nullptr));
}

bool GraphicsObject::DrawImageParallelogram(const GraphicsObjectBase& image, float x1, float y1, float x2,
                                            float y2, float x3, float y3, Unit unit,
                                            const GraphicsObjectBase* attributes) {
    UINT w = 0, h = 0;
    if (!ImageSize(ImageOf(image), w, h))
        return false;
    const PointF corners[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
    return RecordStatus(GdipDrawImagePointsRect(handle, ImageOf(image), corners, 3, 0, 0,
                                                static_cast<REAL>(w), static_cast<REAL>(h), unit,
                                                AttributesOf(attributes), nullptr, nullptr));
}

bool GraphicsObject::DrawImageParallelogramI(const GraphicsObjectBase& image, INT x1, INT y1, INT x2, INT y2,
                                             INT x3, INT y3, Unit unit,
                                             const GraphicsObjectBase* attributes) {
    UINT w = 0, h = 0;
    if (!ImageSize(ImageOf(image), w, h))
        return false;
    const Point corners[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
    return RecordStatus(GdipDrawImagePointsRectI(handle, ImageOf(image), corners, 3, 0, 0,
                                                 static_cast<INT>(w), static_cast<INT>(h), unit,
                                                 AttributesOf(attributes), nullptr, nullptr));
}

bool GraphicsObject::DrawImagePointRect(const GraphicsObjectBase& image, float x, float y, float sourceX,
                                        float sourceY, float sourceWidth, float sourceHeight, Unit unit) {
    return RecordStatus(GdipDrawImagePointRect(handle, ImageOf(image), x, y, sourceX, sourceY, sourceWidth,
                                               sourceHeight, unit));
}

bool GraphicsObject::DrawImagePointRectI(const GraphicsObjectBase& image, INT x, INT y, INT sourceX,
                                         INT sourceY, INT sourceWidth, INT sourceHeight, Unit unit) {
    return RecordStatus(GdipDrawImagePointRectI(handle, ImageOf(image), x, y, sourceX, sourceY, sourceWidth,
                                                sourceHeight, unit));
}

bool GraphicsObject::DrawImagePart(const GraphicsObjectBase& image, float x, float y, float sourceX,
                                   float sourceY, float partWidth, float partHeight, Unit unit,
                                   const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipDrawImageRectRect(handle, ImageOf(image), x, y, partWidth, partHeight, sourceX,
                                              sourceY, partWidth, partHeight, unit, AttributesOf(attributes),
                                              nullptr, nullptr));
}

bool GraphicsObject::DrawImagePartI(const GraphicsObjectBase& image, INT x, INT y, INT sourceX, INT sourceY,
                                    INT partWidth, INT partHeight, Unit unit,
                                    const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipDrawImageRectRectI(handle, ImageOf(image), x, y, partWidth, partHeight, sourceX,
                                               sourceY, partWidth, partHeight, unit, AttributesOf(attributes),
                                               nullptr, nullptr));
}

bool GraphicsObject::DrawImageRectRect(const GraphicsObjectBase& image, float x, float y, float rectWidth,
                                       float rectHeight, float sourceX, float sourceY, float sourceWidth,
                                       float sourceHeight, Unit unit, const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipDrawImageRectRect(handle, ImageOf(image), x, y, rectWidth, rectHeight, sourceX,
                                              sourceY, sourceWidth, sourceHeight, unit,
                                              AttributesOf(attributes), nullptr, nullptr));
}

bool GraphicsObject::DrawImageRectRectI(const GraphicsObjectBase& image, INT x, INT y, INT rectWidth,
                                        INT rectHeight, INT sourceX, INT sourceY, INT sourceWidth,
                                        INT sourceHeight, Unit unit, const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipDrawImageRectRectI(handle, ImageOf(image), x, y, rectWidth, rectHeight, sourceX,
                                               sourceY, sourceWidth, sourceHeight, unit,
                                               AttributesOf(attributes), nullptr, nullptr));
}

bool GraphicsObject::DrawImagePointsRect(const GraphicsObjectBase& image, float x1, float y1, float x2,
                                         float y2, float x3, float y3, float sourceX, float sourceY,
                                         float sourceWidth, float sourceHeight, Unit unit,
                                         const GraphicsObjectBase* attributes) {
    const PointF corners[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
    return RecordStatus(GdipDrawImagePointsRect(handle, ImageOf(image), corners, 3, sourceX, sourceY,
                                                sourceWidth, sourceHeight, unit, AttributesOf(attributes),
                                                nullptr, nullptr));
}

bool GraphicsObject::DrawImagePointsRectI(const GraphicsObjectBase& image, INT x1, INT y1, INT x2, INT y2,
                                          INT x3, INT y3, INT sourceX, INT sourceY, INT sourceWidth,
                                          INT sourceHeight, Unit unit, const GraphicsObjectBase* attributes) {
    const Point corners[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
    return RecordStatus(GdipDrawImagePointsRectI(handle, ImageOf(image), corners, 3, sourceX, sourceY,
                                                 sourceWidth, sourceHeight, unit, AttributesOf(attributes),
                                                 nullptr, nullptr));
}

// ---- metafile enumeration ------------------------------------------------------------

bool GraphicsObject::EnumerateMetafileDestPoint(GpMetafile* metafile, const PointF& destination,
                                                MetafileProc callback, void* callbackData,
                                                const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipEnumerateMetafileDestPoint(handle, metafile, destination, callback, callbackData,
                                                       AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileDestPointI(GpMetafile* metafile, const Point& destination,
                                                 MetafileProc callback, void* callbackData,
                                                 const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipEnumerateMetafileDestPointI(handle, metafile, destination, callback, callbackData,
                                                        AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileDestPoints(GpMetafile* metafile, std::span<const PointF> destination,
                                                 MetafileProc callback, void* callbackData,
                                                 const GraphicsObjectBase* attributes) {
    return RequirePositiveCount(CountOf(destination)) &&
           RecordStatus(GdipEnumerateMetafileDestPoints(handle, metafile, destination.data(),
                                                        CountOf(destination), callback, callbackData,
                                                        AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileDestPointsI(GpMetafile* metafile, std::span<const Point> destination,
                                                  MetafileProc callback, void* callbackData,
                                                  const GraphicsObjectBase* attributes) {
    return RequirePositiveCount(CountOf(destination)) &&
           RecordStatus(GdipEnumerateMetafileDestPointsI(handle, metafile, destination.data(),
                                                         CountOf(destination), callback, callbackData,
                                                         AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileDestRect(GpMetafile* metafile, const RectF& destination,
                                               MetafileProc callback, void* callbackData,
                                               const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipEnumerateMetafileDestRect(handle, metafile, destination, callback, callbackData,
                                                      AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileDestRectI(GpMetafile* metafile, const Rect& destination,
                                                MetafileProc callback, void* callbackData,
                                                const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipEnumerateMetafileDestRectI(handle, metafile, destination, callback, callbackData,
                                                       AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileSrcRectDestPoint(GpMetafile* metafile, const PointF& destination,
                                                       const RectF& source, Unit unit, MetafileProc callback,
                                                       void* callbackData,
                                                       const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipEnumerateMetafileSrcRectDestPoint(
        handle, metafile, destination, source, unit, callback, callbackData, AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileSrcRectDestPointI(GpMetafile* metafile, const Point& destination,
                                                        const Rect& source, Unit unit, MetafileProc callback,
                                                        void* callbackData,
                                                        const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipEnumerateMetafileSrcRectDestPointI(
        handle, metafile, destination, source, unit, callback, callbackData, AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileSrcRectDestPoints(GpMetafile* metafile,
                                                        std::span<const PointF> destination,
                                                        const RectF& source, Unit unit, MetafileProc callback,
                                                        void* callbackData,
                                                        const GraphicsObjectBase* attributes) {
    return RequirePositiveCount(CountOf(destination)) &&
           RecordStatus(GdipEnumerateMetafileSrcRectDestPoints(handle, metafile, destination.data(),
                                                               CountOf(destination), source, unit, callback,
                                                               callbackData, AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileSrcRectDestPointsI(GpMetafile* metafile,
                                                         std::span<const Point> destination,
                                                         const Rect& source, Unit unit, MetafileProc callback,
                                                         void* callbackData,
                                                         const GraphicsObjectBase* attributes) {
    return RequirePositiveCount(CountOf(destination)) &&
           RecordStatus(GdipEnumerateMetafileSrcRectDestPointsI(handle, metafile, destination.data(),
                                                                CountOf(destination), source, unit, callback,
                                                                callbackData, AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileSrcRectDestRect(GpMetafile* metafile, const RectF& destination,
                                                      const RectF& source, Unit unit, MetafileProc callback,
                                                      void* callbackData,
                                                      const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipEnumerateMetafileSrcRectDestRect(
        handle, metafile, destination, source, unit, callback, callbackData, AttributesOf(attributes)));
}

bool GraphicsObject::EnumerateMetafileSrcRectDestRectI(GpMetafile* metafile, const Rect& destination,
                                                       const Rect& source, Unit unit, MetafileProc callback,
                                                       void* callbackData,
                                                       const GraphicsObjectBase* attributes) {
    return RecordStatus(GdipEnumerateMetafileSrcRectDestRectI(
        handle, metafile, destination, source, unit, callback, callbackData, AttributesOf(attributes)));
}
