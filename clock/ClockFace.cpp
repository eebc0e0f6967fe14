#include "clock/ClockFace.h"

#include "app/AppGlobals.h"
#include "app/SystemIntegration.h"
#include "clock/ClockWindow.h"
#include "clock/HoverButtons.h"
#include "framework/Services.h"
#include "graphics/BrushObject.h"
#include "graphics/FontObjects.h"
#include "graphics/PathObject.h"
#include "graphics/PenObject.h"
#include "graphics/StringFormatObject.h"

#include <algorithm>
#include <cstdio>

namespace {

std::uint64_t redrawCount = 0;

constexpr int UnitPixel = Gdiplus::UnitPixel;
constexpr int FillModeWinding = Gdiplus::FillModeWinding;
constexpr int AlignCenter = Gdiplus::StringAlignmentCenter;

int Trunc(float value) {
    return static_cast<int>(value);
}

// A layer's canvas is made anew for every frame at the size of its rectangle.
void PrepareLayer(GraphicsObject& layer, int width, int height) {
    if (layer.IsValid())
        layer.ReleaseCanvas();
    layer.CreateCanvas(width, height);
    layer.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
}

// The layer blended over the clock canvas at its rectangle.
void BlendOntoCanvas(const GraphicsObject& layer, const Gdiplus::RectF& rect, std::int32_t constantAlpha,
                     bool constantAlphaGiven, bool useSourceAlpha) {
    BlendLayer(App().clockCanvas.GetDc(), Trunc(rect.X), Trunc(rect.Y), Trunc(rect.Width), Trunc(rect.Height),
               layer.GetDc(), 0, 0, layer.GetWidth(), layer.GetHeight(), constantAlpha, constantAlphaGiven,
               useSourceAlpha);
}

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// The family of fontName, or GDI+'s generic sans-serif one when that font is
// not installed, so that the clock never shows a face without its time.
void CreateTimeFontFamily(FontFamilyObject& family, const std::string& fontName) {
    if (!family.CreateFromName(fontName, FontCollectionObject()))
        family.CreateGenericSansSerif();
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
    if (AlphaBlend(destDc, x, y, width, height, sourceDc, sourceX, sourceY, sourceWidth, sourceHeight, blend))
        return true;
    LastStatus = GenericErrorStatus;
    return false;
}

void AddRoundedRectangle(PathObject& path, float x, float y, float width, float height, std::int32_t size) {
    const std::int32_t corner = std::clamp(size, 1, 100);
    const auto side = static_cast<float>(corner);
    const auto inset = static_cast<float>(corner + 3);
    path.AddArc(x, y, side, side, 180, 90);
    path.AddArc(x + width - inset, y, side, side, 270, 90);
    path.AddArc(x + width - inset, y + height - inset, side, side, 0, 90);
    path.AddArc(x, y + height - inset, side, side, 90, 90);
}

TimeText FormatTimeText(const SYSTEMTIME& time, bool showSeconds) {
    TimeText text;
    text.hourText = std::to_string(time.wHour);
    text.minuteText = TwoDigits(time.wMinute);
    text.secondText = TwoDigits(time.wSecond);
    text.timeText = text.hourText + ":" + text.minuteText;
    if (showSeconds)
        text.timeText += ":" + text.secondText;
    return text;
}

void DrawWindowBackdrop() {
    AppGlobals& app = App();
    const ClockSettings& s = app.settings;
    const Gdiplus::RectF& window = app.layout.windowRect;
    const BorderAlphas borders = BorderAlphasFor(s.windowBackgroundAlpha);
    GraphicsObject& layer = app.backdropLayer;
    PrepareLayer(layer, Trunc(window.Width), Trunc(window.Height));

    PathObject outline;
    outline.Create(Gdiplus::FillModeAlternate);
    AddRoundedRectangle(outline, 0, 0, window.Width, window.Height, app.layout.cornerSize);
    outline.CloseFigure();

    PenObject pen;
    pen.Create(MakeArgb(s.outerBorderColor, borders.outer), 1.0f, UnitPixel);
    layer.DrawPath(pen, outline);

    // The fill comes after the border and covers its inner half.
    BrushObject brush;
    brush.CreateSolid(MakeArgb(s.windowBackgroundColor, s.windowBackgroundAlpha));
    layer.FillPath(brush, outline);

    PathObject inner;
    inner.Create(Gdiplus::FillModeAlternate);
    inner.AddRectangle(1, 1, window.Width - 5, window.Height - 5);
    pen.SetColor(MakeArgb(s.innerBorderColor, borders.inner));
    layer.DrawPath(pen, inner);

    // Copied without constant or per-pixel alpha: this replaces every canvas
    // pixel, so nothing of the previous frame survives.
    BlendOntoCanvas(layer, window, 0, false, false);
}

void DrawClockPanel() {
    AppGlobals& app = App();
    const ClockSettings& s = app.settings;
    const Gdiplus::RectF& panel = app.layout.panelRect;
    GraphicsObject& layer = app.panelLayer;
    PrepareLayer(layer, Trunc(panel.Width), Trunc(panel.Height));

    PathObject path;
    path.Create(Gdiplus::FillModeAlternate);
    path.AddRectangle(-1, -1, panel.Width + 1, panel.Height + 1);
    BrushObject brush;
    brush.CreateSolid(MakeArgb(s.clockBackgroundColor, s.clockBackgroundAlpha));
    layer.FillPath(brush, path);

    BlendOntoCanvas(layer, panel, s.clockBackgroundAlpha, IsOn(s.layeredTransparency), false);
}

void DrawTimeText(bool refreshTime) {
    AppGlobals& app = App();
    const ClockSettings& s = app.settings;
    if (refreshTime)
        app.timeText = FormatTimeText(ReadLocalTime(), IsOn(s.showSeconds));

    FontFamilyObject family;
    CreateTimeFontFamily(family, s.fontName);
    StringFormatObject format;
    format.Create(0, 0);
    format.SetAlignment(AlignCenter);
    format.SetLineAlignment(AlignCenter);

    const Gdiplus::RectF& textRect = app.layout.textRect;
    GraphicsObject& layer = app.textLayer;
    PrepareLayer(layer, Trunc(textRect.Width), Trunc(textRect.Height));

    PathObject path;
    path.Create(FillModeWinding);
    path.AddString(app.timeText.timeText, family, s.fontSize, textRect, app.layout.fontStyle, format);

    PenObject pen;
    if (s.outlineWidth != 0) {
        pen.Create(MakeArgb(s.outlineColor, 255), static_cast<float>(s.outlineWidth), UnitPixel);
        layer.DrawPath(pen, path);
    }
    BrushObject brush;
    brush.CreateSolid(MakeArgb(s.fontColor, 255));
    layer.FillPath(brush, path);

    // Text and outline are opaque in the layer; clockAlpha alone makes them
    // translucent.
    BlendOntoCanvas(layer, textRect, s.clockAlpha, true, true);
}

void RedrawClock(bool refreshTime) {
    ++redrawCount;
    DrawWindowBackdrop();
    DrawClockPanel();
    DrawTimeText(refreshTime);
    DrawHoverButtons(App().hoverActive);
    App().clockCanvas.Present();
}

std::uint64_t RedrawCount() {
    return redrawCount;
}

void InitialiseClockFace() {
    AppGlobals& app = App();
    app.layout = ClockLayout{};
    if (IsOn(app.settings.keepOnTop))
        SetTopmost(true);
    if (IsOn(app.settings.memoryOptimization))
        SetWorkingSetTrimming(10);
    PlaceClockWindow();
    app.clockCanvas.AttachToWindow(app.clockWindow->Handle());
    DrawWindowBackdrop();
    SetupButtons();
    app.clockCanvas.SetAlpha(app.settings.windowAlpha);
    DrawClockPanel();
    DrawTimeText(true);
    app.clockCanvas.Present();
    app.windowHost.Subclass(app.clockWindow->Handle(), ClockWindowProc);
    app.clockWindow->tickTimer.SetInterval(1000);
}
