// Where the clock opens, and that a close remembers where it was.
#include "support/ClockProcess.h"
#include "support/Desktop.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

std::string IniWithPosition(const std::string& position) {
    return "[基本设置]\r\n恢复上次关闭时的位置=" + position + "\r\n";
}

void CloseWithEscape(ClockProcess& clock) {
    ASSERT_TRUE(desktop::GiveKeyboardTo(clock.Window())) << "the clock did not take the keyboard";
    desktop::PressKey(VK_ESCAPE);
    ASSERT_EQ(clock.WaitForExit(20s), std::optional<DWORD>(0));
}

TEST(Placement, PartlyOffScreenPositionReopensThereAndIsSavedBack) {
    ClockProcess clock;
    // Half of it left of the screen: its whole height and more than a third
    // of its width can still be grabbed.
    clock.WriteIni(IniWithPosition("真|-190|20"));
    ASSERT_TRUE(clock.Start());
    const RECT rect = clock.WindowRect();
    EXPECT_EQ(rect.left, -190);
    EXPECT_EQ(rect.top, 20);
    CloseWithEscape(clock);
    EXPECT_NE(clock.ReadIniBytes().value_or("").find("恢复上次关闭时的位置=真|-190|20"), std::string::npos);
}

TEST(Placement, FalseFlagCentresAndKeepsTheFlag) {
    ClockProcess clock;
    clock.WriteIni(IniWithPosition("假|100|100"));
    ASSERT_TRUE(clock.Start());
    const RECT rect = clock.WindowRect();
    EXPECT_EQ(rect.left, 770);
    EXPECT_EQ(rect.top, 465);
    CloseWithEscape(clock);
    EXPECT_NE(clock.ReadIniBytes().value_or("").find("恢复上次关闭时的位置=假|770|465"), std::string::npos);
}

TEST(Placement, PositionOnAMissingMonitorIsCentred) {
    ClockProcess clock;
    clock.WriteIni(IniWithPosition("真|5000|5000"));
    ASSERT_TRUE(clock.Start());
    EXPECT_EQ(clock.WindowRect().left, 770);
    EXPECT_EQ(clock.WindowRect().top, 465);
}

} // namespace
