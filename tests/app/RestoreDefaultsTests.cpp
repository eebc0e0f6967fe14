#include "app/RestoreDefaults.h"

#include "app/SystemIntegration.h"
#include "framework/Services.h"
#include "support/ClockFaceFixture.h"

#include "support/RunValue.h"

#include <gtest/gtest.h>

namespace {

using RestoreDefaults = ClockFaceFixture;

TEST_F(RestoreDefaults, EveryFieldReturnsToItsDefaultAndTheSystemFollows) {
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
    App().clockCanvas.SetAlpha(40);
    SetTopmost(false);
    App().keepOnTopButton.state = ButtonState::Normal;
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
    EXPECT_EQ(App().clockCanvas.GetAlpha(), 255);
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(ReadRunValue(name, HKEY_CURRENT_USER).has_value());
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(App().keepOnTopButton.state, ButtonState::Hover);
    EXPECT_FALSE(App().clockWindow->trimTimer.IsRunning());
    EXPECT_EQ(RedrawCount(), frames + 1);
    EXPECT_EQ(App().timeText.timeText, "9:05:07") << "redrawn with a fresh time and seconds on";
    RECT after{};
    GetWindowRect(Window(), &after);
    EXPECT_EQ(after.left, before.left) << "the window is not moved";
    EXPECT_EQ(after.top, before.top);
}

} // namespace
