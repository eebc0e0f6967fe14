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

WheelDecision DecideWheel(int offset, int notches) {
    if (notches == 0)
        return {WheelAction::None, offset};
    if (notches < 0) {
        if (offset <= PanelBottomOffset)
            return {WheelAction::None, offset};
        if (static_cast<long long>(offset) + notches - PanelBottomOffset > 0)
            return {WheelAction::AnimateDown, offset};
        return {WheelAction::JumpTo, PanelBottomOffset};
    }
    if (offset >= PanelTopOffset)
        return {WheelAction::None, offset};
    if (static_cast<long long>(offset) + notches >= PanelTopOffset)
        return {WheelAction::JumpTo, PanelTopOffset};
    return {WheelAction::AnimateUp, offset};
}

ScrollTick ScrollDownTick(std::int32_t& step, int offset) {
    if (step >= ScrollAnimationTicks)
        return {false, offset, 0};
    ++step;
    const int distance = ScrollStepDistance(step);
    if (offset - distance > PanelBottomOffset)
        return {true, offset - distance, static_cast<unsigned>(2 * step)};
    return {true, PanelBottomOffset, 0};
}

ScrollTick ScrollUpTick(std::int32_t& step, int offset) {
    if (step >= ScrollAnimationTicks)
        return {false, offset, 0};
    ++step;
    const int distance = ScrollStepDistance(step);
    if (offset + distance < PanelTopOffset)
        return {true, offset + distance, static_cast<unsigned>(2 * step)};
    return {true, PanelTopOffset, 0};
}
