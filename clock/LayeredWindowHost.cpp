#include "clock/LayeredWindowHost.h"

#include <cstring>

LayeredWindowHost::~LayeredWindowHost() {
    Detach();
}

bool LayeredWindowHost::Detach() {
    if (!attached)
        return false;
    if (previousProc)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
    attached = false;
    return true;
}

bool LayeredWindowHost::Subclass(HWND target, WNDPROC procedure) {
    if (attached)
        Detach();
    const LONG_PTR replaced = SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    if (replaced == 0)
        return false;
    previousProc = reinterpret_cast<WNDPROC>(replaced);
    window = target;
    attached = true;
    return true;
}

bool LayeredWindowHost::Attach(HWND target) {
    if (attached)
        Detach();
    previousProc = nullptr;
    window = target;
    attached = true;
    return true;
}

bool LayeredWindowHost::SubclassChild(HWND target, WNDPROC procedure) {
    if (attached)
        Detach();
    if (GetAncestor(target, GA_ROOTOWNER) != target)
        SetWindowLongPtrW(target, GWL_EXSTYLE, GetWindowLongPtrW(target, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    return Subclass(target, procedure);
}

LRESULT LayeredWindowHost::CallPrevious(HWND target, UINT message, WPARAM wParam, LPARAM lParam) const {
    if (previousProc)
        return CallWindowProcW(previousProc, target, message, wParam, lParam);
    return DefWindowProcW(target, message, wParam, lParam);
}

std::vector<std::uint8_t> LayeredWindowHost::ReadWideText(const wchar_t* address) {
    if (!address)
        return {};
    const std::size_t units = static_cast<std::size_t>(lstrlenW(address)) + 1;
    std::vector<std::uint8_t> bytes(units * sizeof(wchar_t));
    std::memcpy(bytes.data(), address, bytes.size());
    return bytes;
}

bool LayeredWindowHost::TrackLeave() const {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    track.dwHoverTime = 0;
    return TrackMouseEvent(&track) != FALSE;
}

HDC LayeredWindowHost::StartPaint() {
    return BeginPaint(window, &paint);
}

bool LayeredWindowHost::FinishPaint() {
    if (!paint.hdc)
        return false;
    EndPaint(window, &paint);
    paint.hdc = nullptr;
    return true;
}

bool LayeredWindowHost::CaptureMouse() const {
    if (!attached)
        return false;
    if (GetCapture() != window)
        SetCapture(window);
    return true;
}

bool LayeredWindowHost::ReleaseMouse() const {
    if (GetCapture() != window)
        return false;
    return ReleaseCapture() != FALSE;
}
