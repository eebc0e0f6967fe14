#pragma once
// The machine's time zones: their list for a choice, one zone by its key
// name, and a UTC time in a zone by Windows' own rules (daylight saving and
// the rules of each year included).
//
// The zone calls came with Windows 8 and are looked up at run time, so the
// program still starts on Windows 7, which gets its zones from the zone
// database in the registry, as those calls do.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct TimeZoneEntry {
    std::wstring key;     // "Tokyo Standard Time": the name the settings keep
    std::wstring display; // "(UTC+09:00) 大阪，札幌，东京" as Windows shows it
    LONG bias = 0;        // minutes west of UTC, for the order of the list
};

// Every zone the machine knows, from the farthest west to the farthest east,
// equal offsets by their display names.
std::vector<TimeZoneEntry> ListTimeZones();
// The display name of the zone of that key name as Windows keeps it (cheap:
// no walk over every zone); none for a name the machine does not know.
std::optional<std::wstring> TimeZoneDisplayName(const std::wstring& key);
// The zone of that key name (compared without case); none for a name the
// machine does not know.
std::optional<DYNAMIC_TIME_ZONE_INFORMATION> FindTimeZone(const std::wstring& key);
// The zone's local time at a UTC time, by SystemTimeToTzSpecificLocalTimeEx
// or, without it, by the rules of the UTC time's year; none when Windows
// cannot convert it.
std::optional<SYSTEMTIME> TimeInZone(const DYNAMIC_TIME_ZONE_INFORMATION& zone, const SYSTEMTIME& utc);

// The zone of that key name as the registry's zone database keeps it (its
// "TZI" rules and names), and every zone there: what the zone calls answer,
// for a Windows without them.
std::optional<DYNAMIC_TIME_ZONE_INFORMATION> RegistryTimeZone(const std::wstring& key);
std::vector<DYNAMIC_TIME_ZONE_INFORMATION> RegistryTimeZones();
