#pragma once
// Replaces a window's procedure with one of the program's own and hands
// every message on to the procedure it replaced; also offers mouse
// tracking, word extraction, painting and capture for the bound window.
//
// The replacement procedure is a plain function: it finds the host through
// the window's own object, so no executable stub is needed to bind the
// object to it.
#include <windows.h>

#include <cstdint>
#include <vector>

class LayeredWindowHost {
public:
    LayeredWindowHost() = default;
    ~LayeredWindowHost(); // puts the replaced procedure back
    LayeredWindowHost(const LayeredWindowHost&) = delete;
    LayeredWindowHost& operator=(const LayeredWindowHost&) = delete;

    // False when nothing is held; otherwise puts a replaced procedure back.
    bool Detach();
    // Replaces the window's procedure; false (and detached) when that fails.
    bool Subclass(HWND window, WNDPROC procedure);
    // Holds the window without replacing its procedure.
    bool Attach(HWND window);
    // As Subclass; a window that is not its own root owner also becomes
    // transparent to the mouse (WS_EX_TRANSPARENT).
    bool SubclassChild(HWND window, WNDPROC procedure);

    // The replaced procedure, or DefWindowProcW after Attach.
    LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

    // The zero-terminated UTF-16 text at the address, terminator included,
    // as bytes. Measured in UTF-16 units, so that no character that would
    // take more bytes in another code page makes it read past the end.
    static std::vector<std::uint8_t> ReadWideText(const wchar_t* address);

    // Asks for one WM_MOUSELEAVE when the pointer leaves the window.
    bool TrackLeave() const;

    static std::int32_t LowWord(std::int32_t value) { return value & 0xFFFF; }
    // The upper half with its sign kept (an arithmetic shift).
    static std::int32_t HighWord(std::int32_t value) { return value >> 16; }

    HDC StartPaint();
    bool FinishPaint();

    HWND GetWindow() const { return window; }
    bool CaptureMouse() const;
    bool ReleaseMouse() const;
    static HWND GetCaptureWindow() { return GetCapture(); }
    bool IsAttached() const { return attached; }

private:
    bool attached = false;
    WNDPROC previousProc = nullptr;
    HWND window = nullptr;
    PAINTSTRUCT paint{};
};
