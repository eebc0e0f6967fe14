#include "clock/TimeText.h"

#include "support/ImportHook.h"

#include <gtest/gtest.h>

namespace {

constexpr LCID ChineseChina = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
constexpr LCID EnglishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

struct FormatCase {
    LCID locale;
    WORD hour, minute, second;
    bool showSeconds, twelveHour, showDate, longDate;
    const char* time;
    const char* date;
    // Wine 8's zh-CN data differ from Windows': the designator goes after the
    // time (no "tt" in its formats, time-marker position 0) and the long date
    // ends with the weekday.
    const char* wineTime = nullptr;
    const char* wineDate = nullptr;
};

class TimeAndDateText : public testing::TestWithParam<FormatCase> {};

TEST_P(TimeAndDateText, FollowTheLocaleOnBothClocksAndDateForms) {
    const FormatCase& c = GetParam();
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 7;
    time.wDayOfWeek = 1;
    time.wHour = c.hour;
    time.wMinute = c.minute;
    time.wSecond = c.second;
    const TimeText text =
        FormatTimeText(time, {c.showSeconds, c.twelveHour, c.showDate, c.longDate, c.locale});
    const bool wine = RunningUnderWine();
    EXPECT_EQ(text.timeText, wine && c.wineTime ? c.wineTime : c.time);
    EXPECT_EQ(text.dateText, wine && c.wineDate ? c.wineDate : c.date);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, TimeAndDateText,
    testing::Values(
        // The 24-hour clock is the same everywhere; no date unless asked.
        FormatCase{ChineseChina, 9, 5, 7, true, false, false, true, "9:05:07", ""},
        FormatCase{EnglishUs, 14, 30, 0, false, false, false, true, "14:30", ""},
        FormatCase{EnglishUs, 0, 0, 0, true, false, false, true, "0:00:00", ""},
        // zh-CN puts its designator first; midnight and noon are 12.
        FormatCase{ChineseChina, 0, 0, 0, false, true, false, true, "上午 12:00", "", "12:00 上午"},
        FormatCase{ChineseChina, 9, 5, 7, false, true, false, true, "上午 9:05", "", "9:05 上午"},
        FormatCase{ChineseChina, 11, 59, 59, true, true, false, true, "上午 11:59:59", "", "11:59:59 上午"},
        FormatCase{ChineseChina, 12, 0, 0, true, true, false, true, "下午 12:00:00", "", "12:00:00 下午"},
        FormatCase{ChineseChina, 23, 59, 59, true, true, false, true, "下午 11:59:59", "", "11:59:59 下午"},
        // en-US puts it after the time.
        FormatCase{EnglishUs, 0, 0, 0, false, true, false, true, "12:00 AM", ""},
        FormatCase{EnglishUs, 12, 0, 0, false, true, false, true, "12:00 PM", ""},
        FormatCase{EnglishUs, 13, 5, 7, true, true, false, true, "1:05:07 PM", ""},
        // The long and the short date, on either clock.
        FormatCase{ChineseChina, 9, 5, 7, false, false, true, true, "9:05", "2026年12月7日", nullptr,
                   "2026年12月7日星期一"},
        FormatCase{ChineseChina, 21, 5, 7, false, true, true, false, "下午 9:05", "2026/12/7", "9:05 下午"},
        FormatCase{EnglishUs, 9, 5, 7, false, false, true, true, "9:05", "Monday, December 7, 2026"},
        FormatCase{EnglishUs, 21, 5, 7, false, true, true, false, "9:05 PM", "12/7/2026"}));

} // namespace
