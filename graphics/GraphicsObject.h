#pragma once
// GraphicsObject: a GDI+ graphics context bound to a private memory canvas
// (a memory DC holding a 32-bit, bottom-up DIB section), plus one forwarding
// operation per flat function of the GDI+ graphics interface.
//
// Conventions (beyond those of GraphicsObjectBase):
// - The canvas exists exactly when canvasGraphics is not 0. CreateCanvas,
//   ResizeCanvas and ReleaseCanvas keep the DC, the bitmap and the graphics
//   together: a failed step releases whatever the step had made, so an empty
//   object never holds a DC or bitmap.
// - LayeredCanvas derives from this class and replaces the canvas operations
//   (they are virtual); it reuses the record fields and the protected
//   building blocks below. Base destructors cannot reach derived overrides,
//   so a derived class releases its own canvas in its own destructor.
// - Pens, brushes, paths, regions, string formats, images and image
//   attributes arrive as their wrappers (GraphicsObjectBase); fonts,
//   matrices, metafiles and cached bitmaps as raw native handles, since this
//   layer has no classes for them.
// - Array arguments are spans of the GDI+ records (see ArrayMarshalling.h);
//   an empty array sets LastStatus to 2 and calls nothing.
// - ANSI texts are converted from the system code page; the W twins take
//   UTF-16 as is.
#include "graphics/GraphicsObjectBase.h"
#include "graphics/TextMarshalling.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class GraphicsObject : public GraphicsObjectBase {
public:
    using GpGraphics = Gdiplus::GpGraphics;
    using GpFont = Gdiplus::GpFont;
    using GpMatrix = Gdiplus::GpMatrix;
    using GpMetafile = Gdiplus::GpMetafile;
    using GpCachedBitmap = Gdiplus::GpCachedBitmap;
    using GpRegion = Gdiplus::GpRegion;
    using ARGB = Gdiplus::ARGB;
    using PointF = Gdiplus::PointF;
    using Point = Gdiplus::Point;
    using RectF = Gdiplus::RectF;
    using Rect = Gdiplus::Rect;
    using Unit = Gdiplus::Unit;
    using MatrixOrder = Gdiplus::MatrixOrder;
    using CombineMode = Gdiplus::CombineMode;
    using FillMode = Gdiplus::FillMode;
    using MetafileProc = Gdiplus::EnumerateMetafileProc;

    // Flags of DrawDriverString when none are given: look the characters up
    // in the font's character map.
    static constexpr INT DefaultDriverStringFlags = Gdiplus::DriverStringOptionsCmapLookup;

    GraphicsObject() = default;
    ~GraphicsObject() override;

    GpGraphics* Handle() const { return handle; }

    // ---- state, transforms, coordinates -------------------------------
    bool Clear(ARGB colour);
    bool Flush(Gdiplus::FlushIntention intention = Gdiplus::FlushIntentionFlush);
    Gdiplus::CompositingMode GetCompositingMode();
    bool SetCompositingMode(Gdiplus::CompositingMode mode);
    bool GetRenderingOrigin(INT& x, INT& y);
    bool SetRenderingOrigin(INT x, INT y);
    Gdiplus::CompositingQuality GetCompositingQuality();
    bool SetCompositingQuality(Gdiplus::CompositingQuality quality);
    bool SetSmoothingMode(Gdiplus::SmoothingMode mode);
    Gdiplus::SmoothingMode GetSmoothingMode();
    bool SetTextRenderingHint(Gdiplus::TextRenderingHint hint);
    Gdiplus::TextRenderingHint GetTextRenderingHint();
    bool SetInterpolationMode(Gdiplus::InterpolationMode mode);
    Gdiplus::InterpolationMode GetInterpolationMode();
    bool SetPixelOffsetMode(Gdiplus::PixelOffsetMode mode);
    Gdiplus::PixelOffsetMode GetPixelOffsetMode();
    bool SetTransform(GpMatrix* matrix);
    // Writes the world transform into the caller's own native matrix.
    bool GetTransform(GpMatrix* matrix);
    bool ResetTransform();
    bool MultiplyTransform(GpMatrix* matrix, MatrixOrder order = Gdiplus::MatrixOrderPrepend);
    bool TranslateTransform(float dx, float dy, MatrixOrder order = Gdiplus::MatrixOrderPrepend);
    bool ScaleTransform(float sx, float sy, MatrixOrder order = Gdiplus::MatrixOrderPrepend);
    // Scale and rotation about a centre: translate, scale or rotate,
    // translate back, each in the given order. Stops at the first failure.
    bool ScaleTransformAt(float sx, float sy, const PointF& centre,
                          MatrixOrder order = Gdiplus::MatrixOrderPrepend);
    bool RotateTransform(float angle, MatrixOrder order = Gdiplus::MatrixOrderPrepend);
    bool RotateTransformAt(float angle, const PointF& centre,
                           MatrixOrder order = Gdiplus::MatrixOrderPrepend);
    bool SetPageUnit(Unit unit);
    Unit GetPageUnit();
    bool SetPageScale(float scale);
    float GetPageScale();
    float GetDpiX();
    float GetDpiY();
    // Transforms the caller's points in place.
    bool TransformPoints(Gdiplus::CoordinateSpace destination, Gdiplus::CoordinateSpace source,
                         std::span<PointF> points);
    bool TransformPointsI(Gdiplus::CoordinateSpace destination, Gdiplus::CoordinateSpace source,
                          std::span<Point> points);
    ARGB GetNearestColor(ARGB colour);
    bool SetTextContrast(UINT contrast);
    UINT GetTextContrast();

    // ---- drawing (pen first) -------------------------------------------
    bool DrawLine(const GraphicsObjectBase& pen, float x1, float y1, float x2, float y2);
    bool DrawLineI(const GraphicsObjectBase& pen, INT x1, INT y1, INT x2, INT y2);
    bool DrawLines(const GraphicsObjectBase& pen, std::span<const PointF> points);
    bool DrawLinesI(const GraphicsObjectBase& pen, std::span<const Point> points);
    bool DrawArc(const GraphicsObjectBase& pen, float x, float y, float width, float height, float startAngle,
                 float sweepAngle);
    bool DrawArcI(const GraphicsObjectBase& pen, INT x, INT y, INT width, INT height, float startAngle,
                  float sweepAngle);
    bool DrawBezier(const GraphicsObjectBase& pen, float x1, float y1, float x2, float y2, float x3, float y3,
                    float x4, float y4);
    bool DrawBezierI(const GraphicsObjectBase& pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4,
                     INT y4);
    bool DrawBeziers(const GraphicsObjectBase& pen, std::span<const PointF> points);
    bool DrawBeziersI(const GraphicsObjectBase& pen, std::span<const Point> points);
    bool DrawRectangle(const GraphicsObjectBase& pen, float x, float y, float width, float height);
    bool DrawRectangleI(const GraphicsObjectBase& pen, INT x, INT y, INT width, INT height);
    bool DrawRectangles(const GraphicsObjectBase& pen, std::span<const RectF> rects);
    bool DrawRectanglesI(const GraphicsObjectBase& pen, std::span<const Rect> rects);
    bool DrawEllipse(const GraphicsObjectBase& pen, float x, float y, float width, float height);
    bool DrawEllipseI(const GraphicsObjectBase& pen, INT x, INT y, INT width, INT height);
    bool DrawPie(const GraphicsObjectBase& pen, float x, float y, float width, float height, float startAngle,
                 float sweepAngle);
    bool DrawPieI(const GraphicsObjectBase& pen, INT x, INT y, INT width, INT height, float startAngle,
                  float sweepAngle);
    bool DrawPolygon(const GraphicsObjectBase& pen, std::span<const PointF> points);
    bool DrawPolygonI(const GraphicsObjectBase& pen, std::span<const Point> points);
    bool DrawPath(const GraphicsObjectBase& pen, const GraphicsObjectBase& path);
    bool DrawCurve(const GraphicsObjectBase& pen, std::span<const PointF> points);
    bool DrawCurveI(const GraphicsObjectBase& pen, std::span<const Point> points);
    bool DrawCurveTension(const GraphicsObjectBase& pen, std::span<const PointF> points, float tension);
    bool DrawCurveTensionI(const GraphicsObjectBase& pen, std::span<const Point> points, float tension);
    bool DrawCurveSegment(const GraphicsObjectBase& pen, std::span<const PointF> points, INT offset,
                          INT segments, float tension);
    bool DrawCurveSegmentI(const GraphicsObjectBase& pen, std::span<const Point> points, INT offset,
                           INT segments, float tension);
    bool DrawClosedCurve(const GraphicsObjectBase& pen, std::span<const PointF> points);
    bool DrawClosedCurveI(const GraphicsObjectBase& pen, std::span<const Point> points);
    bool DrawClosedCurveTension(const GraphicsObjectBase& pen, std::span<const PointF> points, float tension);
    bool DrawClosedCurveTensionI(const GraphicsObjectBase& pen, std::span<const Point> points, float tension);

    // ---- filling (brush first) -----------------------------------------
    bool FillRectangle(const GraphicsObjectBase& brush, float x, float y, float width, float height);
    bool FillRectangleI(const GraphicsObjectBase& brush, INT x, INT y, INT width, INT height);
    bool FillRectangles(const GraphicsObjectBase& brush, std::span<const RectF> rects);
    bool FillRectanglesI(const GraphicsObjectBase& brush, std::span<const Rect> rects);
    bool FillPolygon(const GraphicsObjectBase& brush, std::span<const PointF> points,
                     FillMode fillMode = Gdiplus::FillModeAlternate);
    bool FillPolygonI(const GraphicsObjectBase& brush, std::span<const Point> points,
                      FillMode fillMode = Gdiplus::FillModeAlternate);
    bool FillEllipse(const GraphicsObjectBase& brush, float x, float y, float width, float height);
    bool FillEllipseI(const GraphicsObjectBase& brush, INT x, INT y, INT width, INT height);
    bool FillPie(const GraphicsObjectBase& brush, float x, float y, float width, float height,
                 float startAngle, float sweepAngle);
    bool FillPieI(const GraphicsObjectBase& brush, INT x, INT y, INT width, INT height, float startAngle,
                  float sweepAngle);
    bool FillPath(const GraphicsObjectBase& brush, const GraphicsObjectBase& path);
    bool FillClosedCurve(const GraphicsObjectBase& brush, std::span<const PointF> points);
    bool FillClosedCurveTension(const GraphicsObjectBase& brush, std::span<const PointF> points,
                                float tension, FillMode fillMode);
    bool FillClosedCurveI(const GraphicsObjectBase& brush, std::span<const Point> points);
    bool FillClosedCurveTensionI(const GraphicsObjectBase& brush, std::span<const Point> points,
                                 float tension, FillMode fillMode);
    bool FillRegion(const GraphicsObjectBase& brush, const GraphicsObjectBase& region);

    // ---- text ----------------------------------------------------------
    bool DrawString(std::string_view text, GpFont* font, const GraphicsObjectBase& brush, const RectF& layout,
                    const GraphicsObjectBase& format);
    bool DrawStringW(std::wstring_view text, GpFont* font, const GraphicsObjectBase& brush,
                     const RectF& layout, const GraphicsObjectBase& format);
    // Fitted-character and line counts are not asked for.
    bool MeasureString(std::string_view text, GpFont* font, const RectF& layout,
                       const GraphicsObjectBase& format, RectF& bounds);
    bool MeasureStringW(std::wstring_view text, GpFont* font, const RectF& layout,
                        const GraphicsObjectBase& format, RectF& bounds);
    // One region per measurable character range of the format. On success
    // the caller's array holds exactly count new region wrappers (old ones
    // are destroyed); on failure it is left as it was and no native region
    // is left behind.
    template <class Region>
    bool MeasureCharacterRanges(std::string_view text, GpFont* font, const RectF& layout,
                                const GraphicsObjectBase& format, INT count, std::vector<Region>& regions) {
        const std::wstring wide = AnsiToWide(text);
        return AdoptRanges(MeasureRanges(wide.c_str(), WideLength(wide), font, layout, format, count),
                           regions);
    }
    template <class Region>
    bool MeasureCharacterRangesW(std::wstring_view text, GpFont* font, const RectF& layout,
                                 const GraphicsObjectBase& format, INT count, std::vector<Region>& regions) {
        return AdoptRanges(MeasureRanges(text.empty() ? nullptr : text.data(), WideLength(text), font, layout,
                                         format, count),
                           regions);
    }
    // One position per character (only the first with the realized-advance
    // flag); fewer positions than that set LastStatus to 2.
    bool DrawDriverString(std::string_view text, GpFont* font, const GraphicsObjectBase& brush,
                          std::span<const PointF> positions, INT flags = DefaultDriverStringFlags,
                          GpMatrix* matrix = nullptr);
    bool DrawDriverStringW(std::wstring_view text, GpFont* font, const GraphicsObjectBase& brush,
                           std::span<const PointF> positions, INT flags = DefaultDriverStringFlags,
                           GpMatrix* matrix = nullptr);

    // ---- images (units default to pixels) --------------------------------
    // The whole image at its own size.
    bool DrawImageAt(const GraphicsObjectBase& image, float x, float y, Unit unit = Gdiplus::UnitPixel,
                     const GraphicsObjectBase* attributes = nullptr);
    bool DrawImageAtI(const GraphicsObjectBase& image, INT x, INT y, Unit unit = Gdiplus::UnitPixel,
                      const GraphicsObjectBase* attributes = nullptr);
    bool DrawImage(const GraphicsObjectBase& image, float x, float y);
    bool DrawImageI(const GraphicsObjectBase& image, INT x, INT y);
    // Coordinates are truncated to whole pixels.
    bool DrawCachedBitmap(GpCachedBitmap* cachedBitmap, float x, float y);
    // The whole image scaled into the rectangle.
    bool DrawImageRect(const GraphicsObjectBase& image, float x, float y, float width, float height,
                       Unit unit = Gdiplus::UnitPixel, const GraphicsObjectBase* attributes = nullptr);
    bool DrawImageRectI(const GraphicsObjectBase& image, INT x, INT y, INT width, INT height,
                        Unit unit = Gdiplus::UnitPixel, const GraphicsObjectBase* attributes = nullptr);
    // The whole image onto the parallelogram of upper-left, upper-right and
    // lower-left corners.
    bool DrawImageParallelogram(const GraphicsObjectBase& image, float x1, float y1, float x2, float y2,
                                float x3, float y3, Unit unit = Gdiplus::UnitPixel,
                                const GraphicsObjectBase* attributes = nullptr);
    bool DrawImageParallelogramI(const GraphicsObjectBase& image, INT x1, INT y1, INT x2, INT y2, INT x3,
                                 INT y3, Unit unit = Gdiplus::UnitPixel,
                                 const GraphicsObjectBase* attributes = nullptr);
    bool DrawImagePointRect(const GraphicsObjectBase& image, float x, float y, float sourceX, float sourceY,
                            float sourceWidth, float sourceHeight, Unit unit = Gdiplus::UnitPixel);
    bool DrawImagePointRectI(const GraphicsObjectBase& image, INT x, INT y, INT sourceX, INT sourceY,
                             INT sourceWidth, INT sourceHeight, Unit unit = Gdiplus::UnitPixel);
    // A part of the image, unscaled.
    bool DrawImagePart(const GraphicsObjectBase& image, float x, float y, float sourceX, float sourceY,
                       float width, float height, Unit unit = Gdiplus::UnitPixel,
                       const GraphicsObjectBase* attributes = nullptr);
    bool DrawImagePartI(const GraphicsObjectBase& image, INT x, INT y, INT sourceX, INT sourceY, INT width,
                        INT height, Unit unit = Gdiplus::UnitPixel,
                        const GraphicsObjectBase* attributes = nullptr);
    bool DrawImageRectRect(const GraphicsObjectBase& image, float x, float y, float width, float height,
                           float sourceX, float sourceY, float sourceWidth, float sourceHeight,
                           Unit unit = Gdiplus::UnitPixel, const GraphicsObjectBase* attributes = nullptr);
    bool DrawImageRectRectI(const GraphicsObjectBase& image, INT x, INT y, INT width, INT height, INT sourceX,
                            INT sourceY, INT sourceWidth, INT sourceHeight, Unit unit = Gdiplus::UnitPixel,
                            const GraphicsObjectBase* attributes = nullptr);
    bool DrawImagePointsRect(const GraphicsObjectBase& image, float x1, float y1, float x2, float y2,
                             float x3, float y3, float sourceX, float sourceY, float sourceWidth,
                             float sourceHeight, Unit unit = Gdiplus::UnitPixel,
                             const GraphicsObjectBase* attributes = nullptr);
    bool DrawImagePointsRectI(const GraphicsObjectBase& image, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3,
                              INT sourceX, INT sourceY, INT sourceWidth, INT sourceHeight,
                              Unit unit = Gdiplus::UnitPixel, const GraphicsObjectBase* attributes = nullptr);

    // ---- metafile enumeration --------------------------------------------
    bool EnumerateMetafileDestPoint(GpMetafile* metafile, const PointF& destination, MetafileProc callback,
                                    void* callbackData, const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileDestPointI(GpMetafile* metafile, const Point& destination, MetafileProc callback,
                                     void* callbackData, const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileDestPoints(GpMetafile* metafile, std::span<const PointF> destination,
                                     MetafileProc callback, void* callbackData,
                                     const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileDestPointsI(GpMetafile* metafile, std::span<const Point> destination,
                                      MetafileProc callback, void* callbackData,
                                      const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileDestRect(GpMetafile* metafile, const RectF& destination, MetafileProc callback,
                                   void* callbackData, const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileDestRectI(GpMetafile* metafile, const Rect& destination, MetafileProc callback,
                                    void* callbackData, const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileSrcRectDestPoint(GpMetafile* metafile, const PointF& destination,
                                           const RectF& source, Unit unit, MetafileProc callback,
                                           void* callbackData,
                                           const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileSrcRectDestPointI(GpMetafile* metafile, const Point& destination,
                                            const Rect& source, Unit unit, MetafileProc callback,
                                            void* callbackData,
                                            const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileSrcRectDestPoints(GpMetafile* metafile, std::span<const PointF> destination,
                                            const RectF& source, Unit unit, MetafileProc callback,
                                            void* callbackData,
                                            const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileSrcRectDestPointsI(GpMetafile* metafile, std::span<const Point> destination,
                                             const Rect& source, Unit unit, MetafileProc callback,
                                             void* callbackData,
                                             const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileSrcRectDestRect(GpMetafile* metafile, const RectF& destination, const RectF& source,
                                          Unit unit, MetafileProc callback, void* callbackData,
                                          const GraphicsObjectBase* attributes = nullptr);
    bool EnumerateMetafileSrcRectDestRectI(GpMetafile* metafile, const Rect& destination, const Rect& source,
                                           Unit unit, MetafileProc callback, void* callbackData,
                                           const GraphicsObjectBase* attributes = nullptr);

    // ---- clipping, saved states, containers --------------------------------
    bool SetClipGraphics(const GraphicsObject& other, CombineMode mode = Gdiplus::CombineModeReplace);
    bool SetClipPath(const GraphicsObjectBase& path, CombineMode mode = Gdiplus::CombineModeReplace);
    bool SetClipRect(float x, float y, float width, float height,
                     CombineMode mode = Gdiplus::CombineModeReplace);
    bool SetClipRectI(INT x, INT y, INT width, INT height, CombineMode mode = Gdiplus::CombineModeReplace);
    bool SetClipRegion(const GraphicsObjectBase& region, CombineMode mode = Gdiplus::CombineModeReplace);
    bool SetClipHrgn(HRGN region, CombineMode mode = Gdiplus::CombineModeReplace);
    bool ResetClip();
    bool TranslateClip(float dx, float dy);
    bool TranslateClipI(INT dx, INT dy);
    // Writes the clip into the region wrapper's own native region.
    bool GetClip(const GraphicsObjectBase& region);
    RectF GetClipBounds();
    Rect GetClipBoundsI();
    RectF GetVisibleClipBounds();
    Rect GetVisibleClipBoundsI();
    bool IsClipEmpty();
    bool IsVisibleClipEmpty();
    bool IsVisiblePoint(float x, float y);
    bool IsVisiblePointI(INT x, INT y);
    bool IsVisibleRect(float x, float y, float width, float height);
    bool IsVisibleRectI(INT x, INT y, INT width, INT height);
    Gdiplus::GraphicsState Save();
    bool Restore(Gdiplus::GraphicsState state);
    Gdiplus::GraphicsContainer BeginContainer(const RectF& destination, const RectF& source, Unit unit);
    Gdiplus::GraphicsContainer BeginContainerI(const Rect& destination, const Rect& source, Unit unit);
    Gdiplus::GraphicsContainer BeginContainerPlain();
    bool EndContainer(Gdiplus::GraphicsContainer container);
    bool AddComment(std::span<const BYTE> data);

    // ---- canvas ------------------------------------------------------------
    bool IsValid() const { return handle != nullptr; }
    // Release operation of the class: graphics, bitmap and DC. False (and
    // nothing called) without a canvas.
    virtual bool ReleaseCanvas();
    // A fresh width x height canvas, all pixels 0; an existing canvas is
    // released first. Sizes below 1 set LastStatus to 2 and touch nothing.
    bool CreateCanvas(INT width, INT height);
    // GDI black rectangle over the whole canvas with a pen of that style.
    bool FillCanvasBlack(INT penStyle);
    // Makes the rectangle fully transparent black.
    virtual bool ClearRect(INT x, INT y, INT width, INT height);
    // New bitmap and graphics of the given size on the same DC.
    virtual bool ResizeCanvas(INT width, INT height);
    virtual HBITMAP GetBitmap() const { return dibSection; }
    virtual INT GetWidth() const { return width; }
    virtual INT GetHeight() const { return height; }
    virtual HDC GetDc() const { return memoryDc; }

protected:
    void StoreHandle(NativeHandle nativeHandle) override;
    void StoreLevel2Handle(NativeHandle nativeHandle) override;

    // Steps shared with LayeredCanvas. BindCanvasBitmap makes the DIB section
    // on the existing memoryDc, selects it and creates the graphics; after a
    // failure nothing it made is left and the chain is 0 (the DC stays).
    bool BindCanvasBitmap(INT newWidth, INT newHeight);
    // Deletes the graphics (status recorded), puts the previous bitmap back,
    // deletes the DIB section and clears the chain. The DC stays.
    void UnbindCanvasBitmap();
    // Zeroes a rectangle of memoryDc by blending a fresh all-zero canvas over
    // it at constant alpha 255; a failed blend sets LastStatus to 1.
    bool BlendZeroRect(INT x, INT y, INT rectWidth, INT rectHeight);

    GpGraphics* handle = nullptr;
    HDC memoryDc = nullptr;
    HBITMAP dibSection = nullptr;
    HBITMAP previousBitmap = nullptr;
    GpGraphics* canvasGraphics = nullptr;
    INT width = 0;
    INT height = 0;

private:
    bool ImageSize(Gdiplus::GpImage* image, UINT& imageWidth, UINT& imageHeight);
    // The native regions of MeasureCharacterRanges; empty after any failure.
    std::vector<GpRegion*> MeasureRanges(const WCHAR* text, INT length, GpFont* font, const RectF& layout,
                                         const GraphicsObjectBase& format, INT count);
    bool DriverString(const WCHAR* text, INT length, GpFont* font, const GraphicsObjectBase& brush,
                      std::span<const PointF> positions, INT flags, GpMatrix* matrix);

    template <class Region>
    static bool AdoptRanges(std::vector<GpRegion*> natives, std::vector<Region>& regions) {
        if (natives.empty())
            return false;
        std::vector<Region> fresh(natives.size());
        for (std::size_t i = 0; i < natives.size(); ++i)
            fresh[i].SetNativeHandle(natives[i]);
        regions.swap(fresh);
        return true;
    }
};
