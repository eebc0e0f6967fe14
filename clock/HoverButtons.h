#pragma once
// The five image buttons on the clock face: close, settings and keep on top
// along the top edge, larger and smaller font at the bottom right. They are
// not windows: each is a record with three PNG images, bounds on the clock
// canvas, a state and an off-screen layer of its own, drawn as the last
// layers of every frame and shown only while the mouse is over the clock.
//
// ClockWindowProc passes mouse moves to UpdateButtonHover and left presses to
// HandleButtonPress; the decisions come from ButtonStateMachine, this file
// carries them out (states, cursor, settings, redraws).
#include "clock/ButtonStateMachine.h"
#include "graphics/GraphicsObject.h"

#include <cstdint>
#include <span>
#include <vector>

struct HoverButton {
    std::vector<std::uint8_t> normalImage;
    std::vector<std::uint8_t> hoverImage;
    std::vector<std::uint8_t> pressedImage;
    IntRect bounds;
    ButtonState state = ButtonState::Normal;
    GraphicsObject layer; // the button's own layer, made anew on every draw

    // The image of the current state: any state but Normal and Hover shows
    // the pressed image.
    std::span<const std::uint8_t> CurrentImage() const;
};

// The program-wide button of that identity (in AppGlobals).
HoverButton& HoverButtonFor(ButtonId id);

// At start-up, once the clock canvas is attached: images, bounds from the
// canvas size, and a first, hidden drawing of each button.
void SetupButtons();
// Draws the five buttons as the last layers of a frame, blended visibly only
// while the mouse is over the clock.
void DrawHoverButtons(bool visible);
// Draws an image into the layer at the bounds' size and blends the layer into
// the clock canvas at the bounds; a hidden button leaves the canvas as it is.
void DrawButtonImage(GraphicsObject& layer, std::span<const std::uint8_t> image, const IntRect& bounds,
                     bool visible);
// Decodes PNG bytes and draws the whole image scaled into the rectangle. An
// image that fails to decode draws nothing.
void DrawImageBytes(GraphicsObject& graphics, std::span<const std::uint8_t> image, const IntRect& rectangle);

// WM_MOUSEMOVE on the clock window, client coordinates.
void UpdateButtonHover(std::int32_t x, std::int32_t y);
// WM_LBUTTONDOWN on the clock window, client coordinates.
void HandleButtonPress(std::int32_t x, std::int32_t y);

// Sets the font size and outline width and redraws.
void SetFontMetrics(std::int32_t size, std::int32_t outline);
// Closes the settings window, stops both timers and destroys the clock
// window, whose destruction saves the settings and ends the program.
void CloseClock();

// Releases the buttons' layers at exit, in the order close, keep on top,
// settings, larger font, smaller font.
void ReleaseButtonLayers();
