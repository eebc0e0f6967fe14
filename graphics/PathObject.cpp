#include "graphics/PathObject.h"

#include "graphics/FontObjects.h"
#include "graphics/PenObject.h"
#include "graphics/StringFormatObject.h"
#include "graphics/TextMarshalling.h"

#include <algorithm>

using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpPath;
using Gdiplus::GpPathData;
using Gdiplus::GpPen;
using Gdiplus::GpStringFormat;

namespace {

template <class T> int ElementCount(std::span<const T> elements) {
    return static_cast<int>(elements.size());
}

// Every array operation refuses an empty array before GDI+ sees it.
template <class T, class Call> bool WithElements(std::span<const T> elements, Call call) {
    if (!RequirePositiveCount(ElementCount(elements)))
        return false;
    return RecordStatus(call(elements.data(), ElementCount(elements)));
}

// The point and type queries: an explicit count is used as given (refused
// when not positive); an omitted one is asked of GDI+, and a failed query or
// an empty path answers false before the caller's array is touched.
template <class T, class Call>
bool QueryPathArray(GpPath* path, std::vector<T>& elements, std::optional<int> count, Call call) {
    int wanted = 0;
    if (count) {
        if (!RequirePositiveCount(*count))
            return false;
        wanted = *count;
    } else {
        if (!RecordStatus(GdipGetPointCount(path, &wanted)) || wanted <= 0)
            return false;
    }
    elements.assign(static_cast<std::size_t>(wanted), T{});
    return RecordStatus(call(elements.data(), wanted));
}

// lstrlenW semantics: the text ends at its first terminator; none at all is 0.
int TextLength(const WCHAR* text) {
    return text ? lstrlenW(text) : 0;
}

// A UTF-16 buffer goes to GDI+ as is, null when empty.
const WCHAR* WideOrNull(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

bool PathObject::Delete() {
    return ReleaseWith(handle, GdipDeletePath);
}

bool PathObject::Create(int fillMode) {
    return Recreate(
        handle, [this] { Delete(); },
        [fillMode](GpPath** created) {
            return GdipCreatePath(static_cast<Gdiplus::FillMode>(fillMode), created);
        });
}

bool PathObject::CreateFromPoints(std::span<const Gdiplus::PointF> points, std::span<const BYTE> types,
                                  int fillMode) {
    // Each point needs its type byte: a shorter type array is refused.
    if (!RequirePositiveCount(types.size() < points.size() ? 0 : ElementCount(points)))
        return false;
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpPath** created) {
            return GdipCreatePath2(points.data(), types.data(), ElementCount(points),
                                   static_cast<Gdiplus::FillMode>(fillMode), created);
        });
}

bool PathObject::CreateFromPointsI(std::span<const Gdiplus::Point> points, std::span<const BYTE> types,
                                   int fillMode) {
    if (!RequirePositiveCount(types.size() < points.size() ? 0 : ElementCount(points)))
        return false;
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpPath** created) {
            return GdipCreatePath2I(points.data(), types.data(), ElementCount(points),
                                    static_cast<Gdiplus::FillMode>(fillMode), created);
        });
}

bool PathObject::Clone(PathObject& target) const {
    GpPath* cloned = nullptr;
    const GpStatus status = GdipClonePath(handle, &cloned);
    target.Delete();
    target.SetNativeHandle(cloned);
    return RecordStatus(status);
}

bool PathObject::Reset() {
    return RecordStatus(GdipResetPath(handle));
}

int PathObject::GetFillMode() const {
    Gdiplus::FillMode mode = Gdiplus::FillModeAlternate;
    RecordStatus(GdipGetPathFillMode(handle, &mode));
    return mode;
}

bool PathObject::SetFillMode(int fillMode) {
    return RecordStatus(GdipSetPathFillMode(handle, static_cast<Gdiplus::FillMode>(fillMode)));
}

bool PathObject::GetPathData(PathDataRecord& data) const {
    int count = 0;
    if (!RecordStatus(GdipGetPointCount(handle, &count)))
        return false;
    data.count = count;
    data.points.assign(static_cast<std::size_t>(count), Gdiplus::PointF{});
    data.types.assign(static_cast<std::size_t>(count), BYTE{});
    if (count == 0)
        return false;

    // GdipGetPathData's record layout; Gdiplus::PathData would free its
    // arrays with delete[] and so cannot carry GdipAlloc blocks.
    struct NativePathData {
        INT Count;
        Gdiplus::PointF* Points;
        BYTE* Types;
    };
    NativePathData native{count, static_cast<Gdiplus::PointF*>(GdipAlloc(sizeof(Gdiplus::PointF) * count)),
                          static_cast<BYTE*>(GdipAlloc(static_cast<std::size_t>(count)))};
    if (!native.Points || !native.Types)
        LastStatus = Gdiplus::OutOfMemory;
    else if (RecordStatus(GdipGetPathData(handle, reinterpret_cast<GpPathData*>(&native)))) {
        std::copy_n(native.Points, count, data.points.begin());
        std::copy_n(native.Types, count, data.types.begin());
    }
    GdipFree(native.Points);
    GdipFree(native.Types);
    return LastStatus == 0;
}

bool PathObject::GetPathTypes(std::vector<BYTE>& types, std::optional<int> count) const {
    return QueryPathArray(handle, types, count, [this](BYTE* block, int wanted) {
        return GdipGetPathTypes(handle, block, wanted);
    });
}

bool PathObject::GetPathPoints(std::vector<Gdiplus::PointF>& points, std::optional<int> count) const {
    return QueryPathArray(handle, points, count, [this](Gdiplus::PointF* block, int wanted) {
        return GdipGetPathPoints(handle, block, wanted);
    });
}

bool PathObject::GetPathPointsI(std::vector<Gdiplus::Point>& points, std::optional<int> count) const {
    return QueryPathArray(handle, points, count, [this](Gdiplus::Point* block, int wanted) {
        return GdipGetPathPointsI(handle, block, wanted);
    });
}

bool PathObject::StartFigure() {
    return RecordStatus(GdipStartPathFigure(handle));
}
bool PathObject::CloseFigure() {
    return RecordStatus(GdipClosePathFigure(handle));
}
bool PathObject::CloseAllFigures() {
    return RecordStatus(GdipClosePathFigures(handle));
}
bool PathObject::SetMarker() {
    return RecordStatus(GdipSetPathMarker(handle));
}
bool PathObject::ClearMarkers() {
    return RecordStatus(GdipClearPathMarkers(handle));
}
bool PathObject::Reverse() {
    return RecordStatus(GdipReversePath(handle));
}

Gdiplus::PointF PathObject::GetLastPoint() const {
    Gdiplus::PointF point;
    RecordStatus(GdipGetPathLastPoint(handle, &point));
    return point;
}

bool PathObject::AddLine(float x1, float y1, float x2, float y2) {
    return RecordStatus(GdipAddPathLine(handle, x1, y1, x2, y2));
}

bool PathObject::AddLineI(int x1, int y1, int x2, int y2) {
    return RecordStatus(GdipAddPathLineI(handle, x1, y1, x2, y2));
}

bool PathObject::AddLines(std::span<const Gdiplus::PointF> points) {
    return WithElements(points, [this](const Gdiplus::PointF* block, int count) {
        return GdipAddPathLine2(handle, block, count);
    });
}

bool PathObject::AddLinesI(std::span<const Gdiplus::Point> points) {
    return WithElements(points, [this](const Gdiplus::Point* block, int count) {
        return GdipAddPathLine2I(handle, block, count);
    });
}

bool PathObject::AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle) {
    return RecordStatus(GdipAddPathArc(handle, x, y, width, height, startAngle, sweepAngle));
}

bool PathObject::AddArcI(int x, int y, int width, int height, float startAngle, float sweepAngle) {
    return RecordStatus(GdipAddPathArcI(handle, x, y, width, height, startAngle, sweepAngle));
}

bool PathObject::AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
    return RecordStatus(GdipAddPathBezier(handle, x1, y1, x2, y2, x3, y3, x4, y4));
}

bool PathObject::AddBezierI(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return RecordStatus(GdipAddPathBezierI(handle, x1, y1, x2, y2, x3, y3, x4, y4));
}

bool PathObject::AddBeziers(std::span<const Gdiplus::PointF> points) {
    return WithElements(points, [this](const Gdiplus::PointF* block, int count) {
        return GdipAddPathBeziers(handle, block, count);
    });
}

bool PathObject::AddBeziersI(std::span<const Gdiplus::Point> points) {
    return WithElements(points, [this](const Gdiplus::Point* block, int count) {
        return GdipAddPathBeziersI(handle, block, count);
    });
}

bool PathObject::AddCurve(std::span<const Gdiplus::PointF> points) {
    return WithElements(points, [this](const Gdiplus::PointF* block, int count) {
        return GdipAddPathCurve(handle, block, count);
    });
}

bool PathObject::AddCurveTension(std::span<const Gdiplus::PointF> points, float tension) {
    return WithElements(points, [&](const Gdiplus::PointF* block, int count) {
        return GdipAddPathCurve2(handle, block, count, tension);
    });
}

bool PathObject::AddCurveSegment(std::span<const Gdiplus::PointF> points, int offset, int numberOfSegments,
                                 float tension) {
    return WithElements(points, [&](const Gdiplus::PointF* block, int count) {
        return GdipAddPathCurve3(handle, block, count, offset, numberOfSegments, tension);
    });
}

bool PathObject::AddCurveI(std::span<const Gdiplus::Point> points) {
    return WithElements(points, [this](const Gdiplus::Point* block, int count) {
        return GdipAddPathCurveI(handle, block, count);
    });
}

bool PathObject::AddCurveTensionI(std::span<const Gdiplus::Point> points, float tension) {
    return WithElements(points, [&](const Gdiplus::Point* block, int count) {
        return GdipAddPathCurve2I(handle, block, count, tension);
    });
}

bool PathObject::AddCurveSegmentI(std::span<const Gdiplus::Point> points, int offset, int numberOfSegments,
                                  float tension) {
    return WithElements(points, [&](const Gdiplus::Point* block, int count) {
        return GdipAddPathCurve3I(handle, block, count, offset, numberOfSegments, tension);
    });
}

bool PathObject::AddClosedCurve(std::span<const Gdiplus::PointF> points) {
    return WithElements(points, [this](const Gdiplus::PointF* block, int count) {
        return GdipAddPathClosedCurve(handle, block, count);
    });
}

bool PathObject::AddClosedCurveTension(std::span<const Gdiplus::PointF> points, float tension) {
    return WithElements(points, [&](const Gdiplus::PointF* block, int count) {
        return GdipAddPathClosedCurve2(handle, block, count, tension);
    });
}

bool PathObject::AddClosedCurveI(std::span<const Gdiplus::Point> points) {
    return WithElements(points, [this](const Gdiplus::Point* block, int count) {
        return GdipAddPathClosedCurveI(handle, block, count);
    });
}

bool PathObject::AddClosedCurveTensionI(std::span<const Gdiplus::Point> points, float tension) {
    return WithElements(points, [&](const Gdiplus::Point* block, int count) {
        return GdipAddPathClosedCurve2I(handle, block, count, tension);
    });
}

bool PathObject::AddRectangle(float x, float y, float width, float height) {
    return RecordStatus(GdipAddPathRectangle(handle, x, y, width, height));
}

bool PathObject::AddRoundedRectangle(float x, float y, float width, float height, int percent) {
    percent = std::clamp(percent, 1, 100);
    // The full width and height of each corner's ellipse, not radii.
    const auto arcWidth = static_cast<int>(static_cast<double>(width) * percent / 100.0);
    const auto arcHeight = static_cast<int>(static_cast<double>(height) * percent / 100.0);
    const float right = x + width - static_cast<float>(arcWidth);
    const float bottom = y + height - static_cast<float>(arcHeight);
    const auto w = static_cast<float>(arcWidth);
    const auto h = static_cast<float>(arcHeight);
    // Clockwise from the top right corner; only the closing call's status counts.
    GdipAddPathArc(handle, right, y, w, h, 270.0f, 90.0f);
    GdipAddPathArc(handle, right, bottom, w, h, 0.0f, 90.0f);
    GdipAddPathArc(handle, x, bottom, w, h, 90.0f, 90.0f);
    GdipAddPathArc(handle, x, y, w, h, 180.0f, 90.0f);
    return CloseFigure();
}

bool PathObject::AddRectangles(std::span<const Gdiplus::RectF> rectangles) {
    return WithElements(rectangles, [this](const Gdiplus::RectF* block, int count) {
        return GdipAddPathRectangles(handle, block, count);
    });
}

bool PathObject::AddRectangleI(int x, int y, int width, int height) {
    return RecordStatus(GdipAddPathRectangleI(handle, x, y, width, height));
}

bool PathObject::AddRectanglesI(std::span<const Gdiplus::Rect> rectangles) {
    return WithElements(rectangles, [this](const Gdiplus::Rect* block, int count) {
        return GdipAddPathRectanglesI(handle, block, count);
    });
}

bool PathObject::AddEllipse(float x, float y, float width, float height) {
    return RecordStatus(GdipAddPathEllipse(handle, x, y, width, height));
}

bool PathObject::AddEllipseI(int x, int y, int width, int height) {
    return RecordStatus(GdipAddPathEllipseI(handle, x, y, width, height));
}

bool PathObject::AddPie(float x, float y, float width, float height, float startAngle, float sweepAngle) {
    return RecordStatus(GdipAddPathPie(handle, x, y, width, height, startAngle, sweepAngle));
}

bool PathObject::AddPieI(int x, int y, int width, int height, float startAngle, float sweepAngle) {
    return RecordStatus(GdipAddPathPieI(handle, x, y, width, height, startAngle, sweepAngle));
}

bool PathObject::AddPolygon(std::span<const Gdiplus::PointF> points) {
    return WithElements(points, [this](const Gdiplus::PointF* block, int count) {
        return GdipAddPathPolygon(handle, block, count);
    });
}

bool PathObject::AddPolygonI(std::span<const Gdiplus::Point> points) {
    return WithElements(points, [this](const Gdiplus::Point* block, int count) {
        return GdipAddPathPolygonI(handle, block, count);
    });
}

bool PathObject::AddPath(const PathObject& other, bool connect) {
    return RecordStatus(GdipAddPathPath(handle, other.Handle(), connect ? TRUE : FALSE));
}

bool PathObject::AddString(std::string_view text, const FontFamilyObject& family, int emSize,
                           const Gdiplus::RectF& layout, int style, const StringFormatObject& format) {
    return AddString(text, family, static_cast<float>(emSize), layout, style, format);
}

bool PathObject::AddString(std::string_view text, const FontFamilyObject& family, float emSize,
                           const Gdiplus::RectF& layout, int style, const StringFormatObject& format) {
    // Converted text is never null: empty ANSI text is an empty string of length 0.
    const std::wstring wide = AnsiToWide(text);
    return RecordStatus(GdipAddPathString(handle, wide.c_str(), TextLength(wide.c_str()),
                                          NativeOf<GpFontFamily>(family), style, emSize, &layout,
                                          NativeOf<GpStringFormat>(format)));
}

bool PathObject::AddStringW(const std::wstring& text, const FontFamilyObject& family, int emSize,
                            const Gdiplus::RectF& layout, int style, const StringFormatObject& format) {
    return AddStringW(text, family, static_cast<float>(emSize), layout, style, format);
}

bool PathObject::AddStringW(const std::wstring& text, const FontFamilyObject& family, float emSize,
                            const Gdiplus::RectF& layout, int style, const StringFormatObject& format) {
    const WCHAR* chars = WideOrNull(text);
    return RecordStatus(GdipAddPathString(handle, chars, TextLength(chars), NativeOf<GpFontFamily>(family),
                                          style, emSize, &layout, NativeOf<GpStringFormat>(format)));
}

bool PathObject::AddStringI(std::string_view text, const FontFamilyObject& family, int emSize,
                            const Gdiplus::Rect& layout, int style, const StringFormatObject& format) {
    const std::wstring wide = AnsiToWide(text);
    return RecordStatus(GdipAddPathStringI(handle, wide.c_str(), TextLength(wide.c_str()),
                                           NativeOf<GpFontFamily>(family), style, static_cast<float>(emSize),
                                           &layout, NativeOf<GpStringFormat>(format)));
}

bool PathObject::AddStringIW(const std::wstring& text, const FontFamilyObject& family, int emSize,
                             const Gdiplus::Rect& layout, int style, const StringFormatObject& format) {
    const WCHAR* chars = WideOrNull(text);
    return RecordStatus(GdipAddPathStringI(handle, chars, TextLength(chars), NativeOf<GpFontFamily>(family),
                                           style, static_cast<float>(emSize), &layout,
                                           NativeOf<GpStringFormat>(format)));
}

bool PathObject::Transform(GpMatrix* matrix) {
    return RecordStatus(GdipTransformPath(handle, matrix));
}

bool PathObject::Flatten(GpMatrix* matrix, float flatness) {
    return RecordStatus(GdipFlattenPath(handle, matrix, flatness));
}

bool PathObject::Widen(const PenObject& pen, GpMatrix* matrix, float flatness) {
    return RecordStatus(GdipWidenPath(handle, NativeOf<GpPen>(pen), matrix, flatness));
}

bool PathObject::Outline(GpMatrix* matrix, float flatness) {
    return RecordStatus(GdipWindingModeOutline(handle, matrix, flatness));
}

bool PathObject::Warp(std::span<const Gdiplus::PointF> destination, const Gdiplus::RectF& source,
                      GpMatrix* matrix, int warpMode, float flatness) {
    return WithElements(destination, [&](const Gdiplus::PointF* block, int count) {
        return GdipWarpPath(handle, matrix, block, count, source.X, source.Y, source.Width, source.Height,
                            static_cast<Gdiplus::WarpMode>(warpMode), flatness);
    });
}

int PathObject::GetPointCount() const {
    int count = 0;
    RecordStatus(GdipGetPointCount(handle, &count));
    return count;
}

bool PathObject::GetBounds(Gdiplus::RectF& bounds, GpMatrix* matrix, const PenObject& pen) const {
    return RecordStatus(GdipGetPathWorldBounds(handle, &bounds, matrix, NativeOf<GpPen>(pen)));
}

bool PathObject::GetBoundsI(Gdiplus::Rect& bounds, GpMatrix* matrix, const PenObject& pen) const {
    return RecordStatus(GdipGetPathWorldBoundsI(handle, &bounds, matrix, NativeOf<GpPen>(pen)));
}

bool PathObject::IsVisiblePoint(float x, float y, const GraphicsObjectBase& graphics) const {
    BOOL visible = FALSE;
    RecordStatus(GdipIsVisiblePathPoint(handle, x, y, NativeOf<GpGraphics>(graphics), &visible));
    return visible != FALSE;
}

bool PathObject::IsVisiblePointI(int x, int y, const GraphicsObjectBase& graphics) const {
    BOOL visible = FALSE;
    RecordStatus(GdipIsVisiblePathPointI(handle, x, y, NativeOf<GpGraphics>(graphics), &visible));
    return visible != FALSE;
}

bool PathObject::IsOutlineVisiblePoint(float x, float y, const PenObject& pen,
                                       const GraphicsObjectBase& graphics) const {
    BOOL visible = FALSE;
    RecordStatus(GdipIsOutlineVisiblePathPoint(handle, x, y, NativeOf<GpPen>(pen),
                                               NativeOf<GpGraphics>(graphics), &visible));
    return visible != FALSE;
}

bool PathObject::IsOutlineVisiblePointI(int x, int y, const PenObject& pen,
                                        const GraphicsObjectBase& graphics) const {
    BOOL visible = FALSE;
    RecordStatus(GdipIsOutlineVisiblePathPointI(handle, x, y, NativeOf<GpPen>(pen),
                                                NativeOf<GpGraphics>(graphics), &visible));
    return visible != FALSE;
}
