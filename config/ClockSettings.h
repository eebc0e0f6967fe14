#pragma once
// The values the user can change, and the INI file that keeps them.
//
// One table of fields drives reading, writing and restoring defaults. Flags
// are held as texts and written back byte for byte; a flag is on exactly
// when its text is "真".
#include "framework/Services.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

struct ClockSettings {
    std::string startWithWindows;
    std::string keepOnTop;
    std::string layeredTransparency;
    std::string memoryOptimization;
    std::string restoreLastPosition; // the flag part of the position value after placement
    std::string showSeconds;
    std::int32_t windowAlpha = 0;
    std::int32_t windowBackgroundAlpha = 0;
    std::int32_t clockBackgroundAlpha = 0;
    std::int32_t clockAlpha = 0;
    std::int32_t outerBorderColor = 0;
    std::int32_t innerBorderColor = 0;
    std::int32_t windowBackgroundColor = 0;
    std::int32_t clockBackgroundColor = 0;
    std::int32_t fontColor = 0;
    std::int32_t fontSize = 0;
    std::int32_t outlineColor = 0;
    std::int32_t outlineWidth = 0;
    std::string fontName;
    std::string clickThrough; // clicks and the wheel go to what is below
    std::string showTrayIcon;
    std::string showDate;   // a date line under the time
    std::string dateFormat; // "长" the user's long date, "短" the short one
    std::string twelveHour; // hours 1 to 12 with the locale's AM/PM designators

    friend bool operator==(const ClockSettings&, const ClockSettings&) = default;
};

inline constexpr char OnText[] = "真";
inline constexpr char OffText[] = "假";
inline constexpr char DefaultFontName[] = "微软雅黑";
inline constexpr char LongDateText[] = "长";
inline constexpr char ShortDateText[] = "短";
inline constexpr wchar_t SettingsFileName[] = L"配置.ini";

bool IsOn(const std::string& flag);
inline const char* FlagText(bool on) {
    return on ? OnText : OffText;
}

enum class FieldKind {
    Flag,     // text, "真" or "假" when the program writes it
    Position, // flag + "|" + left + "|" + top in the file
    Number,   // signed 32-bit, read with TextToInt
    Text,
};

struct SettingField {
    const char* section;
    const char* key;
    FieldKind kind;
    std::string ClockSettings::*text;    // Flag, Position, Text
    std::int32_t ClockSettings::*number; // Number
    const char* defaultText;             // Flag, Text
    std::int32_t defaultNumber;          // Number
};

// The fields in the order of reading and writing.
extern const std::array<SettingField, 24> SettingFields;
// The four sections, by which a file saved as UTF-8 is recognised.
extern const std::array<const char*, 4> SettingSections;

// The position value's default: "真|" + centred left + "|" + centred top
// for a clock of that size (380 x 150 at 96 DPI), the halves as real
// numbers with up to 13 significant digits.
std::string DefaultPositionText(int screenWidth, int screenHeight, SIZE clock = {380, 150});

// Every field at its default; the position's flag part is "真".
ClockSettings DefaultSettings();

// Reads every field from the file at path (missing keys give defaults); a
// file saved as UTF-8 is read as UTF-8. When no file exists there, writes
// eighteen keys (all but "显示秒数" and the keys that came later: "鼠标穿透",
// "显示托盘图标" and the time format's three), the position value as read.
// After loading, restoreLastPosition holds the whole position value;
// placement keeps only its flag.
ClockSettings LoadSettings(const std::wstring& path, int screenWidth, int screenHeight,
                           SIZE clock = {380, 150});

// Writes every key, the position as flag|left|top, and replaces the file in
// one step (other keys and sections stay, the whole file as GBK).
SaveResult SaveSettings(const std::wstring& path, const ClockSettings& settings, int left, int top);
