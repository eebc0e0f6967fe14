#pragma once
// Helpers of the path, pen, brush, font and string format tests. Native
// objects the layer has no class for (bitmaps, graphics contexts, matrices,
// custom caps) are made straight through the flat API.
#include "graphics/GraphicsObjectBase.h"
#include "graphics/LastStatus.h"
#include "support/HeapUse.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace pathtest {

inline constexpr std::int32_t NotImplementedStatus = Gdiplus::NotImplemented;

// Owns one native object of a kind the layer has no wrapper for, so that it
// can be handed to operations that take a wrapper.
template <class Native, auto Release> class Held : public SingleLevelObject<Native> {
public:
    Held() = default;
    explicit Held(Native* native) { this->SetNativeHandle(native); }
    ~Held() override {
        if (this->handle)
            Release(this->handle);
    }
};

inline void ReleaseGraphics(Gdiplus::GpGraphics* graphics) {
    GdipDeleteGraphics(graphics);
}
inline void ReleaseCap(Gdiplus::GpCustomLineCap* cap) {
    GdipDeleteCustomLineCap(cap);
}
using HeldGraphics = Held<Gdiplus::GpGraphics, ReleaseGraphics>;
using HeldCap = Held<Gdiplus::GpCustomLineCap, ReleaseCap>;

struct MatrixDeleter {
    void operator()(Gdiplus::GpMatrix* matrix) const { GdipDeleteMatrix(matrix); }
};
using Matrix = std::unique_ptr<Gdiplus::GpMatrix, MatrixDeleter>;

inline Matrix NewMatrix(float m11 = 1, float m12 = 0, float m21 = 0, float m22 = 1, float dx = 0,
                        float dy = 0) {
    Gdiplus::GpMatrix* matrix = nullptr;
    GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &matrix);
    return Matrix(matrix);
}

inline Gdiplus::PointF Apply(Gdiplus::GpMatrix* matrix, Gdiplus::PointF point) {
    GdipTransformMatrixPoints(matrix, &point, 1);
    return point;
}

// A 32-bit ARGB bitmap, cleared to transparent, with a graphics context on it.
class TestCanvas {
public:
    TestCanvas(int width, int height) {
        Gdiplus::GpBitmap* created = nullptr;
        GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &created);
        bitmap.reset(created);
        Gdiplus::GpGraphics* context = nullptr;
        GdipGetImageGraphicsContext(created, &context);
        graphics.SetNativeHandle(context);
        GdipGraphicsClear(context, 0);
    }
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    const GraphicsObjectBase& Graphics() const { return graphics; }
    Gdiplus::GpGraphics* Native() const { return graphics.Handle(); }

    Gdiplus::ARGB PixelAt(int x, int y) const {
        Gdiplus::ARGB colour = 0xDEADBEEF;
        GdipBitmapGetPixel(bitmap.get(), x, y, &colour);
        return colour;
    }

private:
    struct BitmapDeleter {
        void operator()(Gdiplus::GpBitmap* b) const { GdipDisposeImage(b); }
    };
    std::unique_ptr<Gdiplus::GpBitmap, BitmapDeleter> bitmap;
    HeldGraphics graphics; // declared last: released before its bitmap
};

using ::HeapBytesInUse;

// Whether block is the start of a busy block in one of the process heaps:
// tells a native object still alive from one that was freed.
inline bool IsLiveHeapBlock(const void* block) {
    HANDLE heaps[64];
    const DWORD heapCount = GetProcessHeaps(64, heaps);
    bool live = false;
    for (DWORD i = 0; i < heapCount && i < 64 && !live; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (!live && HeapWalk(heaps[i], &entry))
            live = (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && entry.lpData == block;
        HeapUnlock(heaps[i]);
    }
    return live;
}

} // namespace pathtest

// Under Wine some GDI+ calls answer NotImplemented: the wrapper's part (the
// status it recorded, its result, its handles) is checked before this; only
// what GDI+ would have produced is skipped.
#define PATHTEST_SKIP_IF_NOT_IMPLEMENTED(what)                                                               \
    do {                                                                                                     \
        if (LastStatus == pathtest::NotImplementedStatus)                                                    \
            GTEST_SKIP() << what << ": this GDI+ answers NotImplemented";                                    \
    } while (0)
