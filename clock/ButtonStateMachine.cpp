#include "clock/ButtonStateMachine.h"

#include <limits>

namespace {

// The ordinary buttons in the order a move visits them.
constexpr std::array HoverOrder{ButtonId::Close, ButtonId::Settings, ButtonId::LargerFont,
                                ButtonId::SmallerFont};
// The ordinary buttons in the order a press visits them.
constexpr std::array PressOrder{ButtonId::Close, ButtonId::LargerFont, ButtonId::SmallerFont,
                                ButtonId::Settings};

HoverDecision Change(ButtonId button, ButtonState state, CursorChange cursor) {
    return {StateChange{button, state}, cursor, true};
}

} // namespace

std::int32_t TruncateToInt32(double value) {
    constexpr auto Lowest = std::numeric_limits<std::int32_t>::min();
    constexpr auto Highest = std::numeric_limits<std::int32_t>::max();
    if (value <= Lowest)
        return Lowest;
    if (value >= Highest)
        return Highest;
    return static_cast<std::int32_t>(value);
}

PerButton<IntRect> ButtonBoundsFor(double canvasWidth, double canvasHeight, DisplayScale scale) {
    const auto px = [scale](int units) { return scale.Pixels(units); };
    const auto offset = [scale](double from, int units) {
        return TruncateToInt32(from - static_cast<double>(scale.Pixels(units)));
    };
    PerButton<IntRect> bounds;
    IntRect& close = At(bounds, ButtonId::Close);
    IntRect& settings = At(bounds, ButtonId::Settings);
    IntRect& keepOnTop = At(bounds, ButtonId::KeepOnTop);
    IntRect& smaller = At(bounds, ButtonId::SmallerFont);
    IntRect& larger = At(bounds, ButtonId::LargerFont);
    close = {offset(canvasWidth, 26), px(10), px(16), px(16)};
    settings = {offset(close.x, 24), px(8), px(20), px(20)};
    keepOnTop = {offset(settings.x, 24), px(8), px(20), px(20)};
    smaller = {offset(canvasWidth, 30), offset(canvasHeight, 30), px(20), px(20)};
    larger = {offset(smaller.x, 23), offset(canvasHeight, 30), px(20), px(20)};
    return bounds;
}

bool ButtonHit(const IntRect& bounds, double x, double y) {
    // The tolerance keeps the right and bottom edges inside.
    constexpr double Tolerance = 1e-7;
    const double right = static_cast<double>(bounds.x) + static_cast<double>(bounds.width);
    const double bottom = static_cast<double>(bounds.y) + static_cast<double>(bounds.height);
    return x >= bounds.x && x - right <= Tolerance && y >= bounds.y && y - bottom <= Tolerance;
}

HoverDecision DecideHover(const ButtonViews& buttons, std::int32_t x, std::int32_t y, bool cursorIsDefault,
                          bool keepOnTopOn) {
    PerButton<bool> hit{};
    bool anyHit = false;
    for (std::size_t i = 0; i < ButtonCount; ++i) {
        hit[i] = ButtonHit(buttons[i].bounds, x, y);
        anyHit = anyHit || hit[i];
    }

    // Off every button the cursor goes back first; a button left lit is
    // set back on a later move.
    if (!anyHit && !cursorIsDefault)
        return {std::nullopt, CursorChange::Default, true};

    for (ButtonId id : HoverOrder) {
        const ButtonState state = At(buttons, id).state;
        if (At(hit, id) && state == ButtonState::Normal)
            return Change(id, ButtonState::Hover, CursorChange::Hand);
        if (!At(hit, id) && state != ButtonState::Normal)
            return Change(id, ButtonState::Normal, CursorChange::Default);
    }

    const ButtonState keepOnTopState = At(buttons, ButtonId::KeepOnTop).state;
    HoverDecision decision;
    if (At(hit, ButtonId::KeepOnTop)) {
        // While it is held lit only the cursor has something to show.
        if (keepOnTopOn && cursorIsDefault)
            decision.cursor = CursorChange::Hand;
        if (keepOnTopState == ButtonState::Normal)
            decision = Change(ButtonId::KeepOnTop, ButtonState::Hover, CursorChange::Hand);
    } else if (keepOnTopState != ButtonState::Normal && !keepOnTopOn) {
        decision = Change(ButtonId::KeepOnTop, ButtonState::Normal, CursorChange::Default);
    }
    return decision;
}

PressDecision DecidePress(const ButtonViews& buttons, std::int32_t x, std::int32_t y, bool keepOnTopOn) {
    for (ButtonId id : PressOrder) {
        const ButtonView& button = At(buttons, id);
        const bool hit = ButtonHit(button.bounds, x, y);
        if (hit && button.state == ButtonState::Hover)
            return {PressKind::RunAction, id, false};
        if (!hit && button.state != ButtonState::Normal)
            return {PressKind::ResetToNormal, id, false};
    }

    const ButtonView& keepOnTop = At(buttons, ButtonId::KeepOnTop);
    if (ButtonHit(keepOnTop.bounds, x, y))
        return {PressKind::ToggleKeepOnTop, ButtonId::KeepOnTop, keepOnTop.state == ButtonState::Hover};
    if (keepOnTop.state != ButtonState::Normal && !keepOnTopOn)
        return {PressKind::ResetToNormal, ButtonId::KeepOnTop, false};
    return {};
}
