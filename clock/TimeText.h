#pragma once
// The time and date texts the clock shows, built from a local time and the
// user's locale. The digits are ASCII; what the locale writes (designators,
// the date) stays UTF-16, whatever the system's code page.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>

// The texts of the last time reading.
struct TimeText {
    std::string hourText;
    std::string minuteText;
    std::string secondText;
    std::wstring timeText;   // as a reader sees it, with the designator
    std::string digitsText;  // the time without its designator
    std::wstring designator; // AM/PM on the 12-hour clock, else empty
    bool designatorFirst = false;
    std::wstring dateText; // the line under the time: the date, the zone's label; empty without one
    SYSTEMTIME reading{};  // the local time the texts were made from
};

// A locale's AM and PM designators and where it puts them.
struct DayHalves {
    std::wstring am;
    std::wstring pm;
    bool beforeTime = false;
};

// The locale's designators (LOCALE_S1159, LOCALE_S2359) and their place: as
// in its time format when that has one, else as its time-marker position.
DayHalves DayHalvesOf(LCID locale);

// How the clock writes the time; the defaults are the 24-hour clock without
// a date.
struct TimeFormat {
    bool showSeconds = true;
    bool twelveHour = false;
    bool showDate = false;
    bool longDate = true;
    LCID locale = LOCALE_USER_DEFAULT;
};

// What the locale writes that stays the same for a day at least: the
// designators and the date line, kept from one reading to the next until
// the user's regional settings change (Forget).
class LocaleTexts {
public:
    const DayHalves& HalvesOf(LCID locale);
    const std::wstring& DateOf(const SYSTEMTIME& time, bool longDate, LCID locale);
    void Forget();

private:
    struct DateKey {
        WORD year, month, day;
        bool longDate;
        LCID locale;
        bool operator==(const DateKey&) const = default;
    };
    std::optional<std::pair<LCID, DayHalves>> halves;
    std::optional<std::pair<DateKey, std::wstring>> date;
};

// The 24-hour time: the hour without a leading zero, minutes and seconds
// with one (9:05, 9:05:07, 0:00).
TimeText FormatTimeText(const SYSTEMTIME& time, bool showSeconds);
// The time as the format asks: on the 12-hour clock, hours 1 to 12 with the
// locale's designator ("上午 9:05", "9:05 PM"); with a date, the locale's long
// or short date.
TimeText FormatTimeText(const SYSTEMTIME& time, const TimeFormat& format);
// The same, with the locale's texts taken from those kept where they still
// hold.
TimeText FormatTimeText(const SYSTEMTIME& time, const TimeFormat& format, LocaleTexts& kept);
// The local time so many seconds later; none for a time Windows cannot
// convert (such as the empty reading of texts never made from a time).
std::optional<SYSTEMTIME> SecondsLater(const SYSTEMTIME& time, int seconds);
// The locale's long or short date, "" when Windows cannot write it.
std::wstring FormatDateText(const SYSTEMTIME& time, bool longDate, LCID locale);

// The zone a clock shows, looked up once for the key the settings name.
struct ClockZone {
    std::string key; // as the settings hold it; empty: the machine's local time
    std::optional<DYNAMIC_TIME_ZONE_INFORMATION> rules;
    // A key the machine does not know: the clock shows local time, marked.
    bool Unknown() const { return !key.empty() && !rules; }
};
// Looks the zone up again when the settings name another key.
void FollowZone(ClockZone& zone, const std::string& key);
// The time in the zone now: the local time without a zone, or for one that
// is unknown or cannot be converted.
SYSTEMTIME ClockTimeNow(const ClockZone& zone);
// The zone's label as the clock shows it (GBK): marked where the zone is
// unknown, since the time is then local.
std::string ShownZoneLabel(const ClockZone& zone, const std::string& label);
// The line under the time: the date with the shown label beside it, or
// either alone; a line with nothing to add stays as it is.
void AddZoneLabel(std::wstring& line, const ClockZone& zone, const std::string& label);
