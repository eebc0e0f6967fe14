// The content panel's wheel scrolling as plain decisions: whole notches from
// wheel deltas, what a notch does at an offset, and the eased animation
// tick by tick.
#include "settings/ScrollAnimation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// ------------------------------------------------------ wheel accumulation

TEST(WheelAccumulator, WholeNotchesActAndFractionsWaitForTheRestOfTheirNotch) {
    const struct {
        std::vector<int> deltas;
        std::vector<int> notches; // answered for each delta
        int remainder;
    } cases[] = {
        {{-120}, {-1}, 0},
        {{120}, {1}, 0},
        {{-240}, {-2}, 0},
        {{-60}, {0}, -60},
        {{60}, {0}, 60},
        {{-60, -60}, {0, -1}, 0},
        {{40, 40, 40}, {0, 0, 1}, 0},
        {{-30, -100, -110}, {0, -1, -1}, 0},
        {{-30, -100, -100}, {0, -1, 0}, -110},
        {{-250}, {-2}, -10},
        // A turn the other way forgets the fraction of the first direction.
        {{-60, 120}, {0, 1}, 0},
        {{100, -60, -60}, {0, 0, -1}, 0},
        {{-90, 60}, {0, 0}, 60},
    };
    for (const auto& c : cases) {
        WheelAccumulator wheel;
        std::vector<int> answered;
        for (const int delta : c.deltas)
            answered.push_back(wheel.Add(delta));
        EXPECT_EQ(answered, c.notches) << "first delta " << c.deltas.front();
        EXPECT_EQ(wheel.Remainder(), c.remainder) << "first delta " << c.deltas.front();
    }
}

TEST(WheelAccumulator, ExtremeDeltasDoNotOverflow) {
    WheelAccumulator wheel;
    EXPECT_EQ(wheel.Add(-2147483647 - 1), -17895697);
    EXPECT_EQ(wheel.Remainder(), -8);
    EXPECT_EQ(wheel.Add(-2147483647 - 1), -17895697);
    EXPECT_EQ(wheel.Remainder(), -16);
}

// --------------------------------------------------------- wheel decision

TEST(WheelDecision, WhatOneTurnDoesAtAnOffset) {
    using A = WheelAction;
    const struct {
        int offset;
        int notches;
        WheelDecision expected;
    } cases[] = {
        // Towards the user: the panel's lower part comes into view.
        {0, -1, {A::AnimateDown, 0}},
        {-64, -1, {A::AnimateDown, -64}},
        {-526, -1, {A::AnimateDown, -526}},
        {-550, -1, {A::AnimateDown, -550}},
        {-551, -1, {A::JumpTo, -552}},
        {-550, -2, {A::JumpTo, -552}},
        {-552, -1, {A::None, -552}},
        {-600, -3, {A::None, -600}},
        {10, -1, {A::AnimateDown, 10}},
        // Away from the user: back towards the panel's top.
        {-128, 1, {A::AnimateUp, -128}},
        {-2, 1, {A::AnimateUp, -2}},
        {-1, 1, {A::JumpTo, 0}},
        {-3, 3, {A::JumpTo, 0}},
        {-3, 2, {A::AnimateUp, -3}},
        {0, 1, {A::None, 0}},
        {12, 2, {A::None, 12}},
        // No whole notch does nothing, wherever the panel stands.
        {-200, 0, {A::None, -200}},
        {0, 0, {A::None, 0}},
        // Far beyond any offset: no overflow.
        {-100, -2147483647 - 1, {A::JumpTo, -552}},
        {-100, 2147483647, {A::JumpTo, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideWheel(c.offset, c.notches), c.expected) << c.offset << " " << c.notches;
}

// -------------------------------------------------------- animation ticks

struct Trail {
    std::vector<int> offsets;
    std::vector<unsigned> intervals;
};

// Ticks until the animation stops its timer, at most 40 times.
template <class Tick> Trail Animate(Tick tick, std::int32_t& step, int offset, DisplayScale scale = {}) {
    Trail run;
    for (int guard = 0; guard < 40; ++guard) {
        const ScrollTick result = tick(step, offset, scale);
        if (result.moved) {
            offset = result.offset;
            run.offsets.push_back(offset);
        }
        run.intervals.push_back(result.interval);
        if (result.interval == 0)
            break;
    }
    return run;
}

TEST(ScrollAnimation, OneNotchDownMovesSixtyFourPixelsInSixteenEasedTicks) {
    std::int32_t step = 0;
    const Trail run = Animate(ScrollDownTick, step, 0);
    // Steps 8, 7, 7, 6, 6, 5, 5, 4, 4, 3, 3, 2, 2, 1, 1, 0.
    EXPECT_EQ(run.offsets, (std::vector<int>{-8, -15, -22, -28, -34, -39, -44, -48, -52, -55, -58, -60, -62,
                                             -63, -64, -64}));
    // 2, 4, ... 32 ms between the ticks; the seventeenth tick stops the timer.
    EXPECT_EQ(run.intervals,
              (std::vector<unsigned>{2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 0}));
    EXPECT_EQ(step, 16);
    // Once stopped, a stray tick changes nothing.
    EXPECT_EQ(ScrollDownTick(step, -64), (ScrollTick{false, -64, 0}));
    EXPECT_EQ(step, 16);
}

TEST(ScrollAnimation, OneNotchUpMirrorsTheWayDown) {
    std::int32_t step = 0;
    const Trail run = Animate(ScrollUpTick, step, -128);
    EXPECT_EQ(run.offsets, (std::vector<int>{-120, -113, -106, -100, -94, -89, -84, -80, -76, -73, -70, -68,
                                             -66, -65, -64, -64}));
    EXPECT_EQ(run.intervals.back(), 0u);
    EXPECT_EQ(run.intervals.size(), 17u);
}

TEST(ScrollAnimation, TheLimitsEndAnAnimationEarly) {
    const struct {
        bool down;
        int from;
        std::vector<int> offsets;
        std::vector<unsigned> intervals;
    } cases[] = {
        // -526: 8, 7, 7 leave -548; the next step of 6 would pass -552.
        {true, -526, {-534, -541, -548, -552}, {2, 4, 6, 0}},
        {true, -545, {-552}, {0}},
        {true, -544, {-552}, {0}},
        {true, -543, {-551, -552}, {2, 0}},
        {false, -30, {-22, -15, -8, -2, 0}, {2, 4, 6, 8, 0}},
        {false, -8, {0}, {0}},
        {false, -9, {-1, 0}, {2, 0}},
    };
    for (const auto& c : cases) {
        std::int32_t step = 0;
        const Trail run =
            c.down ? Animate(ScrollDownTick, step, c.from) : Animate(ScrollUpTick, step, c.from);
        EXPECT_EQ(run.offsets, c.offsets) << c.from;
        EXPECT_EQ(run.intervals, c.intervals) << c.from;
    }
}

TEST(ScrollAnimation, AtADisplayScaleANotchScrollsSixtyFourTimesTheScaleInTheSameTicks) {
    std::int32_t step = 0;
    const Trail run = Animate(ScrollDownTick, step, 0, {144});
    EXPECT_EQ(run.offsets, (std::vector<int>{-12, -22, -33, -42, -51, -58, -66, -72, -78, -82, -87, -90, -93,
                                             -94, -96, -96}));
    EXPECT_EQ(run.intervals.size(), 17u);
    step = 0;
    EXPECT_EQ(Animate(ScrollDownTick, step, -819, {144}).offsets.back(), -828); // the limit, -552 s
}

TEST(ScrollAnimation, EachAnimationCountsItsOwnSteps) {
    // A counter left by an earlier animation is what the wheel resets; the
    // tick itself only ever counts up to sixteen and stops there.
    std::int32_t step = 15;
    EXPECT_EQ(ScrollDownTick(step, -100), (ScrollTick{true, -100, 32}));
    EXPECT_EQ(ScrollDownTick(step, -100), (ScrollTick{false, -100, 0}));
    step = 40;
    EXPECT_EQ(ScrollUpTick(step, -100), (ScrollTick{false, -100, 0}));
    EXPECT_EQ(step, 40);
}

} // namespace
