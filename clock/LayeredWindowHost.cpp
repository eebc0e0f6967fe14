#include "clock/LayeredWindowHost.h"

bool LayeredWindowHost::Attach(HWND target) {
    window = target;
    attached = true;
    return true;
}

bool LayeredWindowHost::TrackLeave() const {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    track.dwHoverTime = 0;
    return TrackMouseEvent(&track) != FALSE;
}
