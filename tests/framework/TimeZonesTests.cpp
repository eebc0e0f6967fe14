// The machine's zones: the list, a zone by its key, and UTC instants turned
// into a zone's time by the system's rules, on both sides of its changes.
#include "framework/TimeZones.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    return {year, month, 0, day, hour, minute, second, 0};
}

std::string Written(const SYSTEMTIME& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    return text;
}

TEST(TimeZones, UtcInstantsBecomeEachZonesTimeOnBothSidesOfItsChanges) {
    struct Case {
        const wchar_t* zone;
        SYSTEMTIME utc;
        const char* there;
    };
    for (const Case& c : {
             // New York springs forward at 2:00 local on 2026-03-08.
             Case{L"Eastern Standard Time", At(2026, 3, 8, 6, 59, 59), "2026-03-08 01:59:59"},
             Case{L"Eastern Standard Time", At(2026, 3, 8, 7, 0, 0), "2026-03-08 03:00:00"},
             // ... and falls back at 2:00 daylight time on 2026-11-01.
             Case{L"Eastern Standard Time", At(2026, 11, 1, 5, 59, 59), "2026-11-01 01:59:59"},
             Case{L"Eastern Standard Time", At(2026, 11, 1, 6, 0, 0), "2026-11-01 01:00:00"},
             // Sydney leaves daylight time at 3:00 on 2026-04-05.
             Case{L"AUS Eastern Standard Time", At(2026, 4, 4, 15, 59, 59), "2026-04-05 02:59:59"},
             Case{L"AUS Eastern Standard Time", At(2026, 4, 4, 16, 0, 0), "2026-04-05 02:00:00"},
             // Half and three-quarter hours, and a date a day ahead.
             Case{L"India Standard Time", At(2026, 12, 8, 18, 30, 0), "2026-12-09 00:00:00"},
             Case{L"Nepal Standard Time", At(2026, 12, 8, 0, 0, 0), "2026-12-08 05:45:00"},
             Case{L"Tokyo Standard Time", At(2026, 12, 8, 15, 0, 0), "2026-12-09 00:00:00"},
             Case{L"UTC", At(2026, 12, 31, 23, 59, 59), "2026-12-31 23:59:59"},
         }) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.zone)) + " at " + Written(c.utc) + " UTC");
        const auto zone = FindTimeZone(c.zone);
        ASSERT_TRUE(zone.has_value());
        const auto there = TimeInZone(*zone, c.utc);
        ASSERT_TRUE(there.has_value());
        EXPECT_EQ(Written(*there), c.there);
        // Windows 7 has no zone calls: the zone database's record holds the
        // same rules and gives the same time.
        const auto record = RegistryTimeZone(c.zone);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->Bias, zone->Bias);
        EXPECT_EQ(record->DaylightBias, zone->DaylightBias);
        EXPECT_EQ(Written(record->StandardDate), Written(zone->StandardDate));
        EXPECT_EQ(Written(record->DaylightDate), Written(zone->DaylightDate));
        EXPECT_EQ(std::wstring(record->TimeZoneKeyName), c.zone);
        EXPECT_EQ(Written(TimeInZone(*record, c.utc).value_or(SYSTEMTIME{})), c.there);
    }
}

TEST(TimeZones, AKeyIsFoundWhateverItsCaseAndAnUnknownOneIsNot) {
    const auto tokyo = FindTimeZone(L"tokyo standard time");
    ASSERT_TRUE(tokyo.has_value());
    EXPECT_EQ(std::wstring(tokyo->TimeZoneKeyName), L"Tokyo Standard Time");
    EXPECT_EQ(tokyo->Bias, -540);
    for (const wchar_t* unknown : {L"Mars Standard Time", L"Tokyo Standard Time ", L"Tokyo", L""})
        EXPECT_FALSE(FindTimeZone(unknown).has_value()) << testing::PrintToString(std::wstring(unknown));
}

TEST(TimeZones, TheListRunsFromWestToEastWithEachZonesDisplayName) {
    const std::vector<TimeZoneEntry> zones = ListTimeZones();
    ASSERT_GT(zones.size(), 50u);
    EXPECT_TRUE(std::ranges::is_sorted(zones, std::ranges::greater{}, &TimeZoneEntry::bias));
    const auto tokyo = std::ranges::find(zones, std::wstring(L"Tokyo Standard Time"), &TimeZoneEntry::key);
    ASSERT_NE(tokyo, zones.end());
    EXPECT_TRUE(tokyo->display.starts_with(L"(UTC+09:00)")) << testing::PrintToString(tokyo->display);
    EXPECT_TRUE(std::ranges::none_of(zones, [](const TimeZoneEntry& zone) { return zone.display.empty(); }));
    // The zone database lists the same zones, for a Windows without the calls.
    std::set<std::wstring> listed, recorded;
    for (const TimeZoneEntry& zone : zones)
        listed.insert(zone.key);
    for (const DYNAMIC_TIME_ZONE_INFORMATION& zone : RegistryTimeZones())
        recorded.insert(zone.TimeZoneKeyName);
    EXPECT_EQ(recorded, listed);
}

} // namespace
