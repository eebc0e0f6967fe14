#include "clock/ClockWindow.h"

#include "clock/LayeredWindowHost.h"
#include "support/ClockFaceFixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ClockWindowProcTest : public ClockFaceFixture {
protected:
    void SetUp() override {
        ClockFaceFixture::SetUp();
        ASSERT_TRUE(App().windowHost.Subclass(Window(), ClockWindowProc));
    }
    LRESULT Send(UINT message, int x = 0, int y = 0) {
        return SendMessageW(Window(), message, 0, MAKELPARAM(x, y));
    }
};

TEST_F(ClockWindowProcTest, EnteringAndLeavingRedrawOnceEach) {
    const auto start = RedrawCount();
    Send(WM_MOUSEMOVE, 50, 60);
    EXPECT_TRUE(App().hoverActive);
    EXPECT_EQ(RedrawCount(), start + 1);
    Send(WM_MOUSEMOVE, 51, 61);
    Send(WM_MOUSEMOVE, 80, 90);
    EXPECT_EQ(RedrawCount(), start + 1) << "moves inside do not redraw";
    Send(WM_MOUSELEAVE);
    EXPECT_FALSE(App().hoverActive);
    EXPECT_EQ(RedrawCount(), start + 2);
    Send(WM_MOUSEMOVE, 50, 60);
    EXPECT_EQ(RedrawCount(), start + 3) << "coming back redraws again";
}

TEST_F(ClockWindowProcTest, UnhandledMessagesAnswerWhatTheReplacedProcedureAnswers) {
    EXPECT_EQ(Send(TestClockWindow::ProbeMessage), TestClockWindow::ProbeAnswer);
}

TEST_F(ClockWindowProcTest, HandledMessagesStillReachTheReplacedProcedure) {
    // The framework's own handling of a press posts the move-loop request.
    Send(WM_LBUTTONDOWN, 40, 40);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, Window(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(HTCAPTION));
}

TEST_F(ClockWindowProcTest, DetachPutsTheFrameworkProcedureBack) {
    LayeredWindowHost& host = App().windowHost;
    EXPECT_TRUE(host.IsAttached());
    EXPECT_TRUE(host.Detach());
    const auto start = RedrawCount();
    Send(WM_MOUSEMOVE, 50, 60);
    EXPECT_EQ(RedrawCount(), start) << "no longer subclassed";
    EXPECT_FALSE(host.Detach());
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

TEST(LayeredWindowHostAttach, AttachWithoutSubclassCallsTheDefaultProcedure) {
    ClockWindowFixtureState state;
    LayeredWindowHost host;
    EXPECT_FALSE(host.CaptureMouse()) << "not attached";
    EXPECT_TRUE(host.Attach(state.Window()));
    EXPECT_EQ(host.GetWindow(), state.Window());
    EXPECT_EQ(host.CallPrevious(state.Window(), TestClockWindow::ProbeMessage, 0, 0), 0)
        << "DefWindowProc, not the framework";
    EXPECT_TRUE(host.CaptureMouse());
    EXPECT_EQ(LayeredWindowHost::GetCaptureWindow(), state.Window());
    EXPECT_TRUE(host.ReleaseMouse());
    EXPECT_FALSE(host.ReleaseMouse());
}

} // namespace
