#pragma once
// Holds the window the clock face is shown in, for the face's input: mouse
// tracking and word extraction for the held window.
#include <windows.h>

#include <cstdint>

class LayeredWindowHost {
public:
    LayeredWindowHost() = default;
    LayeredWindowHost(const LayeredWindowHost&) = delete;
    LayeredWindowHost& operator=(const LayeredWindowHost&) = delete;

    // Holds the window.
    bool Attach(HWND window);
    // Whether the window is the one held.
    bool Holds(HWND target) const { return attached && target == window; }

    // Asks for one WM_MOUSELEAVE when the pointer leaves the window.
    bool TrackLeave() const;

    static std::int32_t LowWord(std::int32_t value) { return value & 0xFFFF; }
    // The upper half with its sign kept (an arithmetic shift).
    static std::int32_t HighWord(std::int32_t value) { return value >> 16; }

    HWND GetWindow() const { return window; }

private:
    bool attached = false;
    HWND window = nullptr;
};
