#pragma once
// The clock window's drawing surface: a graphics context whose canvas is
// bound to a top-level window, shown with per-pixel alpha through
// UpdateLayeredWindow. Binding makes the window layered; releasing puts its
// former extended style back.
#include "graphics/GraphicsObject.h"

#include <cstdint>
#include <optional>
#include <span>

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
    // As Present, but only the canvas pixels inside changed reach the screen,
    // the rest of the window keeping what the last present left. The whole
    // window still goes when the size, the position or the alpha differ from
    // that present's. An empty rectangle with nothing else changed presents
    // nothing.
    bool PresentChanged(const RECT& changed);
    // Changes with every present, failed or not, and with every release: the
    // window shows what a caller last presented only while this is the value
    // read after that present.
    std::uint64_t PresentSerial() const { return presentSerial; }
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
    struct Shown {
        POINT position;
        SIZE size;
        std::int32_t alpha;
    };
    bool PresentRect(const RECT* dirty);

    LONG savedExStyle = 0;
    HWND window = nullptr;
    std::int32_t alpha = 0;
    std::uint64_t presentSerial = 0;
    std::optional<Shown> shown; // the last successful present's placement
};

// Whether two blocks of pixels hold the same bytes, read eight at a time:
// a C runtime's memcmp may go byte by byte, and a frame compares a whole
// canvas.
bool SamePixels(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// The bounding box, in top-down window coordinates, of the pixels that differ
// between two 32-bit bottom-up canvases of that size; empty when none does,
// the whole canvas when either holds fewer bytes than the size needs.
RECT ChangedPixelBounds(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after, int width,
                        int height);
// As ChangedPixelBounds, comparing only the pixels inside within.
RECT ChangedPixelBounds(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after, int width,
                        int height, const RECT& within);
