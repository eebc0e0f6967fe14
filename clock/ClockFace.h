#pragma once
// The clock face: window backdrop, clock panel and time text, each drawn into
// its own off-screen layer and blended in a fixed order into the clock canvas.
#include "clock/TextFigures.h"
#include "clock/TimeText.h"
#include "framework/DisplayScale.h"
#include "graphics/FontObjects.h"
#include "graphics/GraphicsObject.h"
#include "graphics/GdiPlusFlat.h"
#include "graphics/StringFormatObject.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class GraphicsObject;
class PathObject;
struct ClockSettings;
struct ClockView;

// The rectangles and lengths of the face in pixels of one display scale; the
// defaults are those of 96 DPI. Drawing takes them as they are.
struct ClockLayout {
    Gdiplus::RectF windowRect{0, 0, 380, 150};
    Gdiplus::RectF panelRect{10, 10, 358, 128};
    Gdiplus::RectF textRect{0, 0, 380, 150}; // the text layer, over the whole window
    Gdiplus::RectF timeRect{0, 0, 380, 150}; // the time is centred in it
    Gdiplus::RectF dateRect{};               // the date line is centred in it; empty without one
    Gdiplus::RectF innerBorderRect{1, 1, 375, 145};
    std::int32_t cornerSize = 5;
    std::int32_t cornerMargin = 3; // how far the right and bottom arcs sit in beyond the corner size
    float borderWidth = 1;
    // Pixels per 96-DPI unit of the settings' font size and outline width,
    // which the file keeps in those units so that a setting looks the same
    // physical size on every monitor.
    float textScale = 1;
    std::int32_t fontStyle = 0; // regular

    float EmSize(std::int32_t fontSize) const { return static_cast<float>(fontSize) * textScale; }
    float OutlineWidth(std::int32_t outlineWidth) const {
        return static_cast<float>(outlineWidth) * textScale;
    }
    float DateEmSize(std::int32_t fontSize) const { return EmSize(fontSize) * DateLineRatio; }

    // The size of the date line and of the AM/PM designator to the time's,
    // the same at every scale.
    static constexpr float DateLineRatio = 0.4f;
};

// The face laid out for a display scale, with or without the date line.
ClockLayout ClockLayoutFor(DisplayScale scale, bool dateLine = false);
// The clock window's size at a display scale: 380 x 150 at 96 DPI, 40 more
// in height for the date line.
SIZE ClockWindowSizeFor(DisplayScale scale, bool dateLine = false);
// The time's format as the settings ask, in the user's locale.
TimeFormat TimeFormatOf(const ClockSettings& settings);

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
// and the first frame presented, and the window's procedure is replaced by
// ClockWindowProc.
void ShowClockFace(ClockView& view, HWND window);
// The clock now shows at another display scale (WM_DPICHANGED): the window
// takes the rectangle the system suggests, the face and buttons are laid out
// for the scale and everything is drawn anew.
void ChangeClockScale(ClockView& view, DisplayScale scale, const RECT& suggested);
// The date line was switched on or off: the window keeps its place and takes
// the height of the face with or without it, laid out for the next frame.
void FitClockToDateLine(ClockView& view);

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

// What a face layer was last drawn from, and on which bitmap: a layer whose
// inputs are unchanged is blended as it is instead of being drawn again.
struct BackdropInputs {
    float width, height;
    std::int32_t cornerSize;
    float borderWidth;
    std::uint32_t outerPen, fill, innerPen;
    HBITMAP drawnOn;
    bool operator==(const BackdropInputs&) const = default;
};

struct PanelInputs {
    float width, height;
    std::uint32_t fill;
    HBITMAP drawnOn;
    bool operator==(const PanelInputs&) const = default;
};

struct TextInputs {
    std::string text; // the time's digits
    std::wstring designator;
    bool designatorFirst;
    std::wstring date;
    std::string fontName;
    float emSize;
    float markerEmSize; // the designator's
    float dateEmSize;
    float timeTop, timeHeight, dateTop, dateHeight;
    std::int32_t fontStyle;
    float outlineWidth;
    std::uint32_t outlinePen, fill;
    float x, y, width, height;
    HBITMAP drawnOn;
    bool operator==(const TextInputs&) const = default;
    // Everything but the texts is the same: the same font at the same place.
    bool SameLayout(const TextInputs& other) const;
};

// Everything that decides a frame's pixels and where it is shown.
struct FrameInputs;

// The ink of the time (its widest digits for the format, with the designator
// as it stands beside them) and of the date line, per unit of em size, in a
// font: glyph outlines grow in proportion to the em size.
struct TextRoom {
    std::string fontName;
    bool seconds = false; // the time shows its seconds
    std::wstring designator;
    std::wstring date;
    std::int32_t fontStyle = 0;
    float timeWidth = 0, timeHeight = 0, dateWidth = 0, dateHeight = 0;
};

// Blocks of a text layer's pixels drawn ahead, one after the other: each
// block's rectangle (empty where none was kept), its rows top down, and the
// figures drawn into it, all in the look drawnWith gives.
struct DrawnCells {
    std::vector<RECT> rects;
    std::vector<std::uint8_t> pixels;
    FigureStore figures;
    std::optional<TextInputs> drawnWith;

    // Empties the blocks and keeps the room they took.
    void Clear();
    std::span<const std::uint8_t> PixelsOf(std::size_t block) const;
    // The pixels of a block of that rectangle drawn from the same figures in
    // the same look; empty where there is none.
    std::span<const std::uint8_t> Find(const RECT& rect, std::span<const TextFigure> figures,
                                       const TextInputs& look) const;
};

// Everything the face keeps between frames while frame caching is on; a
// member of the clock view, released before GDI+ stops.
struct FaceCache {
    FaceCache();
    ~FaceCache();
    FaceCache(const FaceCache&) = delete;
    FaceCache& operator=(const FaceCache&) = delete;

    FontFamilyObject family; // of familyName, or the generic fallback
    std::string familyName;
    bool familyMade = false;
    StringFormatObject format;
    std::optional<BackdropInputs> backdrop;
    std::optional<PanelInputs> panel;
    std::optional<TextInputs> text;
    // The figures the text layer was last drawn from, with their reach: the
    // time's and the date line's. None when the layer was not drawn from
    // figures.
    std::vector<TextFigure> timeFigures;
    std::vector<TextFigure> dateFigures;
    // The bounds of the date line's path, kept with its figures for the
    // ticks that leave them as they are; none without a date line.
    std::optional<Gdiplus::RectF> dateBounds;
    // The time's figures for the ticks after the one shown, laid out with
    // it (see LayTimesAhead): set i + 1 is the figures of timesAheadFor[i],
    // the text inputs of that time without the date line.
    // Set 0 is the time the text layer held when they were laid out.
    FigureStore timesAhead;
    std::vector<TextInputs> timesAheadFor;
    // The text layer's pixels inside the cells each of those times changes,
    // drawn ahead on a layer of their own (cellsLayer), block i for
    // timesAheadFor[i]. The blocks laid out the time before stay, for the
    // cells that come round again (a last digit every ten seconds).
    GraphicsObject cellsLayer;
    DrawnCells cellsAhead;
    DrawnCells cellsBefore;
    // The last frame presented, and the canvas pixels it left: a frame with
    // the same inputs over the same pixels is on the screen already.
    std::unique_ptr<FrameInputs> shown;
    std::vector<std::uint8_t> shownPixels;
    // The canvas's present serial right after that frame went to the screen.
    std::uint64_t shownSerial = 0;
    // How much room the texts take per unit of em size, for the texts they
    // were measured for (see TextRoomOf): measured again only when those
    // change.
    mutable std::optional<TextRoom> room;

    // Forgets the figures the text layer was drawn from.
    void ForgetFigures();
    // Forgets every layer and the frame shown, releases the family and the
    // format.
    void Release();
};

// Releases what the face and the buttons keep between frames (at exit,
// before GDI+ stops).
void ReleaseFrameCaches(ClockView& view);
