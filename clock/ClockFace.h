#pragma once
// The clock face: window backdrop, clock panel and time text, each drawn into
// its own off-screen layer and blended in a fixed order into the clock canvas.
#include "graphics/GdiPlusFlat.h"

#include <cstdint>
#include <string>

class PathObject;

// The fixed rectangles of the face.
struct ClockLayout {
    Gdiplus::RectF windowRect{0, 0, 380, 150};
    Gdiplus::RectF panelRect{10, 10, 358, 128};
    Gdiplus::RectF textRect{0, 0, 380, 150};
    std::int32_t cornerSize = 5;
    std::int32_t fontStyle = 0; // regular
};

// The texts of the last time reading.
struct TimeText {
    std::string hourText;
    std::string minuteText;
    std::string secondText;
    std::string timeText;
};

// COLORREF (0x00BBGGRR) plus alpha to GDI+ ARGB; the colour's top byte is
// ignored and only the alpha's low byte counts.
std::uint32_t MakeArgb(std::int32_t colour, std::int32_t alpha);

// Alphas of the backdrop's outer and inner border lines for a backdrop
// alpha: 150/255 and 140/255 of it, computed in doubles and truncated.
struct BorderAlphas {
    std::int32_t outer;
    std::int32_t inner;
};
BorderAlphas BorderAlphasFor(std::int32_t windowBackgroundAlpha);

// The program's one wrapper over AlphaBlend; a failure sets LastStatus to 1.
bool BlendLayer(HDC destDc, int x, int y, int width, int height, HDC sourceDc, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, std::int32_t constantAlpha, bool constantAlphaGiven,
                bool useSourceAlpha);

// The face's rounded rectangle: four arcs in size x size squares, size
// clamped to 1..100, the right and bottom arcs set in by size + 3.
void AddRoundedRectangle(PathObject& path, float x, float y, float width, float height, std::int32_t size);

// Builds the time texts from a local time.
TimeText FormatTimeText(const SYSTEMTIME& time, bool showSeconds);

void DrawWindowBackdrop();
void DrawClockPanel();
void DrawTimeText(bool refreshTime);
// The one redraw entry point: every layer, the buttons, then Present.
void RedrawClock(bool refreshTime);
// How many frames RedrawClock has drawn since the program started.
std::uint64_t RedrawCount();
// The start-up sequence of the face, once the settings are loaded.
void InitialiseClockFace();
