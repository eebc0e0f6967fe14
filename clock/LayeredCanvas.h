#pragma once
// The clock window's drawing surface: a graphics context whose canvas is
// bound to a top-level window, shown with per-pixel alpha through
// UpdateLayeredWindow. Binding makes the window layered; releasing puts its
// former extended style back.
#include "graphics/GraphicsObject.h"

#include <cstdint>

class LayeredCanvas : public GraphicsObject {
public:
    LayeredCanvas() = default;
    ~LayeredCanvas() override;

    bool ReleaseCanvas() override;
    // Binds to a top-level window (a child is refused and left alone): the
    // window becomes layered and the canvas takes its size. Presents the
    // empty, fully transparent canvas at once.
    bool AttachToWindow(HWND target);
    // Shows the canvas at the window's current position with the stored alpha.
    bool Present();
    bool UpdateLayered(HWND target, int x, int y, int targetWidth, int targetHeight, HDC sourceDc,
                       std::int32_t constantAlpha);
    // Only while bound; keeps the memory DC and does not present.
    bool ResizeCanvas(INT newWidth, INT newHeight) override;
    // Only while bound: the rectangle becomes fully transparent.
    bool ClearRect(INT x, INT y, INT rectWidth, INT rectHeight) override;
    // Only while bound; otherwise false and the value is not kept.
    bool SetAlpha(std::int32_t newAlpha);

    HBITMAP GetBitmap() const override { return dibSection; }
    std::int32_t GetAlpha() const { return alpha; }
    INT GetWidth() const override { return width; }
    INT GetHeight() const override { return height; }
    HDC GetDc() const override { return memoryDc; }
    HWND GetWindow() const { return window; }

private:
    LONG savedExStyle = 0;
    HWND window = nullptr;
    std::int32_t alpha = 0;
};
