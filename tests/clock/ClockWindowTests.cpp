#include "clock/ClockWindow.h"

#include "clock/HoverButtons.h"
#include "clock/LayeredWindowHost.h"
#include "support/ClockFaceFixture.h"
#include "support/Desktop.h"
#include "support/RecordingListeners.h"
#include "support/UserLocaleSetting.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ClockWindowMessages : public ClockFaceFixture {
protected:
    void SetUp() override {
        ClockFaceFixture::SetUp();
        ASSERT_TRUE(App().clock.windowHost.Attach(Window()));
    }
    LRESULT Send(UINT message, int x = 0, int y = 0) {
        return SendMessageW(Window(), message, 0, MAKELPARAM(x, y));
    }
};

TEST_F(ClockWindowMessages, EnteringAndLeavingRedrawOnceEach) {
    const auto start = RedrawCount();
    Send(WM_MOUSEMOVE, 50, 60);
    EXPECT_TRUE(App().clock.hoverActive);
    EXPECT_EQ(RedrawCount(), start + 1);
    Send(WM_MOUSEMOVE, 51, 61);
    Send(WM_MOUSEMOVE, 80, 90);
    EXPECT_EQ(RedrawCount(), start + 1) << "moves inside do not redraw";
    Send(WM_MOUSELEAVE);
    EXPECT_FALSE(App().clock.hoverActive);
    EXPECT_EQ(RedrawCount(), start + 2);
    Send(WM_MOUSEMOVE, 50, 60);
    EXPECT_EQ(RedrawCount(), start + 3) << "coming back redraws again";
}

TEST_F(ClockWindowMessages, MessagesTheFaceLeavesAnswerWhatTheFrameworkAnswers) {
    EXPECT_EQ(Send(TestClockWindow::ProbeMessage), TestClockWindow::ProbeAnswer);
}

TEST_F(ClockWindowMessages, HandledMessagesStillReachTheFrameworksHandling) {
    // The framework's own handling of a press posts the move-loop request.
    Send(WM_LBUTTONDOWN, 40, 40);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, Window(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(HTCAPTION));
}

// The class has CS_DBLCLKS, so every second quick press is a double-click.
TEST_F(ClockWindowMessages, TheSecondPressOfADoubleClickActsToo) {
    SetupButtons(App().clock);
    const std::int32_t size = App().settings.fontSize;
    Send(WM_MOUSEMOVE, 60, 75);
    Send(WM_MOUSEMOVE, 337, 130); // lights larger font
    Send(WM_LBUTTONDOWN, 337, 130);
    Send(WM_LBUTTONDBLCLK, 337, 130);
    EXPECT_EQ(App().settings.fontSize, size + 10);

    // Off the buttons a double-click neither acts nor starts a drag.
    Send(WM_MOUSEMOVE, 60, 75);
    MSG message{};
    while (PeekMessageW(&message, Window(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) {
    }
    Send(WM_LBUTTONDBLCLK, 60, 75);
    EXPECT_FALSE(PeekMessageW(&message, Window(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(App().settings.fontSize, size + 10);
}

// The close button destroys the window inside the press: nothing of the press
// is left for the framework, which would ask a window that is gone to move.
TEST_F(ClockWindowMessages, APressThatClosesTheWindowEndsThere) {
    SetupButtons(App().clock);
    Send(WM_MOUSEMOVE, 362, 18); // lights close
    Send(WM_LBUTTONDOWN, 362, 18);
    EXPECT_FALSE(App().clockWindow->Exists());
    MSG message{};
    EXPECT_FALSE(
        PeekMessageW(&message, reinterpret_cast<HWND>(-1), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
}

TEST_F(ClockWindowMessages, DetachLeavesTheWindowToTheFramework) {
    LayeredWindowHost& host = App().clock.windowHost;
    EXPECT_TRUE(host.IsAttached());
    EXPECT_TRUE(host.Detach());
    const auto start = RedrawCount();
    Send(WM_MOUSEMOVE, 50, 60);
    EXPECT_EQ(RedrawCount(), start) << "the face no longer takes the window's input";
    EXPECT_FALSE(host.Detach());
}

TEST_F(ClockWindowMessages, TickIsArmedJustPastTheNextSecondOrMinute) {
    constexpr UINT margin = TickMarginMilliseconds;
    constexpr UINT drift = TickDriftMilliseconds;
    // In order: each row starts from the timer the row before left.
    const struct {
        WORD second, millisecond;
        bool showSeconds;
        UINT wait;
    } cases[] = {
        {7, 990, true, 10 + margin},
        {8, 5, true, 1000}, // on the second: the timer runs on with its period
        {9, 5 + drift, true, 1000},
        {10, 6 + drift, true, 1000 - drift - 1}, // drifted: set for the next second
        {7, 0, true, 1000 + margin},
        {7, 999, true, 1 + margin},
        {7, 990, false, 52'010 + margin},
        {0, 5, false, 60'000},
        {59, 999, false, 1 + margin},
        {0, 1, false, 59'999 + margin},
        {60, 500, true, 500 + margin}, // a leap second
    };
    for (const auto& c : cases) {
        SetFixedTime(9, 5, c.second, c.millisecond);
        Settings().showSeconds = c.showSeconds;
        App().clockWindow->ArmTick();
        EXPECT_EQ(App().clockWindow->tickTimer.Interval(), c.wait)
            << c.second << "." << c.millisecond << " " << c.showSeconds;
    }
}

TEST_F(ClockWindowMessages, ArmedTickRedrawsAndArmsTheNextOne) {
    SetFixedTime(9, 5, 7, 990);
    App().clockWindow->ArmTick();
    SetFixedTime(9, 5, 8, 2); // when the tick comes
    const auto start = RedrawCount();
    EXPECT_TRUE(desktop::WaitUntil(
        [&] {
            PumpPendingMessages();
            return RedrawCount() > start;
        },
        std::chrono::seconds(5), std::chrono::milliseconds(5)));
    EXPECT_EQ(App().clock.timeText.timeText, L"9:05:08");
    EXPECT_EQ(App().clockWindow->tickTimer.Interval(), 998 + TickMarginMilliseconds);
}

TEST_F(ClockWindowMessages, TimeChangeAndResumeShowTheNewTimeAndRealign) {
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
        App().clockWindow->ArmTick();
        ASSERT_EQ(App().clockWindow->tickTimer.Interval(), 700 + TickMarginMilliseconds);
        SetFixedTime(11, 30, 45, 900);
        const auto start = RedrawCount();
        SendMessageW(Window(), c.message, c.wParam, 0);
        if (c.realigns) {
            EXPECT_EQ(App().clockWindow->tickTimer.Interval(), 100 + TickMarginMilliseconds) << c.message;
            EXPECT_EQ(RedrawCount(), start + 1) << c.message;
            EXPECT_EQ(App().clock.timeText.timeText, L"11:30:45") << c.message;
        } else {
            EXPECT_EQ(App().clockWindow->tickTimer.Interval(), 700 + TickMarginMilliseconds);
            EXPECT_EQ(RedrawCount(), start);
        }
    }
}

// The date kept for the day is written again, at once, when the user's
// regional settings change; any other setting's change leaves the clock be.
TEST_F(ClockWindowMessages, ARegionalSettingsChangeWritesTheDateAgainAtOnce) {
    Settings().showDate = true;
    Settings().dateFormat = DateForm::Short;
    const UserLocaleSetting userForm(LOCALE_SSHORTDATE);
    FixedTime() = {2026, 12, 1, 7, 9, 5, 7, 0};
    SetFixedTime(9, 5, 7);
    Send(WM_TIMECHANGE);
    const std::wstring before = App().clock.timeText.dateText;
    ASSERT_TRUE(userForm.Set(L"yyyy'.'MM'.'dd"));
    const auto start = RedrawCount();
    SendMessageW(Window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"WindowMetrics"));
    EXPECT_EQ(RedrawCount(), start);
    SendMessageW(Window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(RedrawCount(), start + 1);
    EXPECT_NE(before, L"2026.12.07");
    EXPECT_EQ(App().clock.timeText.dateText, L"2026.12.07");
}

TEST(LayeredWindowHostWords, SplitsSignedHalves) {
    const auto value = static_cast<std::int32_t>(0xFFFF0005u);
    EXPECT_EQ(LayeredWindowHost::HighWord(value), -1);
    EXPECT_EQ(LayeredWindowHost::LowWord(value), 5);
    EXPECT_EQ(LayeredWindowHost::HighWord(0x00070003), 7);
    EXPECT_EQ(LayeredWindowHost::LowWord(static_cast<std::int32_t>(0x8000FFFFu)), 0xFFFF);
}

TEST(LayeredWindowHostText, ReadsUtf16ByItsOwnLength) {
    const wchar_t text[] = L"时钟 12:34";
    const auto bytes = LayeredWindowHost::ReadWideText(text);
    ASSERT_EQ(bytes.size(), sizeof text) << "every UTF-16 unit and the terminator, nothing beyond";
    EXPECT_EQ(std::memcmp(bytes.data(), text, sizeof text), 0);
    EXPECT_TRUE(LayeredWindowHost::ReadWideText(nullptr).empty());
}

TEST(LayeredWindowHostAttach, CapturesTheMouseForTheWindowItHolds) {
    ClockWindowFixtureState state;
    LayeredWindowHost host;
    EXPECT_FALSE(host.CaptureMouse()) << "not attached";
    EXPECT_TRUE(host.Attach(state.Window()));
    EXPECT_EQ(host.GetWindow(), state.Window());
    EXPECT_TRUE(host.Holds(state.Window()));
    EXPECT_TRUE(host.CaptureMouse());
    EXPECT_EQ(LayeredWindowHost::GetCaptureWindow(), state.Window());
    EXPECT_TRUE(host.ReleaseMouse());
    EXPECT_FALSE(host.ReleaseMouse());
}

} // namespace

namespace {

// What the clock window reports, with a listener that only writes it down:
// the window acts on none of it itself.
TEST(ClockWindowReports, TheSystemsMessagesAndEscGoToTheListenerAndNothingElseHappens) {
    RecordingClockListener listener;
    ClockWindowFixtureState state(listener);
    const HWND window = state.Window();
    MoveWindow(window, 100, 100, 380, 150, FALSE);
    desktop::MoveMouse(0, 0); // no hover
    ASSERT_TRUE(App().clock.windowHost.Attach(window));
    const auto frames = RedrawCount();

    SendMessageW(window, WM_TIMECHANGE, 0, 0);
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0); // not a resume
    RECT suggested{10, 20, 580, 245};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    SendMessageW(window, WM_ENDSESSION, FALSE, 0); // the session goes on
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP); // Restart Manager
    SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(150, 120));
    SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), -1); // from the keyboard
    // Click-through: what still reaches the window lights, drags and reports nothing.
    App().settings.clickThrough = true;
    for (const UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONUP})
        SendMessageW(window, message, 0, MAKELPARAM(50, 60));
    App().settings.clickThrough = false;
    MSG drag{};
    EXPECT_FALSE(PeekMessageW(&drag, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_FALSE(App().clock.hoverActive);
    MSG escape{window, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(PumpOneMessage(escape));
    App().clockWindow->tickTimer.Restart(1);
    EXPECT_TRUE(desktop::WaitUntil(
        [&] {
            PumpPendingMessages();
            return !listener.events.empty() && listener.events.back() == "tick";
        },
        std::chrono::seconds(5), std::chrono::milliseconds(5)));

    const std::vector<std::string> expected{"time changed",
                                            "time changed",
                                            "scale 144 at 10,20",
                                            "session ending",
                                            "session ending for this program",
                                            "drag ended",
                                            "menu at 150,120",
                                            "menu at 100,100",
                                            "escape",
                                            "tick"};
    EXPECT_EQ(listener.events, expected);
    EXPECT_TRUE(App().clockWindow->Exists()) << "Esc closes the clock only when the listener says so";
    EXPECT_EQ(RedrawCount(), frames) << "nothing redrawn but by the listener";
    App().clockWindow->tickTimer.SetInterval(0);
}

} // namespace
