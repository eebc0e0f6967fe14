// The memory canvas of a graphics context: create, resize, release, clear.
#include "GraphicsObjectTestSupport.h"

#include <functional>

namespace {

// Exposes the record to check what the canvas operations left behind.
class CanvasRecord : public GraphicsObject {
public:
    using GraphicsObject::canvasGraphics;
    using GraphicsObject::previousBitmap;
};

bool IsLiveGdiObject(HGDIOBJ object) {
    return object && GetObjectType(object) != 0;
}

BITMAP BitmapOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return info;
}

} // namespace

TEST(GraphicsObjectCanvas, CreateMakesA32BitBottomUpDibOfTheGivenSize) {
    CanvasRecord canvas;
    ASSERT_TRUE(canvas.CreateCanvas(37, 11));
    EXPECT_EQ(LastStatus, 0);
    EXPECT_TRUE(canvas.IsValid());
    EXPECT_EQ(canvas.GetWidth(), 37);
    EXPECT_EQ(canvas.GetHeight(), 11);
    ASSERT_NE(canvas.GetDc(), nullptr);
    ASSERT_NE(canvas.GetBitmap(), nullptr);
    EXPECT_EQ(GetObjectType(canvas.GetDc()), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(canvas.GetDc(), OBJ_BITMAP), canvas.GetBitmap());
    EXPECT_EQ(GetBkMode(canvas.GetDc()), TRANSPARENT);

    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(canvas.GetBitmap(), sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBmih.biWidth, 37);
    EXPECT_EQ(section.dsBmih.biHeight, 11); // positive: bottom-up rows
    EXPECT_EQ(section.dsBmih.biBitCount, 32);
    EXPECT_EQ(section.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(PaintedCount(canvas), 0) << "a fresh canvas is all zero";
    // The bitmap the DC came with is kept for the release.
    EXPECT_TRUE(IsLiveGdiObject(canvas.previousBitmap));
}

TEST(GraphicsObjectCanvas, CreateOnACanvasReleasesTheOldDcBitmapAndGraphics) {
    CanvasRecord canvas;
    ASSERT_TRUE(canvas.CreateCanvas(10, 10));
    const HDC oldDc = canvas.GetDc();
    const HBITMAP oldBitmap = canvas.GetBitmap();
    // GDI tags its handles with a reuse count, so a deleted handle stays
    // invalid unless the very same value comes back for the new canvas.
    ASSERT_TRUE(canvas.CreateCanvas(20, 5));
    EXPECT_EQ(canvas.GetWidth(), 20);
    EXPECT_EQ(canvas.GetHeight(), 5);
    EXPECT_TRUE(IsLiveGdiObject(canvas.GetDc()));
    EXPECT_TRUE(IsLiveGdiObject(canvas.GetBitmap()));
    if (oldDc != canvas.GetDc()) {
        EXPECT_FALSE(IsLiveGdiObject(oldDc)) << "old DC leaked";
    }
    if (oldBitmap != canvas.GetBitmap()) {
        EXPECT_FALSE(IsLiveGdiObject(oldBitmap)) << "old bitmap leaked";
    }
    EXPECT_EQ(BitmapOf(canvas.GetBitmap()).bmWidth, 20);
    EXPECT_EQ(canvas.GetNativeHandle(), canvas.canvasGraphics);
}

TEST(GraphicsObjectCanvas, ReleaseEmptiesEverything) {
    CanvasRecord canvas;
    ASSERT_TRUE(canvas.CreateCanvas(12, 12));
    const HDC dc = canvas.GetDc();
    const HBITMAP bitmap = canvas.GetBitmap();
    LastStatus = 3;
    ASSERT_TRUE(canvas.ReleaseCanvas());
    EXPECT_EQ(LastStatus, 0);
    EXPECT_EQ(canvas.GetDc(), nullptr);
    EXPECT_EQ(canvas.GetBitmap(), nullptr);
    EXPECT_EQ(canvas.GetWidth(), 0);
    EXPECT_EQ(canvas.GetHeight(), 0);
    EXPECT_FALSE(canvas.IsValid());
    EXPECT_EQ(canvas.GetNativeHandle(), nullptr);
    EXPECT_EQ(canvas.canvasGraphics, nullptr);
    EXPECT_EQ(canvas.previousBitmap, nullptr);
    EXPECT_FALSE(IsLiveGdiObject(dc));
    EXPECT_FALSE(IsLiveGdiObject(bitmap));
    // Nothing left to release a second time.
    EXPECT_FALSE(canvas.ReleaseCanvas());
}

TEST(GraphicsObjectCanvas, CanvasOperationsWithoutACanvasReturnFalseAndTouchNothing) {
    const struct {
        const char* name;
        std::function<bool(GraphicsObject&)> call;
    } cases[] = {
        {"ReleaseCanvas", [](GraphicsObject& c) { return c.ReleaseCanvas(); }},
        {"ResizeCanvas", [](GraphicsObject& c) { return c.ResizeCanvas(10, 10); }},
        {"FillCanvasBlack", [](GraphicsObject& c) { return c.FillCanvasBlack(PS_SOLID); }},
        {"ClearRect", [](GraphicsObject& c) { return c.ClearRect(0, 0, 4, 4); }},
    };
    for (const auto& c : cases) {
        for (const bool wasReleased : {false, true}) {
            GraphicsObject canvas;
            if (wasReleased) {
                ASSERT_TRUE(canvas.CreateCanvas(4, 4));
                ASSERT_TRUE(canvas.ReleaseCanvas());
            }
            LastStatus = 77;
            EXPECT_FALSE(c.call(canvas)) << c.name;
            EXPECT_EQ(LastStatus, 77) << c.name;
            EXPECT_EQ(canvas.GetDc(), nullptr) << c.name;
            EXPECT_EQ(canvas.GetBitmap(), nullptr) << c.name;
            EXPECT_EQ(canvas.GetWidth(), 0) << c.name;
            EXPECT_FALSE(canvas.IsValid()) << c.name;
        }
    }
}

TEST(GraphicsObjectCanvas, ResizeKeepsTheDcAndReplacesBitmapAndGraphics) {
    CanvasRecord canvas;
    ASSERT_TRUE(canvas.CreateCanvas(8, 8));
    ASSERT_TRUE(canvas.Clear(OpaqueRed));
    const HDC dc = canvas.GetDc();
    ASSERT_TRUE(canvas.ResizeCanvas(30, 14));
    EXPECT_EQ(canvas.GetDc(), dc);
    EXPECT_EQ(canvas.GetWidth(), 30);
    EXPECT_EQ(canvas.GetHeight(), 14);
    EXPECT_EQ(BitmapOf(canvas.GetBitmap()).bmWidth, 30);
    EXPECT_EQ(BitmapOf(canvas.GetBitmap()).bmHeight, 14);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), canvas.GetBitmap());
    EXPECT_TRUE(canvas.IsValid());
    EXPECT_EQ(canvas.GetNativeHandle(), canvas.canvasGraphics);
    EXPECT_EQ(PaintedCount(canvas), 0) << "the new bitmap starts empty";
    // The new graphics draws on the new bitmap.
    ASSERT_TRUE(canvas.Clear(OpaqueBlue));
    EXPECT_EQ(PixelAt(canvas, 29, 13), OpaqueBlue);
    // Release still frees everything, the kept DC included.
    ASSERT_TRUE(canvas.ReleaseCanvas());
    EXPECT_FALSE(IsLiveGdiObject(dc));
}

TEST(GraphicsObjectCanvas, SizesBelowOneAreRefusedWithInvalidParameter) {
    const struct { INT width, height; } sizes[] = {{0, 10}, {10, 0}, {-5, 10}, {10, -5}, {0, 0}};
    for (const auto& size : sizes) {
        GraphicsObject canvas;
        LastStatus = 0;
        EXPECT_FALSE(canvas.CreateCanvas(size.width, size.height));
        EXPECT_EQ(LastStatus, InvalidParameterStatus);
        EXPECT_EQ(canvas.GetDc(), nullptr);
        EXPECT_FALSE(canvas.IsValid());

        // A resize with a bad size keeps the canvas it had.
        ASSERT_TRUE(canvas.CreateCanvas(6, 6));
        LastStatus = 0;
        EXPECT_FALSE(canvas.ResizeCanvas(size.width, size.height));
        EXPECT_EQ(LastStatus, InvalidParameterStatus);
        EXPECT_TRUE(canvas.IsValid());
        EXPECT_EQ(canvas.GetWidth(), 6);
    }
}

TEST(GraphicsObjectCanvas, FailedCreateLeavesNoDcOrBitmapBehind) {
    CanvasRecord canvas;
    ASSERT_TRUE(canvas.CreateCanvas(4, 4));
    const HDC oldDc = canvas.GetDc();
    // Far more memory than any DIB section can get: the bitmap step fails.
    LastStatus = 0;
    EXPECT_FALSE(canvas.CreateCanvas(200000, 200000));
    EXPECT_NE(LastStatus, 0);
    EXPECT_FALSE(canvas.IsValid());
    EXPECT_EQ(canvas.GetDc(), nullptr);
    EXPECT_EQ(canvas.GetBitmap(), nullptr);
    EXPECT_EQ(canvas.GetWidth(), 0);
    EXPECT_EQ(canvas.GetHeight(), 0);
    EXPECT_EQ(canvas.canvasGraphics, nullptr);
    EXPECT_FALSE(IsLiveGdiObject(oldDc));
    // The object is plainly empty again and can make a canvas.
    EXPECT_FALSE(canvas.ReleaseCanvas());
    EXPECT_TRUE(canvas.CreateCanvas(3, 3));
}

TEST(GraphicsObjectCanvas, FailedResizeReleasesTheWholeCanvas) {
    CanvasRecord canvas;
    ASSERT_TRUE(canvas.CreateCanvas(4, 4));
    const HDC dc = canvas.GetDc();
    EXPECT_FALSE(canvas.ResizeCanvas(200000, 200000));
    EXPECT_FALSE(canvas.IsValid());
    EXPECT_EQ(canvas.GetDc(), nullptr);
    EXPECT_EQ(canvas.GetBitmap(), nullptr);
    EXPECT_FALSE(IsLiveGdiObject(dc));
}

TEST(GraphicsObjectCanvas, ClearRectZeroesExactlyItsRectangle) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(40, 30));
    const Gdiplus::ARGB fill = 0xFF336699;
    ASSERT_TRUE(canvas.Clear(fill));
    ASSERT_EQ(PixelAt(canvas, 0, 0), fill);

    const RECT cleared{10, 5, 10 + 20, 5 + 8};
    LastStatus = 9;
    ASSERT_TRUE(canvas.ClearRect(cleared.left, cleared.top, 20, 8));
    EXPECT_EQ(LastStatus, 0);
    int wrong = 0;
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) {
            const bool inside =
                x >= cleared.left && x < cleared.right && y >= cleared.top && y < cleared.bottom;
            const std::uint32_t expected = inside ? 0u : fill;
            if (PixelAt(canvas, x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << PixelAt(canvas, x, y);
        }
    EXPECT_EQ(wrong, 0);
}

TEST(GraphicsObjectCanvas, ClearRectPartlyOutsideClearsTheInsidePart) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(10, 10));
    ASSERT_TRUE(canvas.Clear(OpaqueRed));
    ASSERT_TRUE(canvas.ClearRect(6, 6, 10, 10));
    EXPECT_EQ(PixelAt(canvas, 9, 9), 0u);
    EXPECT_EQ(PixelAt(canvas, 6, 6), 0u);
    EXPECT_EQ(PixelAt(canvas, 5, 5), OpaqueRed);
}

TEST(GraphicsObjectCanvas, ClearRectOfNoAreaIsAFailedBlend) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(10, 10));
    ASSERT_TRUE(canvas.Clear(OpaqueRed));
    LastStatus = 0;
    EXPECT_FALSE(canvas.ClearRect(2, 2, 0, 5));
    EXPECT_EQ(LastStatus, GenericErrorStatus);
    EXPECT_EQ(PaintedCount(canvas), 100);
    EXPECT_TRUE(canvas.IsValid());
}

TEST(GraphicsObjectCanvas, FillCanvasBlackPaintsTheWholeCanvasBlack) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(16, 9));
    ASSERT_TRUE(canvas.Clear(0xFFFFFFFF));
    const HGDIOBJ penBefore = GetCurrentObject(canvas.GetDc(), OBJ_PEN);
    const HGDIOBJ brushBefore = GetCurrentObject(canvas.GetDc(), OBJ_BRUSH);
    ASSERT_TRUE(canvas.FillCanvasBlack(PS_SOLID));
    for (const auto& [x, y] : {std::pair{0, 0}, {15, 0}, {0, 8}, {15, 8}, {7, 4}})
        EXPECT_EQ(PixelAt(canvas, x, y) & 0x00FFFFFF, 0u) << x << ", " << y;
    // The DC gets its own pen and brush back.
    EXPECT_EQ(GetCurrentObject(canvas.GetDc(), OBJ_PEN), penBefore);
    EXPECT_EQ(GetCurrentObject(canvas.GetDc(), OBJ_BRUSH), brushBefore);
}

TEST(GraphicsObjectCanvas, DestructionReleasesTheCanvas) {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    {
        GraphicsObject canvas;
        ASSERT_TRUE(canvas.CreateCanvas(5, 5));
        dc = canvas.GetDc();
        bitmap = canvas.GetBitmap();
    }
    EXPECT_FALSE(IsLiveGdiObject(dc));
    EXPECT_FALSE(IsLiveGdiObject(bitmap));
}
