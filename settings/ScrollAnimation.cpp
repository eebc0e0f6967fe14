#include "settings/ScrollAnimation.h"

int WheelAccumulator::Add(int wheelDelta) {
    if ((wheelDelta < 0 && remainder > 0) || (wheelDelta > 0 && remainder < 0))
        remainder = 0;
    // Widened: a driver may report any int, and two of them must not overflow.
    const long long total = static_cast<long long>(remainder) + wheelDelta;
    const long long notches = total / WheelDeltaPerNotch; // toward zero
    remainder = static_cast<int>(total - notches * WheelDeltaPerNotch);
    return static_cast<int>(notches);
}

WheelDecision DecideWheel(int offset, int notches, DisplayScale scale) {
    const int bottom = scale.Pixels(PanelBottomOffset);
    if (notches == 0)
        return {WheelAction::None, offset};
    if (notches < 0) {
        if (offset <= bottom)
            return {WheelAction::None, offset};
        if (static_cast<long long>(offset) + notches - bottom > 0)
            return {WheelAction::AnimateDown, offset};
        return {WheelAction::JumpTo, bottom};
    }
    if (offset >= PanelTopOffset)
        return {WheelAction::None, offset};
    if (static_cast<long long>(offset) + notches >= PanelTopOffset)
        return {WheelAction::JumpTo, PanelTopOffset};
    return {WheelAction::AnimateUp, offset};
}

ScrollTick ScrollDownTick(std::int32_t& step, int offset, DisplayScale scale) {
    if (step >= ScrollAnimationTicks)
        return {false, offset, 0};
    ++step;
    const int bottom = scale.Pixels(PanelBottomOffset);
    const int distance = ScrollStepDistance(step, scale);
    if (offset - distance > bottom)
        return {true, offset - distance, static_cast<unsigned>(2 * step)};
    return {true, bottom, 0};
}

ScrollTick ScrollUpTick(std::int32_t& step, int offset, DisplayScale scale) {
    if (step >= ScrollAnimationTicks)
        return {false, offset, 0};
    ++step;
    const int distance = ScrollStepDistance(step, scale);
    if (offset + distance < PanelTopOffset)
        return {true, offset + distance, static_cast<unsigned>(2 * step)};
    return {true, PanelTopOffset, 0};
}
