#pragma once
// Holds the window the clock face is shown in, for the face's input: mouse
// tracking, word extraction and capture for the held window.
#include <windows.h>

#include <cstdint>
#include <vector>

class LayeredWindowHost {
public:
    LayeredWindowHost() = default;
    LayeredWindowHost(const LayeredWindowHost&) = delete;
    LayeredWindowHost& operator=(const LayeredWindowHost&) = delete;

    // False when nothing is held.
    bool Detach();
    // Holds the window.
    bool Attach(HWND window);
    // Whether the window is the one held.
    bool Holds(HWND target) const { return attached && target == window; }

    // The zero-terminated UTF-16 text at the address, terminator included,
    // as bytes. Measured in UTF-16 units, so that no character that would
    // take more bytes in another code page makes it read past the end.
    static std::vector<std::uint8_t> ReadWideText(const wchar_t* address);

    // Asks for one WM_MOUSELEAVE when the pointer leaves the window.
    bool TrackLeave() const;

    static std::int32_t LowWord(std::int32_t value) { return value & 0xFFFF; }
    // The upper half with its sign kept (an arithmetic shift).
    static std::int32_t HighWord(std::int32_t value) { return value >> 16; }

    HWND GetWindow() const { return window; }
    bool CaptureMouse() const;
    bool ReleaseMouse() const;
    static HWND GetCaptureWindow() { return GetCapture(); }
    bool IsAttached() const { return attached; }

private:
    bool attached = false;
    HWND window = nullptr;
};
