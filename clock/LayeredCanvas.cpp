#include "clock/LayeredCanvas.h"

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
    if (!window)
        return false;
    RECT rect{};
    GetWindowRect(window, &rect);
    return UpdateLayered(window, rect.left, rect.top, width, height, memoryDc, alpha);
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
