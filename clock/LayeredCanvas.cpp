#include "clock/LayeredCanvas.h"

#include <algorithm>
#include <cstring>

LayeredCanvas::~LayeredCanvas() {
    ReleaseCanvas();
}

bool LayeredCanvas::ReleaseCanvas() {
    if (!canvasGraphics)
        return false;
    UnbindCanvasBitmap();
    DeleteDC(memoryDc);
    memoryDc = nullptr;
    width = height = 0;
    ++presentSerial;
    shown.reset();
    if (window) {
        SetLayeredWindowAttributes(window, 0, 0, 0);
        SetWindowLongW(window, GWL_EXSTYLE, savedExStyle);
        window = nullptr;
        savedExStyle = 0;
        alpha = 0;
    }
    return LastStatus == 0;
}

bool LayeredCanvas::AttachToWindow(HWND target) {
    if (GetAncestor(target, GA_ROOT) != target)
        return false;
    if (canvasGraphics)
        ReleaseCanvas();
    window = target;
    savedExStyle = GetWindowLongW(window, GWL_EXSTYLE);
    SetWindowLongW(window, GWL_EXSTYLE, savedExStyle | WS_EX_LAYERED);
    alpha = 255;
    RECT rect{};
    GetWindowRect(window, &rect);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    memoryDc = CreateCompatibleDC(nullptr);
    SetBkMode(memoryDc, TRANSPARENT);
    if (!BindCanvasBitmap(width, height)) {
        // Nothing half-bound survives a failed attach: no DC is leaked and
        // the window keeps the style it had.
        DeleteDC(memoryDc);
        memoryDc = nullptr;
        width = height = 0;
        SetWindowLongW(window, GWL_EXSTYLE, savedExStyle);
        window = nullptr;
        savedExStyle = 0;
        alpha = 0;
        return false;
    }
    Present();
    return LastStatus == 0;
}

bool LayeredCanvas::Present() {
    return PresentRect(nullptr);
}

bool LayeredCanvas::PresentChanged(const RECT& changed) {
    return PresentRect(&changed);
}

bool LayeredCanvas::PresentRect(const RECT* dirty) {
    if (!window)
        return false;
    RECT rect{};
    GetWindowRect(window, &rect);
    const Shown now{{rect.left, rect.top}, {width, height}, alpha};
    const bool placementKept = shown && shown->position.x == now.position.x &&
                               shown->position.y == now.position.y && shown->size.cx == now.size.cx &&
                               shown->size.cy == now.size.cy && shown->alpha == now.alpha;
    ++presentSerial;
    bool presented = false;
    if (!dirty || !placementKept) {
        presented = UpdateLayered(window, rect.left, rect.top, width, height, memoryDc, alpha);
    } else if (IsRectEmpty(dirty)) {
        return true; // the screen holds these pixels already
    } else {
        // The source DC must hold the whole window's image; only the dirty
        // part of it is copied to the screen.
        HDC graphicsDc = nullptr;
        RecordStatus(GdipGetDC(canvasGraphics, &graphicsDc));
        POINT destination = now.position;
        SIZE size = now.size;
        POINT source{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha & 0xFF), AC_SRC_ALPHA};
        UPDATELAYEREDWINDOWINFO info{sizeof info, graphicsDc, &destination, &size,     memoryDc,
                                     &source,     0,          &blend,       ULW_ALPHA, dirty};
        presented = UpdateLayeredWindowIndirect(window, &info) != FALSE;
        RecordStatus(GdipReleaseDC(canvasGraphics, graphicsDc));
        if (!presented)
            LastStatus = GenericErrorStatus;
    }
    if (presented)
        shown = now;
    else
        shown.reset();
    return presented;
}

bool LayeredCanvas::UpdateLayered(HWND target, int x, int y, int targetWidth, int targetHeight, HDC sourceDc,
                                  std::int32_t constantAlpha) {
    HDC graphicsDc = nullptr;
    RecordStatus(GdipGetDC(canvasGraphics, &graphicsDc));
    POINT destination{x, y};
    SIZE size{targetWidth, targetHeight};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(constantAlpha & 0xFF), AC_SRC_ALPHA};
    const BOOL updated =
        UpdateLayeredWindow(target, graphicsDc, &destination, &size, sourceDc, &source, 0, &blend, ULW_ALPHA);
    RecordStatus(GdipReleaseDC(canvasGraphics, graphicsDc));
    if (!updated) {
        LastStatus = GenericErrorStatus;
        return false;
    }
    return true;
}

bool LayeredCanvas::ResizeCanvas(INT newWidth, INT newHeight) {
    if (!window || !canvasGraphics)
        return false;
    UnbindCanvasBitmap();
    return BindCanvasBitmap(newWidth, newHeight);
}

bool LayeredCanvas::ClearRect(INT x, INT y, INT rectWidth, INT rectHeight) {
    if (!window || !canvasGraphics)
        return false;
    return BlendZeroRect(x, y, rectWidth, rectHeight);
}

bool LayeredCanvas::SetAlpha(std::int32_t newAlpha) {
    if (!window)
        return false;
    alpha = newAlpha;
    return true;
}

bool SamePixels(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    if (a.size() != b.size())
        return false;
    std::size_t at = 0;
    for (; at + 8 <= a.size(); at += 8) {
        std::uint64_t left = 0;
        std::uint64_t right = 0;
        std::memcpy(&left, a.data() + at, 8);
        std::memcpy(&right, b.data() + at, 8);
        if (left != right)
            return false;
    }
    for (; at < a.size(); ++at) {
        if (a[at] != b[at])
            return false;
    }
    return true;
}

RECT ChangedPixelBounds(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after, int width,
                        int height) {
    return ChangedPixelBounds(before, after, width, height, RECT{0, 0, width, height});
}

RECT ChangedPixelBounds(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after, int width,
                        int height, const RECT& within) {
    const RECT whole{0, 0, width, height};
    RECT area{};
    if (width <= 0 || height <= 0 || !IntersectRect(&area, &whole, &within))
        return {};
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const std::size_t needed = stride * static_cast<std::size_t>(height);
    if (before.size() < needed || after.size() < needed)
        return whole;
    // Row r of the bitmap is window row height - 1 - r.
    const auto pixelAt = [&](int row, int x) {
        return static_cast<std::size_t>(height - 1 - row) * stride + static_cast<std::size_t>(x) * 4;
    };
    const auto span = static_cast<std::size_t>(area.right - area.left) * 4;
    const auto differ = [&](std::size_t at, std::size_t bytes) {
        return !SamePixels(before.subspan(at, bytes), after.subspan(at, bytes));
    };
    const auto rowDiffers = [&](int row) { return differ(pixelAt(row, area.left), span); };
    const auto pixelDiffers = [&](int row, int x) { return differ(pixelAt(row, x), 4); };
    int top = area.top;
    while (top < area.bottom && !rowDiffers(top))
        ++top;
    if (top == area.bottom)
        return {};
    int bottom = area.bottom;
    while (!rowDiffers(bottom - 1))
        --bottom;
    int left = area.right;
    int right = area.left;
    for (int row = top; row < bottom; ++row) {
        for (int x = area.left; x < left; ++x) {
            if (pixelDiffers(row, x)) {
                left = x;
                break;
            }
        }
        for (int x = area.right - 1; x >= std::max(right, left); --x) {
            if (pixelDiffers(row, x)) {
                right = x + 1;
                break;
            }
        }
    }
    return {left, top, right, bottom};
}
