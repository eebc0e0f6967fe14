#pragma once
// The five image buttons on the clock face: close, settings and keep on top
// along the top edge, larger and smaller font at the bottom right. They are
// not windows: each is a record with three PNG images, bounds on the clock
// canvas, a state and an off-screen layer of its own, drawn as the last
// layers of every frame and shown only while the mouse is over the clock.
//
// The clock window passes mouse moves to UpdateButtonHover and left presses to
// HandleButtonPress; the decisions come from ButtonStateMachine, this file
// carries out what the view shows (states, cursor, redraws) and reports the
// presses to the clock window's listener, which acts on them.
#include "clock/ButtonStateMachine.h"
#include "graphics/GraphicsObject.h"
#include "graphics/ImageObject.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct ClockView;
class ClockWindowListener;

// What a button keeps between frames while frame caching is on: its images,
// each decoded once, and what its layer was last drawn with (a layer that
// already shows the image is blended as it is).
struct ButtonCache {
    struct Decoded {
        std::vector<std::uint8_t> bytes;
        ImageObject image;
    };
    // At most one per state: an image whose bytes change replaces the oldest.
    static constexpr std::size_t MaxImages = 3;
    std::vector<std::unique_ptr<Decoded>> images;
    std::vector<std::uint8_t> drawnImage;
    HBITMAP drawnOn = nullptr; // the layer's bitmap when drawn; 0: nothing kept

    // The decoded image of these bytes, decoding them the first time.
    const ImageObject& Decode(std::span<const std::uint8_t> bytes);
    void Release();
};

struct HoverButton {
    std::vector<std::uint8_t> normalImage;
    std::vector<std::uint8_t> hoverImage;
    std::vector<std::uint8_t> pressedImage;
    IntRect bounds;
    ButtonState state = ButtonState::Normal;
    GraphicsObject layer; // the button's own layer
    ButtonCache cache;

    // The image of the current state: any state but Normal and Hover shows
    // the pressed image.
    std::span<const std::uint8_t> CurrentImage() const;
};

// The view's button of that identity.
HoverButton& HoverButtonFor(ClockView& view, ButtonId id);
const HoverButton& HoverButtonFor(const ClockView& view, ButtonId id);

// A button's three images, drawn for one display scale.
struct ButtonImageSet {
    std::span<const std::uint8_t> normal;
    std::span<const std::uint8_t> hover;
    std::span<const std::uint8_t> pressed;
};
// The images drawn for the smallest scale at or above this one (1x, 1.5x or
// 2x), so that a button is only ever drawn smaller than its image, never
// enlarged; beyond 2x, the 2x images.
ButtonImageSet ButtonImagesFor(ButtonId id, DisplayScale scale);

// Once the clock canvas is attached: images and bounds from the canvas size,
// and the keep-on-top button lit when the setting is on.
void PlaceButtons(ClockView& view);
// Images and bounds for the program's display scale and the canvas size.
void LayOutButtons(ClockView& view);
// Draws the five buttons as the last layers of a frame, blended visibly only
// while the mouse is over the clock.
void DrawHoverButtons(ClockView& view, bool visible);
// Draws an image into the layer at the bounds' size and blends the layer into
// the clock canvas at the bounds; a hidden button leaves the canvas as it is.
void DrawButtonImage(ClockView& view, GraphicsObject& layer, std::span<const std::uint8_t> image,
                     const IntRect& bounds, bool visible);
// Decodes PNG bytes and draws the whole image scaled into the rectangle. An
// image that fails to decode draws nothing.
void DrawImageBytes(GraphicsObject& graphics, std::span<const std::uint8_t> image, const IntRect& rectangle);

// WM_MOUSEMOVE on the clock window, client coordinates.
void UpdateButtonHover(ClockView& view, std::int32_t x, std::int32_t y);
// WM_LBUTTONDOWN on the clock window, client coordinates: the press is shown
// and, on a lit button, reported.
void HandleButtonPress(ClockView& view, ClockWindowListener& listener, std::int32_t x, std::int32_t y);

// The keep-on-top button doubles as the indicator of the setting: lit while
// it is on. Takes effect at the next redraw.
void ShowKeepOnTop(ClockView& view, bool on);

// Releases the buttons' layers at exit, in the order close, keep on top,
// settings, larger font, smaller font, and what they keep between frames.
void ReleaseButtonLayers(ClockView& view);
// Releases the decoded images and forgets what the layers show.
void ReleaseButtonCaches(ClockView& view);
