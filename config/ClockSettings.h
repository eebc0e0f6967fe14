#pragma once
// The values the user can change, and the INI file that keeps them.
//
// One table of fields drives reading, writing and restoring defaults. The
// record is typed: switches are bool, the date form an enum, numbers
// integers, converted where the file is read and written.
#include "framework/Services.h"
#include "framework/StringTable.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

enum class DateForm {
    Long,  // "长": the user's long date
    Short, // "短": the short one
    Other, // a hand-edited text: drawn as the long date, neither form chosen
};

struct ClockSettings {
    bool startWithWindows = false;
    bool keepOnTop = false;
    bool layeredTransparency = false;
    bool memoryOptimization = false;
    bool restoreLastPosition = false; // the position value's flag
    bool showSeconds = false;
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
    bool clickThrough = false; // clicks and the wheel go to what is below
    bool showTrayIcon = false;
    bool showDate = false; // a date line under the time
    DateForm dateFormat = DateForm::Long;
    bool twelveHour = false;        // hours 1 to 12 with the locale's AM/PM designators
    std::string timeZone;           // a Windows zone key name; empty: the machine's local time
    std::string zoneLabel;          // the zone's name on the face, beside the date or on its own line
    bool hideForFullScreen = false; // out of the way while a full-screen program is in front
    std::string interfaceLanguage;  // "自动", "中文" or "English": the language of the program's texts

    // The whole position value as read, "flag|left|top": placement takes the
    // place from it at the start.
    std::string positionText;
    // By key, the file's texts that are not what the program writes for
    // their value ("yes" for a flag that is off, a date form of its own): a
    // value that still reads the same is written back with its text, so a
    // file loaded and saved unchanged keeps every byte.
    std::map<std::string, std::string, std::less<>> keptTexts;

    friend bool operator==(const ClockSettings&, const ClockSettings&) = default;
};

inline constexpr char OnText[] = "真";
inline constexpr char OffText[] = "假";
inline constexpr char DefaultFontName[] = "微软雅黑";
inline constexpr char LongDateText[] = "长";
inline constexpr char ShortDateText[] = "短";
inline constexpr wchar_t SettingsFileName[] = L"配置.ini";
// The values of "界面语言".
inline constexpr char AutomaticLanguageText[] = "自动";
inline constexpr char ChineseLanguageText[] = "中文";
inline constexpr char EnglishLanguageText[] = "English";

enum class FieldKind {
    Flag,     // on exactly when the text is "真"; the program writes "真" or "假"
    Position, // a flag + "|" + left + "|" + top in the file
    Number,   // signed 32-bit, read with TextToInt
    Text,
    DateForm, // "长" or "短"
};

struct SettingField {
    const char* section;
    const char* key;
    FieldKind kind;
    bool ClockSettings::*flag = nullptr;           // Flag, Position
    std::int32_t ClockSettings::*number = nullptr; // Number
    std::string ClockSettings::*text = nullptr;    // Text
    DateForm ClockSettings::*dateForm = nullptr;   // DateForm
    const char* defaultText = "";                  // as the file would hold it
};

// The fields in the order of reading and writing.
extern const std::array<SettingField, 28> SettingFields;
// The four sections, by which a file saved as UTF-8 is recognised.
extern const std::array<const char*, 4> SettingSections;

// The field of that key (the first, for a key two sections share); nullptr
// for none.
const SettingField* FindSettingField(std::string_view key);
// The field takes the value a file's text gives it, as loading does.
void ReadFieldText(ClockSettings& settings, const SettingField& field, std::string_view text);
// The field's value as the file holds it: the text it was read from while
// its value reads the same, otherwise the program's own text. The position
// is its flag alone.
std::string FieldText(const ClockSettings& settings, const SettingField& field);

// The position value's default: "真|" + centred left + "|" + centred top
// for a clock of that size (380 x 150 at 96 DPI), the halves as real
// numbers with up to 13 significant digits.
std::string DefaultPositionText(int screenWidth, int screenHeight, SIZE clock = {380, 150});

// The texts' language that "界面语言" asks for: "中文" Chinese, "English"
// English; "自动" and any other text the user's display language's,
// Chinese for every Chinese and English for every other language.
LANGID InterfaceLanguage(std::string_view keyText, LANGID displayLanguage);

// Whether the face has a line under the time: the date, the zone's label, or both.
bool HasSecondLine(const ClockSettings& settings);

// Every field at its default; the position's flag is on.
ClockSettings DefaultSettings();

// Reads every field from the file at path (missing keys give defaults); a
// file saved as UTF-8 is read as UTF-8. When no file exists there, writes
// eighteen keys (all but "显示秒数" and the keys that came later: "鼠标穿透",
// "显示托盘图标", the time format's three, the zone's two, "全屏时隐藏" and
// "界面语言"),
// the position value as read.
// After loading, positionText holds the whole position value.
ClockSettings LoadSettings(const std::wstring& path, int screenWidth, int screenHeight,
                           SIZE clock = {380, 150});

// Writes every key, the position as flag|left|top, and replaces the file in
// one step (other keys and sections stay, the whole file as GBK).
SaveResult SaveSettings(const std::wstring& path, const ClockSettings& settings, int left, int top);
