// The floors of an idle clock under this platform: a minimal layered popup
// without any of the program's code, for the benchmark to measure from
// outside.
//
//   bench_floor.exe timer     a 1-second timer with an empty handler
//   bench_floor.exe present [WIDTH HEIGHT]
//                             the same timer presenting a fixed canvas, 380 x
//                             150 unless given, with UpdateLayeredWindow on
//                             every tick
//   bench_floor.exe gdiplus   the least GDI+ clock: GDI+ started, and on every
//                             tick the time drawn as an outlined path in
//                             微软雅黑 onto the 380 x 150 canvas, the whole
//                             canvas presented
//
// Esc ends it.
#include <windows.h>

#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

int Width = 380;
int Height = 150;
constexpr UINT_PTR TickTimer = 1;

bool presentEachTick = false;
bool drawEachTick = false;
HDC canvasDc = nullptr;
void* canvasBits = nullptr;
Gdiplus::GpFontFamily* family = nullptr;

void Present(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    POINT destination{rect.left, rect.top};
    SIZE size{Width, Height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, nullptr, &destination, &size, canvasDc, &source, 0, &blend, ULW_ALPHA);
}

// The time of day as the clock shows it, outlined white over dark ink.
void DrawTime() {
    std::memset(canvasBits, 0, static_cast<std::size_t>(Width) * Height * 4);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t text[16]{};
    swprintf(text, 16, L"%d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    using namespace Gdiplus::DllExports;
    Gdiplus::GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(canvasDc, &graphics) != Gdiplus::Ok)
        return;
    GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::GpPath* path = nullptr;
    GdipCreatePath(Gdiplus::FillModeWinding, &path);
    const Gdiplus::RectF layout(0, 0, static_cast<float>(Width), static_cast<float>(Height));
    GdipAddPathString(path, text, -1, family, Gdiplus::FontStyleBold, 80, &layout, nullptr);
    Gdiplus::GpPen* pen = nullptr;
    GdipCreatePen1(0xFFFFFFFF, 6, Gdiplus::UnitPixel, &pen);
    Gdiplus::GpSolidFill* ink = nullptr;
    GdipCreateSolidFill(0xFF202020, &ink);
    GdipDrawPath(graphics, pen, path);
    GdipFillPath(graphics, ink, path);
    GdipDeleteBrush(ink);
    GdipDeletePen(pen);
    GdipDeletePath(path);
    GdipDeleteGraphics(graphics);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (drawEachTick)
            DrawTime();
        if (presentEachTick)
            Present(window);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// An opaque dark panel with a lighter band: a fixed picture, drawn once.
HBITMAP MakeCanvas() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        canvasBits = bits;
        auto* pixels = static_cast<std::uint32_t*>(bits);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                pixels[y * Width + x] = (y / 30) % 2 ? 0xFF404040u : 0xFF202020u;
    }
    return bitmap;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const char* present = std::strstr(commandLine, "present");
    drawEachTick = std::strstr(commandLine, "gdiplus") != nullptr;
    presentEachTick = present != nullptr || drawEachTick;
    ULONG_PTR gdiplusToken = 0;
    if (drawEachTick) {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok ||
            Gdiplus::DllExports::GdipCreateFontFamilyFromName(L"微软雅黑", nullptr, &family) != Gdiplus::Ok)
            return 1;
    }
    int width = 0;
    int height = 0;
    if (present && std::sscanf(present, "present %d %d", &width, &height) == 2 && width > 0 && height > 0) {
        Width = width;
        Height = height;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TikoFloorWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"TikoFloorWindow", L"", WS_POPUP, 770,
                                  465, Width, Height, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    canvasDc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = MakeCanvas();
    HGDIOBJ previous = SelectObject(canvasDc, canvas);
    if (drawEachTick)
        DrawTime();
    Present(window);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, TickTimer, 1000, nullptr);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    SelectObject(canvasDc, previous);
    DeleteObject(canvas);
    DeleteDC(canvasDc);
    if (drawEachTick) {
        Gdiplus::DllExports::GdipDeleteFontFamily(family);
        Gdiplus::GdiplusShutdown(gdiplusToken);
    }
    return static_cast<int>(message.wParam);
}
