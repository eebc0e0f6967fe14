#pragma once
// The display scale of the monitor a window is on: its DPI over 96. Layouts
// are written in 96-DPI units and scaled once, where they are made; drawing
// code receives lengths already scaled and never multiplies again.
#include <windows.h>

inline constexpr int BaseDpi = 96;
// WM_GETDPISCALEDSIZE (Windows 10, 1703), beyond the headers' Windows 7: the
// window answers its size at the coming scale (wParam) in the SIZE at lParam.
inline constexpr UINT GetDpiScaledSizeMessage = 0x02E4;

struct DisplayScale {
    int dpi = BaseDpi;

    constexpr float Factor() const { return static_cast<float>(dpi) / BaseDpi; }
    // A length in 96-DPI units as pixels at this scale, truncated toward zero.
    constexpr int Pixels(int units) const {
        return static_cast<int>(static_cast<long long>(units) * dpi / BaseDpi);
    }
    constexpr float Pixels(float units) const { return units * static_cast<float>(dpi) / BaseDpi; }
    // Pixels at this scale back in 96-DPI units, truncated toward zero.
    constexpr int Units(int pixels) const {
        return static_cast<int>(static_cast<long long>(pixels) * BaseDpi / dpi);
    }

    friend constexpr bool operator==(DisplayScale, DisplayScale) = default;
};

// The scale of the monitor the window is on. Systems older than Windows 10
// (1607) report the desktop's DPI for every window.
DisplayScale ScaleForWindow(HWND window);
// The scale of the desktop: the primary monitor's, which a window created
// there starts with.
DisplayScale SystemScale();
