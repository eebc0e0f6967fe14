// The tick that redraws only the cells of the characters that changed, and
// the times laid out ahead for it.
#include "clock/ClockView.h"
#include "clock/FaceInternal.h"
#include "config/ClockSettings.h"
#include "framework/UniqueHandle.h"
#include "graphics/PathObject.h"
#include "graphics/PenObject.h"

#include <algorithm>
#include <cstring>
#include <iterator>

using namespace clock_face;

void DrawnCells::Clear() {
    rects.clear();
    pixels.clear();
    figures.Clear();
    drawnWith.reset();
}

std::span<const std::uint8_t> DrawnCells::PixelsOf(std::size_t block) const {
    std::size_t from = 0;
    for (std::size_t i = 0; i < block; ++i)
        from += BytesOf(rects[i]);
    return std::span(pixels).subspan(from, BytesOf(rects[block]));
}

std::span<const std::uint8_t> DrawnCells::Find(const RECT& rect, std::span<const TextFigure> drawnFrom,
                                               const TextInputs& look) const {
    if (!drawnWith || !drawnWith->SameLayout(look))
        return {};
    for (std::size_t block = 0; block < rects.size(); ++block) {
        if (EqualRect(&rects[block], &rect) && figures.Holds(block, drawnFrom))
            return PixelsOf(block);
    }
    return {};
}

namespace {

RECT PlacedRect(const Gdiplus::RectF& rect) {
    return {Trunc(rect.X), Trunc(rect.Y), Trunc(rect.X) + Trunc(rect.Width),
            Trunc(rect.Y) + Trunc(rect.Height)};
}

// As BlendOntoCanvas, for the canvas pixels inside part only.
void BlendPartOntoCanvas(LayeredCanvas& canvas, const GraphicsObject& layer, const Gdiplus::RectF& rect,
                         const RECT& part, std::int32_t constantAlpha, bool constantAlphaGiven,
                         bool useSourceAlpha) {
    const RECT placed = PlacedRect(rect);
    RECT common{};
    if (SkipsBlend(constantAlpha, constantAlphaGiven) || !IntersectRect(&common, &placed, &part))
        return;
    const int width = common.right - common.left;
    const int height = common.bottom - common.top;
    BlendLayer(canvas.GetDc(), common.left, common.top, width, height, layer.GetDc(),
               common.left - placed.left, common.top - placed.top, width, height, constantAlpha,
               constantAlphaGiven, useSourceAlpha);
}

// Whether each face layer is its rectangle's size, so that a part of it
// blends pixel for pixel as the whole would.
bool LayersFitTheirRects(const ClockView& view) {
    const auto fits = [](const GraphicsObject& layer, const Gdiplus::RectF& rect) {
        return layer.GetWidth() == Trunc(rect.Width) && layer.GetHeight() == Trunc(rect.Height);
    };
    const ClockLayout& layout = view.layout;
    return fits(view.backdropLayer, layout.windowRect) && fits(view.panelLayer, layout.panelRect) &&
           fits(view.textLayer, layout.textRect);
}

// The face's layers composed again inside part of the canvas, in the order a
// whole frame blends them; the buttons are left out (see RedrawTextCells).
void ComposeWithin(ClockView& view, const RECT& part) {
    const ClockSettings& s = view.settings;
    const ClockLayout& layout = view.layout;
    LayeredCanvas& canvas = view.clockCanvas;
    BlendPartOntoCanvas(canvas, view.backdropLayer, layout.windowRect, part, 0, false, false);
    BlendPartOntoCanvas(canvas, view.panelLayer, layout.panelRect, part, s.clockBackgroundAlpha,
                        s.layeredTransparency, false);
    BlendPartOntoCanvas(canvas, view.textLayer, layout.textRect, part, s.clockAlpha, true, true);
}

bool VisibleButtonWithin(const ClockView& view, const RECT& part) {
    if (!view.hoverActive)
        return false;
    for (ButtonId id : ButtonOrder) {
        const IntRect& b = HoverButtonFor(view, id).bounds;
        const RECT bounds{b.x, b.y, b.x + b.width, b.y + b.height};
        RECT common{};
        if (IntersectRect(&common, &bounds, &part))
            return true;
    }
    return false;
}

// What the time's figures depend on: the inputs without the date line.
TextInputs TimeOnly(TextInputs inputs) {
    inputs.date.clear();
    return inputs;
}

std::vector<TextFigure> LayOutTime(const ClockView& view, const TextInputs& inputs) {
    PathObject time;
    time.Create(FillModeWinding);
    AddTime(time, inputs, TimeRectOf(inputs, view.layout.textRect), view.faceCache->family,
            view.faceCache->format);
    return SplitFigures(time);
}

// The time's figures for the inputs: laid out ahead (aheadTime: which) or
// anew.
std::vector<TextFigure> TimeFiguresNow(const ClockView& view, const TextInputs& inputs,
                                       std::optional<std::size_t>& aheadTime) {
    const FaceCache& cache = *view.faceCache;
    const auto ahead = std::ranges::find(cache.timesAheadFor, TimeOnly(inputs));
    if (ahead == cache.timesAheadFor.end())
        return LayOutTime(view, inputs);
    aheadTime = static_cast<std::size_t>(ahead - cache.timesAheadFor.begin());
    return cache.timesAhead.Get(*aheadTime + 1);
}

std::vector<TextFigure> LayOutDate(const ClockView& view, const TextInputs& inputs) {
    PathObject date;
    date.Create(FillModeWinding);
    AddDate(date, inputs, view.layout.textRect, view.faceCache->family, view.faceCache->format);
    return SplitFigures(date);
}

// The figures that reach the cells, the time's and the date line's, drawn
// again inside them over a clear background.
// The time first, each with its own outline, as a whole frame draws them.
void DrawFiguresWithin(GraphicsObject& layer, std::span<const TextFigure> time,
                       std::span<const TextFigure> date, const RECT& cells, const TextInputs& inputs,
                       const OutlinePens& pens) {
    ClearLayerRect(layer, cells);
    layer.SetClipRectI(cells.left, cells.top, cells.right - cells.left, cells.bottom - cells.top);
    const ScopeExit unclip([&layer] { layer.ResetClip(); });
    PathObject redrawnTime;
    if (PathOfFigures(redrawnTime, time, FillModeWinding, &cells))
        StrokeAndFill(layer, redrawnTime, inputs, pens.time);
    PathObject redrawnDate;
    if (PathOfFigures(redrawnDate, date, FillModeWinding, &cells))
        StrokeAndFill(layer, redrawnDate, inputs, pens.date);
}

// What the cells drawn ahead may hold in all, allocated once: a tick whose
// cells do not fit draws them itself.
constexpr std::size_t CellsAheadBytes = 256 * 1024;

// Draws the figures of a time laid out ahead inside the cells it changes on
// the layer kept for it, or takes the same cells drawn the time before, and
// keeps those pixels for the tick that shows it.
void DrawCellsAhead(FaceCache& cache, std::span<const TextFigure> figures, const RECT& changed,
                    const TextInputs& inputs, const OutlinePens& pens) {
    GraphicsObject& layer = cache.cellsLayer;
    DrawnCells& drawn = cache.cellsAhead;
    const RECT layerRect{0, 0, layer.GetWidth(), layer.GetHeight()};
    RECT cells{};
    IntersectRect(&cells, &layerRect, &changed);
    if (drawn.pixels.capacity() < CellsAheadBytes)
        drawn.pixels.reserve(CellsAheadBytes);
    std::vector<TextFigure> within;
    std::ranges::copy_if(figures, std::back_inserter(within),
                         [&](const TextFigure& figure) { return figure.Reaches(cells); });
    const std::size_t from = drawn.pixels.size();
    if (IsRectEmpty(&cells) || from + BytesOf(cells) > CellsAheadBytes) {
        cells = {};
    } else if (const std::span<const std::uint8_t> before = cache.cellsBefore.Find(cells, within, inputs);
               !before.empty()) {
        drawn.pixels.insert(drawn.pixels.end(), before.begin(), before.end());
    } else {
        DrawFiguresWithin(layer, figures, {}, cells, inputs, pens);
        const bool read = ForEachRowWithin(layer, cells, [&](const std::uint8_t* row, std::size_t rowBytes) {
            drawn.pixels.insert(drawn.pixels.end(), row, row + rowBytes);
        });
        if (!read || drawn.pixels.size() != from + BytesOf(cells)) {
            drawn.pixels.resize(from);
            cells = {};
        }
    }
    drawn.rects.push_back(cells);
    drawn.figures.Add(within);
}

// How many ticks ahead the time is laid out. The first layout after an
// idle second costs many times what the next ones do, with the font and
// glyph code and data gone cold; ten at once make one such layout in ten.
constexpr int TicksLaidAhead = 10;

// Lays out the time of the ticks after the one shown, unless the next one is
// laid out already, each with the reach of the figures it changes. shownAhead:
// which of the times laid out ahead is shown, if one is.
void LayTimesAhead(ClockView& view, const TextInputs& inputs, std::optional<std::size_t> shownAhead) {
    FaceCache& cache = *view.faceCache;
    TimeFormat format = TimeFormatOf(view.settings);
    format.showDate = false;
    const int step = format.showSeconds ? 1 : 60;
    const auto timeAfter = [&](int ticks) -> std::optional<TextInputs> {
        const std::optional<SYSTEMTIME> later = SecondsLater(view.timeText.reading, ticks * step);
        if (!later)
            return std::nullopt;
        const TimeText text = FormatTimeText(*later, format, view.localeTexts);
        TextInputs next = TimeOnly(inputs);
        next.text = text.digitsText;
        next.designator = text.designator;
        next.designatorFirst = text.designatorFirst;
        return next;
    };
    // The time after one laid out ahead, but the last, is laid out too.
    if (shownAhead && *shownAhead + 1 < cache.timesAheadFor.size())
        return;
    const std::optional<TextInputs> next = timeAfter(1);
    if (!next || std::ranges::find(cache.timesAheadFor, *next) != cache.timesAheadFor.end())
        return;
    cache.timesAhead.Clear();
    cache.timesAheadFor.clear();
    std::swap(cache.cellsAhead, cache.cellsBefore);
    cache.cellsAhead.Clear();
    cache.cellsAhead.drawnWith = inputs;
    // Each cell is cleared before it is drawn: the layer needs no clearing.
    if (cache.cellsLayer.GetWidth() != view.textLayer.GetWidth() ||
        cache.cellsLayer.GetHeight() != view.textLayer.GetHeight())
        PrepareLayer(cache.cellsLayer, view.textLayer.GetWidth(), view.textLayer.GetHeight());
    const OutlinePens pens(inputs);
    std::vector<TextFigure> previous = cache.timeFigures;
    cache.timesAhead.Add(previous);
    for (int ticks = 1; ticks <= TicksLaidAhead; ++ticks) {
        const std::optional<TextInputs> later = timeAfter(ticks);
        if (!later)
            return;
        std::vector<TextFigure> figures = LayOutTime(view, *later);
        const RECT changed = ChangedCells(previous, figures, pens.time);
        cache.timesAhead.Add(figures);
        cache.timesAheadFor.push_back(*later);
        DrawCellsAhead(cache, figures, changed, *later, pens);
        previous = std::move(figures);
    }
}

// Copies in the cells drawn ahead for a time laid out ahead, where they are
// what drawing would make: the text layer holds the time they were drawn
// over, the cells are the same and no figure of the date line reaches them.
bool CopyCellsAhead(ClockView& view, std::size_t aheadTime, std::span<const TextFigure> date,
                    const RECT& cells) {
    FaceCache& cache = *view.faceCache;
    const DrawnCells& drawn = cache.cellsAhead;
    if (aheadTime >= drawn.rects.size() || !EqualRect(&drawn.rects[aheadTime], &cells))
        return false;
    if (!cache.timesAhead.Holds(aheadTime, cache.timeFigures))
        return false;
    if (std::ranges::any_of(date, [&](const TextFigure& figure) { return figure.Reaches(cells); }))
        return false;
    const std::uint8_t* from = drawn.PixelsOf(aheadTime).data();
    return ForEachRowWithin(view.textLayer, cells, [&](std::uint8_t* row, std::size_t bytes) {
        std::memcpy(row, from, bytes);
        from += bytes;
    });
}

// Draws the text layer's changed cells again and composes the canvas inside
// them (part, in canvas pixels; empty when no figure changed). False, with
// nothing done, where the frame must be drawn whole: the text layer does not
// hold the figures of the frame shown, a visible button lies in a changed
// cell, or the path is one a whole frame would not draw. The date line's
// figures stay as they are while the date is the same. aheadTime: which of
// the times laid out ahead the time is, if one is.
bool DrawTextCells(ClockView& view, const TextInputs& inputs, RECT& part,
                   std::optional<std::size_t>& aheadTime) {
    FaceCache& cache = *view.faceCache;
    if (!cache.text || !cache.text->SameLayout(inputs) || cache.timeFigures.empty() ||
        inputs.outlineWidth < 0 || !LayersFitTheirRects(view))
        return false;
    GraphicsObject& layer = view.textLayer;
    std::vector<TextFigure> time = TimeFiguresNow(view, inputs, aheadTime);
    const bool sameDate = inputs.date == cache.text->date;
    std::vector<TextFigure> newDate = sameDate ? std::vector<TextFigure>() : LayOutDate(view, inputs);
    const std::span<const TextFigure> date = sameDate ? cache.dateFigures : newDate;
    const std::optional<Gdiplus::RectF> dateBounds = sameDate ? cache.dateBounds : BoundsOfFigures(newDate);
    const std::optional<Gdiplus::RectF> bounds = BoundsOfBoth(BoundsOfFigures(time), dateBounds);
    if (!bounds || !BoundsReachLayer(*bounds, inputs.outlineWidth, layer))
        return false;

    const OutlinePens pens(inputs);
    RECT changed = ChangedCells(cache.timeFigures, time, pens.time);
    if (!sameDate) {
        const RECT dateChanged = ChangedCells(cache.dateFigures, newDate, pens.date);
        UnionRect(&changed, &changed, &dateChanged);
    }
    const RECT layerRect{0, 0, layer.GetWidth(), layer.GetHeight()};
    RECT cells{};
    IntersectRect(&cells, &layerRect, &changed);
    part = cells;
    OffsetRect(&part, Trunc(view.layout.textRect.X), Trunc(view.layout.textRect.Y));
    if (VisibleButtonWithin(view, part))
        return false;

    if (!IsRectEmpty(&cells)) {
        if (!aheadTime || !CopyCellsAhead(view, *aheadTime, date, cells))
            DrawFiguresWithin(layer, time, date, cells, inputs, pens);
        ComposeWithin(view, part);
    }
    cache.text = inputs;
    cache.timeFigures = std::move(time);
    if (!sameDate) {
        cache.dateFigures = std::move(newDate);
        cache.dateBounds = dateBounds;
    }
    return true;
}

} // namespace

namespace clock_face {

// A tick whose frame differs from the one on the screen in its texts alone:
// only the cells of the figures that changed are drawn, composed, compared
// and sent, and the canvas ends as a whole frame would leave it. False, with
// nothing done, where the frame must be drawn whole.
bool RedrawTextCells(ClockView& view, const FrameInputs& now) {
    RECT part{};
    std::optional<std::size_t> aheadTime;
    if (!DrawTextCells(view, now.text, part, aheadTime))
        return false;
    FaceCache& cache = *view.faceCache;
    LayeredCanvas& canvas = view.clockCanvas;
    const std::span<const std::uint8_t> pixels = CanvasPixels(view);
    if (!canvas.PresentChanged(
            ChangedPixelBounds(cache.shownPixels, pixels, canvas.GetWidth(), canvas.GetHeight(), part))) {
        cache.shown.reset();
        cache.shownPixels.clear();
        return true;
    }
    CopyPixelsWithin(cache.shownPixels, pixels, canvas.GetWidth(), canvas.GetHeight(), part);
    cache.shown->text = now.text;
    cache.shownSerial = canvas.PresentSerial();
    // Once the second is on the screen.
    LayTimesAhead(view, now.text, aheadTime);
    return true;
}

} // namespace clock_face
