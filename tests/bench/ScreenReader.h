#pragma once
// Reads a rectangle of the screen, as any program sees it.
#include <windows.h>

#include <cstdint>
#include <vector>

// Reads a rectangle of the screen into a DIB section, as another program
// sees it.
class ScreenReader {
public:
    explicit ScreenReader(const RECT& rect)
        : rect(rect), screen(GetDC(nullptr)), memory(CreateCompatibleDC(screen)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = Width();
        info.bmiHeader.biHeight = -Height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(memory, bitmap);
    }
    ~ScreenReader() {
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    ScreenReader(const ScreenReader&) = delete;
    ScreenReader& operator=(const ScreenReader&) = delete;

    bool Ready() const { return bits != nullptr; }
    // The pixels now, top-down rows of BGRX; false when the screen could not
    // be read.
    bool Read(std::vector<std::uint8_t>& pixels) {
        if (!BitBlt(memory, 0, 0, Width(), Height(), screen, rect.left, rect.top, SRCCOPY))
            return false;
        GdiFlush();
        const auto* bytes = static_cast<const std::uint8_t*>(bits);
        pixels.assign(bytes, bytes + static_cast<std::size_t>(Width()) * Height() * 4);
        return true;
    }

private:
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }

    RECT rect;
    HDC screen;
    HDC memory;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;
};
