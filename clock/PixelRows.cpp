#include "clock/FaceInternal.h"

#include "clock/ClockView.h"

#include <cstring>

namespace clock_face {

std::size_t BytesOf(const RECT& rect) {
    return static_cast<std::size_t>(rect.right - rect.left) * (rect.bottom - rect.top) * 4;
}

// The bitmap's DIB section, once GDI has finished drawing into it; false
// when it has no pixels in memory.
bool ReadDibSection(HBITMAP bitmap, DIBSECTION& section) {
    GdiFlush();
    return GetObjectW(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBits;
}

// The layer's pixels inside the rectangle become 0, as a new canvas has them.
void ClearLayerRect(GraphicsObject& layer, const RECT& rect) {
    ForEachRowWithin(layer, rect, [](std::uint8_t* row, std::size_t bytes) { std::memset(row, 0, bytes); });
}

// Sets every pixel of a layer's canvas to 0, as a new canvas has them.
void ClearCanvas(GraphicsObject& layer) {
    ClearLayerRect(layer, {0, 0, layer.GetWidth(), layer.GetHeight()});
}

// The canvas's pixels; empty without a canvas.
std::span<const std::uint8_t> CanvasPixels(const ClockView& view) {
    DIBSECTION section{};
    if (!ReadDibSection(view.clockCanvas.GetBitmap(), section))
        return {};
    return {static_cast<const std::uint8_t*>(section.dsBm.bmBits),
            static_cast<std::size_t>(section.dsBm.bmWidthBytes) * section.dsBm.bmHeight};
}

// The canvas pixels inside part copied over the kept ones (same layout).
void CopyPixelsWithin(std::vector<std::uint8_t>& kept, std::span<const std::uint8_t> pixels, int width,
                      int height, const RECT& part) {
    const RECT whole{0, 0, width, height};
    RECT area{};
    if (kept.size() != pixels.size() || pixels.size() < static_cast<std::size_t>(width) * height * 4) {
        kept.assign(pixels.begin(), pixels.end());
        return;
    }
    if (!IntersectRect(&area, &whole, &part))
        return;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (LONG y = area.top; y < area.bottom; ++y) {
        const std::size_t at = static_cast<std::size_t>(height - 1 - y) * stride + area.left * 4;
        std::memcpy(kept.data() + at, pixels.data() + at,
                    static_cast<std::size_t>(area.right - area.left) * 4);
    }
}

} // namespace clock_face
