#pragma once
// The values the user can change, and the INI file that keeps them.
//
// One table of fields drives reading, writing and restoring defaults. The
// record is typed: switches are bool, the date form an enum, numbers
// integers, converted where the file is read and written.
#include "framework/IniFile.h"
#include "framework/StringTable.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

enum class DateForm {
    Long,  // "长": the user's long date
    Short, // "短": the short one
    Other, // a hand-edited text: drawn as the long date, neither form chosen
};

struct SettingField;

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
    // By field, the file's texts that are not what the program writes for
    // their value ("yes" for a flag that is off, a date form of its own,
    // "05" or "150 ;half" for a number): a value that still reads the same
    // is written back with its text, so a file loaded and saved unchanged
    // keeps every byte.
    std::map<const SettingField*, std::string> keptTexts;

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

// The zone's label is a name, not a note: the settings window's box takes
// this many characters, and a longer one in the file is cut where it is read.
inline constexpr std::size_t LongestZoneLabel = 64;

// The field of that key (the first, for a key two sections share); nullptr
// for none.
const SettingField* FindSettingField(std::string_view key);
// The field takes the value a file's text gives it, as loading does.
// Whether two records give the field the same value.
bool SameFieldValue(const ClockSettings& one, const ClockSettings& other, const SettingField& field);
void ReadFieldText(ClockSettings& settings, const SettingField& field, std::string_view text);
// The field's value as the file holds it: the text it was read from while
// its value reads the same, otherwise the program's own text; a text with
// spaces or quotes at its ends in double quotes, which reading drops. The
// position is its flag alone.
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

// What reading the settings file gave.
struct SettingsRead {
    // The file's values, the defaults for its missing keys; every default
    // when it could not be read.
    ClockSettings settings;
    // Why the file could not be read, or with its values why it must not be
    // written (see IniFileText); ERROR_FILE_NOT_FOUND for no file.
    IniFileText file;

    bool Readable() const { return file.text.has_value() || file.Missing(); }
};

// Reads every field from the file at path (missing keys give defaults),
// waiting up to patience for a file another program holds. After reading,
// positionText holds the whole position value.
SettingsRead ReadSettings(const std::wstring& path, int screenWidth, int screenHeight,
                          SIZE clock = {380, 150}, DWORD patience = 0);

// The file a first start makes: eighteen keys (all but "显示秒数" and the
// keys that came later: "鼠标穿透", "显示托盘图标", the time format's three,
// the zone's two, "全屏时隐藏" and "界面语言"), the position value as read.
SaveResult WriteFirstSettingsFile(const std::wstring& path, const ClockSettings& settings);

// ReadSettings, then WriteFirstSettingsFile when no file exists there.
ClockSettings LoadSettings(const std::wstring& path, int screenWidth, int screenHeight,
                           SIZE clock = {380, 150});

// Writes every key, the position as flag|left|top, and replaces the file in
// one step (other keys and sections stay, the whole file as GBK).
SaveResult SaveSettings(const std::wstring& path, const ClockSettings& settings, int left, int top);

// Writes only what changed since the file was read or saved (saved): the
// fields whose value differs, the position when the window moved or its
// flag changed; the rest only where the file lacks the key. An edit made
// to the file meanwhile keeps every line nobody changed here. source seeds a
// file not made yet (see WriteIniFileWhole).
SaveResult SaveSettingChanges(const std::wstring& path, const std::wstring& source,
                              const ClockSettings& settings, const ClockSettings& saved, POINT place);
// The position value a save writes for a place.
std::string PositionText(const ClockSettings& settings, POINT place);

// What an edit made outside changed: the file's values (file) for every
// field that differs from what the program last read or saved (saved),
// except where the program changed that field itself and has not saved it
// yet. saved becomes the file. Answers the fields that took another value.
std::vector<const SettingField*> TakeOutsideEdits(ClockSettings& settings, ClockSettings& saved,
                                                  const ClockSettings& file);
