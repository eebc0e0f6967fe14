#pragma once
// Helpers of the graphics context tests: native pens, brushes, paths, regions
// and bitmaps made straight through the flat API (so these tests depend on
// no other wrapper class), and pixel reads from a canvas's DIB section.
#include "graphics/GraphicsObject.h"
#include "support/ImportHook.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

// A minimal owner of one native object: lets a test hand a native pen or
// brush to operations that take a wrapper.
template <class Native, auto Delete> class Adopted : public SingleLevelObject<Native> {
public:
    Adopted() = default;
    explicit Adopted(Native* native) { this->SetNativeHandle(native); }
    ~Adopted() override {
        if (this->handle)
            Delete(this->handle);
    }
};

using TestPen = Adopted<Gdiplus::GpPen, [](Gdiplus::GpPen* p) { GdipDeletePen(p); }>;
using TestBrush = Adopted<Gdiplus::GpBrush, [](Gdiplus::GpBrush* b) { GdipDeleteBrush(b); }>;
using TestPath = Adopted<Gdiplus::GpPath, [](Gdiplus::GpPath* p) { GdipDeletePath(p); }>;
using TestRegion = Adopted<Gdiplus::GpRegion, [](Gdiplus::GpRegion* r) { GdipDeleteRegion(r); }>;
using TestImage = Adopted<Gdiplus::GpImage, [](Gdiplus::GpImage* i) { GdipDisposeImage(i); }>;
using TestFormat =
    Adopted<Gdiplus::GpStringFormat, [](Gdiplus::GpStringFormat* f) { GdipDeleteStringFormat(f); }>;
using TestAttributes =
    Adopted<Gdiplus::GpImageAttributes, [](Gdiplus::GpImageAttributes* a) { GdipDisposeImageAttributes(a); }>;

inline constexpr Gdiplus::ARGB OpaqueRed = 0xFFFF0000;
inline constexpr Gdiplus::ARGB OpaqueBlue = 0xFF0000FF;
inline constexpr std::int32_t NotImplementedStatus = Gdiplus::NotImplemented;

inline Gdiplus::GpPen* NewPen(Gdiplus::ARGB colour, float penWidth) {
    Gdiplus::GpPen* pen = nullptr;
    GdipCreatePen1(colour, penWidth, Gdiplus::UnitPixel, &pen);
    return pen;
}

inline Gdiplus::GpBrush* NewBrush(Gdiplus::ARGB colour) {
    Gdiplus::GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(colour, &brush);
    return brush;
}

// A width x height 32-bit ARGB bitmap filled with one colour.
inline Gdiplus::GpImage* NewBitmap(INT bitmapWidth, INT bitmapHeight, Gdiplus::ARGB colour) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(bitmapWidth, bitmapHeight, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    for (INT y = 0; y < bitmapHeight; ++y)
        for (INT x = 0; x < bitmapWidth; ++x)
            GdipBitmapSetPixel(bitmap, x, y, colour);
    return bitmap;
}

// The first of a few common faces this machine has (Wine ships Tahoma; the
// clock's own face maps to WenQuanYi in the test prefix).
inline Gdiplus::GpFont* NewFont(float emSize) {
    Gdiplus::GpFontFamily* family = nullptr;
    for (const wchar_t* name : {L"Tahoma", L"微软雅黑", L"Arial", L"DejaVu Sans"})
        if (GdipCreateFontFamilyFromName(name, nullptr, &family) == Gdiplus::Ok)
            break;
    if (!family)
        GdipGetGenericFontFamilySansSerif(&family);
    Gdiplus::GpFont* font = nullptr;
    GdipCreateFont(family, emSize, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel, &font);
    GdipDeleteFontFamily(family);
    return font;
}

struct FontDeleter {
    void operator()(Gdiplus::GpFont* font) const { GdipDeleteFont(font); }
};

// The canvas pixel at (x, y) as 0xAARRGGBB; the DIB runs bottom-up.
inline std::uint32_t PixelAt(const GraphicsObject& canvas, int x, int y) {
    GdiFlush();
    DIBSECTION section{};
    if (GetObjectW(canvas.GetBitmap(), sizeof section, &section) != sizeof section || !section.dsBm.bmBits)
        return 0xDEADBEEF;
    const auto* bits = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
    const int row = canvas.GetHeight() - 1 - y;
    return bits[row * canvas.GetWidth() + x];
}

// Whether any pixel of the (2 * radius + 1)-square around (x, y) is painted.
inline bool PaintedNear(const GraphicsObject& canvas, int x, int y, int radius = 1) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px < 0 || py < 0 || px >= canvas.GetWidth() || py >= canvas.GetHeight())
                continue;
            if (PixelAt(canvas, px, py) != 0)
                return true;
        }
    return false;
}

inline int PaintedCount(const GraphicsObject& canvas) {
    int count = 0;
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x)
            count += PixelAt(canvas, x, y) != 0;
    return count;
}

// Wine 8's gdiplus exports a few functions as bare stubs that abort the
// process when called, so a test may not even try them there.
inline bool IsAbortingStubUnderWine(std::string_view gdiplusFunction) {
    if (!RunningUnderWine())
        return false;
    for (const std::string_view stub :
         {"GdipEnumerateMetafileDestPoints", "GdipEnumerateMetafileDestPointsI",
          "GdipEnumerateMetafileSrcRectDestPoint", "GdipEnumerateMetafileSrcRectDestPointI",
          "GdipEnumerateMetafileSrcRectDestPointsI", "GdipSetPenUnit"})
        if (stub == gdiplusFunction)
            return true;
    return false;
}

// Under Wine some GDI+ calls answer NotImplemented: the wrapper's part (the
// status it recorded, its result) is still checked by the caller; only what
// GDI+ would have drawn or computed is skipped.
#define SKIP_IF_NOT_IMPLEMENTED(what)                                                                        \
    do {                                                                                                     \
        if (LastStatus == NotImplementedStatus)                                                              \
            GTEST_SKIP() << what << ": this GDI+ answers NotImplemented";                                    \
    } while (0)
