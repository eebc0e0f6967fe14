#include "framework/DisplayScale.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up at run time: the program still starts on Windows 7 and 8.
GetDpiForWindowFunction DpiForWindowFunction() {
    static const auto function = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return function;
}

DisplayScale FromDpi(int dpi) {
    return {dpi > 0 ? dpi : BaseDpi};
}

} // namespace

DisplayScale SystemScale() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : BaseDpi;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return FromDpi(dpi);
}

DisplayScale ScaleForWindow(HWND window) {
    if (const auto function = DpiForWindowFunction(); function && window) {
        return FromDpi(static_cast<int>(function(window)));
    }
    return SystemScale();
}
