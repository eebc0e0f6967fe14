#include "clock/TimeText.h"

#include "support/ImportHook.h"

#include <gtest/gtest.h>

namespace {

constexpr LCID ZhCn = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
constexpr LCID EnUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

// Where Wine 8's zh-CN data differ from Windows' (the designator after the
// time: no "tt" in its formats, time-marker position 0; the weekday after the
// long date), the case also holds what Wine writes.
TEST(TimeAndDateText, FollowTheLocaleOnBothClocksAndDateForms) {
    const struct {
        LCID locale;
        WORD hour, minute, second;
        bool seconds, twelveHour, date, longDate;
        const char *time, *dateText, *wineTime = nullptr, *wineDate = nullptr;
    } cases[] = {
        {ZhCn, 9, 5, 7, true, false, false, true, "9:05:07", ""},
        {EnUs, 14, 30, 0, false, false, false, true, "14:30", ""},
        {ZhCn, 0, 0, 0, false, true, false, true, "上午 12:00", "", "12:00 上午"},
        {ZhCn, 11, 59, 59, true, true, false, true, "上午 11:59:59", "", "11:59:59 上午"},
        {ZhCn, 12, 0, 0, true, true, false, true, "下午 12:00:00", "", "12:00:00 下午"},
        {ZhCn, 23, 59, 59, true, true, false, true, "下午 11:59:59", "", "11:59:59 下午"},
        {EnUs, 0, 0, 0, false, true, false, true, "12:00 AM", ""},
        {EnUs, 12, 0, 0, false, true, false, true, "12:00 PM", ""},
        {EnUs, 13, 5, 7, true, true, false, true, "1:05:07 PM", ""},
        {ZhCn, 9, 5, 7, false, false, true, true, "9:05", "2026年12月7日", nullptr, "2026年12月7日星期一"},
        {ZhCn, 21, 5, 7, false, true, true, false, "下午 9:05", "2026/12/7", "9:05 下午"},
        {EnUs, 9, 5, 7, false, false, true, true, "9:05", "Monday, December 7, 2026"},
        {EnUs, 21, 5, 7, false, true, true, false, "9:05 PM", "12/7/2026"},
    };
    const bool wine = RunningUnderWine();
    for (const auto& c : cases) {
        const SYSTEMTIME time{2026, 12, 1, 7, c.hour, c.minute, c.second, 0};
        const TimeText text = FormatTimeText(time, {c.seconds, c.twelveHour, c.date, c.longDate, c.locale});
        EXPECT_EQ(text.timeText, wine && c.wineTime ? c.wineTime : c.time) << c.time;
        EXPECT_EQ(text.dateText, wine && c.wineDate ? c.wineDate : c.dateText) << c.time;
    }
}

} // namespace
