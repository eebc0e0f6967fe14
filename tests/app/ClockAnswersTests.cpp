// What the program does with what the clock window reports: a press on a
// button, the tick, a change of the time, of the power state and of the
// regional settings, each answered through the program's own listener.
#include "app/ClockTick.h"
#include "clock/ClockWindow.h"
#include "clock/HoverButtons.h"
#include "framework/Window.h"
#include "support/Desktop.h"
#include "support/ProgramFixture.h"
#include "support/UserLocaleSetting.h"

#include <gtest/gtest.h>

namespace {

class ClockAnswers : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        ASSERT_TRUE(View().windowHost.Attach(Window()));
    }
    LRESULT Send(UINT message, int x = 0, int y = 0) {
        return SendMessageW(Window(), message, 0, MAKELPARAM(x, y));
    }
};

// The class has CS_DBLCLKS, so every second quick press is a double-click.
TEST_F(ClockAnswers, TheSecondPressOfADoubleClickActsToo) {
    SetupButtons(View());
    const std::int32_t size = Settings().fontSize;
    Send(WM_MOUSEMOVE, 60, 75);
    Send(WM_MOUSEMOVE, 337, 130); // lights larger font
    Send(WM_LBUTTONDOWN, 337, 130);
    Send(WM_LBUTTONDBLCLK, 337, 130);
    EXPECT_EQ(Settings().fontSize, size + 10);

    // Off the buttons a double-click neither acts nor starts a drag.
    Send(WM_MOUSEMOVE, 60, 75);
    MSG message{};
    while (PeekMessageW(&message, Window(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) {
    }
    Send(WM_LBUTTONDBLCLK, 60, 75);
    EXPECT_FALSE(PeekMessageW(&message, Window(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(Settings().fontSize, size + 10);
}

// The close button destroys the window inside the press: nothing of the press
// is left for the framework, which would ask a window that is gone to move.
TEST_F(ClockAnswers, APressThatClosesTheWindowEndsThere) {
    SetupButtons(View());
    Send(WM_MOUSEMOVE, 362, 18); // lights close
    Send(WM_LBUTTONDOWN, 362, 18);
    EXPECT_FALSE(ClockWin().Exists());
    MSG message{};
    EXPECT_FALSE(
        PeekMessageW(&message, reinterpret_cast<HWND>(-1), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
}

TEST_F(ClockAnswers, ArmedTickRedrawsAndArmsTheNextOne) {
    SetFixedTime(9, 5, 7, 990);
    ClockWin().ArmTick();
    SetFixedTime(9, 5, 8, 2); // when the tick comes
    const auto start = RedrawCount();
    EXPECT_TRUE(desktop::WaitUntil(
        [&] {
            PumpPendingMessages();
            return RedrawCount() > start;
        },
        std::chrono::seconds(5), std::chrono::milliseconds(5)));
    EXPECT_EQ(View().timeText.timeText, L"9:05:08");
    EXPECT_EQ(ClockWin().tickTimer.Interval(), 998 + TickMarginMilliseconds);
}

TEST_F(ClockAnswers, TimeChangeAndResumeShowTheNewTimeAndRealign) {
    const struct {
        UINT message;
        WPARAM wParam;
        bool realigns;
    } cases[] = {
        {WM_TIMECHANGE, 0, true},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, true},
        {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, true},
        {WM_POWERBROADCAST, PBT_APMSUSPEND, false},
    };
    for (const auto& c : cases) {
        SetFixedTime(9, 5, 7, 300);
        ClockWin().ArmTick();
        ASSERT_EQ(ClockWin().tickTimer.Interval(), 700 + TickMarginMilliseconds);
        SetFixedTime(11, 30, 45, 900);
        const auto start = RedrawCount();
        SendMessageW(Window(), c.message, c.wParam, 0);
        if (c.realigns) {
            EXPECT_EQ(ClockWin().tickTimer.Interval(), 100 + TickMarginMilliseconds) << c.message;
            EXPECT_EQ(RedrawCount(), start + 1) << c.message;
            EXPECT_EQ(View().timeText.timeText, L"11:30:45") << c.message;
        } else {
            EXPECT_EQ(ClockWin().tickTimer.Interval(), 700 + TickMarginMilliseconds);
            EXPECT_EQ(RedrawCount(), start);
        }
    }
}

// The date kept for the day is written again, at once, when the user's
// regional settings change; any other setting's change leaves the clock be.
TEST_F(ClockAnswers, ARegionalSettingsChangeWritesTheDateAgainAtOnce) {
    Settings().showDate = true;
    Settings().dateFormat = DateForm::Short;
    const UserLocaleSetting userForm(LOCALE_SSHORTDATE);
    FixedTime() = {2026, 12, 1, 7, 9, 5, 7, 0};
    SetFixedTime(9, 5, 7);
    Send(WM_TIMECHANGE);
    const std::wstring before = View().timeText.dateText;
    ASSERT_TRUE(userForm.Set(L"yyyy'.'MM'.'dd"));
    const auto start = RedrawCount();
    SendMessageW(Window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"WindowMetrics"));
    EXPECT_EQ(RedrawCount(), start);
    SendMessageW(Window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(RedrawCount(), start + 1);
    EXPECT_NE(before, L"2026.12.07");
    EXPECT_EQ(View().timeText.dateText, L"2026.12.07");
}

} // namespace
