#pragma once
// The running clock as a user sees it on the screen: its time as a shape
// whose size does not depend on which digits are shown, its hover buttons
// lit or not, and clicks on them as a user makes them.
#include "support/ClockProcess.h"

#include <windows.h>

#include <vector>

namespace clock_screen {

// The panel between the rows of buttons, clear of every button: where the
// time is drawn.
inline constexpr RECT TimeArea{12, 30, 366, 120};

// The screen's pixels in a rectangle of the clock's client area, row by row.
std::vector<COLORREF> Capture(const ClockProcess& clock, const RECT& area);

// Moves the pointer to a point of the clock's client area.
void PointAt(const ClockProcess& clock, POINT client);

// The bounding box, in the area's own coordinates, of the pixels that stand
// out from the panel behind the text (the area's first pixel, left of any
// time); empty when none does. Its height follows the font size whatever the
// digits, its width the number of characters.
RECT InkBounds(const std::vector<COLORREF>& pixels, int width);

// The time's bounding box in TimeArea as the screen shows it now.
RECT TimeBounds(const ClockProcess& clock);

inline int Width(const RECT& rect) {
    return rect.right - rect.left;
}
inline int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// Whether the time is drawn at all: a box taller than any stray pixel.
bool TimeIsShown(const ClockProcess& clock);

// A hover button's white glyph: hidden, the area shows the grey panel
// (about 120 in every channel); unlit or pressed, the glyph is half
// transparent (below 200); lit, it is opaque white.
bool ButtonIsDrawn(const ClockProcess& clock, const RECT& bounds);
bool ButtonIsLit(const ClockProcess& clock, const RECT& bounds);
// The same for pixels of a button captured off the screen.
bool ButtonLooksLit(const std::vector<COLORREF>& pixels);

// A user's click on a hover button: the pointer comes onto it, the user
// waits to see it light and presses. Two clicks are kept further apart than
// a double-click, which the clock does not take as a press. False when the
// button did not light.
bool ClickHoverButton(const ClockProcess& clock, POINT client, const RECT& bounds);

// The gear, then "开机启动" in the settings window, clicked as a user does
// (again, when a loaded machine missed the click): whether the box shows
// checked. The settings window stays open.
bool TickStartWithWindows(const ClockProcess& clock);

} // namespace clock_screen
