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

// Named closers rather than lambdas: a lambda's type is local to each
// translation unit, so a class holding one of these in a header would have
// a member of a different type in every file that includes it.
namespace handle_closers {
inline void CloseDc(HDC h) {
    DeleteDC(h);
}
inline void CloseGdiObject(HGDIOBJ h) {
    DeleteObject(h);
}
inline void CloseKey(HKEY h) {
    RegCloseKey(h);
}
inline void CloseGlobal(HGLOBAL h) {
    GlobalFree(h);
}
inline void CloseKernelHandle(HANDLE h) {
    CloseHandle(h);
}
inline void CloseWindowHandle(HWND h) {
    DestroyWindow(h);
}
inline void CloseIcon(HICON h) {
    DestroyIcon(h);
}
inline void CloseMenu(HMENU h) {
    DestroyMenu(h);
}
inline void CloseWinEventHook(HWINEVENTHOOK h) {
    UnhookWinEvent(h);
}
inline void FreeArgumentList(LPWSTR* h) {
    LocalFree(h);
}
inline void CloseChangeNotification(HANDLE h) {
    FindCloseChangeNotification(h);
}
} // namespace handle_closers

using unique_hdc = unique_any<HDC, handle_closers::CloseDc>;
using unique_hbitmap = unique_any<HBITMAP, handle_closers::CloseGdiObject>;
using unique_hfont = unique_any<HFONT, handle_closers::CloseGdiObject>;
using unique_hbrush = unique_any<HBRUSH, handle_closers::CloseGdiObject>;
using unique_hpen = unique_any<HPEN, handle_closers::CloseGdiObject>;
using unique_hkey = unique_any<HKEY, handle_closers::CloseKey>;
using unique_hglobal = unique_any<HGLOBAL, handle_closers::CloseGlobal>;
using unique_handle = unique_any<HANDLE, handle_closers::CloseKernelHandle>;
using unique_hwnd = unique_any<HWND, handle_closers::CloseWindowHandle>;
using unique_hicon = unique_any<HICON, handle_closers::CloseIcon>;
using unique_hmenu = unique_any<HMENU, handle_closers::CloseMenu>;
using unique_hwineventhook = unique_any<HWINEVENTHOOK, handle_closers::CloseWinEventHook>;
// CommandLineToArgvW's array.
// Empty for FindFirstChangeNotificationW's INVALID_HANDLE_VALUE.
using unique_change_notification = unique_any<HANDLE, handle_closers::CloseChangeNotification>;
using unique_argument_list = unique_any<LPWSTR*, handle_closers::FreeArgumentList>;

// Runs a cleanup when the scope ends, however it ends: for the paired calls
// whose result has no owner type of its own.
template <class Cleanup> class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(Cleanup cleanup) : cleanup(std::move(cleanup)) {}
    ~ScopeExit() { cleanup(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Cleanup cleanup;
};

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

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window(window), dc(BeginPaint(window, &paint)) {}
    ~PaintDc() { EndPaint(window, &paint); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc; }
    const RECT& Area() const { return paint.rcPaint; }

private:
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc;
};
