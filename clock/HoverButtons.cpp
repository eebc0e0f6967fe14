#include "clock/HoverButtons.h"

#include "app/AppGlobals.h"
#include "app/SystemIntegration.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "framework/Services.h"
#include "graphics/ImageAttributesObject.h"
#include "graphics/ImageObject.h"
#include "settings/SettingsWindow.h"

#include <EmbeddedAssets.h>

#include <algorithm>

namespace {

using enum ButtonId;

// How long a pressed button keeps its pressed image on screen.
constexpr DWORD PressedMilliseconds = 100;
// A font button's step.
constexpr double FontStep = 5;

// Drawing order, which is also the order of ButtonId.
constexpr std::array DrawOrder{Close, KeepOnTop, Settings, LargerFont, SmallerFont};

void SetImages(HoverButton& button, const ButtonImageSet& images) {
    button.normalImage.assign(images.normal.begin(), images.normal.end());
    button.hoverImage.assign(images.hover.begin(), images.hover.end());
    button.pressedImage.assign(images.pressed.begin(), images.pressed.end());
}

// The images drawn for one scale, for every button.
struct ScaledImages {
    int dpi;
    PerButton<ButtonImageSet> images;
};

// From the smallest scale to the largest.
const std::array<ScaledImages, 3>& ImagesByScale() {
    using namespace embedded;
    static const std::array<ScaledImages, 3> table{{
        {96,
         {{{closeNormalPng, closeHoverPng, closePressedPng},
           {keepOnTopNormalPng, keepOnTopHoverPng, keepOnTopPressedPng},
           {settingsNormalPng, settingsHoverPng, settingsPressedPng},
           {largerFontNormalPng, largerFontHoverPng, largerFontPressedPng},
           {smallerFontNormalPng, smallerFontHoverPng, smallerFontPressedPng}}}},
        {144,
         {{{closeNormal150Png, closeHover150Png, closePressed150Png},
           {keepOnTopNormal150Png, keepOnTopHover150Png, keepOnTopPressed150Png},
           {settingsNormal150Png, settingsHover150Png, settingsPressed150Png},
           {largerFontNormal150Png, largerFontHover150Png, largerFontPressed150Png},
           {smallerFontNormal150Png, smallerFontHover150Png, smallerFontPressed150Png}}}},
        {192,
         {{{closeNormal200Png, closeHover200Png, closePressed200Png},
           {keepOnTopNormal200Png, keepOnTopHover200Png, keepOnTopPressed200Png},
           {settingsNormal200Png, settingsHover200Png, settingsPressed200Png},
           {largerFontNormal200Png, largerFontHover200Png, largerFontPressed200Png},
           {smallerFontNormal200Png, smallerFontHover200Png, smallerFontPressed200Png}}}},
    }};
    return table;
}

ButtonViews CurrentViews() {
    ButtonViews views;
    for (ButtonId id : DrawOrder)
        At(views, id) = {HoverButtonFor(id).bounds, HoverButtonFor(id).state};
    return views;
}

bool KeepOnTopIsOn() {
    return IsOn(App().settings.keepOnTop);
}

bool CursorIsDefault() {
    const auto& window = App().clockWindow;
    return !window || window->CursorIsDefault();
}

void ChangeCursor(CursorChange change) {
    const auto& window = App().clockWindow;
    if (change == CursorChange::None || !window)
        return;
    window->SetCursorShape(change == CursorChange::Hand ? LoadCursorW(nullptr, IDC_HAND) : nullptr);
}

// The frame before the pause shows the pressed image; the one after, the
// hover image again.
void PauseOnPressedImage(HoverButton& button) {
    button.state = ButtonState::Hover;
    SleepMilliseconds(PressedMilliseconds);
    RedrawClock(false);
}

void StepFontSize(HoverButton& button, double step) {
    const ClockSettings& settings = App().settings;
    button.state = ButtonState::Pressed;
    SetFontMetrics(TruncateToInt32(settings.fontSize + step), settings.outlineWidth);
    PauseOnPressedImage(button);
}

void RunAction(ButtonId id) {
    HoverButton& button = HoverButtonFor(id);
    switch (id) {
    case Close:
        button.state = ButtonState::Pressed;
        RedrawClock(false);
        CloseClock();
        break;
    case LargerFont:
        StepFontSize(button, FontStep);
        break;
    case SmallerFont:
        StepFontSize(button, -FontStep);
        break;
    case Settings:
        button.state = ButtonState::Pressed;
        RedrawClock(false);
        PauseOnPressedImage(button);
        OpenSettingsWindow();
        break;
    case KeepOnTop:
        break; // switched by ToggleKeepOnTop
    }
}

void ToggleKeepOnTop(bool showPressed) {
    const bool on = !KeepOnTopIsOn();
    App().settings.keepOnTop = FlagText(on);
    SetTopmost(on);
    if (!showPressed)
        return;
    HoverButton& button = App().keepOnTopButton;
    button.state = ButtonState::Pressed;
    RedrawClock(false);
    PauseOnPressedImage(button);
}

} // namespace

std::span<const std::uint8_t> HoverButton::CurrentImage() const {
    switch (state) {
    case ButtonState::Normal:
        return normalImage;
    case ButtonState::Hover:
        return hoverImage;
    default:
        return pressedImage;
    }
}

HoverButton& HoverButtonFor(ButtonId id) {
    AppGlobals& app = App();
    switch (id) {
    case Close:
        return app.closeButton;
    case KeepOnTop:
        return app.keepOnTopButton;
    case Settings:
        return app.settingsButton;
    case LargerFont:
        return app.largerFontButton;
    case SmallerFont:
        break;
    }
    return app.smallerFontButton;
}

ButtonImageSet ButtonImagesFor(ButtonId id, DisplayScale scale) {
    const auto& table = ImagesByScale();
    for (const ScaledImages& scaled : table) {
        if (scaled.dpi >= scale.dpi)
            return At(scaled.images, id);
    }
    return At(table.back().images, id);
}

void LayOutButtons() {
    AppGlobals& app = App();
    const PerButton<IntRect> bounds =
        ButtonBoundsFor(app.clockCanvas.GetWidth(), app.clockCanvas.GetHeight(), app.scale);
    for (ButtonId id : DrawOrder) {
        HoverButton& button = HoverButtonFor(id);
        SetImages(button, ButtonImagesFor(id, app.scale));
        button.bounds = At(bounds, id);
    }
}

void SetupButtons() {
    AppGlobals& app = App();
    LayOutButtons();

    // The keep-on-top button doubles as the indicator of the setting.
    if (KeepOnTopIsOn())
        app.keepOnTopButton.state = ButtonState::Hover;
    DrawHoverButtons(false);
}

const ImageObject& ButtonCache::Decode(std::span<const std::uint8_t> bytes) {
    for (const auto& decoded : images) {
        if (std::ranges::equal(decoded->bytes, bytes))
            return decoded->image;
    }
    if (images.size() >= MaxImages)
        images.erase(images.begin());
    auto decoded = std::make_unique<Decoded>();
    decoded->bytes.assign(bytes.begin(), bytes.end());
    decoded->image.LoadFromMemory(bytes);
    images.push_back(std::move(decoded));
    return images.back()->image;
}

void ButtonCache::Release() {
    images.clear();
    drawnImage.clear();
    drawnOn = nullptr;
}

namespace {

void DrawWholeImage(GraphicsObject& graphics, const ImageObject& picture, const IntRect& rectangle) {
    const ImageAttributesObject noAttributes; // holds no native object: nothing applied
    graphics.DrawImageRectRect(picture, static_cast<float>(rectangle.x), static_cast<float>(rectangle.y),
                               static_cast<float>(rectangle.width), static_cast<float>(rectangle.height), 0,
                               0, static_cast<float>(picture.GetWidth()),
                               static_cast<float>(picture.GetHeight()), Gdiplus::UnitPixel, &noAttributes);
}

void BlendButtonLayer(const GraphicsObject& layer, const IntRect& bounds, bool visible) {
    // A hidden button is still drawn and blended, with constant alpha 0,
    // which leaves the canvas as it was.
    if (SkipsBlend(0, !visible))
        return;
    BlendLayer(App().clockCanvas.GetDc(), bounds.x, bounds.y, bounds.width, bounds.height, layer.GetDc(), 0,
               0, bounds.width, bounds.height, 0, !visible, true);
}

// DrawButtonImage with the image decoded once and the layer drawn again
// only when it does not show that image at that size already.
void DrawCachedButton(HoverButton& button, bool visible) {
    const std::span<const std::uint8_t> image = button.CurrentImage();
    const IntRect& bounds = button.bounds;
    GraphicsObject& layer = button.layer;
    ButtonCache& cache = button.cache;
    const bool shown = cache.drawnOn && cache.drawnOn == layer.GetBitmap() &&
                       layer.GetWidth() == bounds.width && layer.GetHeight() == bounds.height &&
                       std::ranges::equal(cache.drawnImage, image);
    if (!shown) {
        PrepareLayer(layer, bounds.width, bounds.height);
        DrawWholeImage(layer, cache.Decode(image), {0, 0, bounds.width, bounds.height});
        cache.drawnImage.assign(image.begin(), image.end());
        cache.drawnOn = layer.GetBitmap();
    }
    BlendButtonLayer(layer, bounds, visible);
}

} // namespace

void DrawHoverButtons(bool visible) {
    for (ButtonId id : DrawOrder) {
        HoverButton& button = HoverButtonFor(id);
        if (FrameCaching())
            DrawCachedButton(button, visible);
        else
            DrawButtonImage(button.layer, button.CurrentImage(), button.bounds, visible);
    }
}

void DrawButtonImage(GraphicsObject& layer, std::span<const std::uint8_t> image, const IntRect& bounds,
                     bool visible) {
    // A button's layer drawn here no longer shows what its cache says.
    for (ButtonId id : DrawOrder) {
        if (&HoverButtonFor(id).layer == &layer)
            HoverButtonFor(id).cache.drawnOn = nullptr;
    }
    PrepareLayer(layer, bounds.width, bounds.height);
    DrawImageBytes(layer, image, {0, 0, bounds.width, bounds.height});
    BlendButtonLayer(layer, bounds, visible);
}

void DrawImageBytes(GraphicsObject& graphics, std::span<const std::uint8_t> image, const IntRect& rectangle) {
    ImageObject picture;
    picture.LoadFromMemory(image);
    DrawWholeImage(graphics, picture, rectangle);
    picture.Dispose();
}

void UpdateButtonHover(std::int32_t x, std::int32_t y) {
    const HoverDecision decision = DecideHover(CurrentViews(), x, y, CursorIsDefault(), KeepOnTopIsOn());
    if (decision.change)
        HoverButtonFor(decision.change->button).state = decision.change->state;
    ChangeCursor(decision.cursor);
    if (decision.redraw)
        RedrawClock(false);
}

void HandleButtonPress(std::int32_t x, std::int32_t y) {
    const PressDecision decision = DecidePress(CurrentViews(), x, y, KeepOnTopIsOn());
    switch (decision.kind) {
    case PressKind::None:
        break;
    case PressKind::RunAction:
        RunAction(decision.button);
        break;
    case PressKind::ResetToNormal:
        HoverButtonFor(decision.button).state = ButtonState::Normal;
        RedrawClock(false);
        break;
    case PressKind::ToggleKeepOnTop:
        ToggleKeepOnTop(decision.showPressed);
        break;
    }
}

void SetFontMetrics(std::int32_t size, std::int32_t outline) {
    ClockSettings& settings = App().settings;
    settings.fontSize = size;
    settings.outlineWidth = outline;
    RedrawClock(false);
}

void CloseClock() {
    if (SettingsWindowIsOpen())
        CloseSettingsWindow();
    ClockWindow& window = *App().clockWindow;
    window.tickTimer.SetInterval(0);
    window.trimTimer.SetInterval(0);
    window.Destroy();
}

void ReleaseButtonLayers() {
    for (ButtonId id : DrawOrder)
        HoverButtonFor(id).layer.ReleaseCanvas();
    ReleaseButtonCaches();
}

void ReleaseButtonCaches() {
    for (ButtonId id : DrawOrder)
        HoverButtonFor(id).cache.Release();
}
