#pragma once
// Move-only owners for native handles, and guards for paired calls.
// One template with a closer instead of a hand-written class per handle kind.
#include <windows.h>

#include <utility>

template <class Handle, auto Close, Handle Invalid = Handle{}> class unique_any {
public:
    unique_any() = default;
    explicit unique_any(Handle handle) : value(handle) {}
    ~unique_any() { reset(); }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : value(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const { return value; }
    explicit operator bool() const { return value != Invalid; }

    void reset(Handle handle = Invalid) {
        if (value != Invalid)
            Close(value);
        value = handle;
    }
    [[nodiscard]] Handle release() { return std::exchange(value, Invalid); }

private:
    Handle value = Invalid;
};

using unique_hdc = unique_any<HDC, [](HDC h) { DeleteDC(h); }>;
using unique_hbitmap = unique_any<HBITMAP, [](HBITMAP h) { DeleteObject(h); }>;
using unique_hfont = unique_any<HFONT, [](HFONT h) { DeleteObject(h); }>;
using unique_hbrush = unique_any<HBRUSH, [](HBRUSH h) { DeleteObject(h); }>;
using unique_hpen = unique_any<HPEN, [](HPEN h) { DeleteObject(h); }>;
using unique_hkey = unique_any<HKEY, [](HKEY h) { RegCloseKey(h); }>;
using unique_hglobal = unique_any<HGLOBAL, [](HGLOBAL h) { GlobalFree(h); }>;
using unique_handle = unique_any<HANDLE, [](HANDLE h) { CloseHandle(h); }>;
using unique_hwnd = unique_any<HWND, [](HWND h) { DestroyWindow(h); }>;

// GetDC/ReleaseDC: keeps the window it released into.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window(window), dc(GetDC(window)) {}
    ~WindowDc() {
        if (dc)
            ReleaseDC(window, dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

// SelectObject with the previous object put back into the same DC.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (previous)
            SelectObject(dc, previous);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};
