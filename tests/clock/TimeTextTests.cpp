#include "clock/TimeText.h"

#include "framework/TextConversion.h"
#include "support/ImportHook.h"
#include "support/UserLocaleSetting.h"

#include <gtest/gtest.h>

namespace {

constexpr LCID ZhCn = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
constexpr LCID EnUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

// The locale's texts stay UTF-16; the cases are written in GBK.
std::string Gbk(const std::wstring& text) {
    return WideToMultiByte(text, GbkCodePage);
}

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
    // Each case written on its own, and all of them in turn with the texts
    // the ones before kept: a change of locale or date form is not missed.
    LocaleTexts kept;
    for (const auto& c : cases) {
        const SYSTEMTIME time{2026, 12, 1, 7, c.hour, c.minute, c.second, 0};
        const TimeFormat format{c.seconds, c.twelveHour, c.date, c.longDate, c.locale};
        for (const TimeText& text : {FormatTimeText(time, format), FormatTimeText(time, format, kept)}) {
            EXPECT_EQ(Gbk(text.timeText), wine && c.wineTime ? c.wineTime : c.time) << c.time;
            EXPECT_EQ(Gbk(text.dateText), wine && c.wineDate ? c.wineDate : c.dateText) << c.time;
        }
    }
    // At midnight the kept date gives way to the next day's.
    const TimeFormat shortDate{true, false, true, false, EnUs};
    EXPECT_EQ(FormatTimeText({2026, 12, 1, 7, 23, 59, 59, 0}, shortDate, kept).dateText, L"12/7/2026");
    EXPECT_EQ(FormatTimeText({2026, 12, 2, 8, 0, 0, 0, 0}, shortDate, kept).dateText, L"12/8/2026");
}

// A time format that writes the designator first ("tt h:mm:ss", as Windows'
// zh-CN does) puts it before the time; Wine's own zh-CN format has none.
TEST(TimeAndDateText, TheUsersTimeFormatPutsTheDesignatorFirst) {
    const UserLocaleSetting timeFormat(LOCALE_STIMEFORMAT);
    ASSERT_TRUE(timeFormat.Set(L"tt h:mm:ss"));
    const TimeFormat twelveHour{true, true, false, true, LOCALE_USER_DEFAULT};
    const TimeText text = FormatTimeText({2026, 12, 1, 7, 21, 5, 7, 0}, twelveHour);
    ASSERT_FALSE(text.designator.empty());
    EXPECT_TRUE(text.designatorFirst);
    EXPECT_EQ(text.timeText, text.designator + L" 9:05:07");
}

} // namespace
