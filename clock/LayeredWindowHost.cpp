#include "clock/LayeredWindowHost.h"

#include <cstring>

bool LayeredWindowHost::Detach() {
    if (!attached)
        return false;
    attached = false;
    return true;
}

bool LayeredWindowHost::Attach(HWND target) {
    window = target;
    attached = true;
    return true;
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
