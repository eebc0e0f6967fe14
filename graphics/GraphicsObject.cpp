// GraphicsObject: the canvas, state, transforms, clipping and containers.
// Drawing, filling, text and images are in GraphicsObjectDrawing.cpp.
#include "graphics/GraphicsObject.h"

#include "framework/UniqueHandle.h"
#include "graphics/ArrayMarshalling.h"

using namespace Gdiplus;

GraphicsObject::~GraphicsObject() {
    GraphicsObject::ReleaseCanvas();
}

void GraphicsObject::StoreHandle(NativeHandle nativeHandle) {
    handle = static_cast<GpGraphics*>(nativeHandle);
    StoreLevel2Handle(nativeHandle);
}

void GraphicsObject::StoreLevel2Handle(NativeHandle nativeHandle) {
    canvasGraphics = static_cast<GpGraphics*>(nativeHandle);
}

// ---- canvas ---------------------------------------------------------------

bool GraphicsObject::BindCanvasBitmap(INT newWidth, INT newHeight) {
    // 32 bits per pixel, positive height: the rows run bottom-up.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = newWidth;
    info.bmiHeader.biHeight = newHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    unique_hbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0));
    if (!bitmap) {
        // Out of GDI memory or handles: no GDI+ status exists for that, so
        // the layer reports it the way it reports a failed blend.
        LastStatus = GenericErrorStatus;
        SetNativeHandle(nullptr);
        return false;
    }
    const auto previous = static_cast<HBITMAP>(SelectObject(memoryDc, bitmap.get()));
    SetBkMode(memoryDc, TRANSPARENT);

    GpGraphics* created = nullptr;
    if (!RecordStatus(GdipCreateFromHDC(memoryDc, &created))) {
        // Without a graphics there is no canvas; leave nothing behind.
        SelectObject(memoryDc, previous);
        SetNativeHandle(nullptr);
        return false;
    }
    dibSection = bitmap.release();
    previousBitmap = previous;
    width = newWidth;
    height = newHeight;
    SetNativeHandle(created);
    return true;
}

void GraphicsObject::UnbindCanvasBitmap() {
    // The graphics goes first: it still refers to the DC and its bitmap.
    RecordStatus(GdipDeleteGraphics(canvasGraphics));
    SelectObject(memoryDc, previousBitmap);
    DeleteObject(dibSection);
    dibSection = nullptr;
    previousBitmap = nullptr;
    width = 0;
    height = 0;
    SetNativeHandle(nullptr);
}

bool GraphicsObject::ReleaseCanvas() {
    if (!canvasGraphics)
        return false;
    UnbindCanvasBitmap();
    DeleteDC(memoryDc);
    memoryDc = nullptr;
    return LastStatus == 0;
}

bool GraphicsObject::CreateCanvas(INT newWidth, INT newHeight) {
    if (!RequirePositiveCount(newWidth) || !RequirePositiveCount(newHeight))
        return false;
    if (canvasGraphics)
        ReleaseCanvas();
    memoryDc = CreateCompatibleDC(nullptr);
    if (!memoryDc) {
        LastStatus = GenericErrorStatus;
        return false;
    }
    if (BindCanvasBitmap(newWidth, newHeight))
        return true;
    DeleteDC(memoryDc);
    memoryDc = nullptr;
    return false;
}

bool GraphicsObject::ResizeCanvas(INT newWidth, INT newHeight) {
    if (!canvasGraphics)
        return false;
    if (!RequirePositiveCount(newWidth) || !RequirePositiveCount(newHeight))
        return false;
    UnbindCanvasBitmap();
    if (BindCanvasBitmap(newWidth, newHeight))
        return true;
    // No bitmap, no canvas: the DC goes too rather than stay behind unowned.
    DeleteDC(memoryDc);
    memoryDc = nullptr;
    return false;
}

bool GraphicsObject::FillCanvasBlack(INT penStyle) {
    if (!canvasGraphics)
        return false;
    unique_hpen pen(CreatePen(penStyle, 0, RGB(0, 0, 0)));
    {
        SelectGuard selectPen(memoryDc, pen.get());
        SelectGuard selectBrush(memoryDc, GetStockObject(BLACK_BRUSH));
        Rectangle(memoryDc, 0, 0, width, height);
    }
    return true;
}

bool GraphicsObject::BlendZeroRect(INT x, INT y, INT rectWidth, INT rectHeight) {
    // A fresh DIB section is all zeros; copying it at constant alpha 255
    // without per-pixel alpha replaces the destination pixels outright.
    GraphicsObject zero;
    bool blended = false;
    if (zero.CreateCanvas(rectWidth, rectHeight)) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, 0};
        blended = GdiAlphaBlend(memoryDc, x, y, rectWidth, rectHeight, zero.memoryDc, 0, 0, zero.width,
                                zero.height, blend) == TRUE;
    }
    zero.ReleaseCanvas();
    if (!blended) {
        LastStatus = GenericErrorStatus;
        return false;
    }
    return true;
}

bool GraphicsObject::ClearRect(INT x, INT y, INT rectWidth, INT rectHeight) {
    if (!canvasGraphics)
        return false;
    return BlendZeroRect(x, y, rectWidth, rectHeight);
}

// ---- state ------------------------------------------------------------------

bool GraphicsObject::Clear(ARGB colour) {
    return RecordStatus(GdipGraphicsClear(handle, colour));
}

bool GraphicsObject::Flush(FlushIntention intention) {
    return RecordStatus(GdipFlush(handle, intention));
}

CompositingMode GraphicsObject::GetCompositingMode() {
    CompositingMode mode{};
    RecordStatus(GdipGetCompositingMode(handle, &mode));
    return mode;
}

bool GraphicsObject::SetCompositingMode(CompositingMode mode) {
    return RecordStatus(GdipSetCompositingMode(handle, mode));
}

bool GraphicsObject::GetRenderingOrigin(INT& x, INT& y) {
    x = 0;
    y = 0;
    return RecordStatus(GdipGetRenderingOrigin(handle, &x, &y));
}

bool GraphicsObject::SetRenderingOrigin(INT x, INT y) {
    return RecordStatus(GdipSetRenderingOrigin(handle, x, y));
}

CompositingQuality GraphicsObject::GetCompositingQuality() {
    CompositingQuality quality{};
    RecordStatus(GdipGetCompositingQuality(handle, &quality));
    return quality;
}

bool GraphicsObject::SetCompositingQuality(CompositingQuality quality) {
    return RecordStatus(GdipSetCompositingQuality(handle, quality));
}

bool GraphicsObject::SetSmoothingMode(SmoothingMode mode) {
    return RecordStatus(GdipSetSmoothingMode(handle, mode));
}

SmoothingMode GraphicsObject::GetSmoothingMode() {
    SmoothingMode mode{};
    RecordStatus(GdipGetSmoothingMode(handle, &mode));
    return mode;
}

bool GraphicsObject::SetTextRenderingHint(TextRenderingHint hint) {
    return RecordStatus(GdipSetTextRenderingHint(handle, hint));
}

TextRenderingHint GraphicsObject::GetTextRenderingHint() {
    TextRenderingHint hint{};
    RecordStatus(GdipGetTextRenderingHint(handle, &hint));
    return hint;
}

bool GraphicsObject::SetInterpolationMode(InterpolationMode mode) {
    return RecordStatus(GdipSetInterpolationMode(handle, mode));
}

InterpolationMode GraphicsObject::GetInterpolationMode() {
    InterpolationMode mode{};
    RecordStatus(GdipGetInterpolationMode(handle, &mode));
    return mode;
}

bool GraphicsObject::SetPixelOffsetMode(PixelOffsetMode mode) {
    return RecordStatus(GdipSetPixelOffsetMode(handle, mode));
}

PixelOffsetMode GraphicsObject::GetPixelOffsetMode() {
    PixelOffsetMode mode{};
    RecordStatus(GdipGetPixelOffsetMode(handle, &mode));
    return mode;
}

bool GraphicsObject::SetTextContrast(UINT contrast) {
    return RecordStatus(GdipSetTextContrast(handle, contrast));
}

UINT GraphicsObject::GetTextContrast() {
    UINT contrast = 0;
    RecordStatus(GdipGetTextContrast(handle, &contrast));
    return contrast;
}

// ---- transforms and coordinates ------------------------------------------

bool GraphicsObject::SetTransform(GpMatrix* matrix) {
    return RecordStatus(GdipSetWorldTransform(handle, matrix));
}

bool GraphicsObject::GetTransform(GpMatrix* matrix) {
    return RecordStatus(GdipGetWorldTransform(handle, matrix));
}

bool GraphicsObject::ResetTransform() {
    return RecordStatus(GdipResetWorldTransform(handle));
}

bool GraphicsObject::MultiplyTransform(GpMatrix* matrix, MatrixOrder order) {
    return RecordStatus(GdipMultiplyWorldTransform(handle, matrix, order));
}

bool GraphicsObject::TranslateTransform(float dx, float dy, MatrixOrder order) {
    return RecordStatus(GdipTranslateWorldTransform(handle, dx, dy, order));
}

bool GraphicsObject::ScaleTransform(float sx, float sy, MatrixOrder order) {
    return RecordStatus(GdipScaleWorldTransform(handle, sx, sy, order));
}

bool GraphicsObject::RotateTransform(float angle, MatrixOrder order) {
    return RecordStatus(GdipRotateWorldTransform(handle, angle, order));
}

// Appended operations act after the current transform, so the centre moves
// to the origin first; prepended ones act before it, so the composition is
// built from the other end. Either way points are moved by -centre, scaled or
// rotated, and moved back.
bool GraphicsObject::ScaleTransformAt(float sx, float sy, const PointF& centre, MatrixOrder order) {
    const float sign = order == MatrixOrderAppend ? -1.0f : 1.0f;
    return TranslateTransform(sign * centre.X, sign * centre.Y, order) && ScaleTransform(sx, sy, order) &&
           TranslateTransform(-sign * centre.X, -sign * centre.Y, order);
}

bool GraphicsObject::RotateTransformAt(float angle, const PointF& centre, MatrixOrder order) {
    const float sign = order == MatrixOrderAppend ? -1.0f : 1.0f;
    return TranslateTransform(sign * centre.X, sign * centre.Y, order) && RotateTransform(angle, order) &&
           TranslateTransform(-sign * centre.X, -sign * centre.Y, order);
}

bool GraphicsObject::SetPageUnit(Unit unit) {
    return RecordStatus(GdipSetPageUnit(handle, unit));
}

Unit GraphicsObject::GetPageUnit() {
    Unit unit{};
    RecordStatus(GdipGetPageUnit(handle, &unit));
    return unit;
}

bool GraphicsObject::SetPageScale(float scale) {
    return RecordStatus(GdipSetPageScale(handle, scale));
}

float GraphicsObject::GetPageScale() {
    REAL scale = 0;
    RecordStatus(GdipGetPageScale(handle, &scale));
    return scale;
}

float GraphicsObject::GetDpiX() {
    REAL dpi = 0;
    RecordStatus(GdipGetDpiX(handle, &dpi));
    return dpi;
}

float GraphicsObject::GetDpiY() {
    REAL dpi = 0;
    RecordStatus(GdipGetDpiY(handle, &dpi));
    return dpi;
}

bool GraphicsObject::TransformPoints(CoordinateSpace destination, CoordinateSpace source,
                                     std::span<PointF> points) {
    if (!RequirePositiveCount(CountOf(points)))
        return false;
    return RecordStatus(GdipTransformPoints(handle, destination, source, points.data(), CountOf(points)));
}

bool GraphicsObject::TransformPointsI(CoordinateSpace destination, CoordinateSpace source,
                                      std::span<Point> points) {
    if (!RequirePositiveCount(CountOf(points)))
        return false;
    return RecordStatus(GdipTransformPointsI(handle, destination, source, points.data(), CountOf(points)));
}

ARGB GraphicsObject::GetNearestColor(ARGB colour) {
    RecordStatus(GdipGetNearestColor(handle, &colour));
    return colour;
}

// ---- clipping -----------------------------------------------------------------

bool GraphicsObject::SetClipGraphics(const GraphicsObject& other, CombineMode mode) {
    return RecordStatus(GdipSetClipGraphics(handle, other.handle, mode));
}

bool GraphicsObject::SetClipPath(const GraphicsObjectBase& path, CombineMode mode) {
    return RecordStatus(GdipSetClipPath(handle, NativeOf<GpPath>(path), mode));
}

bool GraphicsObject::SetClipRect(float x, float y, float rectWidth, float rectHeight, CombineMode mode) {
    return RecordStatus(GdipSetClipRect(handle, x, y, rectWidth, rectHeight, mode));
}

bool GraphicsObject::SetClipRectI(INT x, INT y, INT rectWidth, INT rectHeight, CombineMode mode) {
    return RecordStatus(GdipSetClipRectI(handle, x, y, rectWidth, rectHeight, mode));
}

bool GraphicsObject::SetClipRegion(const GraphicsObjectBase& region, CombineMode mode) {
    return RecordStatus(GdipSetClipRegion(handle, NativeOf<GpRegion>(region), mode));
}

bool GraphicsObject::SetClipHrgn(HRGN region, CombineMode mode) {
    return RecordStatus(GdipSetClipHrgn(handle, region, mode));
}

bool GraphicsObject::ResetClip() {
    return RecordStatus(GdipResetClip(handle));
}

bool GraphicsObject::TranslateClip(float dx, float dy) {
    return RecordStatus(GdipTranslateClip(handle, dx, dy));
}

bool GraphicsObject::TranslateClipI(INT dx, INT dy) {
    return RecordStatus(GdipTranslateClipI(handle, dx, dy));
}

bool GraphicsObject::GetClip(const GraphicsObjectBase& region) {
    return RecordStatus(GdipGetClip(handle, NativeOf<GpRegion>(region)));
}

RectF GraphicsObject::GetClipBounds() {
    RectF bounds;
    RecordStatus(GdipGetClipBounds(handle, &bounds));
    return bounds;
}

Rect GraphicsObject::GetClipBoundsI() {
    Rect bounds;
    RecordStatus(GdipGetClipBoundsI(handle, &bounds));
    return bounds;
}

RectF GraphicsObject::GetVisibleClipBounds() {
    RectF bounds;
    RecordStatus(GdipGetVisibleClipBounds(handle, &bounds));
    return bounds;
}

Rect GraphicsObject::GetVisibleClipBoundsI() {
    Rect bounds;
    RecordStatus(GdipGetVisibleClipBoundsI(handle, &bounds));
    return bounds;
}

bool GraphicsObject::IsClipEmpty() {
    BOOL empty = FALSE;
    RecordStatus(GdipIsClipEmpty(handle, &empty));
    return empty != FALSE;
}

bool GraphicsObject::IsVisibleClipEmpty() {
    BOOL empty = FALSE;
    RecordStatus(GdipIsVisibleClipEmpty(handle, &empty));
    return empty != FALSE;
}

bool GraphicsObject::IsVisiblePoint(float x, float y) {
    BOOL visible = FALSE;
    RecordStatus(GdipIsVisiblePoint(handle, x, y, &visible));
    return visible != FALSE;
}

bool GraphicsObject::IsVisiblePointI(INT x, INT y) {
    BOOL visible = FALSE;
    RecordStatus(GdipIsVisiblePointI(handle, x, y, &visible));
    return visible != FALSE;
}

bool GraphicsObject::IsVisibleRect(float x, float y, float rectWidth, float rectHeight) {
    BOOL visible = FALSE;
    RecordStatus(GdipIsVisibleRect(handle, x, y, rectWidth, rectHeight, &visible));
    return visible != FALSE;
}

bool GraphicsObject::IsVisibleRectI(INT x, INT y, INT rectWidth, INT rectHeight) {
    BOOL visible = FALSE;
    RecordStatus(GdipIsVisibleRectI(handle, x, y, rectWidth, rectHeight, &visible));
    return visible != FALSE;
}

// ---- saved states and containers ----------------------------------------------

GraphicsState GraphicsObject::Save() {
    GraphicsState state = 0;
    RecordStatus(GdipSaveGraphics(handle, &state));
    return state;
}

bool GraphicsObject::Restore(GraphicsState state) {
    return RecordStatus(GdipRestoreGraphics(handle, state));
}

GraphicsContainer GraphicsObject::BeginContainer(const RectF& destination, const RectF& source, Unit unit) {
    GraphicsContainer container = 0;
    RecordStatus(GdipBeginContainer(handle, &destination, &source, unit, &container));
    return container;
}

GraphicsContainer GraphicsObject::BeginContainerI(const Rect& destination, const Rect& source, Unit unit) {
    GraphicsContainer container = 0;
    RecordStatus(GdipBeginContainerI(handle, &destination, &source, unit, &container));
    return container;
}

GraphicsContainer GraphicsObject::BeginContainerPlain() {
    GraphicsContainer container = 0;
    RecordStatus(GdipBeginContainer2(handle, &container));
    return container;
}

bool GraphicsObject::EndContainer(GraphicsContainer container) {
    return RecordStatus(GdipEndContainer(handle, container));
}

bool GraphicsObject::AddComment(std::span<const BYTE> data) {
    return RecordStatus(GdipComment(handle, static_cast<UINT>(data.size()), data.data()));
}
