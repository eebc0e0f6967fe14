#include "config/ClockSettings.h"

#include "framework/Services.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

class SettingsFile : public testing::Test {
protected:
    TempDirectory directory;
    std::string path = directory.File("配置.ini");

    std::string Key(const char* section, const char* key) {
        return ReadIniText(path, section, key, "<none>");
    }
};

// Section and key names in the order a reader meets them in the file.
std::vector<std::string> LinesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

TEST_F(SettingsFile, FirstRunCreatesEighteenKeysInSectionOrder) {
    const ClockSettings loaded = LoadSettings(path, 1920, 1080);
    EXPECT_EQ(loaded.restoreLastPosition, "真|770|465");

    const std::vector<std::string> expected = {"[基本设置]",
                                               "开机启动=假",
                                               "窗口置顶=真",
                                               "分层透明=真",
                                               "内存优化=假",
                                               "恢复上次关闭时的位置=真|770|465",
                                               "[透明度]",
                                               "整个窗口=255",
                                               "窗口底图=150",
                                               "时钟底图=0",
                                               "时钟=255",
                                               "[边框和底图]",
                                               "外边框=8421504",
                                               "内边框=16777215",
                                               "窗口底图=13487565",
                                               "时钟底图=16746496",
                                               "[时钟]",
                                               "字体颜色=9492264",
                                               "字体大小=80",
                                               "描边颜色=16777215",
                                               "描边大小=5",
                                               "字体名称=微软雅黑"};
    EXPECT_EQ(LinesOf(ReadFileBytes(path)), expected);
}

TEST_F(SettingsFile, PositionDefaultKeepsTheHalfPixel) {
    const ClockSettings loaded = LoadSettings(path, 1365, 768);
    EXPECT_EQ(loaded.restoreLastPosition, "真|492.5|309");
}

TEST_F(SettingsFile, KeysMissingFromTheFirstFileReadAsTheirDefaults) {
    LoadSettings(path, 1920, 1080);
    const ClockSettings again = LoadSettings(path, 1920, 1080);
    EXPECT_EQ(again.showSeconds, "真");
    EXPECT_EQ(again.clickThrough, "假");
    EXPECT_EQ(again.showTrayIcon, "真");
    EXPECT_EQ(again.showDate + again.dateFormat + again.twelveHour, "假长假");
    for (const char* key : {"显示秒数", "鼠标穿透", "显示托盘图标"})
        EXPECT_EQ(Key("基本设置", key), "<none>") << key << ": a second load must not write the file";
}

TEST_F(SettingsFile, UnknownFlagTextAndNegativeColourSurviveARoundTrip) {
    WriteFileBytes(path, "[基本设置]\r\n开机启动=1\r\n窗口置顶=yes\r\n恢复上次关闭时的位置=1|5|6\r\n"
                         "[边框和底图]\r\n外边框=-1\r\n[时钟]\r\n字体大小=８０\r\n字体名称=\r\n");
    ClockSettings loaded = LoadSettings(path, 1920, 1080);
    EXPECT_EQ(loaded.startWithWindows, "1");
    EXPECT_FALSE(IsOn(loaded.startWithWindows));
    EXPECT_EQ(loaded.outerBorderColor, -1);
    EXPECT_EQ(loaded.fontSize, 80);
    EXPECT_EQ(loaded.fontName, "");

    loaded.restoreLastPosition = "1";
    SaveSettings(path, loaded, 5, 6);
    EXPECT_EQ(Key("基本设置", "开机启动"), "1");
    EXPECT_EQ(Key("基本设置", "窗口置顶"), "yes");
    EXPECT_EQ(Key("基本设置", "恢复上次关闭时的位置"), "1|5|6");
    EXPECT_EQ(Key("边框和底图", "外边框"), "-1");
    EXPECT_EQ(Key("时钟", "字体大小"), "80");
    EXPECT_EQ(Key("时钟", "字体名称"), "");
}

TEST_F(SettingsFile, EmptyValuesReadAsEmptyTextAndZero) {
    WriteFileBytes(path, "[透明度]\r\n整个窗口=\r\n[基本设置]\r\n显示秒数=\r\n");
    const ClockSettings loaded = LoadSettings(path, 1920, 1080);
    EXPECT_EQ(loaded.windowAlpha, 0);
    EXPECT_EQ(loaded.showSeconds, "");
    EXPECT_EQ(loaded.windowBackgroundAlpha, 150) << "a missing key still gives its default";
}

TEST_F(SettingsFile, SaveWritesEveryKeyWithNegativePosition) {
    ClockSettings settings = DefaultSettings();
    settings.restoreLastPosition = "真";
    settings.fontSize = -50;
    settings.clickThrough = "真";
    settings.dateFormat = "短";
    SaveSettings(path, settings, -50, -20);

    for (const SettingField& field : SettingFields)
        EXPECT_NE(Key(field.section, field.key), "<none>") << field.key;
    EXPECT_EQ(Key("基本设置", "显示秒数"), "真");
    EXPECT_EQ(Key("基本设置", "恢复上次关闭时的位置"), "真|-50|-20");
    EXPECT_EQ(Key("时钟", "字体大小"), "-50");
    EXPECT_EQ(Key("基本设置", "鼠标穿透"), "真");
    EXPECT_EQ(Key("基本设置", "显示托盘图标"), "真");
    EXPECT_EQ(Key("时钟", "显示日期") + Key("时钟", "日期格式") + Key("时钟", "十二小时制"), "假短假");
    EXPECT_EQ(LoadSettings(path, 1920, 1080).clickThrough, "真") << "kept for the next start";
}

TEST_F(SettingsFile, AReaderNeverFindsHalfASavedFile) {
    WriteFileBytes(path, "[其他]\r\n留下=1\r\n");
    ClockSettings first = DefaultSettings(), second = DefaultSettings();
    first.startWithWindows = first.fontName = "A"; // the first key written and the last
    second.startWithWindows = second.fontName = "B";
    std::atomic<bool> saving = true;
    std::string half;
    std::thread reader([&] {
        while (saving && half.empty()) {
            const std::string bytes = ReadFileBytes(path);
            const bool a = bytes.find("开机启动=A") != bytes.npos && bytes.find("字体名称=A") != bytes.npos;
            const bool b = bytes.find("开机启动=B") != bytes.npos && bytes.find("字体名称=B") != bytes.npos;
            if (a == b && bytes.find("开机启动") != bytes.npos)
                half = bytes;
            Sleep(1); // a reader that never lets go would hold off every replacement
        }
    });
    for (int save = 0; save < 40; ++save)
        SaveSettings(path, save % 2 ? first : second, save, save);
    saving = false;
    reader.join();
    EXPECT_EQ(half, "") << "found while saving";
    EXPECT_EQ(Key("其他", "留下"), "1") << "keys of others stay";
    EXPECT_EQ(Key("基本设置", "恢复上次关闭时的位置"), "真|39|39");
}

TEST(SettingsDefaults, MatchTheDocumentedValues) {
    const ClockSettings d = DefaultSettings();
    EXPECT_EQ(d.startWithWindows, "假");
    EXPECT_EQ(d.keepOnTop, "真");
    EXPECT_EQ(d.memoryOptimization, "假");
    EXPECT_EQ(d.windowBackgroundAlpha, 150);
    EXPECT_EQ(d.fontColor, 9492264);
    EXPECT_EQ(d.fontName, "微软雅黑");
    EXPECT_EQ(d.clickThrough, "假");
    EXPECT_EQ(d.showTrayIcon, "真");
    EXPECT_EQ(d.showDate, "假");
    EXPECT_EQ(d.dateFormat, "长");
    EXPECT_EQ(d.twelveHour, "假");
}

TEST(Flags, OnlyTheExactTrueTextIsOn) {
    EXPECT_TRUE(IsOn("真"));
    for (const char* text : {"假", "", "1", "true", "真 ", " 真"})
        EXPECT_FALSE(IsOn(text)) << text;
}

} // namespace
