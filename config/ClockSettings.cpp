#include "config/ClockSettings.h"

#include "config/TextNumbers.h"
#include "framework/Services.h"

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
        return settings.*field.text;
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

bool SameValue(const S& one, const S& other, const SettingField& field) {
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

// Whether the text gives the field the value it has now.
bool ReadsAsNow(const S& settings, const SettingField& field, std::string_view text) {
    S read;
    ReadFieldText(read, field, text);
    return SameValue(read, settings, field);
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

// A switch or the date form: the value, and the text kept while it is not
// the program's own.
void ReadChoice(S& settings, const SettingField& field, std::string_view text) {
    if (field.kind == FieldKind::DateForm)
        settings.*field.dateForm = DateFormOf(text);
    else
        settings.*field.flag = text == OnText;
    if (OwnText(settings, field) == text)
        settings.keptTexts.erase(field.key);
    else
        settings.keptTexts.insert_or_assign(field.key, std::string(text));
}

} // namespace

void ReadFieldText(S& settings, const SettingField& field, std::string_view text) {
    switch (field.kind) {
    case FieldKind::Position:
        settings.positionText = text;
        ReadChoice(settings, field, FlagPart(text));
        break;
    case FieldKind::Flag:
    case FieldKind::DateForm:
        ReadChoice(settings, field, text);
        break;
    case FieldKind::Number:
        settings.*field.number = TextToInt(text);
        break;
    case FieldKind::Text:
        settings.*field.text = text;
        break;
    }
}

std::string FieldText(const S& settings, const SettingField& field) {
    const auto kept = settings.keptTexts.find(field.key);
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

ClockSettings LoadSettings(const std::wstring& path, int screenWidth, int screenHeight, SIZE clock) {
    const std::string positionDefault = DefaultPositionText(screenWidth, screenHeight, clock);
    const IniFileReader file(path, SettingSections);
    ClockSettings settings;
    for (const SettingField& field : SettingFields) {
        const char* defaultText =
            field.kind == FieldKind::Position ? positionDefault.c_str() : field.defaultText;
        ReadFieldText(settings, field, file.Text(field.section, field.key, defaultText));
    }
    if (!FileExists(path)) {
        std::vector<IniEntry> entries;
        for (const SettingField& field : SettingFields) {
            // The position as read: the first start's centre.
            const std::string value =
                field.kind == FieldKind::Position ? settings.positionText : FieldText(settings, field);
            if (std::ranges::find(KeysLeftOutOfFirstFile, field.key) == std::end(KeysLeftOutOfFirstFile))
                entries.push_back({field.section, field.key, value});
        }
        WriteIniFileWhole(path, path, entries, SettingSections);
    }
    return settings;
}

SaveResult SaveSettings(const std::wstring& path, const ClockSettings& settings, int left, int top) {
    std::vector<IniEntry> entries;
    for (const SettingField& field : SettingFields) {
        std::string value = FieldText(settings, field);
        if (field.kind == FieldKind::Position)
            value.append("|").append(IntToText(left)).append("|").append(IntToText(top));
        entries.push_back({field.section, field.key, std::move(value)});
    }
    return WriteIniFileWhole(path, path, entries, SettingSections);
}
