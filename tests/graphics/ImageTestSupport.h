#pragma once
// Test pictures and a drawing surface made with the flat GDI+ interface
// directly, so the image, attribute and region tests depend on nothing but
// the class under test.
#include "graphics/GraphicsObjectBase.h"
#include "graphics/MemoryStreamObject.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace image_test {

inline constexpr GpStatus NotImplementedStatus = Gdiplus::NotImplemented;
inline const CLSID PngEncoderClsid = {
    0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

inline bool StartsWith(const ByteArray& bytes, std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

inline bool IsPng(const ByteArray& bytes) {
    return bytes.size() >= 8 && std::equal(std::begin(PngSignature), std::end(PngSignature), bytes.begin());
}

// A width x height 32-bit ARGB bitmap of one colour (flat API), owned.
inline Gdiplus::GpBitmap* MakeBitmap(int width, int height, Gdiplus::ARGB color,
                                     Gdiplus::PixelFormat format = PixelFormat32bppARGB) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap) != Gdiplus::Ok)
        return nullptr;
    if (format == PixelFormat32bppARGB)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                GdipBitmapSetPixel(bitmap, x, y, color);
    return bitmap;
}

// PNG bytes of a one-colour picture, encoded without the class under test.
inline ByteArray MakePng(int width, int height, Gdiplus::ARGB color) {
    Gdiplus::GpBitmap* bitmap = MakeBitmap(width, height, color);
    IStream* stream = nullptr;
    ByteArray bytes;
    if (bitmap && SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        if (GdipSaveImageToStream(bitmap, stream, &PngEncoderClsid, nullptr) == Gdiplus::Ok) {
            STATSTG stat{};
            stream->Stat(&stat, STATFLAG_NONAME);
            HGLOBAL block = nullptr;
            GetHGlobalFromStream(stream, &block);
            const auto* data = static_cast<const std::uint8_t*>(GlobalLock(block));
            bytes.assign(data, data + stat.cbSize.QuadPart);
            GlobalUnlock(block);
        }
        stream->Release();
    }
    if (bitmap)
        GdipDisposeImage(bitmap);
    return bytes;
}

// Whether a global memory handle has been freed. Probed without touching
// the memory: a freed handle answers no size and an invalid-handle flag.
inline bool GlobalBlockFreed(HGLOBAL block) {
    return GlobalFlags(block) == GMEM_INVALID_HANDLE;
}

// A wrapper around a native handle the test owns elsewhere (a graphics
// context, a path); it never releases anything.
template <class Native> class BorrowedHandle : public SingleLevelObject<Native> {
public:
    explicit BorrowedHandle(Native* native = nullptr) { this->SetNativeHandle(native); }
};

// A 32-bit top-down DIB with a GDI+ graphics context on it, for drawing
// tests and for the graphics argument of region queries.
class DibCanvas {
public:
    DibCanvas(int width, int height) : width(width), height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        previous = SelectObject(dc, dib);
        GdipCreateFromHDC(dc, &graphics);
    }
    ~DibCanvas() {
        if (graphics)
            GdipDeleteGraphics(graphics);
        SelectObject(dc, previous);
        DeleteObject(dib);
        DeleteDC(dc);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    Gdiplus::GpGraphics* Graphics() const { return graphics; }
    // The pixel as 0xAARRGGBB (premultiplied where alpha < 255).
    std::uint32_t Pixel(int x, int y) const {
        GdiFlush();
        return bits[y * width + x];
    }
    void Clear(std::uint32_t argb) {
        GdiFlush();
        std::fill(bits, bits + width * height, argb);
    }

private:
    int width;
    int height;
    HDC dc = nullptr;
    HBITMAP dib = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint32_t* bits = nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
};

} // namespace image_test
