#pragma once
// The clock face: window backdrop, clock panel and time text, each drawn into
// its own off-screen layer and blended in a fixed order into the clock canvas.
#include "clock/FaceLayout.h"
#include "framework/DisplayScale.h"

#include <windows.h>

#include <cstdint>

class GraphicsObject;
class PathObject;
struct ClockView;

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

// The program's one wrapper over GdiAlphaBlend; a failure sets LastStatus to 1.
bool BlendLayer(HDC destDc, int x, int y, int width, int height, HDC sourceDc, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, std::int32_t constantAlpha, bool constantAlphaGiven,
                bool useSourceAlpha);

// The face's rounded rectangle: four arcs in size x size squares, size
// clamped to 1..100, the right and bottom arcs set in by size + margin.
void AddRoundedRectangle(PathObject& path, float x, float y, float width, float height, std::int32_t size,
                         std::int32_t margin = 3);

// A layer ready to be drawn at that size, with anti-aliased smoothing. As
// written, its canvas is made anew; with frame caching, a canvas of that size
// is kept and cleared to the all-zero pixels of a new one.
void PrepareLayer(GraphicsObject& layer, int width, int height);

void DrawWindowBackdrop(ClockView& view);
void DrawClockPanel(ClockView& view);
void DrawTimeText(ClockView& view, bool refreshTime);
// The one redraw entry point: every layer, the buttons, then Present. With
// frame caching, a frame whose inputs and canvas are those of the frame last
// presented is on the screen already and is neither drawn nor presented, and
// a new frame sends only the rectangle of pixels that differ from the frame
// on the screen. A frame that differs from it in its texts alone (a tick)
// redraws only the cells of the characters that changed: their figures are
// drawn again into the text layer, the layers composed, the canvas compared
// and sent inside those cells, leaving the canvas as a whole frame would. A
// frame whose present failed is not taken as shown.
void RedrawClock(ClockView& view, bool refreshTime);
// How many frames RedrawClock has drawn since the program started.
std::uint64_t RedrawCount();
// The face's first frame, once the settings are loaded and the window placed:
// the window takes the size of its monitor's scale, the canvas is bound to it
// and the first frame presented, and the view's host holds the window: from
// then on the clock window hands the face its pointer and system messages.
// It posts the message below, which the window takes once it is shown: what
// the first frame does not need (the buttons' images decoded, the tray icon)
// waits for it.
void ShowClockFace(ClockView& view, HWND window);
inline constexpr UINT ClockShownMessage = WM_APP + 2;
// The clock now shows at another display scale (WM_DPICHANGED): the window
// takes the rectangle the system suggests, the face and buttons are laid out
// for the scale and everything is drawn anew.
void ChangeClockScale(ClockView& view, DisplayScale scale, const RECT& suggested);
// The line under the time (the date, the zone's label) came or went: the
// window keeps its place and takes the height of the face with or without
// it, laid out for the next frame.
void FitClockToSecondLine(ClockView& view);

// Whether a frame may reuse what earlier frames made. On by default; off,
// every frame is built from nothing (each layer canvas, font family, string
// format and decoded image made anew), which the benchmark measures against
// and compares pixel for pixel. Either way drops everything kept so far.
void SetFrameCaching(ClockView& view, bool on);
bool FrameCaching();
// A blend at constant alpha 0 leaves every canvas pixel as it is, with or
// without per-pixel alpha (the panel at opacity 0, the hidden buttons):
// with frame caching it is skipped.
bool SkipsBlend(std::int32_t constantAlpha, bool constantAlphaGiven);

// Releases what the face and the buttons keep between frames (at exit,
// before GDI+ stops).
void ReleaseFrameCaches(ClockView& view);
