#include "clock/HoverButtons.h"

#include "assets/TextIds.h"
#include "clock/ClockFace.h"
#include "clock/ClockView.h"
#include "clock/ClockWindow.h"
#include "clock/ClockWindowListener.h"
#include "framework/Services.h"
#include "framework/StringTable.h"
#include "graphics/ImageAttributesObject.h"
#include "graphics/ImageObject.h"

#include <EmbeddedAssets.h>

#include <algorithm>
#include <utility>

namespace {

using enum ButtonId;

// How long a pressed button keeps its pressed image on screen.
constexpr DWORD PressedMilliseconds = 100;

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

ButtonViews CurrentViews(ClockView& view) {
    ButtonViews views;
    for (ButtonId id : DrawOrder)
        At(views, id) = {HoverButtonFor(view, id).bounds, HoverButtonFor(view, id).state};
    return views;
}

bool KeepOnTopIsOn(const ClockView& view) {
    return view.settings.keepOnTop;
}

bool CursorIsDefault(const ClockView& view) {
    return !view.window || view.window->CursorIsDefault();
}

void ChangeCursor(ClockView& view, CursorChange change) {
    if (change == CursorChange::None || !view.window)
        return;
    view.window->SetCursorShape(change == CursorChange::Hand ? LoadCursorW(nullptr, IDC_HAND) : nullptr);
}

// The frame before the pause shows the pressed image; the one after, the
// hover image again.
void PauseOnPressedImage(ClockView& view, HoverButton& button) {
    button.state = ButtonState::Hover;
    SleepMilliseconds(PressedMilliseconds);
    RedrawClock(view, false);
}

void ShowPressed(ClockView& view, HoverButton& button) {
    button.state = ButtonState::Pressed;
    RedrawClock(view, false);
}

void RunAction(ClockView& view, ClockWindowListener& listener, ButtonId id) {
    HoverButton& button = HoverButtonFor(view, id);
    switch (id) {
    case Close:
        ShowPressed(view, button);
        listener.OnButtonPressed(id);
        break;
    case LargerFont:
    case SmallerFont:
        // The listener's redraw shows the new size under the pressed image.
        button.state = ButtonState::Pressed;
        listener.OnButtonPressed(id);
        PauseOnPressedImage(view, button);
        break;
    case Settings:
        ShowPressed(view, button);
        PauseOnPressedImage(view, button);
        listener.OnButtonPressed(id);
        break;
    case KeepOnTop:
        break; // reported by PressKeepOnTop
    }
}

void PressKeepOnTop(ClockView& view, ClockWindowListener& listener, bool showPressed) {
    listener.OnButtonPressed(KeepOnTop);
    if (!showPressed)
        return;
    ShowPressed(view, view.keepOnTopButton);
    PauseOnPressedImage(view, view.keepOnTopButton);
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

const HoverButton& HoverButtonFor(const ClockView& view, ButtonId id) {
    switch (id) {
    case Close:
        return view.closeButton;
    case KeepOnTop:
        return view.keepOnTopButton;
    case Settings:
        return view.settingsButton;
    case LargerFont:
        return view.largerFontButton;
    case SmallerFont:
        break;
    }
    return view.smallerFontButton;
}

HoverButton& HoverButtonFor(ClockView& view, ButtonId id) {
    return const_cast<HoverButton&>(HoverButtonFor(std::as_const(view), id));
}

ButtonImageSet ButtonImagesFor(ButtonId id, DisplayScale scale) {
    const auto& table = ImagesByScale();
    for (const ScaledImages& scaled : table) {
        if (scaled.dpi >= scale.dpi)
            return At(scaled.images, id);
    }
    return At(table.back().images, id);
}

void LayOutButtons(ClockView& view) {
    const PerButton<IntRect> bounds =
        ButtonBoundsFor(view.clockCanvas.GetWidth(), view.clockCanvas.GetHeight(), view.scale);
    for (ButtonId id : DrawOrder) {
        HoverButton& button = HoverButtonFor(view, id);
        SetImages(button, ButtonImagesFor(id, view.scale));
        button.bounds = At(bounds, id);
    }
}

void PlaceButtons(ClockView& view) {
    LayOutButtons(view);

    // The keep-on-top button doubles as the indicator of the setting.
    if (KeepOnTopIsOn(view))
        view.keepOnTopButton.state = ButtonState::Hover;
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

void BlendButtonLayer(LayeredCanvas& canvas, const GraphicsObject& layer, const IntRect& bounds,
                      bool visible) {
    // A hidden button is still drawn and blended, with constant alpha 0,
    // which leaves the canvas as it was.
    if (SkipsBlend(0, !visible))
        return;
    BlendLayer(canvas.GetDc(), bounds.x, bounds.y, bounds.width, bounds.height, layer.GetDc(), 0, 0,
               bounds.width, bounds.height, 0, !visible, true);
}

// DrawButtonImage with the image decoded once and the layer drawn again
// only when it does not show that image at that size already.
void DrawCachedButton(LayeredCanvas& canvas, HoverButton& button, bool visible) {
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
    BlendButtonLayer(canvas, layer, bounds, visible);
}

} // namespace

void DrawHoverButtons(ClockView& view, bool visible) {
    for (ButtonId id : DrawOrder) {
        HoverButton& button = HoverButtonFor(view, id);
        if (FrameCaching())
            DrawCachedButton(view.clockCanvas, button, visible);
        else
            DrawButtonImage(view, button.layer, button.CurrentImage(), button.bounds, visible);
    }
}

void DrawButtonImage(ClockView& view, GraphicsObject& layer, std::span<const std::uint8_t> image,
                     const IntRect& bounds, bool visible) {
    // A button's layer drawn here no longer shows what its cache says.
    for (ButtonId id : DrawOrder) {
        if (&HoverButtonFor(view, id).layer == &layer)
            HoverButtonFor(view, id).cache.drawnOn = nullptr;
    }
    LayeredCanvas& canvas = view.clockCanvas;
    PrepareLayer(layer, bounds.width, bounds.height);
    DrawImageBytes(layer, image, {0, 0, bounds.width, bounds.height});
    BlendButtonLayer(canvas, layer, bounds, visible);
}

void DrawImageBytes(GraphicsObject& graphics, std::span<const std::uint8_t> image, const IntRect& rectangle) {
    ImageObject picture;
    picture.LoadFromMemory(image);
    DrawWholeImage(graphics, picture, rectangle);
    picture.Dispose();
}

namespace {

// Each button's name as a tooltip, in the language in use, at its bounds.
void FollowButtonTips(ClockView& view, std::int32_t x, std::int32_t y) {
    constexpr PerButton<UINT> Names{IDS_TIP_CLOSE, IDS_TIP_KEEP_ON_TOP, IDS_TIP_SETTINGS, IDS_TIP_LARGER_FONT,
                                    IDS_TIP_SMALLER_FONT};
    if (!view.window)
        return;
    // Made when the pointer first reaches a button, not on the way to a drag.
    const auto under = [x, y](const IntRect& b) {
        return x >= b.x && x < b.x + b.width && y >= b.y && y < b.y + b.height;
    };
    if (!view.buttonTips.Handle() &&
        std::ranges::none_of(DrawOrder, [&](ButtonId id) { return under(HoverButtonFor(view, id).bounds); }))
        return;
    std::array<TipArea, ButtonCount> areas;
    for (const ButtonId id : DrawOrder) {
        const IntRect& bounds = HoverButtonFor(view, id).bounds;
        At(areas, id) = {{bounds.x, bounds.y, bounds.x + bounds.width, bounds.y + bounds.height},
                         WideText(At(Names, id))};
    }
    view.buttonTips.Follow(view.window->Handle(), areas);
    view.buttonTips.FollowPointer(x, y);
}

} // namespace

void UpdateButtonHover(ClockView& view, std::int32_t x, std::int32_t y) {
    FollowButtonTips(view, x, y);
    const HoverDecision decision =
        DecideHover(CurrentViews(view), x, y, CursorIsDefault(view), KeepOnTopIsOn(view));
    if (decision.change)
        HoverButtonFor(view, decision.change->button).state = decision.change->state;
    ChangeCursor(view, decision.cursor);
    if (decision.redraw)
        RedrawClock(view, false);
}

void HandleButtonPress(ClockView& view, ClockWindowListener& listener, std::int32_t x, std::int32_t y) {
    view.buttonTips.FollowPress(x, y);
    const PressDecision decision = DecidePress(CurrentViews(view), x, y, KeepOnTopIsOn(view));
    switch (decision.kind) {
    case PressKind::None:
        break;
    case PressKind::RunAction:
        RunAction(view, listener, decision.button);
        break;
    case PressKind::ResetToNormal:
        HoverButtonFor(view, decision.button).state = ButtonState::Normal;
        RedrawClock(view, false);
        break;
    case PressKind::ToggleKeepOnTop:
        PressKeepOnTop(view, listener, decision.showPressed);
        break;
    }
}

void ShowKeepOnTop(ClockView& view, bool on) {
    view.keepOnTopButton.state = on ? ButtonState::Hover : ButtonState::Normal;
}

void ReleaseButtonLayers(ClockView& view) {
    for (ButtonId id : DrawOrder)
        HoverButtonFor(view, id).layer.ReleaseCanvas();
    ReleaseButtonCaches(view);
}

void ReleaseButtonCaches(ClockView& view) {
    for (ButtonId id : DrawOrder)
        HoverButtonFor(view, id).cache.Release();
}
