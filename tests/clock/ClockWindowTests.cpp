#include "clock/ClockWindow.h"

#include "clock/ClockFace.h"
#include "clock/FaceInternal.h"
#include "clock/HoverButtons.h"
#include "clock/LayeredWindowHost.h"
#include "support/ClockFaceFixture.h"
#include "support/Desktop.h"
#include "support/RecordingListeners.h"

#include <gtest/gtest.h>

namespace {

class ClockWindowMessages : public ClockFaceFixture {
protected:
    void SetUp() override {
        ClockFaceFixture::SetUp();
        ASSERT_TRUE(View().windowHost.Attach(Window()));
    }
    LRESULT Send(UINT message, int x = 0, int y = 0) {
        return SendMessageW(Window(), message, 0, MAKELPARAM(x, y));
    }
};

TEST_F(ClockWindowMessages, EnteringAndLeavingRedrawOnceEach) {
    const auto start = RedrawCount();
    Send(WM_MOUSEMOVE, 50, 60);
    EXPECT_TRUE(View().hoverActive);
    EXPECT_EQ(RedrawCount(), start + 1);
    Send(WM_MOUSEMOVE, 51, 61);
    Send(WM_MOUSEMOVE, 80, 90);
    EXPECT_EQ(RedrawCount(), start + 1) << "moves inside do not redraw";
    Send(WM_MOUSELEAVE);
    EXPECT_FALSE(View().hoverActive);
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

// The first frame leaves the buttons' images undecoded; the message the
// window takes once shown decodes them, out of sight, and tells the listener.
TEST_F(ClockWindowMessages, OnceShownTheButtonsAreDecodedUnseenAndTheListenerTold) {
    ASSERT_TRUE(FrameCaching());
    PlaceButtons(View());
    const auto canvas = CanvasBytes();
    for (ButtonId id : clock_face::ButtonOrder)
        ASSERT_TRUE(HoverButtonFor(View(), id).cache.images.empty());
    Send(ClockShownMessage);
    for (ButtonId id : clock_face::ButtonOrder)
        EXPECT_EQ(HoverButtonFor(View(), id).cache.images.size(), 1u) << static_cast<int>(id);
    EXPECT_EQ(CanvasBytes(), canvas) << "a hidden button changed the canvas";
    EXPECT_EQ(Listener().events, std::vector<std::string>{"shown"});
}

// Until the face is first shown (and holds its window) the window's input
// is the framework's alone.
TEST(ClockWindowBeforeTheFace, LeavesItsInputToTheFramework) {
    ClockViewState state;
    ASSERT_TRUE(state.view.clockCanvas.AttachToWindow(state.Window()));
    const auto start = RedrawCount();
    SendMessageW(state.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 60));
    EXPECT_EQ(RedrawCount(), start) << "the face took the window's input";
    EXPECT_FALSE(state.view.hoverActive);
    EXPECT_TRUE(state.view.windowHost.Attach(state.Window()));
    SendMessageW(state.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 60));
    EXPECT_TRUE(state.view.hoverActive) << "held, the window's moves are the face's";
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
        ClockWin().ArmTick();
        EXPECT_EQ(ClockWin().tickTimer.Interval(), c.wait)
            << c.second << "." << c.millisecond << " " << c.showSeconds;
    }
}

TEST(LayeredWindowHostWords, SplitsSignedHalves) {
    const auto value = static_cast<std::int32_t>(0xFFFF0005u);
    EXPECT_EQ(LayeredWindowHost::HighWord(value), -1);
    EXPECT_EQ(LayeredWindowHost::LowWord(value), 5);
    EXPECT_EQ(LayeredWindowHost::HighWord(0x00070003), 7);
    EXPECT_EQ(LayeredWindowHost::LowWord(static_cast<std::int32_t>(0x8000FFFFu)), 0xFFFF);
}

TEST(LayeredWindowHostAttach, HoldsTheWindowItIsGiven) {
    ClockViewState state;
    LayeredWindowHost host;
    EXPECT_FALSE(host.Holds(state.Window())) << "nothing held yet";
    EXPECT_TRUE(host.Attach(state.Window()));
    EXPECT_EQ(host.GetWindow(), state.Window());
    EXPECT_TRUE(host.Holds(state.Window()));
    EXPECT_FALSE(host.Holds(nullptr));
}

} // namespace

namespace {

// What the clock window reports, with a listener that only writes it down:
// the window acts on none of it itself.
TEST(ClockWindowReports, TheSystemsMessagesAndEscGoToTheListenerAndNothingElseHappens) {
    RecordingClockListener listener;
    ClockViewState state(&listener);
    const HWND window = state.Window();
    MoveWindow(window, 100, 100, 380, 150, FALSE);
    desktop::MoveMouse(0, 0); // no hover
    ASSERT_TRUE(state.view.windowHost.Attach(window));
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
    state.settings.clickThrough = true;
    for (const UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONUP})
        SendMessageW(window, message, 0, MAKELPARAM(50, 60));
    state.settings.clickThrough = false;
    MSG drag{};
    EXPECT_FALSE(PeekMessageW(&drag, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_FALSE(state.view.hoverActive);
    MSG escape{window, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(PumpOneMessage(escape));
    state.window.tickTimer.Restart(1);
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
    EXPECT_TRUE(state.window.Exists()) << "Esc closes the clock only when the listener says so";
    EXPECT_EQ(RedrawCount(), frames) << "nothing redrawn but by the listener";
    state.window.tickTimer.SetInterval(0);
}

} // namespace
