#pragma once
// The content panel's wheel scrolling as plain decisions: what a wheel turn
// does at a panel offset, and one tick of either eased animation. The
// settings window applies the answers to its panel and its two timers.
//
// Offsets are the panel's top inside the viewport: 0 shows the panel's top,
// PanelBottomOffset its lowest part. One animation moves the panel 64 pixels
// in sixteen ticks (steps 8, 7, 7, 6, ... 1, 0), 2, 4, ... 32 ms apart.
// Offsets and distances are in pixels at the window's display scale: the
// limits and each tick's way scale with it (64 s per notch), the tick count
// and the intervals do not.
#include "framework/DisplayScale.h"

#include <cstdint>

inline constexpr int PanelTopOffset = 0;
inline constexpr int PanelBottomOffset = -552; // the panel's foot at the viewport's
inline constexpr std::int32_t ScrollAnimationTicks = 16;
inline constexpr int WheelDeltaPerNotch = 120;

// Program-wide; it outlives the settings window. The step counters are reset
// by the wheel before an animation uses them.
struct SettingsScrollState {
    std::int32_t scrollDownStep = 0; // downward animation, timer "时钟1"
    std::int32_t scrollUpStep = 0;   // upward animation, timer "时钟2"
    // 1 while a section entry holds the mouse capture for its hover look.
    std::int32_t sectionHoverActive = 0;
};

// Collects wheel deltas into whole notches. High-resolution wheels and
// touchpads deliver fractions of a notch; each fraction waits for the rest
// of its notch, so that it never acts as a notch of its own. A turn the
// other way drops the fraction left over from the previous direction.
class WheelAccumulator {
public:
    // The whole notches now complete (positive away from the user); the
    // rest stays for the next delta.
    int Add(int wheelDelta);
    int Remainder() const { return remainder; }

private:
    int remainder = 0;
};

enum class WheelAction {
    None,        // at the limit already, or no whole notch
    AnimateDown, // reset scrollDownStep, stop "时钟2", start "时钟1" at 1 ms
    AnimateUp,   // reset scrollUpStep, stop "时钟1", start "时钟2" at 1 ms
    JumpTo,      // stop both timers and put the panel at offset
};

struct WheelDecision {
    WheelAction action;
    int offset; // JumpTo only
    friend bool operator==(const WheelDecision&, const WheelDecision&) = default;
};

// A wheel turn of notches (negative towards the user, scrolling towards the
// panel's lower part) at the panel offset. The limit tests compare the
// offset with the notch count, not with 64 pixels per notch: a downward
// turn animates while offset + notches + 552 s > 0 and jumps to the limit
// otherwise; an upward turn jumps to 0 once offset + notches >= 0.
WheelDecision DecideWheel(int offset, int notches, DisplayScale scale = {});

struct ScrollTick {
    bool moved;        // the panel goes to offset and the section list follows
    int offset;        // where the panel goes
    unsigned interval; // the timer's next interval in ms; 0 stops it
    friend bool operator==(const ScrollTick&, const ScrollTick&) = default;
};

// One tick of the downward animation ("时钟1"): advances step, and answers
// the new offset, stopping at PanelBottomOffset or after sixteen ticks.
ScrollTick ScrollDownTick(std::int32_t& step, int offset, DisplayScale scale = {});
// One tick of the upward animation ("时钟2"), limited by PanelTopOffset.
ScrollTick ScrollUpTick(std::int32_t& step, int offset, DisplayScale scale = {});

// The pixels one tick moves at 96 DPI: 8 - step / 2 for the step just reached.
constexpr int ScrollStepDistance(std::int32_t step) {
    return 8 - step / 2;
}

// The way of the first steps at 96 DPI.
constexpr int ScrolledDistance(std::int32_t steps) {
    int distance = 0;
    for (std::int32_t step = 1; step <= steps; ++step)
        distance += ScrollStepDistance(step);
    return distance;
}

// The pixels one tick moves at a scale: the scaled way so far less the
// scaled way before, so that the sixteen ticks add up to 64 s exactly.
constexpr int ScrollStepDistance(std::int32_t step, DisplayScale scale) {
    return scale.Pixels(ScrolledDistance(step)) - scale.Pixels(ScrolledDistance(step - 1));
}
