// The real program, started and ended as a user would.
#include "support/ClockProcess.h"
#include "support/Desktop.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

int CountKeys(const std::string& bytes) {
    int keys = 0;
    for (std::size_t at = bytes.find('='); at != std::string::npos; at = bytes.find('=', at + 1))
        ++keys;
    return keys;
}

void FocusAndPressEscape(ClockProcess& clock) {
    SetForegroundWindow(clock.Window());
    desktop::WaitUntil([&] { return GetForegroundWindow() == clock.Window(); }, 2s);
    desktop::PressKey(VK_ESCAPE);
}

TEST(ProgramLifetime, FirstStartWritesTheCentredPositionAndEscapeSavesAllKeys) {
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());

    const auto firstFile = clock.ReadIniBytes();
    ASSERT_TRUE(firstFile.has_value());
    EXPECT_NE(firstFile->find("恢复上次关闭时的位置=真|770|465"), std::string::npos);
    EXPECT_EQ(firstFile->find("显示秒数"), std::string::npos);
    EXPECT_EQ(CountKeys(*firstFile), 18);

    const RECT rect = clock.WindowRect();
    EXPECT_EQ(rect.right - rect.left, 380);
    EXPECT_EQ(rect.bottom - rect.top, 150);

    FocusAndPressEscape(clock);
    const auto exitCode = clock.WaitForExit(20s);
    ASSERT_TRUE(exitCode.has_value()) << "Esc did not end the clock";
    EXPECT_EQ(*exitCode, 0u);

    const auto savedFile = clock.ReadIniBytes();
    ASSERT_TRUE(savedFile.has_value());
    EXPECT_EQ(CountKeys(*savedFile), 19);
    EXPECT_NE(savedFile->find("显示秒数=真"), std::string::npos);
}

} // namespace
