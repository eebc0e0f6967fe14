#include "clock/ClockFace.h"

#include "clock/ClockView.h"
#include "clock/FaceInternal.h"
#include "config/ClockSettings.h"
#include "framework/Services.h"
#include "graphics/BrushObject.h"
#include "graphics/PathObject.h"
#include "graphics/PenObject.h"

#include <algorithm>

using namespace clock_face;

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
    if (FrameCaching() && layer.IsValid() && layer.GetWidth() == width && layer.GetHeight() == height) {
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

} // namespace

namespace clock_face {

// The layer blended over the clock canvas at its rectangle.
void BlendOntoCanvas(LayeredCanvas& canvas, const GraphicsObject& layer, const Gdiplus::RectF& rect,
                     std::int32_t constantAlpha, bool constantAlphaGiven, bool useSourceAlpha) {
    if (SkipsBlend(constantAlpha, constantAlphaGiven))
        return;
    BlendLayer(canvas.GetDc(), Trunc(rect.X), Trunc(rect.Y), Trunc(rect.Width), Trunc(rect.Height),
               layer.GetDc(), 0, 0, layer.GetWidth(), layer.GetHeight(), constantAlpha, constantAlphaGiven,
               useSourceAlpha);
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

PanelInputs PanelInputsNow(const ClockView& view) {
    const Gdiplus::RectF& panel = view.layout.panelRect;
    return {panel.Width, panel.Height,
            MakeArgb(view.settings.clockBackgroundColor, AtLeastOne(view.settings.clockBackgroundAlpha)),
            view.panelLayer.GetBitmap()};
}

} // namespace clock_face

void DrawWindowBackdrop(ClockView& view) {
    const Gdiplus::RectF& window = view.layout.windowRect;
    GraphicsObject& layer = view.backdropLayer;
    const BackdropInputs inputs = BackdropInputsNow(view);

    if (!Unchanged(view.faceCache->backdrop, inputs)) {
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
        Remember(view.faceCache->backdrop, inputs, layer);
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

    if (!Unchanged(view.faceCache->panel, inputs)) {
        PrepareLayer(layer, Trunc(panel.Width), Trunc(panel.Height));
        PathObject path;
        path.Create(Gdiplus::FillModeAlternate);
        path.AddRectangle(-1, -1, panel.Width + 1, panel.Height + 1);
        BrushObject brush;
        brush.CreateSolid(inputs.fill);
        layer.FillPath(brush, path);
        Remember(view.faceCache->panel, inputs, layer);
    }

    BlendOntoCanvas(view.clockCanvas, layer, panel, s.clockBackgroundAlpha, s.layeredTransparency, false);
}
