#pragma once
// What the face's files share and no caller outside the face sees: what each
// layer and frame was drawn from, the cache that keeps it between frames, and
// the helpers the layers, the text, the cache and the tick have in common.
#include "clock/ButtonStateMachine.h"
#include "clock/ClockFace.h"
#include "clock/TextFigures.h"
#include "graphics/FontObjects.h"
#include "graphics/GraphicsObject.h"
#include "graphics/PenObject.h"
#include "graphics/StringFormatObject.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class LayeredCanvas;

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
    std::wstring date; // the line under the time, as far as it fits
    std::string fontName;
    float emSize;
    float markerEmSize; // the designator's
    float dateEmSize;
    float timeTop, timeHeight, dateTop, dateHeight;
    std::int32_t fontStyle;
    float outlineWidth;
    float dateOutlineWidth; // in proportion to the date line's size
    std::uint32_t outlinePen, fill;
    float x, y, width, height;
    HBITMAP drawnOn;
    bool operator==(const TextInputs&) const = default;
    // Everything but the texts is the same: the same font at the same place.
    bool SameLayout(const TextInputs& other) const;
};

// Everything that decides a frame's pixels and where it is shown.
struct FrameInputs {
    struct Button {
        std::vector<std::uint8_t> image;
        IntRect bounds;
        bool operator==(const Button&) const = default;
    };
    BackdropInputs backdrop;
    PanelInputs panel;
    TextInputs text;
    float windowX, windowY, panelX, panelY;
    std::int32_t panelAlpha;
    bool panelAlphaGiven;
    std::int32_t clockAlpha;
    std::vector<Button> buttons;
    bool buttonsVisible;
    HBITMAP canvas;
    int canvasWidth, canvasHeight;
    std::int32_t windowAlpha;
    RECT windowRect;
    bool operator==(const FrameInputs& other) const { return text == other.text && SameAroundText(other); }
    // Everything but the text layer's inputs is the same.
    bool SameAroundText(const FrameInputs& other) const {
        return backdrop == other.backdrop && panel == other.panel && windowX == other.windowX &&
               windowY == other.windowY && panelX == other.panelX && panelY == other.panelY &&
               panelAlpha == other.panelAlpha && panelAlphaGiven == other.panelAlphaGiven &&
               clockAlpha == other.clockAlpha && buttons == other.buttons &&
               buttonsVisible == other.buttonsVisible && canvas == other.canvas &&
               canvasWidth == other.canvasWidth && canvasHeight == other.canvasHeight &&
               windowAlpha == other.windowAlpha && EqualRect(&windowRect, &other.windowRect);
    }
};

// The room the ink of the time (its widest digits for the format, with the
// designator as it stands beside them) and of the date line takes, centred
// where each is laid out, per unit of em size, in a font: glyph outlines grow
// in proportion to the em size.
struct TextRoom {
    std::string fontName;
    bool seconds = false; // the time shows its seconds
    std::wstring designator;
    std::wstring date;
    std::int32_t fontStyle = 0;
    float lineEms = 0; // the room for the line at its smallest size, in its ems
    std::wstring line; // the line under the time as far as it fits there (see LineThatFits)
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

// Everything the face keeps between frames while frame caching is on; held
// by the clock view, released before GDI+ stops.
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

namespace clock_face {

constexpr int UnitPixel = Gdiplus::UnitPixel;
constexpr int FillModeWinding = Gdiplus::FillModeWinding;

// The buttons in the order a frame's inputs list them.
constexpr ButtonId ButtonOrder[] = {ButtonId::Close, ButtonId::KeepOnTop, ButtonId::Settings,
                                    ButtonId::LargerFont, ButtonId::SmallerFont};

inline int Trunc(float value) {
    return static_cast<int>(value);
}

// Pixel rows (PixelRows.cpp).

std::size_t BytesOf(const RECT& rect);
bool ReadDibSection(HBITMAP bitmap, DIBSECTION& section);

// Hands each row of the layer's pixels inside the rectangle to use, top row
// first, once GDI+ has finished drawing into them; false when the layer has
// no pixels in memory or the rectangle misses it.
template <class UseRow> bool ForEachRowWithin(GraphicsObject& layer, const RECT& rect, UseRow use) {
    layer.Flush(Gdiplus::FlushIntentionSync);
    DIBSECTION section{};
    if (!ReadDibSection(layer.GetBitmap(), section))
        return false;
    const LONG height = section.dsBm.bmHeight;
    const RECT bitmap{0, 0, section.dsBm.bmWidth, height};
    RECT area{};
    if (!IntersectRect(&area, &bitmap, &rect))
        return false;
    auto* bits = static_cast<std::uint8_t*>(section.dsBm.bmBits);
    const bool bottomUp = section.dsBmih.biHeight > 0;
    for (LONG y = area.top; y < area.bottom; ++y) {
        const LONG row = bottomUp ? height - 1 - y : y;
        use(bits + static_cast<std::size_t>(row) * section.dsBm.bmWidthBytes + area.left * 4,
            static_cast<std::size_t>(area.right - area.left) * 4);
    }
    return true;
}

void ClearLayerRect(GraphicsObject& layer, const RECT& rect);
void ClearCanvas(GraphicsObject& layer);
std::span<const std::uint8_t> CanvasPixels(const ClockView& view);
void CopyPixelsWithin(std::vector<std::uint8_t>& kept, std::span<const std::uint8_t> pixels, int width,
                      int height, const RECT& part);

// The layers (FaceLayers.cpp).

// Whether a cached layer still holds what the inputs would draw; the inputs
// name the layer's present bitmap, so a canvas made or lost elsewhere counts
// as changed.
template <class Inputs> bool Unchanged(const std::optional<Inputs>& drawn, const Inputs& now) {
    return FrameCaching() && now.drawnOn && drawn && *drawn == now;
}

// Remembers what a layer was drawn from, when caching and the layer exists.
template <class Inputs>
void Remember(std::optional<Inputs>& drawn, Inputs inputs, const GraphicsObject& layer) {
    inputs.drawnOn = layer.GetBitmap();
    if (FrameCaching() && inputs.drawnOn)
        drawn = std::move(inputs);
    else
        drawn.reset();
}

void BlendOntoCanvas(LayeredCanvas& canvas, const GraphicsObject& layer, const Gdiplus::RectF& rect,
                     std::int32_t constantAlpha, bool constantAlphaGiven, bool useSourceAlpha);
BackdropInputs BackdropInputsNow(const ClockView& view);
PanelInputs PanelInputsNow(const ClockView& view);

// The text layer (TextLayer.cpp).

TextInputs TextInputsNow(const ClockView& view);
bool BoundsReachLayer(const Gdiplus::RectF& bounds, float outlineWidth, const GraphicsObject& layer);
std::optional<Gdiplus::RectF> BoundsOfFigures(std::span<const TextFigure> figures);
void AddTime(PathObject& path, const TextInputs& inputs, const Gdiplus::RectF& timeRect,
             const FontFamilyObject& family, const StringFormatObject& format);
Gdiplus::RectF TimeRectOf(const TextInputs& inputs, const Gdiplus::RectF& textRect);
void AddDate(PathObject& path, const TextInputs& inputs, const Gdiplus::RectF& textRect,
             const FontFamilyObject& family, const StringFormatObject& format);
// The outline's pens, the time's and the date line's; null where there is no
// outline to draw.
struct OutlinePens {
    explicit OutlinePens(const TextInputs& inputs);
    OutlinePens(const OutlinePens&) = delete;
    OutlinePens& operator=(const OutlinePens&) = delete;
    PenObject timePen;
    PenObject datePen;
    const PenObject* time = nullptr;
    const PenObject* date = nullptr;
};
std::optional<Gdiplus::RectF> BoundsOfBoth(const std::optional<Gdiplus::RectF>& one,
                                           const std::optional<Gdiplus::RectF>& other);
void StrokeAndFill(GraphicsObject& layer, const PathObject& path, const TextInputs& inputs,
                   const PenObject* pen);
void ReadTimeText(ClockView& view);

// The cell-by-cell tick (CellTick.cpp).

bool RedrawTextCells(ClockView& view, const FrameInputs& now);

} // namespace clock_face
