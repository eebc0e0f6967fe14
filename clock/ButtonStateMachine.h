#pragma once
// The hover buttons' geometry, hit test and state machine as plain
// functions. They take the buttons' bounds and states, the pointer and the
// few facts they depend on, and answer what has to change; HoverButtons
// applies the answers to the program's buttons, cursor and settings.
#include "framework/DisplayScale.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// Integer rectangle on the clock canvas.
struct IntRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    friend bool operator==(const IntRect&, const IntRect&) = default;
};

// Any value other than Normal and Hover draws the pressed image.
enum class ButtonState : std::int32_t { Normal = 0, Hover = 1, Pressed = 2 };

// The five buttons, in the order they are drawn.
enum class ButtonId { Close, KeepOnTop, Settings, LargerFont, SmallerFont };
inline constexpr std::size_t ButtonCount = 5;

template <class T> using PerButton = std::array<T, ButtonCount>; // indexed by ButtonId

template <class T> constexpr T& At(PerButton<T>& values, ButtonId id) {
    return values[static_cast<std::size_t>(id)];
}
template <class T> constexpr const T& At(const PerButton<T>& values, ButtonId id) {
    return values[static_cast<std::size_t>(id)];
}

// A double to int32, truncated toward zero; values beyond the range stop at
// its ends rather than being undefined.
std::int32_t TruncateToInt32(double value);

// The buttons' bounds on a canvas of the given size: close, settings and keep
// on top along the top edge from the right corner leftwards, smaller and
// larger font at the bottom right. Offsets and sizes are those of 96 DPI in
// pixels of the display scale; subtractions are done in doubles and truncated.
PerButton<IntRect> ButtonBoundsFor(double canvasWidth, double canvasHeight, DisplayScale scale = {});

// Inside when the point lies in the bounds, right and bottom edges included
// (a 16 x 16 button answers on 17 x 17 pixels); computed in doubles.
bool ButtonHit(const IntRect& bounds, double x, double y);

// What the state machine sees of one button.
struct ButtonView {
    IntRect bounds;
    ButtonState state = ButtonState::Normal;
};
using ButtonViews = PerButton<ButtonView>;

enum class CursorChange { None, Default, Hand };

struct StateChange {
    ButtonId button;
    ButtonState state;

    friend bool operator==(const StateChange&, const StateChange&) = default;
};

// The answer to a mouse move. At most one button changes per move, so
// moving straight from one button onto another takes two moves.
struct HoverDecision {
    std::optional<StateChange> change;
    CursorChange cursor = CursorChange::None;
    bool redraw = false;

    friend bool operator==(const HoverDecision&, const HoverDecision&) = default;
};

// A mouse move to (x, y). While keep on top is on, its button is held at
// Hover and only the cursor follows the pointer over it.
HoverDecision DecideHover(const ButtonViews& buttons, std::int32_t x, std::int32_t y, bool cursorIsDefault,
                          bool keepOnTopOn);

enum class PressKind {
    None,
    RunAction,       // the button's action (close, larger or smaller font, settings)
    ResetToNormal,   // the button goes back to Normal and the clock is redrawn
    ToggleKeepOnTop, // keep on top switches; showPressed flashes the pressed image
};

struct PressDecision {
    PressKind kind = PressKind::None;
    ButtonId button = ButtonId::Close;
    bool showPressed = false;

    friend bool operator==(const PressDecision&, const PressDecision&) = default;
};

// A left press at (x, y). Only a button already lit by a move acts; a press
// on a button still in Normal passes on to the next one in the order.
PressDecision DecidePress(const ButtonViews& buttons, std::int32_t x, std::int32_t y, bool keepOnTopOn);
