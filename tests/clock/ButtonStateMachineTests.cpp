// The buttons' geometry, hit test and state machine, without a window.
#include "clock/ButtonStateMachine.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using enum ButtonId;
using enum ButtonState;

struct Point {
    std::int32_t x;
    std::int32_t y;
};

// A point well inside each button, and one on the face away from all.
constexpr Point OnClose{362, 18};
constexpr Point OnSettings{340, 18};
constexpr Point OnKeepOnTop{316, 18};
constexpr Point OnLargerFont{337, 130};
constexpr Point OnSmallerFont{360, 130};
constexpr Point Elsewhere{100, 75};

// The five buttons of the 380 x 150 clock, with their states, a cursor and
// the keep-on-top flag: enough to play a sequence of moves and presses.
struct Buttons {
    ButtonViews views{};
    bool cursorIsDefault = true;
    bool keepOnTop = false;

    Buttons() {
        const PerButton<IntRect> bounds = ButtonBoundsFor(380, 150);
        for (std::size_t i = 0; i < ButtonCount; ++i)
            views[i].bounds = bounds[i];
    }

    ButtonState State(ButtonId id) const { return At(views, id).state; }

    // A move, its answer applied the way the clock applies it.
    HoverDecision Move(Point point) {
        const HoverDecision decision = DecideHover(views, point.x, point.y, cursorIsDefault, keepOnTop);
        if (decision.change)
            At(views, decision.change->button).state = decision.change->state;
        if (decision.cursor != CursorChange::None)
            cursorIsDefault = decision.cursor == CursorChange::Default;
        return decision;
    }

    PressDecision Press(Point point) const { return DecidePress(views, point.x, point.y, keepOnTop); }
};

constexpr HoverDecision NoChange{};

HoverDecision Lights(ButtonId id) {
    return {StateChange{id, Hover}, CursorChange::Hand, true};
}
HoverDecision Dims(ButtonId id) {
    return {StateChange{id, Normal}, CursorChange::Default, true};
}

TEST(ButtonGeometry, BoundsOfTheClockCanvas) {
    const PerButton<IntRect> bounds = ButtonBoundsFor(380, 150);
    EXPECT_EQ(At(bounds, Close), (IntRect{354, 10, 16, 16}));
    EXPECT_EQ(At(bounds, Settings), (IntRect{330, 8, 20, 20}));
    EXPECT_EQ(At(bounds, KeepOnTop), (IntRect{306, 8, 20, 20}));
    EXPECT_EQ(At(bounds, SmallerFont), (IntRect{350, 120, 20, 20}));
    EXPECT_EQ(At(bounds, LargerFont), (IntRect{327, 120, 20, 20}));
}

TEST(ButtonGeometry, BoundsFollowTheCanvasFromItsRightAndBottom) {
    const PerButton<IntRect> bounds = ButtonBoundsFor(200.75, 99.5);
    EXPECT_EQ(At(bounds, Close), (IntRect{174, 10, 16, 16}));
    EXPECT_EQ(At(bounds, Settings), (IntRect{150, 8, 20, 20}));
    EXPECT_EQ(At(bounds, KeepOnTop), (IntRect{126, 8, 20, 20}));
    EXPECT_EQ(At(bounds, SmallerFont), (IntRect{170, 69, 20, 20}));
    EXPECT_EQ(At(bounds, LargerFont), (IntRect{147, 69, 20, 20}));
}

TEST(ButtonGeometry, TruncationGoesTowardZeroAndStopsAtTheRange) {
    EXPECT_EQ(TruncateToInt32(85.9), 85);
    EXPECT_EQ(TruncateToInt32(-0.5), 0);
    EXPECT_EQ(TruncateToInt32(-45.7), -45);
    EXPECT_EQ(TruncateToInt32(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(TruncateToInt32(-1e12), std::numeric_limits<std::int32_t>::min());
}

struct HitCase {
    double x;
    double y;
    bool inside;
};

TEST(ButtonHitTest, RightAndBottomEdgesBelongToTheButton) {
    const IntRect close{354, 10, 16, 16};
    const std::vector<HitCase> cases{
        {370, 26, true},         // bottom right corner, edges included
        {371, 10, false},        // one past the right edge
        {354, 10, true},         // top left corner
        {353, 18, false},        // left of it
        {362, 9, false},         // above it
        {362, 27, false},        // one below the bottom edge
        {370 + 9e-8, 18, true},  // within the tolerance
        {370 + 1e-6, 18, false}, // beyond it
        {362, 26 + 5e-8, true},  // the same below
        {353.999, 18, false},    // the left edge has no tolerance
        {362.5, 17.25, true},    // fractions inside
    };
    for (const HitCase& c : cases)
        EXPECT_EQ(ButtonHit(close, c.x, c.y), c.inside) << "at (" << c.x << ", " << c.y << ")";
}

TEST(ButtonHitTest, SixteenPixelButtonAnswersOnSeventeenBySeventeen) {
    const IntRect close{354, 10, 16, 16};
    int inside = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 380; ++x)
            inside += ButtonHit(close, x, y) ? 1 : 0;
    EXPECT_EQ(inside, 17 * 17);
}

TEST(ButtonHover, EnteringAButtonLightsItOnceWithTheHand) {
    Buttons buttons;
    EXPECT_EQ(buttons.Move(OnClose), Lights(Close));
    EXPECT_FALSE(buttons.cursorIsDefault);
    // Further moves over the lit button change nothing and draw nothing.
    EXPECT_EQ(buttons.Move({OnClose.x + 3, OnClose.y - 2}), NoChange);
    EXPECT_EQ(buttons.State(Close), Hover);
}

TEST(ButtonHover, EachOrdinaryButtonLightsAndDims) {
    const std::vector<std::pair<ButtonId, Point>> cases{
        {Close, OnClose}, {Settings, OnSettings}, {LargerFont, OnLargerFont}, {SmallerFont, OnSmallerFont}};
    for (const auto& [id, point] : cases) {
        Buttons buttons;
        EXPECT_EQ(buttons.Move(point), Lights(id));
        // Off every button the cursor goes back first, without touching the
        // state; the next move dims the button.
        EXPECT_EQ(buttons.Move(Elsewhere), (HoverDecision{std::nullopt, CursorChange::Default, true}));
        EXPECT_EQ(buttons.State(id), Hover);
        EXPECT_EQ(buttons.Move(Elsewhere), Dims(id));
        EXPECT_EQ(buttons.Move(Elsewhere), NoChange);
    }
}

TEST(ButtonHover, MovingFromCloseStraightOntoSettingsTakesTwoMoves) {
    Buttons buttons;
    buttons.Move(OnClose);
    EXPECT_EQ(buttons.Move(OnSettings), Dims(Close));
    EXPECT_TRUE(buttons.cursorIsDefault);
    EXPECT_EQ(buttons.State(Settings), Normal);
    EXPECT_EQ(buttons.Move(OnSettings), Lights(Settings));
    EXPECT_FALSE(buttons.cursorIsDefault);
}

TEST(ButtonHover, AtMostOneButtonChangesPerMoveInTheVisitOrder) {
    // Both lit (as after a move the state machine never saw): settings is
    // visited before larger font, so it is dimmed first.
    Buttons buttons;
    At(buttons.views, LargerFont).state = Hover;
    At(buttons.views, Settings).state = Pressed;
    EXPECT_EQ(buttons.Move(OnClose), Lights(Close));
    EXPECT_EQ(buttons.Move(OnClose), Dims(Settings));
    EXPECT_EQ(buttons.Move(OnClose), Dims(LargerFont));
    EXPECT_EQ(buttons.Move(OnClose), NoChange);
}

TEST(ButtonHover, KeepOnTopLightsLikeTheOthersWhileItIsOff) {
    Buttons buttons;
    EXPECT_EQ(buttons.Move(OnKeepOnTop), Lights(KeepOnTop));
    EXPECT_EQ(buttons.Move(OnKeepOnTop), NoChange);
    buttons.Move(Elsewhere); // cursor first
    EXPECT_EQ(buttons.Move(Elsewhere), Dims(KeepOnTop));
}

TEST(ButtonHover, KeepOnTopHeldLitWhileOnOnlyTheCursorFollows) {
    Buttons buttons;
    buttons.keepOnTop = true;
    At(buttons.views, KeepOnTop).state = Hover; // as set up at start

    EXPECT_EQ(buttons.Move(OnKeepOnTop), (HoverDecision{std::nullopt, CursorChange::Hand, false}));
    EXPECT_EQ(buttons.Move(OnKeepOnTop), NoChange);
    EXPECT_EQ(buttons.Move(Elsewhere), (HoverDecision{std::nullopt, CursorChange::Default, true}));
    EXPECT_EQ(buttons.Move(Elsewhere), NoChange);
    EXPECT_EQ(buttons.State(KeepOnTop), Hover);
}

TEST(ButtonHover, KeepOnTopInNormalWhileOnLightsWithTheHand) {
    // Switched on by a press that found it Normal: the next move over it
    // lights it.
    Buttons buttons;
    buttons.keepOnTop = true;
    EXPECT_EQ(buttons.Move(OnKeepOnTop), Lights(KeepOnTop));
}

TEST(ButtonPress, PressOnAButtonStillNormalPassesOn) {
    Buttons buttons;
    EXPECT_EQ(buttons.Press(OnClose), PressDecision{});

    // Passed on: the next button in the order that needs it is set back.
    At(buttons.views, Settings).state = Hover;
    EXPECT_EQ(buttons.Press(OnClose), (PressDecision{PressKind::ResetToNormal, Settings, false}));
}

TEST(ButtonPress, LitButtonRunsItsAction) {
    const std::vector<std::pair<ButtonId, Point>> cases{
        {Close, OnClose}, {Settings, OnSettings}, {LargerFont, OnLargerFont}, {SmallerFont, OnSmallerFont}};
    for (const auto& [id, point] : cases) {
        Buttons buttons;
        buttons.Move(point);
        EXPECT_EQ(buttons.Press(point), (PressDecision{PressKind::RunAction, id, false}));
    }
}

TEST(ButtonPress, PressedButtonPassesOn) {
    Buttons buttons;
    At(buttons.views, Close).state = Pressed;
    EXPECT_EQ(buttons.Press(OnClose), PressDecision{});
}

TEST(ButtonPress, PressElsewhereSetsBackTheFirstLitButtonInPressOrder) {
    // Larger font comes before settings when pressing (but after it on a move).
    Buttons buttons;
    At(buttons.views, Settings).state = Hover;
    At(buttons.views, LargerFont).state = Hover;
    EXPECT_EQ(buttons.Press(Elsewhere), (PressDecision{PressKind::ResetToNormal, LargerFont, false}));
    At(buttons.views, LargerFont).state = Normal;
    EXPECT_EQ(buttons.Press(Elsewhere), (PressDecision{PressKind::ResetToNormal, Settings, false}));
}

TEST(ButtonPress, OneMoveFromCloseOntoSettingsThenAPressDoesNothing) {
    Buttons buttons;
    buttons.Move(OnClose);
    buttons.Move(OnSettings); // sets close back, leaves settings Normal
    EXPECT_EQ(buttons.Press(OnSettings), PressDecision{});
    buttons.Move(OnSettings);
    EXPECT_EQ(buttons.Press(OnSettings), (PressDecision{PressKind::RunAction, Settings, false}));
}

TEST(ButtonPress, KeepOnTopTogglesWhateverItsStateAndFlashesOnlyFromHover) {
    const std::vector<std::pair<ButtonState, bool>> cases{{Normal, false}, {Hover, true}, {Pressed, false}};
    for (const auto& [state, flashes] : cases)
        for (bool on : {false, true}) {
            Buttons buttons;
            buttons.keepOnTop = on;
            At(buttons.views, KeepOnTop).state = state;
            EXPECT_EQ(buttons.Press(OnKeepOnTop),
                      (PressDecision{PressKind::ToggleKeepOnTop, KeepOnTop, flashes}))
                << "state " << static_cast<int>(state) << ", keep on top " << on;
        }
}

TEST(ButtonPress, KeepOnTopLitIsSetBackByAPressElsewhereOnlyWhileOff) {
    Buttons buttons;
    At(buttons.views, KeepOnTop).state = Hover;
    EXPECT_EQ(buttons.Press(Elsewhere), (PressDecision{PressKind::ResetToNormal, KeepOnTop, false}));
    buttons.keepOnTop = true;
    EXPECT_EQ(buttons.Press(Elsewhere), PressDecision{});
}

TEST(ButtonPress, OrdinaryButtonsComeBeforeKeepOnTop) {
    Buttons buttons;
    At(buttons.views, SmallerFont).state = Hover;
    EXPECT_EQ(buttons.Press(OnKeepOnTop), (PressDecision{PressKind::ResetToNormal, SmallerFont, false}));
}

TEST(KeepOnTopButton, SwitchingOffFromTheIndicatorThenMovingOffDimsIt) {
    Buttons buttons;
    buttons.keepOnTop = true;
    At(buttons.views, KeepOnTop).state = Hover;

    EXPECT_EQ(buttons.Move(OnKeepOnTop), (HoverDecision{std::nullopt, CursorChange::Hand, false}));
    EXPECT_EQ(buttons.Press(OnKeepOnTop), (PressDecision{PressKind::ToggleKeepOnTop, KeepOnTop, true}));
    buttons.keepOnTop = false; // what the clock does with that answer

    EXPECT_EQ(buttons.Move(OnKeepOnTop), NoChange);
    buttons.Move(Elsewhere); // the cursor goes back first
    EXPECT_EQ(buttons.Move(Elsewhere), Dims(KeepOnTop));
}

} // namespace
