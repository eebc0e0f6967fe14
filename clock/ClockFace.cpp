#include "clock/ClockFace.h"

#include "clock/ClockView.h"
#include "clock/ClockWindow.h"
#include "clock/HoverButtons.h"
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
#include <cstring>
#include <span>

namespace {

std::uint64_t redrawCount = 0;
bool frameCaching = true;

constexpr int UnitPixel = Gdiplus::UnitPixel;
constexpr int FillModeWinding = Gdiplus::FillModeWinding;
constexpr int AlignCenter = Gdiplus::StringAlignmentCenter;

std::size_t BytesOf(const RECT& rect) {
    return static_cast<std::size_t>(rect.right - rect.left) * (rect.bottom - rect.top) * 4;
}

int Trunc(float value) {
    return static_cast<int>(value);
}

// The bitmap's DIB section, once GDI has finished drawing into it; false
// when it has no pixels in memory.
bool ReadDibSection(HBITMAP bitmap, DIBSECTION& section) {
    GdiFlush();
    return GetObjectW(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBits;
}

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

// The layer's pixels inside the rectangle become 0, as a new canvas has them.
void ClearLayerRect(GraphicsObject& layer, const RECT& rect) {
    ForEachRowWithin(layer, rect, [](std::uint8_t* row, std::size_t bytes) { std::memset(row, 0, bytes); });
}

// Sets every pixel of a layer's canvas to 0, as a new canvas has them.
void ClearCanvas(GraphicsObject& layer) {
    ClearLayerRect(layer, {0, 0, layer.GetWidth(), layer.GetHeight()});
}

// Whether a cached layer still holds what the inputs would draw; the inputs
// name the layer's present bitmap, so a canvas made or lost elsewhere counts
// as changed.
template <class Inputs> bool Unchanged(const std::optional<Inputs>& drawn, const Inputs& now) {
    return frameCaching && now.drawnOn && drawn && *drawn == now;
}

// Remembers what a layer was drawn from, when caching and the layer exists.
template <class Inputs>
void Remember(std::optional<Inputs>& drawn, Inputs inputs, const GraphicsObject& layer) {
    inputs.drawnOn = layer.GetBitmap();
    if (frameCaching && inputs.drawnOn)
        drawn = std::move(inputs);
    else
        drawn.reset();
}

// The layer blended over the clock canvas at its rectangle.
void BlendOntoCanvas(LayeredCanvas& canvas, const GraphicsObject& layer, const Gdiplus::RectF& rect,
                     std::int32_t constantAlpha, bool constantAlphaGiven, bool useSourceAlpha) {
    if (SkipsBlend(constantAlpha, constantAlphaGiven))
        return;
    BlendLayer(canvas.GetDc(), Trunc(rect.X), Trunc(rect.Y), Trunc(rect.Width), Trunc(rect.Height),
               layer.GetDc(), 0, 0, layer.GetWidth(), layer.GetHeight(), constantAlpha, constantAlphaGiven,
               useSourceAlpha);
}

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

} // namespace

std::uint32_t MakeArgb(std::int32_t colour, std::int32_t alpha) {
    const auto c = static_cast<std::uint32_t>(colour);
    const std::uint32_t a = static_cast<std::uint32_t>(alpha) & 0xFF;
    const std::uint32_t r = c & 0xFF;
    const std::uint32_t g = (c >> 8) & 0xFF;
    const std::uint32_t b = (c >> 16) & 0xFF;
    return a << 24 | r << 16 | g << 8 | b;
}

BorderAlphas BorderAlphasFor(std::int32_t windowBackgroundAlpha) {
    const double alpha = windowBackgroundAlpha;
    return {static_cast<std::int32_t>(alpha * 150 / 255), static_cast<std::int32_t>(alpha * 140 / 255)};
}

bool BlendLayer(HDC destDc, int x, int y, int width, int height, HDC sourceDc, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, std::int32_t constantAlpha, bool constantAlphaGiven,
                bool useSourceAlpha) {
    BLENDFUNCTION blend{};
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = constantAlphaGiven ? static_cast<BYTE>(constantAlpha & 0xFF) : 255;
    blend.AlphaFormat = useSourceAlpha ? AC_SRC_ALPHA : 0;
    // GdiAlphaBlend is what msimg32's AlphaBlend forwards to, without
    // msimg32.dll (no known DLL) in the program's imports.
    if (GdiAlphaBlend(destDc, x, y, width, height, sourceDc, sourceX, sourceY, sourceWidth, sourceHeight,
                      blend))
        return true;
    LastStatus = GenericErrorStatus;
    return false;
}

namespace {

// The date line's band below the time, in 96-DPI units: the time keeps its
// place and the window grows by the band.
constexpr int DateBandHeight = 40;
constexpr int FaceHeight = 150;

} // namespace

ClockLayout ClockLayoutFor(DisplayScale scale, bool dateLine) {
    const auto px = [scale](int units) { return static_cast<float>(scale.Pixels(units)); };
    const SIZE window = ClockWindowSizeFor(scale, dateLine);
    const auto width = static_cast<float>(window.cx);
    const auto height = static_cast<float>(window.cy);
    ClockLayout layout;
    layout.windowRect = {0, 0, width, height};
    layout.panelRect = {px(10), px(10), px(358), px(128 + (dateLine ? DateBandHeight : 0))};
    layout.textRect = layout.windowRect;
    layout.timeRect = layout.windowRect;
    if (dateLine) {
        layout.timeRect.Height = px(FaceHeight);
        // Centred at 148 units: below the digits, well inside the panel's lower edge at 178.
        layout.dateRect = {0, px(FaceHeight - 30), width, px(56)};
    }
    layout.innerBorderRect = {px(1), px(1), width - px(5), height - px(5)};
    layout.cornerSize = scale.Pixels(5);
    layout.cornerMargin = scale.Pixels(3);
    layout.borderWidth = scale.Pixels(1.0f);
    layout.textScale = scale.Factor();
    return layout;
}

SIZE ClockWindowSizeFor(DisplayScale scale, bool dateLine) {
    return {scale.Pixels(380), scale.Pixels(FaceHeight + (dateLine ? DateBandHeight : 0))};
}

TimeFormat TimeFormatOf(const ClockSettings& settings) {
    return {.showSeconds = settings.showSeconds,
            .twelveHour = settings.twelveHour,
            .showDate = settings.showDate,
            .longDate = settings.dateFormat != DateForm::Short,
            .locale = LOCALE_USER_DEFAULT};
}

void AddRoundedRectangle(PathObject& path, float x, float y, float width, float height, std::int32_t size,
                         std::int32_t margin) {
    const std::int32_t corner = std::clamp(size, 1, 100);
    const auto side = static_cast<float>(corner);
    const auto inset = static_cast<float>(corner + margin);
    path.AddArc(x, y, side, side, 180, 90);
    path.AddArc(x + width - inset, y, side, side, 270, 90);
    path.AddArc(x + width - inset, y + height - inset, side, side, 0, 90);
    path.AddArc(x, y + height - inset, side, side, 90, 90);
}

void PrepareLayer(GraphicsObject& layer, int width, int height) {
    if (frameCaching && layer.IsValid() && layer.GetWidth() == width && layer.GetHeight() == height) {
        ClearCanvas(layer);
    } else {
        if (layer.IsValid())
            layer.ReleaseCanvas();
        layer.CreateCanvas(width, height);
    }
    layer.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
}

namespace {

// A layered window lets clicks through pixels of alpha 0. The backdrop and
// the panel are filled with alpha 1 at least (which nothing can see), so that
// the whole face can be hovered and dragged at every opacity; the blends
// over them never take a pixel back down to 0.
std::int32_t AtLeastOne(std::int32_t alpha) {
    return (alpha & 0xFF) == 0 ? 1 : alpha;
}

BackdropInputs BackdropInputsNow(const ClockView& view) {
    const ClockSettings& s = view.settings;
    const Gdiplus::RectF& window = view.layout.windowRect;
    const BorderAlphas borders = BorderAlphasFor(s.windowBackgroundAlpha);
    return {window.Width,
            window.Height,
            view.layout.cornerSize,
            view.layout.borderWidth,
            MakeArgb(s.outerBorderColor, borders.outer),
            MakeArgb(s.windowBackgroundColor, AtLeastOne(s.windowBackgroundAlpha)),
            MakeArgb(s.innerBorderColor, borders.inner),
            view.backdropLayer.GetBitmap()};
}

Gdiplus::RectF TextBounds(const std::wstring& text, const FontFamilyObject& family, float emSize,
                          const Gdiplus::RectF& rect, std::int32_t style, const StringFormatObject& format);

// Ink bounds of a text without a layout box to cut it.
Gdiplus::RectF InkOf(const std::wstring& text, const FontFamilyObject& family, float emSize,
                     std::int32_t style, const StringFormatObject& format) {
    if (text.empty())
        return {};
    constexpr float Far = 100000;
    return TextBounds(text, family, emSize, {-Far, -Far, 2 * Far, 2 * Far}, style, format);
}

TextRoom MeasureTextRoom(TextRoom room) {
    // Measured at a size that fits anywhere; the ink scales with the size.
    constexpr float Unit = 10;
    FontFamilyObject family;
    CreateTimeFontFamily(family, room.fontName);
    StringFormatObject format;
    CreateTimeFormat(format);
    // The widest digits of the format: every digit a 0, two for the hour.
    const Gdiplus::RectF time =
        InkOf(room.seconds ? L"00:00:00" : L"00:00", family, Unit, room.fontStyle, format);
    const float markerUnit = Unit * ClockLayout::DateLineRatio;
    const Gdiplus::RectF marker = InkOf(room.designator, family, markerUnit, room.fontStyle, format);
    const float gap = room.designator.empty() ? 0 : Unit * 0.1f;
    room.timeWidth = (time.Width + gap + marker.Width) / Unit;
    room.timeHeight = std::max(time.Height, marker.Height) / Unit;
    const Gdiplus::RectF date = InkOf(room.date, family, markerUnit, room.fontStyle, format);
    room.dateWidth = date.Width / markerUnit;
    room.dateHeight = date.Height / markerUnit;
    return room;
}

// How much room the view's texts take per unit of em size, measured once
// for each font and texts.
const TextRoom& TextRoomOf(const ClockView& view, const std::wstring& date) {
    std::optional<TextRoom>& room = view.faceCache.room;
    const bool seconds = std::ranges::count(view.timeText.digitsText, ':') > 1;
    const std::wstring& designator = view.timeText.designator;
    const std::string& font = view.settings.fontName;
    if (!room || room->fontName != font || room->seconds != seconds || room->designator != designator ||
        room->date != date || room->fontStyle != view.layout.fontStyle)
        room = MeasureTextRoom({font, seconds, designator, date, view.layout.fontStyle});
    return *room;
}

// The largest share of the asked em size (at most all of it) at which ink of
// that size per unit fits the room, outline included.
float ShareThatFits(float emSize, float inkWidth, float inkHeight, float roomWidth, float roomHeight,
                    float outline) {
    // A pixel to spare at each side for the anti-aliased edge.
    constexpr float Spare = 2;
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
};

// The em sizes the settings ask for, or, where the time or the date line
// would be cut by the face, the largest that show them whole: the setting
// keeps the size asked for.
FittedSizes FitToTheFace(const ClockView& view, const std::wstring& date) {
    const ClockLayout& layout = view.layout;
    const float time = layout.EmSize(view.settings.fontSize);
    const float dateSize = layout.DateEmSize(view.settings.fontSize);
    if (!std::isfinite(time) || time == 0)
        return {time, dateSize, dateSize};
    const TextRoom& room = TextRoomOf(view, date);
    const float outline = std::abs(layout.OutlineWidth(view.settings.outlineWidth));
    const float width = layout.textRect.Width;
    const float timeShare =
        ShareThatFits(time, room.timeWidth, room.timeHeight, width, layout.timeRect.Height, outline);
    const float dateShare = std::min(timeShare, ShareThatFits(dateSize, room.dateWidth, room.dateHeight,
                                                              width, layout.dateRect.Height, outline));
    return {time * timeShare, dateSize * timeShare, dateSize * dateShare};
}

PanelInputs PanelInputsNow(const ClockView& view) {
    const Gdiplus::RectF& panel = view.layout.panelRect;
    return {panel.Width, panel.Height,
            MakeArgb(view.settings.clockBackgroundColor, AtLeastOne(view.settings.clockBackgroundAlpha)),
            view.panelLayer.GetBitmap()};
}

TextInputs TextInputsNow(const ClockView& view) {
    const ClockSettings& s = view.settings;
    const ClockLayout& layout = view.layout;
    const Gdiplus::RectF& textRect = layout.textRect;
    const std::wstring date = layout.dateRect.Height > 0 ? view.timeText.dateText : std::wstring();
    const FittedSizes sizes = FitToTheFace(view, date);
    return {view.timeText.digitsText,
            view.timeText.designator,
            view.timeText.designatorFirst,
            date,
            s.fontName,
            sizes.time,
            sizes.marker,
            sizes.date,
            layout.timeRect.Y,
            layout.timeRect.Height,
            layout.dateRect.Y,
            layout.dateRect.Height,
            layout.fontStyle,
            layout.OutlineWidth(s.outlineWidth),
            MakeArgb(s.outlineColor, 255),
            MakeArgb(s.fontColor, 255),
            textRect.X,
            textRect.Y,
            textRect.Width,
            textRect.Height,
            view.textLayer.GetBitmap()};
}

} // namespace

void DrawWindowBackdrop(ClockView& view) {
    const Gdiplus::RectF& window = view.layout.windowRect;
    GraphicsObject& layer = view.backdropLayer;
    const BackdropInputs inputs = BackdropInputsNow(view);

    if (!Unchanged(view.faceCache.backdrop, inputs)) {
        PrepareLayer(layer, Trunc(window.Width), Trunc(window.Height));

        PathObject outline;
        outline.Create(Gdiplus::FillModeAlternate);
        AddRoundedRectangle(outline, 0, 0, window.Width, window.Height, view.layout.cornerSize,
                            view.layout.cornerMargin);
        outline.CloseFigure();

        PenObject pen;
        pen.Create(inputs.outerPen, inputs.borderWidth, UnitPixel);
        layer.DrawPath(pen, outline);

        // The fill comes after the border and covers its inner half.
        BrushObject brush;
        brush.CreateSolid(inputs.fill);
        layer.FillPath(brush, outline);

        PathObject inner;
        inner.Create(Gdiplus::FillModeAlternate);
        const Gdiplus::RectF& innerRect = view.layout.innerBorderRect;
        inner.AddRectangle(innerRect.X, innerRect.Y, innerRect.Width, innerRect.Height);
        pen.SetColor(inputs.innerPen);
        layer.DrawPath(pen, inner);
        Remember(view.faceCache.backdrop, inputs, layer);
    }

    // Copied without constant or per-pixel alpha: this replaces every canvas
    // pixel, so nothing of the previous frame survives.
    BlendOntoCanvas(view.clockCanvas, layer, window, 0, false, false);
}

void DrawClockPanel(ClockView& view) {
    const ClockSettings& s = view.settings;
    const Gdiplus::RectF& panel = view.layout.panelRect;
    GraphicsObject& layer = view.panelLayer;
    const PanelInputs inputs = PanelInputsNow(view);

    if (!Unchanged(view.faceCache.panel, inputs)) {
        PrepareLayer(layer, Trunc(panel.Width), Trunc(panel.Height));
        PathObject path;
        path.Create(Gdiplus::FillModeAlternate);
        path.AddRectangle(-1, -1, panel.Width + 1, panel.Height + 1);
        BrushObject brush;
        brush.CreateSolid(inputs.fill);
        layer.FillPath(brush, path);
        Remember(view.faceCache.panel, inputs, layer);
    }

    BlendOntoCanvas(view.clockCanvas, layer, panel, s.clockBackgroundAlpha, s.layeredTransparency, false);
}

namespace {

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

// The path's bounds without a pen; none for an empty path.
std::optional<Gdiplus::RectF> BoundsOf(const PathObject& path) {
    Gdiplus::RectF bounds{};
    if (!path.GetBounds(bounds, nullptr, PenObject()))
        return std::nullopt;
    return bounds;
}

std::optional<Gdiplus::RectF> BoundsOfFigures(std::span<const TextFigure> figures) {
    PathObject path;
    return PathOfFigures(path, figures, FillModeWinding) ? BoundsOf(path) : std::nullopt;
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

bool PathReachesLayer(const PathObject& path, float outlineWidth, const GraphicsObject& layer) {
    const std::optional<Gdiplus::RectF> bounds = BoundsOf(path);
    // An empty path: drawing it is harmless.
    return !bounds || BoundsReachLayer(*bounds, outlineWidth, layer);
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

// The time's digits and, on the 12-hour clock, the designator beside them at
// the date line's size, bottoms aligned: at full size it would not fit
// beside the seconds. The two are centred together.
void AddTime(PathObject& path, const TextInputs& inputs, const Gdiplus::RectF& timeRect,
             const FontFamilyObject& family, const StringFormatObject& format) {
    const std::wstring time(inputs.text.begin(), inputs.text.end()); // ASCII digits
    if (inputs.designator.empty()) {
        path.AddStringW(time, family, inputs.emSize, timeRect, inputs.fontStyle, format);
        return;
    }
    const Gdiplus::RectF digits = TextBounds(time, family, inputs.emSize, timeRect, inputs.fontStyle, format);
    const Gdiplus::RectF marker =
        TextBounds(inputs.designator, family, inputs.markerEmSize, timeRect, inputs.fontStyle, format);
    const float gap = inputs.emSize * 0.1f;
    const float shift = (inputs.designatorFirst ? 1 : -1) * (marker.Width + gap) / 2;
    Gdiplus::RectF digitsRect = timeRect;
    digitsRect.X += shift;
    path.AddStringW(time, family, inputs.emSize, digitsRect, inputs.fontStyle, format);

    const float markerLeft =
        inputs.designatorFirst ? digits.X + shift - gap - marker.Width : digits.GetRight() + shift + gap;
    Gdiplus::RectF markerRect = timeRect;
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
    if (inputs.date.empty())
        return;
    const Gdiplus::RectF dateRect{textRect.X, inputs.dateTop, textRect.Width, inputs.dateHeight};
    path.AddStringW(inputs.date, family, inputs.dateEmSize, dateRect, inputs.fontStyle, format);
}

// The time's path and, under it, the date line's: one path, so that the
// date takes the time's pen and brush. Answers how many points are the time's.
int AddTextPath(PathObject& path, const TextInputs& inputs, const Gdiplus::RectF& textRect,
                const FontFamilyObject& family, const StringFormatObject& format) {
    path.Create(FillModeWinding);
    AddTime(path, inputs, TimeRectOf(inputs, textRect), family, format);
    const int timePoints = path.GetPointCount();
    AddDate(path, inputs, textRect, family, format);
    return timePoints;
}

// Creates the outline's pen; false when there is no outline to draw.
bool CreateOutlinePen(PenObject& pen, const TextInputs& inputs) {
    if (inputs.outlineWidth == 0)
        return false;
    pen.Create(inputs.outlinePen, inputs.outlineWidth, UnitPixel);
    return true;
}

void StrokeAndFill(GraphicsObject& layer, const PathObject& path, const TextInputs& inputs,
                   const PenObject* pen) {
    if (pen)
        layer.DrawPath(*pen, path);
    BrushObject brush;
    brush.CreateSolid(inputs.fill);
    layer.FillPath(brush, path);
}

// Draws the whole text layer; with a cache, the figures it was drawn from
// are kept there for the next tick.
void PaintTimeText(GraphicsObject& layer, const Gdiplus::RectF& textRect, const TextInputs& inputs,
                   const FontFamilyObject& family, const StringFormatObject& format, FaceCache* cache) {
    PrepareLayer(layer, Trunc(textRect.Width), Trunc(textRect.Height));
    if (cache)
        cache->ForgetFigures();

    PathObject path;
    const int timePoints = AddTextPath(path, inputs, textRect, family, format);
    if (!PathReachesLayer(path, inputs.outlineWidth, layer))
        return;
    PenObject pen;
    const PenObject* outline = CreateOutlinePen(pen, inputs) ? &pen : nullptr;
    StrokeAndFill(layer, path, inputs, outline);
    if (cache) {
        std::vector<TextFigure> figures = SplitFigures(path);
        MeasureReach(figures, outline);
        auto dateFrom = figures.begin();
        for (int points = 0; dateFrom != figures.end() && points < timePoints; ++dateFrom)
            points += static_cast<int>(dateFrom->points.size());
        cache->timeFigures.assign(std::make_move_iterator(figures.begin()),
                                  std::make_move_iterator(dateFrom));
        cache->dateFigures.assign(std::make_move_iterator(dateFrom), std::make_move_iterator(figures.end()));
        cache->dateBounds = BoundsOfFigures(cache->dateFigures);
    }
}

// Reads the time the view shows, written as its settings ask.
void ReadTimeText(ClockView& view) {
    view.timeText = FormatTimeText(ReadLocalTime(), TimeFormatOf(view.settings), view.localeTexts);
}

} // namespace

void DrawTimeText(ClockView& view, bool refreshTime) {
    const ClockSettings& s = view.settings;
    if (refreshTime)
        ReadTimeText(view);

    const Gdiplus::RectF& textRect = view.layout.textRect;
    GraphicsObject& layer = view.textLayer;
    const TextInputs inputs = TextInputsNow(view);

    if (!frameCaching) {
        // A new family and format on every call.
        FontFamilyObject family;
        CreateTimeFontFamily(family, s.fontName);
        StringFormatObject format;
        CreateTimeFormat(format);
        PaintTimeText(layer, textRect, inputs, family, format, nullptr);
    } else if (!Unchanged(view.faceCache.text, inputs)) {
        FaceCache& cache = view.faceCache;
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

bool TextInputs::SameLayout(const TextInputs& other) const {
    TextInputs texts = *this;
    texts.text = other.text;
    texts.designator = other.designator;
    texts.designatorFirst = other.designatorFirst;
    texts.date = other.date;
    return texts == other;
}

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

FaceCache::FaceCache() = default;
FaceCache::~FaceCache() = default;

namespace {

constexpr ButtonId ButtonOrder[] = {ButtonId::Close, ButtonId::KeepOnTop, ButtonId::Settings,
                                    ButtonId::LargerFont, ButtonId::SmallerFont};

FrameInputs FrameInputsNow(const ClockView& view) {
    const ClockSettings& s = view.settings;
    const ClockLayout& layout = view.layout;
    FrameInputs inputs{BackdropInputsNow(view),
                       PanelInputsNow(view),
                       TextInputsNow(view),
                       layout.windowRect.X,
                       layout.windowRect.Y,
                       layout.panelRect.X,
                       layout.panelRect.Y,
                       s.clockBackgroundAlpha & 0xFF,
                       s.layeredTransparency,
                       s.clockAlpha & 0xFF,
                       {},
                       view.hoverActive,
                       view.clockCanvas.GetBitmap(),
                       view.clockCanvas.GetWidth(),
                       view.clockCanvas.GetHeight(),
                       view.clockCanvas.GetAlpha(),
                       {}};
    for (ButtonId id : ButtonOrder) {
        const HoverButton& button = HoverButtonFor(view, id);
        const std::span<const std::uint8_t> image = button.CurrentImage();
        inputs.buttons.push_back({{image.begin(), image.end()}, button.bounds});
    }
    GetWindowRect(view.clockCanvas.GetWindow(), &inputs.windowRect);
    return inputs;
}

// The canvas's pixels; empty without a canvas.
std::span<const std::uint8_t> CanvasPixels(const ClockView& view) {
    DIBSECTION section{};
    if (!ReadDibSection(view.clockCanvas.GetBitmap(), section))
        return {};
    return {static_cast<const std::uint8_t*>(section.dsBm.bmBits),
            static_cast<std::size_t>(section.dsBm.bmWidthBytes) * section.dsBm.bmHeight};
}

// The canvas pixels inside part copied over the kept ones (same layout).
void CopyPixelsWithin(std::vector<std::uint8_t>& kept, std::span<const std::uint8_t> pixels, int width,
                      int height, const RECT& part) {
    const RECT whole{0, 0, width, height};
    RECT area{};
    if (kept.size() != pixels.size() || pixels.size() < static_cast<std::size_t>(width) * height * 4) {
        kept.assign(pixels.begin(), pixels.end());
        return;
    }
    if (!IntersectRect(&area, &whole, &part))
        return;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (LONG y = area.top; y < area.bottom; ++y) {
        const std::size_t at = static_cast<std::size_t>(height - 1 - y) * stride + area.left * 4;
        std::memcpy(kept.data() + at, pixels.data() + at,
                    static_cast<std::size_t>(area.right - area.left) * 4);
    }
}

void DrawLayers(ClockView& view, bool refreshTime) {
    DrawWindowBackdrop(view);
    DrawClockPanel(view);
    DrawTimeText(view, refreshTime);
    DrawHoverButtons(view, view.hoverActive);
}

// Whether the window shows the frame the cache last recorded: nothing else
// has presented (or failed to) on the canvas since.
bool ShownFrameOnScreen(const ClockView& view, const FaceCache& cache) {
    return cache.shown && !cache.shownPixels.empty() && cache.shownSerial == view.clockCanvas.PresentSerial();
}

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
    AddTime(time, inputs, TimeRectOf(inputs, view.layout.textRect), view.faceCache.family,
            view.faceCache.format);
    return SplitFigures(time);
}

// The time's figures for the inputs: laid out ahead (aheadTime: which) or
// anew.
std::vector<TextFigure> TimeFiguresNow(const ClockView& view, const TextInputs& inputs,
                                       std::optional<std::size_t>& aheadTime) {
    const FaceCache& cache = view.faceCache;
    const auto ahead = std::ranges::find(cache.timesAheadFor, TimeOnly(inputs));
    if (ahead == cache.timesAheadFor.end())
        return LayOutTime(view, inputs);
    aheadTime = static_cast<std::size_t>(ahead - cache.timesAheadFor.begin());
    return cache.timesAhead.Get(*aheadTime + 1);
}

std::vector<TextFigure> LayOutDate(const ClockView& view, const TextInputs& inputs) {
    PathObject date;
    date.Create(FillModeWinding);
    AddDate(date, inputs, view.layout.textRect, view.faceCache.family, view.faceCache.format);
    return SplitFigures(date);
}

// The figures that reach the cells, the time's and the date line's, drawn
// again inside them over a clear background.
void DrawFiguresWithin(GraphicsObject& layer, std::span<const TextFigure> time,
                       std::span<const TextFigure> date, const RECT& cells, const TextInputs& inputs,
                       const PenObject* pen) {
    ClearLayerRect(layer, cells);
    PathObject redrawn;
    if (PathOfFigures(redrawn, {time, date}, FillModeWinding, &cells)) {
        layer.SetClipRectI(cells.left, cells.top, cells.right - cells.left, cells.bottom - cells.top);
        StrokeAndFill(layer, redrawn, inputs, pen);
        layer.ResetClip();
    }
}

// What the cells drawn ahead may hold in all, allocated once: a tick whose
// cells do not fit draws them itself.
constexpr std::size_t CellsAheadBytes = 256 * 1024;

// Draws the figures of a time laid out ahead inside the cells it changes on
// the layer kept for it, or takes the same cells drawn the time before, and
// keeps those pixels for the tick that shows it.
void DrawCellsAhead(FaceCache& cache, std::span<const TextFigure> figures, const RECT& changed,
                    const TextInputs& inputs, const PenObject* pen) {
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
        DrawFiguresWithin(layer, figures, {}, cells, inputs, pen);
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
    FaceCache& cache = view.faceCache;
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
    PenObject outline;
    const PenObject* pen = CreateOutlinePen(outline, inputs) ? &outline : nullptr;
    std::vector<TextFigure> previous = cache.timeFigures;
    cache.timesAhead.Add(previous);
    for (int ticks = 1; ticks <= TicksLaidAhead; ++ticks) {
        const std::optional<TextInputs> later = timeAfter(ticks);
        if (!later)
            return;
        std::vector<TextFigure> figures = LayOutTime(view, *later);
        const RECT changed = ChangedCells(previous, figures, pen);
        cache.timesAhead.Add(figures);
        cache.timesAheadFor.push_back(*later);
        DrawCellsAhead(cache, figures, changed, *later, pen);
        previous = std::move(figures);
    }
}

// Copies in the cells drawn ahead for a time laid out ahead, where they are
// what drawing would make: the text layer holds the time they were drawn
// over, the cells are the same and no figure of the date line reaches them.
bool CopyCellsAhead(ClockView& view, std::size_t aheadTime, std::span<const TextFigure> date,
                    const RECT& cells) {
    FaceCache& cache = view.faceCache;
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
    FaceCache& cache = view.faceCache;
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

    PenObject pen;
    const PenObject* outline = CreateOutlinePen(pen, inputs) ? &pen : nullptr;
    RECT changed = ChangedCells(cache.timeFigures, time, outline);
    if (!sameDate) {
        const RECT dateChanged = ChangedCells(cache.dateFigures, newDate, outline);
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
            DrawFiguresWithin(layer, time, date, cells, inputs, outline);
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

// A tick whose frame differs from the one on the screen in its texts alone:
// only the cells of the figures that changed are drawn, composed, compared
// and sent, and the canvas ends as a whole frame would leave it. False, with
// nothing done, where the frame must be drawn whole.
bool RedrawTextCells(ClockView& view, const FrameInputs& now) {
    RECT part{};
    std::optional<std::size_t> aheadTime;
    if (!DrawTextCells(view, now.text, part, aheadTime))
        return false;
    FaceCache& cache = view.faceCache;
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

} // namespace

void RedrawClock(ClockView& view, bool refreshTime) {
    ++redrawCount;
    LayeredCanvas& canvas = view.clockCanvas;
    if (!frameCaching) {
        DrawLayers(view, refreshTime);
        canvas.Present();
        return;
    }
    // The time is read first: it is one of the frame's inputs.
    if (refreshTime)
        ReadTimeText(view);
    FaceCache& cache = view.faceCache;
    const bool onScreen = ShownFrameOnScreen(view, cache);
    if (onScreen) {
        const FrameInputs now = FrameInputsNow(view);
        // The same frame is not drawn again while the canvas holds it. A tick
        // composes the cells it changes from the layers and sends nothing
        // else, so it need not read the whole canvas first: what else the
        // canvas may hold stays off the screen.
        if (*cache.shown == now) {
            if (SamePixels(CanvasPixels(view), cache.shownPixels))
                return;
        } else if (cache.shown->SameAroundText(now) && RedrawTextCells(view, now)) {
            return;
        }
    }
    DrawLayers(view, false);
    // Only the pixels that differ from the frame on the screen are sent.
    const std::span<const std::uint8_t> pixels = CanvasPixels(view);
    const bool presented = onScreen ? canvas.PresentChanged(ChangedPixelBounds(
                                          cache.shownPixels, pixels, canvas.GetWidth(), canvas.GetHeight()))
                                    : canvas.Present();
    if (!presented) {
        // The screen holds something else: the next frame is sent whole.
        cache.shown.reset();
        cache.shownPixels.clear();
        return;
    }
    // Taken after drawing, with the layers' bitmaps as they are now.
    cache.shown = std::make_unique<FrameInputs>(FrameInputsNow(view));
    cache.shownPixels.assign(pixels.begin(), pixels.end());
    cache.shownSerial = canvas.PresentSerial();
}

void SetFrameCaching(ClockView& view, bool on) {
    frameCaching = on;
    ReleaseFrameCaches(view);
}

void FaceCache::ForgetFigures() {
    timeFigures.clear();
    dateFigures.clear();
    dateBounds.reset();
}

void FaceCache::Release() {
    backdrop.reset();
    panel.reset();
    text.reset();
    ForgetFigures();
    timesAhead = {};
    timesAheadFor.clear();
    cellsLayer.ReleaseCanvas();
    cellsAhead = {};
    cellsBefore = {};
    shown.reset();
    shownPixels.clear();
    family.Delete();
    familyName.clear();
    familyMade = false;
    format.Delete();
}

void ReleaseFrameCaches(ClockView& view) {
    view.faceCache.Release();
    ReleaseButtonCaches(view);
}

bool FrameCaching() {
    return frameCaching;
}

bool SkipsBlend(std::int32_t constantAlpha, bool constantAlphaGiven) {
    return frameCaching && constantAlphaGiven && (constantAlpha & 0xFF) == 0;
}

std::uint64_t RedrawCount() {
    return redrawCount;
}

namespace {

// The window now shows on a monitor of another scale than it was sized for:
// it keeps its place and takes that scale's size.
void FollowMonitorScale(ClockView& view, HWND window) {
    const DisplayScale placed = ScaleForWindow(window);
    if (placed == view.scale)
        return;
    view.scale = placed;
    const SIZE size = ClockWindowSizeFor(placed, view.settings.showDate);
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void ShowClockFace(ClockView& view, HWND window) {
    // A remembered place may lie on a monitor of another scale.
    FollowMonitorScale(view, window);
    view.layout = ClockLayoutFor(view.scale, view.settings.showDate);
    view.clockCanvas.AttachToWindow(window);
    DrawWindowBackdrop(view);
    SetupButtons(view);
    view.clockCanvas.SetAlpha(view.settings.windowAlpha);
    DrawClockPanel(view);
    DrawTimeText(view, true);
    view.clockCanvas.Present();
    view.windowHost.Subclass(window, ClockWindowProc);
}

void ChangeClockScale(ClockView& view, DisplayScale scale, const RECT& suggested) {
    view.scale = scale;
    view.layout = ClockLayoutFor(scale, view.settings.showDate);
    const int width = suggested.right - suggested.left;
    const int height = suggested.bottom - suggested.top;
    SetWindowPos(view.clockCanvas.GetWindow(), nullptr, suggested.left, suggested.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    view.clockCanvas.ResizeCanvas(width, height);
    // Layers, family and decoded images of the old scale are of no more use.
    ReleaseFrameCaches(view);
    LayOutButtons(view);
    RedrawClock(view, false);
}

void FitClockToDateLine(ClockView& view) {
    const bool dateLine = view.settings.showDate;
    const SIZE size = ClockWindowSizeFor(view.scale, dateLine);
    view.layout = ClockLayoutFor(view.scale, dateLine);
    SetWindowPos(view.clockCanvas.GetWindow(), nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (view.clockCanvas.GetWidth() != size.cx || view.clockCanvas.GetHeight() != size.cy) {
        view.clockCanvas.ResizeCanvas(size.cx, size.cy);
        ReleaseFrameCaches(view);
        // The buttons at the bottom follow the new height.
        LayOutButtons(view);
    }
}
