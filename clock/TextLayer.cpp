#include "clock/ClockFace.h"

#include "clock/ClockView.h"
#include "clock/FaceInternal.h"
#include "config/ClockSettings.h"
#include "framework/Services.h"
#include "framework/TextConversion.h"
#include "graphics/BrushObject.h"
#include "graphics/FontObjects.h"
#include "graphics/PathObject.h"
#include "graphics/PenObject.h"
#include "graphics/StringFormatObject.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace clock_face;

// Between the time and its designator, the space the locales' time formats
// put there: a word space of the time's font, about a quarter of its size.
constexpr float DesignatorGap = 0.25f;

// Glyphs of an em under two pixels are a blot, not text; Wine 8's GDI+
// flattens the curves of some of them by a recursion that never ends (a
// date at em 0.4 overflows the stack). Texts that small are not drawn.
constexpr float SmallestTextSize = 2;
// The line under the time is not shrunk below this em size (96-DPI pixels)
// to fit the panel: a longer line is cut there, with an ellipsis.
constexpr float SmallestLineSize = 8;
// A pixel to spare at each side of a text for the anti-aliased edge.
constexpr float Spare = 2;

namespace {

constexpr int AlignCenter = Gdiplus::StringAlignmentCenter;

// The family of fontName, or GDI+'s generic sans-serif one when that font is
// not installed, so that the clock never shows a face without its time.
void CreateTimeFontFamily(FontFamilyObject& family, const std::string& fontName) {
    // The name is GBK text of the settings file, whatever the code page.
    if (!family.CreateFromNameW(MultiByteToWide(fontName, GbkCodePage), FontCollectionObject()))
        family.CreateGenericSansSerif();
}

void CreateTimeFormat(StringFormatObject& format) {
    format.Create(0, 0);
    format.SetAlignment(AlignCenter);
    format.SetLineAlignment(AlignCenter);
}

constexpr float Far = 100000;

// The band widened about its centre far beyond any text drawn: GDI+ breaks
// a line wider than its layout box by the characters' advances (and, on
// Windows, its padding), which reach beyond their ink, and drops the part
// that falls below the box. The size is fitted to the ink (FitToTheFace), so
// the box centres the text and cuts none of it.
Gdiplus::RectF LayoutBoxAcross(const Gdiplus::RectF& band) {
    return {band.X + band.Width / 2 - Far, band.Y, 2 * Far, band.Height};
}

// Where a text's ink lies when laid out in the rectangle.
Gdiplus::RectF TextBounds(const std::wstring& text, const FontFamilyObject& family, float emSize,
                          const Gdiplus::RectF& rect, std::int32_t style, const StringFormatObject& format) {
    PathObject path;
    path.Create(FillModeWinding);
    path.AddStringW(text, family, emSize, rect, style, format);
    Gdiplus::RectF bounds{};
    path.GetBounds(bounds, nullptr, PenObject());
    return bounds;
}

// Ink bounds of a text without a layout box to cut it, centred across on
// the origin.
Gdiplus::RectF InkOf(const std::wstring& text, const FontFamilyObject& family, float emSize,
                     std::int32_t style, const StringFormatObject& format) {
    if (text.empty())
        return {};
    return TextBounds(text, family, emSize, {-Far, -Far, 2 * Far, 2 * Far}, style, format);
}

// The room the ink takes: across, centred where the text is centred, for
// glyphs need not lie evenly about it ("1" stands right of its middle); down,
// its height.
Gdiplus::SizeF CentredRoom(const Gdiplus::RectF& ink) {
    return {2 * std::max(-ink.X, ink.GetRight()), ink.Height};
}

// Measured at a size that fits anywhere; the ink scales with the size.
constexpr float Unit = 10;

// The line as far as its ink fits lineEms ems across, cut with an ellipsis;
// no more of it is measured than its narrowest characters could fill.
std::wstring LineThatFits(const std::wstring& line, float lineEms, const FontFamilyObject& family,
                          std::int32_t style, const StringFormatObject& format) {
    if (!(lineEms > 0) || !std::isfinite(lineEms))
        return {};
    constexpr float NarrowestCharacter = 0.1f; // in ems; a space is a quarter
    std::size_t keep = std::min(line.size(), static_cast<std::size_t>(lineEms / NarrowestCharacter) + 1);
    std::wstring fitted;
    // Each cut keeps the share of the characters that fits; a few cuts
    // make up for characters wider than the line's average.
    for (int cut = 0; cut < 4; ++cut) {
        if (keep > 0 && keep < line.size() && IS_HIGH_SURROGATE(line[keep - 1]))
            --keep; // not half a character
        fitted = keep < line.size() ? line.substr(0, keep) + L'\u2026' : line;
        const float ems = CentredRoom(InkOf(fitted, family, Unit, style, format)).Width / Unit;
        if (ems <= lineEms || keep == 0)
            break;
        keep = std::min(keep - 1, static_cast<std::size_t>(static_cast<float>(keep) * lineEms / ems));
    }
    return fitted;
}

TextRoom MeasureTextRoom(TextRoom room) {
    FontFamilyObject family;
    CreateTimeFontFamily(family, room.fontName);
    StringFormatObject format;
    CreateTimeFormat(format);
    // The widest digits of the format: every digit a 0, two for the hour.
    Gdiplus::RectF time = InkOf(room.seconds ? L"00:00:00" : L"00:00", family, Unit, room.fontStyle, format);
    const float markerUnit = Unit * ClockLayout::DateLineRatio;
    if (!room.designator.empty()) {
        // Beside the digits as AddTime puts it, the two centred together
        // about the digits' centre, bottoms aligned.
        const Gdiplus::RectF marker = InkOf(room.designator, family, markerUnit, room.fontStyle, format);
        const float beside = Unit * DesignatorGap + marker.Width;
        const float top = std::min(time.Y, time.GetBottom() - marker.Height);
        time = {time.X - beside / 2, top, time.Width + beside, time.GetBottom() - top};
    }
    const Gdiplus::SizeF timeRoom = CentredRoom(time);
    room.timeWidth = timeRoom.Width / Unit;
    room.timeHeight = timeRoom.Height / Unit;
    room.line = LineThatFits(room.date, room.lineEms, family, room.fontStyle, format);
    const Gdiplus::SizeF dateRoom = CentredRoom(InkOf(room.line, family, markerUnit, room.fontStyle, format));
    room.dateWidth = dateRoom.Width / markerUnit;
    room.dateHeight = dateRoom.Height / markerUnit;
    return room;
}

// How much room the view's texts take per unit of em size, measured once
// for each font, texts and room for the line.
const TextRoom& TextRoomOf(const ClockView& view, const std::wstring& date, float lineEms) {
    std::optional<TextRoom>& room = view.faceCache->room;
    const bool seconds = std::ranges::count(view.timeText.digitsText, ':') > 1;
    const std::wstring& designator = view.timeText.designator;
    const std::string& font = view.settings.fontName;
    if (!room || room->fontName != font || room->seconds != seconds || room->designator != designator ||
        room->date != date || room->fontStyle != view.layout.fontStyle || room->lineEms != lineEms)
        room = MeasureTextRoom({font, seconds, designator, date, view.layout.fontStyle, lineEms, {}});
    return *room;
}

// The largest share of the asked em size (at most all of it) at which ink of
// that size per unit fits the room, outline included.
float ShareThatFits(float emSize, float inkWidth, float inkHeight, float roomWidth, float roomHeight,
                    float outline) {
    const float size = std::abs(emSize);
    float share = 1;
    if (inkWidth > 0 && size * inkWidth + outline + Spare > roomWidth)
        share = std::min(share, (roomWidth - outline - Spare) / (size * inkWidth));
    if (inkHeight > 0 && size * inkHeight + outline + Spare > roomHeight)
        share = std::min(share, (roomHeight - outline - Spare) / (size * inkHeight));
    return std::clamp(share, 0.0f, 1.0f);
}

struct FittedSizes {
    float time, marker, date;
    std::wstring line; // the line under the time as it fits
};

// The room on the panel for a text centred in the band: as wide and as
// high as it reaches on both sides of the band's centre without leaving the
// band or the panel.
Gdiplus::SizeF RoomOnThePanel(const Gdiplus::RectF& band, const Gdiplus::RectF& panel) {
    const float x = band.X + band.Width / 2;
    const float y = band.Y + band.Height / 2;
    const float halfWidth = std::min({x - band.X, x - panel.X, band.GetRight() - x, panel.GetRight() - x});
    const float halfHeight = std::min({y - band.Y, y - panel.Y, band.GetBottom() - y, panel.GetBottom() - y});
    return {2 * std::max(halfWidth, 0.0f), 2 * std::max(halfHeight, 0.0f)};
}

// The em sizes the settings ask for, or, where the time or the date line
// would reach beyond the panel, the largest that show them whole on it: the
// setting keeps the size asked for.
FittedSizes FitToTheFace(const ClockView& view, const std::wstring& date) {
    const ClockLayout& layout = view.layout;
    const float time = layout.EmSize(view.settings.fontSize);
    const float dateSize = layout.DateEmSize(view.settings.fontSize);
    if (!std::isfinite(time) || time == 0)
        return {time, dateSize, dateSize, {}};
    const float outline = std::abs(layout.OutlineWidth(view.settings.outlineWidth));
    const Gdiplus::RectF& text = layout.textRect;
    const Gdiplus::SizeF timeRoom =
        RoomOnThePanel({text.X, layout.timeRect.Y, text.Width, layout.timeRect.Height}, layout.panelRect);
    const Gdiplus::SizeF dateRoom =
        RoomOnThePanel({text.X, layout.dateRect.Y, text.Width, layout.dateRect.Height}, layout.panelRect);
    // How many ems of its smallest size the line has: a line of any length
    // keeps no more than fits there, and nothing where that size is too small
    // to draw.
    const float smallestLine = std::min(std::abs(dateSize), SmallestLineSize * layout.textScale);
    const float lineEms =
        smallestLine < SmallestTextSize ? 0 : (dateRoom.Width - outline - Spare) / smallestLine;
    const TextRoom& room = TextRoomOf(view, date, lineEms);
    const float timeShare =
        ShareThatFits(time, room.timeWidth, room.timeHeight, timeRoom.Width, timeRoom.Height, outline);
    const float dateShare = std::min(timeShare, ShareThatFits(dateSize, room.dateWidth, room.dateHeight,
                                                              dateRoom.Width, dateRoom.Height, outline));
    return {time * timeShare, dateSize * timeShare, dateSize * dateShare, room.line};
}

// The path's bounds without a pen; none for an empty path.
std::optional<Gdiplus::RectF> BoundsOf(const PathObject& path) {
    Gdiplus::RectF bounds{};
    if (!path.GetBounds(bounds, nullptr, PenObject()))
        return std::nullopt;
    return bounds;
}

// Draws the whole text layer; with a cache, the figures it was drawn from
// are kept there for the next tick.
void PaintTimeText(GraphicsObject& layer, const Gdiplus::RectF& textRect, const TextInputs& inputs,
                   const FontFamilyObject& family, const StringFormatObject& format, FaceCache* cache) {
    PrepareLayer(layer, Trunc(textRect.Width), Trunc(textRect.Height));
    if (cache)
        cache->ForgetFigures();

    // The time and, under it, the date line, the same brush, each its own
    // outline: the date's is in proportion to its size.
    PathObject time;
    time.Create(FillModeWinding);
    AddTime(time, inputs, TimeRectOf(inputs, textRect), family, format);
    PathObject date;
    date.Create(FillModeWinding);
    AddDate(date, inputs, textRect, family, format);
    const std::optional<Gdiplus::RectF> bounds = BoundsOfBoth(BoundsOf(time), BoundsOf(date));
    // An empty path: drawing it is harmless.
    if (bounds && !BoundsReachLayer(*bounds, inputs.outlineWidth, layer))
        return;
    const OutlinePens pens(inputs);
    StrokeAndFill(layer, time, inputs, pens.time);
    StrokeAndFill(layer, date, inputs, pens.date);
    if (cache) {
        cache->timeFigures = SplitFigures(time);
        MeasureReach(cache->timeFigures, pens.time);
        cache->dateFigures = SplitFigures(date);
        MeasureReach(cache->dateFigures, pens.date);
        cache->dateBounds = BoundsOfFigures(cache->dateFigures);
    }
}

} // namespace

namespace clock_face {

TextInputs TextInputsNow(const ClockView& view) {
    const ClockSettings& s = view.settings;
    const ClockLayout& layout = view.layout;
    const Gdiplus::RectF& textRect = layout.textRect;
    const std::wstring date = layout.dateRect.Height > 0 ? view.timeText.dateText : std::wstring();
    FittedSizes sizes = FitToTheFace(view, date);
    // The date line's outline keeps the share of the time's that its size has.
    const float outline = layout.OutlineWidth(s.outlineWidth);
    return {view.timeText.digitsText,
            view.timeText.designator,
            view.timeText.designatorFirst,
            std::move(sizes.line),
            s.fontName,
            sizes.time,
            sizes.marker,
            sizes.date,
            layout.timeRect.Y,
            layout.timeRect.Height,
            layout.dateRect.Y,
            layout.dateRect.Height,
            layout.fontStyle,
            outline,
            sizes.time > 0 ? outline * sizes.date / sizes.time : 0,
            MakeArgb(s.outlineColor, 255),
            MakeArgb(s.fontColor, 255),
            textRect.X,
            textRect.Y,
            textRect.Width,
            textRect.Height,
            view.textLayer.GetBitmap()};
}

// Wine's GDI+ crashes stroking or filling a path some 100,000 pixels across,
// which em sizes from about -50,000 down and 750,000 up lay out (nothing of
// such a path falls on the layer). A path that misses the layer, even with
// its outline, draws nothing anyway; one too large is not drawn either.
constexpr float MaxTextPathExtent = 32768;

bool BoundsReachLayer(const Gdiplus::RectF& bounds, float outlineWidth, const GraphicsObject& layer) {
    if (bounds.Width > MaxTextPathExtent || bounds.Height > MaxTextPathExtent)
        return false;
    const float reach = std::abs(outlineWidth);
    return bounds.X - reach < static_cast<float>(layer.GetWidth()) && bounds.X + bounds.Width + reach > 0 &&
           bounds.Y - reach < static_cast<float>(layer.GetHeight()) && bounds.Y + bounds.Height + reach > 0;
}

std::optional<Gdiplus::RectF> BoundsOfFigures(std::span<const TextFigure> figures) {
    PathObject path;
    return PathOfFigures(path, figures, FillModeWinding) ? BoundsOf(path) : std::nullopt;
}

// The time's digits and, on the 12-hour clock, the designator beside them at
// the date line's size, bottoms aligned: at full size it would not fit
// beside the seconds. The two are centred together.
void AddTime(PathObject& path, const TextInputs& inputs, const Gdiplus::RectF& timeRect,
             const FontFamilyObject& family, const StringFormatObject& format) {
    if (std::abs(inputs.emSize) < SmallestTextSize)
        return;
    const std::wstring time(inputs.text.begin(), inputs.text.end()); // ASCII digits
    const Gdiplus::RectF box = LayoutBoxAcross(timeRect);
    if (inputs.designator.empty() || std::abs(inputs.markerEmSize) < SmallestTextSize) {
        path.AddStringW(time, family, inputs.emSize, box, inputs.fontStyle, format);
        return;
    }
    const Gdiplus::RectF digits = TextBounds(time, family, inputs.emSize, box, inputs.fontStyle, format);
    const Gdiplus::RectF marker =
        TextBounds(inputs.designator, family, inputs.markerEmSize, box, inputs.fontStyle, format);
    const float gap = inputs.emSize * DesignatorGap;
    const float shift = (inputs.designatorFirst ? 1 : -1) * (marker.Width + gap) / 2;
    Gdiplus::RectF digitsRect = box;
    digitsRect.X += shift;
    path.AddStringW(time, family, inputs.emSize, digitsRect, inputs.fontStyle, format);

    const float markerLeft =
        inputs.designatorFirst ? digits.X + shift - gap - marker.Width : digits.GetRight() + shift + gap;
    Gdiplus::RectF markerRect = box;
    markerRect.X += markerLeft - marker.X;
    markerRect.Y += digits.GetBottom() - marker.GetBottom();
    path.AddStringW(inputs.designator, family, inputs.markerEmSize, markerRect, inputs.fontStyle, format);
}

// Where the time is centred: across the text layer, in the time's band.
Gdiplus::RectF TimeRectOf(const TextInputs& inputs, const Gdiplus::RectF& textRect) {
    return {textRect.X, inputs.timeTop, textRect.Width, inputs.timeHeight};
}

void AddDate(PathObject& path, const TextInputs& inputs, const Gdiplus::RectF& textRect,
             const FontFamilyObject& family, const StringFormatObject& format) {
    if (inputs.date.empty() || std::abs(inputs.dateEmSize) < SmallestTextSize)
        return;
    const Gdiplus::RectF dateRect{textRect.X, inputs.dateTop, textRect.Width, inputs.dateHeight};
    path.AddStringW(inputs.date, family, inputs.dateEmSize, LayoutBoxAcross(dateRect), inputs.fontStyle,
                    format);
}

OutlinePens::OutlinePens(const TextInputs& inputs) {
    if (inputs.outlineWidth != 0) {
        timePen.Create(inputs.outlinePen, inputs.outlineWidth, UnitPixel);
        time = &timePen;
    }
    if (inputs.dateOutlineWidth != 0) {
        datePen.Create(inputs.outlinePen, inputs.dateOutlineWidth, UnitPixel);
        date = &datePen;
    }
}

// The bounds of a path made of both parts.
std::optional<Gdiplus::RectF> BoundsOfBoth(const std::optional<Gdiplus::RectF>& one,
                                           const std::optional<Gdiplus::RectF>& other) {
    if (!one || !other)
        return one ? one : other;
    const float left = std::min(one->X, other->X);
    const float top = std::min(one->Y, other->Y);
    const float right = std::max(one->X + one->Width, other->X + other->Width);
    const float bottom = std::max(one->Y + one->Height, other->Y + other->Height);
    return Gdiplus::RectF{left, top, right - left, bottom - top};
}

void StrokeAndFill(GraphicsObject& layer, const PathObject& path, const TextInputs& inputs,
                   const PenObject* pen) {
    if (pen)
        layer.DrawPath(*pen, path);
    BrushObject brush;
    brush.CreateSolid(inputs.fill);
    layer.FillPath(brush, path);
}

// Reads the time the view shows, in its zone, written as its settings ask,
// the zone's label beside the date.
void ReadTimeText(ClockView& view) {
    const ClockSettings& settings = view.settings;
    FollowZone(view.zone, settings.timeZone);
    TimeText& text = view.timeText;
    text = FormatTimeText(ClockTimeNow(view.zone), TimeFormatOf(settings), view.localeTexts);
    AddZoneLabel(text.dateText, view.zone, settings.zoneLabel);
}

} // namespace clock_face

void DrawTimeText(ClockView& view, bool refreshTime) {
    const ClockSettings& s = view.settings;
    if (refreshTime)
        ReadTimeText(view);

    const Gdiplus::RectF& textRect = view.layout.textRect;
    GraphicsObject& layer = view.textLayer;
    const TextInputs inputs = TextInputsNow(view);

    if (!FrameCaching()) {
        // A new family and format on every call.
        FontFamilyObject family;
        CreateTimeFontFamily(family, s.fontName);
        StringFormatObject format;
        CreateTimeFormat(format);
        PaintTimeText(layer, textRect, inputs, family, format, nullptr);
    } else if (!Unchanged(view.faceCache->text, inputs)) {
        FaceCache& cache = *view.faceCache;
        if (!cache.familyMade || cache.familyName != s.fontName) {
            CreateTimeFontFamily(cache.family, s.fontName);
            cache.familyName = s.fontName;
            cache.familyMade = true;
        }
        if (!cache.format.GetNativeHandle())
            CreateTimeFormat(cache.format);
        PaintTimeText(layer, textRect, inputs, cache.family, cache.format, &cache);
        Remember(cache.text, inputs, layer);
    }

    // Text and outline are opaque in the layer; clockAlpha alone makes them
    // translucent.
    BlendOntoCanvas(view.clockCanvas, layer, textRect, s.clockAlpha, true, true);
}

bool TextInputs::SameLayout(const TextInputs& other) const {
    TextInputs texts = *this;
    texts.text = other.text;
    texts.designator = other.designator;
    texts.designatorFirst = other.designatorFirst;
    texts.date = other.date;
    return texts == other;
}
