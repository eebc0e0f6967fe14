#include "clock/TimeText.h"

#include "assets/TextIds.h"
#include "config/ClockSettings.h"
#include "framework/Services.h"
#include "framework/TextConversion.h"
#include "framework/TimeZones.h"

#include <cstdio>
#include <string_view>

namespace {

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::wstring LocaleText(LCID locale, LCTYPE type) {
    wchar_t text[128] = {};
    const int length = GetLocaleInfoW(locale, type, text, static_cast<int>(std::size(text)));
    return length > 1 ? std::wstring(text, static_cast<std::size_t>(length - 1)) : std::wstring();
}

// Whether the designator comes first, as the locale's time format writes
// it ("tt h:mm:ss"); a format without one (the 24-hour "H:mm:ss" of zh-CN)
// leaves it to the locale's time-marker position.
bool DesignatorFirst(LCID locale) {
    const std::wstring format = LocaleText(locale, LOCALE_STIMEFORMAT);
    const std::size_t marker = format.find(L't');
    if (marker != std::wstring::npos)
        return marker < format.find_first_of(L"hH");
    return LocaleText(locale, LOCALE_ITIMEMARKPOSN) == L"1";
}

} // namespace

DayHalves DayHalvesOf(LCID locale) {
    return {LocaleText(locale, LOCALE_S1159), LocaleText(locale, LOCALE_S2359), DesignatorFirst(locale)};
}

TimeText FormatTimeText(const SYSTEMTIME& time, bool showSeconds) {
    TimeText text;
    text.hourText = std::to_string(time.wHour);
    text.minuteText = TwoDigits(time.wMinute);
    text.secondText = TwoDigits(time.wSecond);
    text.digitsText = text.hourText + ":" + text.minuteText;
    if (showSeconds)
        text.digitsText += ":" + text.secondText;
    text.timeText.assign(text.digitsText.begin(), text.digitsText.end()); // ASCII
    text.reading = time;
    return text;
}

const DayHalves& LocaleTexts::HalvesOf(LCID locale) {
    if (!halves || halves->first != locale)
        halves.emplace(locale, DayHalvesOf(locale));
    return halves->second;
}

const std::wstring& LocaleTexts::DateOf(const SYSTEMTIME& time, bool longDate, LCID locale) {
    const DateKey key{time.wYear, time.wMonth, time.wDay, longDate, locale};
    if (!date || date->first != key)
        date.emplace(key, FormatDateText(time, longDate, locale));
    return date->second;
}

void LocaleTexts::Forget() {
    halves.reset();
    date.reset();
}

TimeText FormatTimeText(const SYSTEMTIME& time, const TimeFormat& format) {
    LocaleTexts texts;
    return FormatTimeText(time, format, texts);
}

TimeText FormatTimeText(const SYSTEMTIME& time, const TimeFormat& format, LocaleTexts& kept) {
    SYSTEMTIME shown = time;
    if (format.twelveHour)
        shown.wHour = static_cast<WORD>(time.wHour % 12 == 0 ? 12 : time.wHour % 12);
    TimeText text = FormatTimeText(shown, format.showSeconds);
    text.reading = time;
    if (format.twelveHour) {
        const DayHalves& halves = kept.HalvesOf(format.locale);
        text.designator = time.wHour < 12 ? halves.am : halves.pm;
        text.designatorFirst = halves.beforeTime;
        if (!text.designator.empty())
            text.timeText = halves.beforeTime ? text.designator + L" " + text.timeText
                                              : text.timeText + L" " + text.designator;
    }
    if (format.showDate)
        text.dateText = kept.DateOf(time, format.longDate, format.locale);
    return text;
}

std::optional<SYSTEMTIME> SecondsLater(const SYSTEMTIME& time, int seconds) {
    FILETIME file{};
    if (!SystemTimeToFileTime(&time, &file))
        return std::nullopt;
    ULARGE_INTEGER ticks{};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart += static_cast<ULONGLONG>(seconds) * 10'000'000;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME later{};
    if (!FileTimeToSystemTime(&file, &later))
        return std::nullopt;
    return later;
}

std::wstring FormatDateText(const SYSTEMTIME& time, bool longDate, LCID locale) {
    wchar_t text[256] = {};
    const DWORD flags = longDate ? DATE_LONGDATE : DATE_SHORTDATE;
    const int length = GetDateFormatW(locale, flags, &time, nullptr, text, static_cast<int>(std::size(text)));
    return length > 1 ? std::wstring(text, static_cast<std::size_t>(length - 1)) : std::wstring();
}

void FollowZone(ClockZone& zone, const std::string& key) {
    if (zone.key == key)
        return;
    zone.key = key;
    zone.rules = FindTimeZone(MultiByteToWide(key, GbkCodePage));
}

SYSTEMTIME ClockTimeNow(const ClockZone& zone) {
    if (zone.rules)
        if (const std::optional<SYSTEMTIME> there = TimeInZone(*zone.rules, ReadUtcTime()))
            return *there;
    return ReadLocalTime();
}

std::string ShownZoneLabel(const ClockZone& zone, const std::string& label) {
    return zone.Unknown() ? label + Text(IDS_UNKNOWN_ZONE_MARK) : label;
}

void AddZoneLabel(std::wstring& line, const ClockZone& zone, const std::string& label) {
    if (label.empty() && !zone.Unknown())
        return;
    const std::wstring shown = MultiByteToWide(ShownZoneLabel(zone, label), GbkCodePage);
    line = line.empty() ? shown : line + L"  " + shown;
}
