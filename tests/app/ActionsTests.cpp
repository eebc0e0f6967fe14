// Every action once, as the buttons, the keys and the settings window reach
// it through the program's listener.
#include "app/Actions.h"

#include "app/ProgramEvents.h"
#include "app/SystemIntegration.h"
#include "framework/Services.h"
#include "settings/SettingsWindow.h"
#include "support/ClockFaceFixture.h"
#include "support/RunValue.h"

#include <gtest/gtest.h>

namespace {

bool IsTopmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

class Actions : public ClockFaceFixture {
protected:
    void TearDown() override {
        CloseSettingsWindow();
        SetTopmost(false);
        ClockFaceFixture::TearDown();
    }
};

TEST_F(Actions, FontStepsByFiveWithoutBoundsKeepingTheOutlineAndRedrawsEachTime) {
    Settings().fontSize = 80;
    Settings().outlineWidth = 3;
    const std::uint64_t frames = RedrawCount();
    for (int i = 0; i < 10; ++i)
        StepFontSize(-FontStep);
    EXPECT_EQ(Settings().fontSize, 30);
    for (int i = 0; i < 16; ++i)
        StepFontSize(-FontStep);
    EXPECT_EQ(Settings().fontSize, -50);
    EXPECT_EQ(Settings().outlineWidth, 3);
    EXPECT_EQ(RedrawCount(), frames + 26);
    StepFontSize(FontStep);
    EXPECT_EQ(Settings().fontSize, -45);
    // The clock keeps running and drawing with such a size.
    RedrawClock(App().clock, true);
    EXPECT_TRUE(App().clockWindow->Exists());

    SetFontMetrics(-12, 9);
    EXPECT_EQ(Settings().fontSize, -12);
    EXPECT_EQ(Settings().outlineWidth, 9);
}

TEST_F(Actions, KeepOnTopSwitchesTheSettingAndTheTopmostStateEachWay) {
    Settings().keepOnTop = "假";
    SetTopmost(false);
    ToggleKeepOnTop();
    EXPECT_EQ(Settings().keepOnTop, "真");
    EXPECT_TRUE(IsTopmost(Window()));
    ToggleKeepOnTop();
    EXPECT_EQ(Settings().keepOnTop, "假");
    EXPECT_FALSE(IsTopmost(Window()));
}

TEST_F(Actions, CloseClockStopsTheTimersClosesSettingsAndDestroysTheWindow) {
    ClockWindow& window = *App().clockWindow;
    window.tickTimer.SetInterval(1000);
    window.trimTimer.SetInterval(10000);
    OpenSettingsWindow();
    ASSERT_TRUE(SettingsWindowIsOpen());
    CloseClock();
    EXPECT_FALSE(SettingsWindowIsOpen());
    EXPECT_EQ(window.tickTimer.Interval(), 0u);
    EXPECT_EQ(window.trimTimer.Interval(), 0u);
    EXPECT_FALSE(window.Exists());
}

TEST_F(Actions, EachReportOfTheClockWindowReachesItsAction) {
    Settings().fontSize = 80;
    Settings().keepOnTop = "假";
    ProgramEvents& events = Events();
    events.OnButtonPressed(ButtonId::LargerFont);
    EXPECT_EQ(Settings().fontSize, 85);
    events.OnButtonPressed(ButtonId::SmallerFont);
    events.OnButtonPressed(ButtonId::SmallerFont);
    EXPECT_EQ(Settings().fontSize, 75);
    events.OnButtonPressed(ButtonId::KeepOnTop);
    EXPECT_EQ(Settings().keepOnTop, "真");
    EXPECT_TRUE(IsTopmost(Window()));
    events.OnButtonPressed(ButtonId::Settings);
    EXPECT_TRUE(SettingsWindowIsOpen());
    // The settings window reports to the same listener.
    static_cast<SettingsWindowListener&>(events).OnFieldChanged(&ClockSettings::outlineWidth, 7);
    EXPECT_EQ(Settings().outlineWidth, 7);
    events.OnEscape();
    EXPECT_FALSE(SettingsWindowIsOpen());
    EXPECT_FALSE(App().clockWindow->Exists());
}

TEST_F(Actions, RestoreDefaultsReturnsEveryFieldAndTheSystemFollows) {
    ClockSettings& s = Settings();
    ASSERT_TRUE(ApplyStartWithWindows(true));
    const std::string name = ExecutableFileName();
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, StartWithWindowsValuePath(), "x")); // the user's too
    s.startWithWindows = "假"; // a stale Run value must go even when the flag says off
    s.keepOnTop = "假";
    s.windowAlpha = 40;
    s.fontSize = -50;
    s.fontName = "Nowhere";
    s.restoreLastPosition = "假";
    App().clock.clockCanvas.SetAlpha(40);
    SetTopmost(false);
    App().clock.keepOnTopButton.state = ButtonState::Normal;
    SetWorkingSetTrimming(10);
    const RECT before = [&] {
        RECT r{};
        GetWindowRect(Window(), &r);
        return r;
    }();
    const auto frames = RedrawCount();

    RestoreDefaultSettings();

    const ClockSettings d = DefaultSettings();
    for (const SettingField& field : SettingFields) {
        if (field.kind == FieldKind::Number)
            EXPECT_EQ(s.*field.number, d.*field.number) << field.key;
        else
            EXPECT_EQ(s.*field.text, d.*field.text) << field.key;
    }
    EXPECT_EQ(s.restoreLastPosition, "真");
    EXPECT_EQ(App().clock.clockCanvas.GetAlpha(), 255);
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(ReadRunValue(name, HKEY_CURRENT_USER).has_value());
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(App().clock.keepOnTopButton.state, ButtonState::Hover);
    EXPECT_FALSE(App().clockWindow->trimTimer.IsRunning());
    EXPECT_EQ(RedrawCount(), frames + 1);
    EXPECT_EQ(App().clock.timeText.timeText, "9:05:07") << "redrawn with a fresh time and seconds on";
    RECT after{};
    GetWindowRect(Window(), &after);
    EXPECT_EQ(after.left, before.left) << "the window is not moved";
    EXPECT_EQ(after.top, before.top);
}

} // namespace
