#include "support/Desktop.h"

#include <thread>

namespace desktop {

namespace {

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void Settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}

} // namespace

void MoveMouse(int x, int y) {
    SetCursorPos(x, y);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, static_cast<LONG>((x * 65535.0) / (width - 1) + 0.5),
              static_cast<LONG>((y * 65535.0) / (height - 1) + 0.5));
    Settle();
}

void LeftDown() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Settle();
}

void LeftUp() {
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle();
}

void Click(int x, int y) {
    MoveMouse(x, y);
    LeftDown();
    LeftUp();
}

void RightClick(int x, int y) {
    MoveMouse(x, y);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    Settle();
    SendMouse(MOUSEEVENTF_RIGHTUP);
    Settle();
}

void Drag(int fromX, int fromY, int toX, int toY, const std::function<bool()>& arrived) {
    MoveMouse(fromX, fromY);
    LeftDown();
    constexpr int steps = 8;
    for (int i = 1; i <= steps; ++i)
        MoveMouse(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    // A hand holding still at the end: on a loaded machine the move loop can
    // miss the last move, so the pointer trembles there until it follows.
    for (int tremble = 0; arrived && !WaitUntil(arrived, std::chrono::milliseconds(500)) && tremble < 10;
         ++tremble) {
        MoveMouse(toX + 1, toY);
        MoveMouse(toX, toY);
    }
    LeftUp();
}

void Wheel(int delta) {
    SendMouse(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(delta));
    Settle();
}

void PressKey(WORD virtualKey) {
    INPUT inputs[2]{};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
    Settle();
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

COLORREF WaitForPixel(int x, int y, COLORREF expected, std::chrono::milliseconds timeout) {
    COLORREF seen = CLR_INVALID;
    WaitUntil([&] { return (seen = ScreenPixel(x, y)) == expected; }, timeout, std::chrono::milliseconds(10));
    return seen;
}

HWND FocusInThreadOf(HWND window) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread))
        return nullptr;
    return thread.hwndFocus;
}

bool TakesKeys(HWND window) {
    const HWND focus = FocusInThreadOf(window);
    return GetForegroundWindow() == window && focus && (focus == window || IsChild(window, focus));
}

bool GiveKeyboardTo(HWND window, std::chrono::milliseconds timeout) {
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() != window)
                SetForegroundWindow(window);
            return TakesKeys(window);
        },
        timeout);
}

std::vector<COLORREF> CaptureScreen(int left, int top, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<COLORREF> colours;
    if (bitmap && bits) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
        GdiFlush();
        const auto* words = static_cast<const DWORD*>(bits);
        colours.reserve(static_cast<std::size_t>(width) * height);
        for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i)
            colours.push_back(RGB((words[i] >> 16) & 0xFF, (words[i] >> 8) & 0xFF, words[i] & 0xFF));
        SelectObject(memory, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return colours;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds poll) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(poll);
    }
}

} // namespace desktop
