#include "framework/TimeZones.h"

#include "framework/UniqueHandle.h"

#include <algorithm>
#include <iterator>

namespace {

using EnumZones = DWORD(WINAPI*)(DWORD, PDYNAMIC_TIME_ZONE_INFORMATION);
using ZoneTime = BOOL(WINAPI*)(const DYNAMIC_TIME_ZONE_INFORMATION*, const SYSTEMTIME*, LPSYSTEMTIME);

template <typename Function> Function SystemCall(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)))
                  : nullptr;
}

EnumZones EnumZonesCall() {
    static const EnumZones call = SystemCall<EnumZones>(L"advapi32.dll", "EnumDynamicTimeZoneInformation");
    return call;
}

constexpr wchar_t ZonesKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\";

// Walks every zone in the system's order until visit answers false; on a
// Windows without the zone calls (7), the zone database's own.
template <typename Visit> void ForEachZone(Visit visit) {
    const EnumZones enumerate = EnumZonesCall();
    if (!enumerate) {
        for (const DYNAMIC_TIME_ZONE_INFORMATION& zone : RegistryTimeZones())
            if (!visit(zone))
                return;
        return;
    }
    for (DWORD index = 0;; ++index) {
        DYNAMIC_TIME_ZONE_INFORMATION zone{};
        if (enumerate(index, &zone) != ERROR_SUCCESS || !visit(zone))
            return;
    }
}

// The zone's key in Windows' zone database; none for a name it has no key for.
unique_hkey OpenZoneKey(const std::wstring& key) {
    HKEY opened = nullptr;
    if (key.empty() || key.find(L'\\') != std::wstring::npos ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, (ZonesKey + key).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
            ERROR_SUCCESS)
        return {};
    return unique_hkey(opened);
}

// The display name in the user's language where Windows has it (MUI_Display),
// else the registry's own text, else the key name.
std::wstring DisplayNameOf(HKEY zoneKey, const std::wstring& key) {
    wchar_t text[256]{};
    if (RegLoadMUIStringW(zoneKey, L"MUI_Display", text, sizeof text, nullptr, 0, nullptr) == ERROR_SUCCESS &&
        text[0])
        return text;
    DWORD size = sizeof text;
    DWORD type = 0;
    if (RegQueryValueExW(zoneKey, L"Display", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ && text[0]) {
        text[std::size(text) - 1] = L'\0';
        return text;
    }
    return key;
}

// A zone's rules as its key keeps them in the "TZI" value (REG_TZI_FORMAT).
struct RegistryZoneRules {
    LONG bias;
    LONG standardBias;
    LONG daylightBias;
    SYSTEMTIME standardDate;
    SYSTEMTIME daylightDate;
};

template <std::size_t Size> void ReadName(HKEY zoneKey, const wchar_t* value, WCHAR (&name)[Size]) {
    DWORD size = sizeof name;
    DWORD type = 0;
    if (RegQueryValueExW(zoneKey, value, nullptr, &type, reinterpret_cast<BYTE*>(name), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        name[0] = L'\0';
    name[Size - 1] = L'\0';
}

} // namespace

std::optional<DYNAMIC_TIME_ZONE_INFORMATION> RegistryTimeZone(const std::wstring& key) {
    const unique_hkey zoneKey = OpenZoneKey(key);
    RegistryZoneRules rules{};
    DWORD size = sizeof rules;
    DWORD type = 0;
    if (!zoneKey || key.size() >= std::size(DYNAMIC_TIME_ZONE_INFORMATION{}.TimeZoneKeyName) ||
        RegQueryValueExW(zoneKey.get(), L"TZI", nullptr, &type, reinterpret_cast<BYTE*>(&rules), &size) !=
            ERROR_SUCCESS ||
        type != REG_BINARY || size != sizeof rules)
        return std::nullopt;
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    zone.Bias = rules.bias;
    zone.StandardBias = rules.standardBias;
    zone.DaylightBias = rules.daylightBias;
    zone.StandardDate = rules.standardDate;
    zone.DaylightDate = rules.daylightDate;
    ReadName(zoneKey.get(), L"Std", zone.StandardName);
    ReadName(zoneKey.get(), L"Dlt", zone.DaylightName);
    key.copy(zone.TimeZoneKeyName, key.size());
    return zone;
}

std::vector<DYNAMIC_TIME_ZONE_INFORMATION> RegistryTimeZones() {
    std::vector<DYNAMIC_TIME_ZONE_INFORMATION> zones;
    HKEY opened = nullptr;
    const std::wstring databaseKey(ZonesKey, std::size(ZonesKey) - 2); // without its last backslash
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, databaseKey.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &opened) !=
        ERROR_SUCCESS)
        return zones;
    const unique_hkey database(opened);
    wchar_t name[256]{};
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        const LSTATUS read =
            RegEnumKeyExW(database.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (read == ERROR_NO_MORE_ITEMS)
            return zones;
        if (read != ERROR_SUCCESS)
            continue;
        if (std::optional<DYNAMIC_TIME_ZONE_INFORMATION> zone = RegistryTimeZone(std::wstring(name, length)))
            zones.push_back(*zone);
    }
}

std::vector<TimeZoneEntry> ListTimeZones() {
    std::vector<TimeZoneEntry> zones;
    ForEachZone([&zones](const DYNAMIC_TIME_ZONE_INFORMATION& zone) {
        const std::wstring key = zone.TimeZoneKeyName;
        zones.push_back({key, TimeZoneDisplayName(key).value_or(key), zone.Bias});
        return true;
    });
    std::ranges::stable_sort(zones, [](const TimeZoneEntry& one, const TimeZoneEntry& other) {
        if (one.bias != other.bias)
            return one.bias > other.bias;
        return one.display < other.display;
    });
    return zones;
}

std::optional<std::wstring> TimeZoneDisplayName(const std::wstring& key) {
    const unique_hkey zoneKey = OpenZoneKey(key);
    if (!zoneKey)
        return std::nullopt;
    return DisplayNameOf(zoneKey.get(), key);
}

std::optional<DYNAMIC_TIME_ZONE_INFORMATION> FindTimeZone(const std::wstring& key) {
    std::optional<DYNAMIC_TIME_ZONE_INFORMATION> found;
    // A name the zone database has no key for is answered without the walk.
    if (!OpenZoneKey(key))
        return found;
    if (!EnumZonesCall())
        return RegistryTimeZone(key);
    ForEachZone([&](const DYNAMIC_TIME_ZONE_INFORMATION& zone) {
        if (CompareStringOrdinal(zone.TimeZoneKeyName, -1, key.c_str(), -1, TRUE) == CSTR_EQUAL)
            found = zone;
        return !found;
    });
    return found;
}

std::optional<SYSTEMTIME> TimeInZone(const DYNAMIC_TIME_ZONE_INFORMATION& zone, const SYSTEMTIME& utc) {
    static const ZoneTime convert =
        SystemCall<ZoneTime>(L"kernel32.dll", "SystemTimeToTzSpecificLocalTimeEx");
    SYSTEMTIME local{};
    if (convert && convert(&zone, &utc, &local))
        return local;
    // Without the call (or where it fails), the same rules one year at a
    // time, as Windows 7 applies them.
    TIME_ZONE_INFORMATION year{};
    DYNAMIC_TIME_ZONE_INFORMATION rules = zone;
    if (GetTimeZoneInformationForYear(utc.wYear, &rules, &year) &&
        SystemTimeToTzSpecificLocalTime(&year, &utc, &local))
        return local;
    return std::nullopt;
}
