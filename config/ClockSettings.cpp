#include "config/ClockSettings.h"

#include "config/TextNumbers.h"
#include "framework/Services.h"
#include "framework/TextConversion.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr char BasicSection[] = "基本设置";
constexpr char OpacitySection[] = "透明度";
constexpr char BorderSection[] = "边框和底图";
constexpr char ClockSection[] = "时钟";
constexpr char ShowSecondsKey[] = "显示秒数";
constexpr char ClickThroughKey[] = "鼠标穿透";
constexpr char ShowTrayIconKey[] = "显示托盘图标";
constexpr char ShowDateKey[] = "显示日期";
constexpr char DateFormatKey[] = "日期格式";
constexpr char TwelveHourKey[] = "十二小时制";
constexpr char TimeZoneKey[] = "时区";
constexpr char ZoneLabelKey[] = "时区名称";
constexpr char HideForFullScreenKey[] = "全屏时隐藏";
constexpr char InterfaceLanguageKey[] = "界面语言";
constexpr char PositionKey[] = "恢复上次关闭时的位置";
// The first file has the keys it always had; these appear at the first save.
constexpr std::string_view KeysLeftOutOfFirstFile[] = {
    ShowSecondsKey, ClickThroughKey, ShowTrayIconKey, ShowDateKey,          DateFormatKey,
    TwelveHourKey,  TimeZoneKey,     ZoneLabelKey,    HideForFullScreenKey, InterfaceLanguageKey};

using S = ClockSettings;

SettingField Flag(const char* section, const char* key, bool S::*field, const char* defaultText) {
    return {
        .section = section, .key = key, .kind = FieldKind::Flag, .flag = field, .defaultText = defaultText};
}

SettingField Flag(const char* key, bool S::*field, const char* defaultText) {
    return Flag(BasicSection, key, field, defaultText);
}

SettingField TextField(const char* section, const char* key, std::string S::*field, const char* defaultText) {
    return {
        .section = section, .key = key, .kind = FieldKind::Text, .text = field, .defaultText = defaultText};
}

SettingField Number(const char* section, const char* key, std::int32_t S::*field, const char* defaultText) {
    return {.section = section,
            .key = key,
            .kind = FieldKind::Number,
            .number = field,
            .defaultText = defaultText};
}

// The flag part of a position value: up to its first bar.
std::string FlagPart(std::string_view position) {
    return SplitAtBars(position).front();
}

DateForm DateFormOf(std::string_view text) {
    if (text == LongDateText)
        return DateForm::Long;
    return text == ShortDateText ? DateForm::Short : DateForm::Other;
}

// A text the reader would trim or unquote is written in double quotes,
// which it drops again: spaces kept, and a value quoted by the user stays
// quoted.
std::string QuotedWhereNeeded(const std::string& text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted =
        text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
    if (text.empty() || !(blank(text.front()) || blank(text.back()) || quoted))
        return text;
    return '"' + text + '"';
}

// The text's first characters, a GBK double-byte character counting as one.
std::string FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t characters = 0; at < text.size() && characters < count; ++characters)
        at += IsGbkLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
    return std::string(text.substr(0, at));
}

// What the program itself writes for the field's value; nothing for a
// value it never writes (a date form of the user's own).
std::optional<std::string> OwnText(const S& settings, const SettingField& field) {
    switch (field.kind) {
    case FieldKind::Flag:
    case FieldKind::Position:
        return settings.*field.flag ? OnText : OffText;
    case FieldKind::Number:
        return IntToText(settings.*field.number);
    case FieldKind::Text:
        return QuotedWhereNeeded(settings.*field.text);
    case FieldKind::DateForm:
        switch (settings.*field.dateForm) {
        case DateForm::Long:
            return LongDateText;
        case DateForm::Short:
            return ShortDateText;
        case DateForm::Other:
            break;
        }
        break;
    }
    return std::nullopt;
}

} // namespace

bool SameFieldValue(const S& one, const S& other, const SettingField& field) {
    switch (field.kind) {
    case FieldKind::Flag:
    case FieldKind::Position:
        return one.*field.flag == other.*field.flag;
    case FieldKind::Number:
        return one.*field.number == other.*field.number;
    case FieldKind::Text:
        return one.*field.text == other.*field.text;
    case FieldKind::DateForm:
        return one.*field.dateForm == other.*field.dateForm;
    }
    return false;
}

namespace {

// Whether the text gives the field the value it has now.
bool ReadsAsNow(const S& settings, const SettingField& field, std::string_view text) {
    S read;
    ReadFieldText(read, field, text);
    return SameFieldValue(read, settings, field);
}

} // namespace

const std::array<SettingField, 28> SettingFields = {{
    Flag("开机启动", &S::startWithWindows, OffText),
    Flag("窗口置顶", &S::keepOnTop, OnText),
    Flag("分层透明", &S::layeredTransparency, OnText),
    Flag("内存优化", &S::memoryOptimization, OffText),
    {.section = BasicSection,
     .key = PositionKey,
     .kind = FieldKind::Position,
     .flag = &S::restoreLastPosition,
     .defaultText = OnText},
    Flag(ShowSecondsKey, &S::showSeconds, OnText),
    Number(OpacitySection, "整个窗口", &S::windowAlpha, "255"),
    Number(OpacitySection, "窗口底图", &S::windowBackgroundAlpha, "150"),
    Number(OpacitySection, "时钟底图", &S::clockBackgroundAlpha, "0"),
    Number(OpacitySection, "时钟", &S::clockAlpha, "255"),
    Number(BorderSection, "外边框", &S::outerBorderColor, "8421504"),
    Number(BorderSection, "内边框", &S::innerBorderColor, "16777215"),
    Number(BorderSection, "窗口底图", &S::windowBackgroundColor, "13487565"),
    Number(BorderSection, "时钟底图", &S::clockBackgroundColor, "16746496"),
    Number(ClockSection, "字体颜色", &S::fontColor, "9492264"),
    Number(ClockSection, "字体大小", &S::fontSize, "80"),
    Number(ClockSection, "描边颜色", &S::outlineColor, "16777215"),
    Number(ClockSection, "描边大小", &S::outlineWidth, "5"),
    TextField(ClockSection, "字体名称", &S::fontName, DefaultFontName),
    Flag(ClickThroughKey, &S::clickThrough, OffText),
    Flag(ShowTrayIconKey, &S::showTrayIcon, OnText),
    Flag(ClockSection, ShowDateKey, &S::showDate, OffText),
    {.section = ClockSection,
     .key = DateFormatKey,
     .kind = FieldKind::DateForm,
     .dateForm = &S::dateFormat,
     .defaultText = LongDateText},
    Flag(ClockSection, TwelveHourKey, &S::twelveHour, OffText),
    TextField(ClockSection, TimeZoneKey, &S::timeZone, ""),
    TextField(ClockSection, ZoneLabelKey, &S::zoneLabel, ""),
    Flag(HideForFullScreenKey, &S::hideForFullScreen, OffText),
    TextField(BasicSection, InterfaceLanguageKey, &S::interfaceLanguage, AutomaticLanguageText),
}};

const std::array<const char*, 4> SettingSections = {BasicSection, OpacitySection, BorderSection,
                                                    ClockSection};

const SettingField* FindSettingField(std::string_view key) {
    const auto found = std::ranges::find(SettingFields, key, &SettingField::key);
    return found == SettingFields.end() ? nullptr : &*found;
}

namespace {

// The file's text is kept while it is not what the program would write
// for the value it gives.
void KeepTextIfOwn(S& settings, const SettingField& field, std::string_view text) {
    if (OwnText(settings, field) == text)
        settings.keptTexts.erase(&field);
    else
        settings.keptTexts.insert_or_assign(&field, std::string(text));
}

} // namespace

void ReadFieldText(S& settings, const SettingField& field, std::string_view text) {
    switch (field.kind) {
    case FieldKind::Position:
        settings.positionText = text;
        settings.*field.flag = FlagPart(text) == OnText;
        KeepTextIfOwn(settings, field, FlagPart(text));
        break;
    case FieldKind::Flag:
        settings.*field.flag = text == OnText;
        KeepTextIfOwn(settings, field, text);
        break;
    case FieldKind::DateForm:
        settings.*field.dateForm = DateFormOf(text);
        KeepTextIfOwn(settings, field, text);
        break;
    case FieldKind::Number:
        settings.*field.number = TextToInt(text);
        KeepTextIfOwn(settings, field, text);
        break;
    case FieldKind::Text:
        settings.*field.text = field.text == &S::zoneLabel ? FirstCharacters(text, LongestZoneLabel) : text;
        break;
    }
}

std::string FieldText(const S& settings, const SettingField& field) {
    const auto kept = settings.keptTexts.find(&field);
    if (kept != settings.keptTexts.end() && ReadsAsNow(settings, field, kept->second))
        return kept->second;
    return OwnText(settings, field).value_or(LongDateText);
}

std::string DefaultPositionText(int screenWidth, int screenHeight, SIZE clock) {
    return std::string(OnText) + "|" + RealToText((screenWidth - clock.cx) / 2.0) + "|" +
           RealToText((screenHeight - clock.cy) / 2.0);
}

LANGID InterfaceLanguage(std::string_view keyText, LANGID displayLanguage) {
    if (keyText == ChineseLanguageText)
        return ChineseTexts;
    if (keyText == EnglishLanguageText)
        return EnglishTexts;
    return PRIMARYLANGID(displayLanguage) == LANG_CHINESE ? ChineseTexts : EnglishTexts;
}

bool HasSecondLine(const ClockSettings& settings) {
    return settings.showDate || !settings.zoneLabel.empty();
}

ClockSettings DefaultSettings() {
    ClockSettings settings;
    for (const SettingField& field : SettingFields)
        ReadFieldText(settings, field, field.defaultText);
    return settings;
}

SettingsRead ReadSettings(const std::wstring& path, int screenWidth, int screenHeight, SIZE clock,
                          DWORD patience) {
    const std::string positionDefault = DefaultPositionText(screenWidth, screenHeight, clock);
    const IniFileReader file(path, SettingSections, patience);
    SettingsRead read{.settings = {}, .file = file.Read()};
    for (const SettingField& field : SettingFields) {
        const char* defaultText =
            field.kind == FieldKind::Position ? positionDefault.c_str() : field.defaultText;
        ReadFieldText(read.settings, field, file.Text(field.section, field.key, defaultText));
    }
    return read;
}

SaveResult WriteFirstSettingsFile(const std::wstring& path, const ClockSettings& settings) {
    std::vector<IniEntry> entries;
    for (const SettingField& field : SettingFields) {
        // The position as read: the first start's centre.
        const std::string value =
            field.kind == FieldKind::Position ? settings.positionText : FieldText(settings, field);
        if (std::ranges::find(KeysLeftOutOfFirstFile, field.key) == std::end(KeysLeftOutOfFirstFile))
            entries.push_back({field.section, field.key, value});
    }
    return WriteIniFileWhole(path, path, entries, SettingSections);
}

ClockSettings LoadSettings(const std::wstring& path, int screenWidth, int screenHeight, SIZE clock) {
    SettingsRead read = ReadSettings(path, screenWidth, screenHeight, clock);
    if (read.file.Missing())
        WriteFirstSettingsFile(path, read.settings);
    return std::move(read.settings);
}

std::string PositionText(const ClockSettings& settings, POINT place) {
    const SettingField& field = *FindSettingField(PositionKey);
    return FieldText(settings, field) + "|" + IntToText(place.x) + "|" + IntToText(place.y);
}

SaveResult SaveSettings(const std::wstring& path, const ClockSettings& settings, int left, int top) {
    std::vector<IniEntry> entries;
    for (const SettingField& field : SettingFields) {
        const std::string value = field.kind == FieldKind::Position ? PositionText(settings, {left, top})
                                                                    : FieldText(settings, field);
        entries.push_back({field.section, field.key, value});
    }
    return WriteIniFileWhole(path, path, entries, SettingSections);
}

namespace {

// The field's value and the text it was read from.
void CopyFieldValue(S& to, const S& from, const SettingField& field) {
    switch (field.kind) {
    case FieldKind::Flag:
    case FieldKind::Position:
        to.*field.flag = from.*field.flag;
        break;
    case FieldKind::Number:
        to.*field.number = from.*field.number;
        break;
    case FieldKind::Text:
        to.*field.text = from.*field.text;
        break;
    case FieldKind::DateForm:
        to.*field.dateForm = from.*field.dateForm;
        break;
    }
    if (const auto kept = from.keptTexts.find(&field); kept != from.keptTexts.end())
        to.keptTexts.insert_or_assign(&field, kept->second);
    else
        to.keptTexts.erase(&field);
}

// Whether the value names that place with that flag: as the file holds it,
// any text the numbers are read from.
bool PositionReads(std::string_view value, const ClockSettings& settings, POINT place) {
    const std::vector<std::string> parts = SplitAtBars(value);
    return parts.size() >= 3 && (parts[0] == OnText) == settings.restoreLastPosition &&
           TextToInt(parts[1]) == place.x && TextToInt(parts[2]) == place.y;
}

} // namespace

SaveResult SaveSettingChanges(const std::wstring& path, const std::wstring& source,
                              const ClockSettings& settings, const ClockSettings& saved, POINT place) {
    std::vector<IniEntry> entries;
    for (const SettingField& field : SettingFields) {
        const bool position = field.kind == FieldKind::Position;
        const bool changed = position ? !PositionReads(saved.positionText, settings, place)
                                      : !SameFieldValue(settings, saved, field);
        const std::string value = position ? PositionText(settings, place) : FieldText(settings, field);
        entries.push_back({field.section, field.key, value, !changed});
    }
    return WriteIniFileWhole(path, source, entries, SettingSections);
}

std::vector<const SettingField*> TakeOutsideEdits(ClockSettings& settings, ClockSettings& saved,
                                                  const ClockSettings& file) {
    std::vector<const SettingField*> taken;
    for (const SettingField& field : SettingFields) {
        const bool editedOutside = !SameFieldValue(file, saved, field);
        const bool changedHere = !SameFieldValue(settings, saved, field);
        if (!editedOutside || changedHere)
            continue;
        CopyFieldValue(settings, file, field);
        taken.push_back(&field);
    }
    // The place the file names is where the clock goes at its next start.
    settings.positionText = file.positionText;
    saved = file;
    return taken;
}
