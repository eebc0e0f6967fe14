#include "config/ClockSettings.h"

#include "config/TextNumbers.h"
#include "framework/Services.h"

#include <algorithm>
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
// The first file has the keys it always had; these appear at the first save.
constexpr std::string_view KeysLeftOutOfFirstFile[] = {ShowSecondsKey, ClickThroughKey, ShowTrayIconKey,
                                                       ShowDateKey,    DateFormatKey,   TwelveHourKey};

using S = ClockSettings;

SettingField Flag(const char* key, std::string S::*field, const char* defaultText) {
    return {BasicSection, key, FieldKind::Flag, field, nullptr, defaultText, 0};
}

SettingField Number(const char* section, const char* key, std::int32_t S::*field, std::int32_t defaultValue) {
    return {section, key, FieldKind::Number, nullptr, field, nullptr, defaultValue};
}

std::string DefaultText(const SettingField& field, const std::string& positionDefault) {
    switch (field.kind) {
    case FieldKind::Position:
        return positionDefault;
    case FieldKind::Number:
        return IntToText(field.defaultNumber);
    case FieldKind::Flag:
    case FieldKind::Text:
        break;
    }
    return field.defaultText;
}

std::string FileText(const SettingField& field, const ClockSettings& settings) {
    if (field.kind == FieldKind::Number)
        return IntToText(settings.*field.number);
    return settings.*field.text;
}

} // namespace

const std::array<SettingField, 24> SettingFields = {{
    Flag("开机启动", &S::startWithWindows, OffText),
    Flag("窗口置顶", &S::keepOnTop, OnText),
    Flag("分层透明", &S::layeredTransparency, OnText),
    Flag("内存优化", &S::memoryOptimization, OffText),
    {BasicSection, "恢复上次关闭时的位置", FieldKind::Position, &S::restoreLastPosition, nullptr, OnText, 0},
    Flag(ShowSecondsKey, &S::showSeconds, OnText),
    Number(OpacitySection, "整个窗口", &S::windowAlpha, 255),
    Number(OpacitySection, "窗口底图", &S::windowBackgroundAlpha, 150),
    Number(OpacitySection, "时钟底图", &S::clockBackgroundAlpha, 0),
    Number(OpacitySection, "时钟", &S::clockAlpha, 255),
    Number(BorderSection, "外边框", &S::outerBorderColor, 8421504),
    Number(BorderSection, "内边框", &S::innerBorderColor, 16777215),
    Number(BorderSection, "窗口底图", &S::windowBackgroundColor, 13487565),
    Number(BorderSection, "时钟底图", &S::clockBackgroundColor, 16746496),
    Number(ClockSection, "字体颜色", &S::fontColor, 9492264),
    Number(ClockSection, "字体大小", &S::fontSize, 80),
    Number(ClockSection, "描边颜色", &S::outlineColor, 16777215),
    Number(ClockSection, "描边大小", &S::outlineWidth, 5),
    {ClockSection, "字体名称", FieldKind::Text, &S::fontName, nullptr, DefaultFontName, 0},
    Flag(ClickThroughKey, &S::clickThrough, OffText),
    Flag(ShowTrayIconKey, &S::showTrayIcon, OnText),
    {ClockSection, ShowDateKey, FieldKind::Flag, &S::showDate, nullptr, OffText, 0},
    {ClockSection, DateFormatKey, FieldKind::Text, &S::dateFormat, nullptr, LongDateText, 0},
    {ClockSection, TwelveHourKey, FieldKind::Flag, &S::twelveHour, nullptr, OffText, 0},
}};

const std::array<const char*, 4> SettingSections = {BasicSection, OpacitySection, BorderSection,
                                                    ClockSection};

bool IsOn(const std::string& flag) {
    return flag == OnText;
}

std::string DefaultPositionText(int screenWidth, int screenHeight, SIZE clock) {
    return std::string(OnText) + "|" + RealToText((screenWidth - clock.cx) / 2.0) + "|" +
           RealToText((screenHeight - clock.cy) / 2.0);
}

ClockSettings DefaultSettings() {
    ClockSettings settings;
    for (const SettingField& field : SettingFields) {
        if (field.kind == FieldKind::Number)
            settings.*field.number = field.defaultNumber;
        else
            settings.*field.text = field.defaultText;
    }
    return settings;
}

ClockSettings LoadSettings(const std::wstring& path, int screenWidth, int screenHeight, SIZE clock) {
    const std::string positionDefault = DefaultPositionText(screenWidth, screenHeight, clock);
    const IniFileReader file(path, SettingSections);
    ClockSettings settings;
    for (const SettingField& field : SettingFields) {
        const std::string text = file.Text(field.section, field.key, DefaultText(field, positionDefault));
        if (field.kind == FieldKind::Number)
            settings.*field.number = TextToInt(text);
        else
            settings.*field.text = text;
    }
    if (!FileExists(path)) {
        std::vector<IniEntry> entries;
        for (const SettingField& field : SettingFields) {
            if (std::ranges::find(KeysLeftOutOfFirstFile, field.key) == std::end(KeysLeftOutOfFirstFile))
                entries.push_back({field.section, field.key, FileText(field, settings)});
        }
        WriteIniFileWhole(path, path, entries, SettingSections);
    }
    return settings;
}

SaveResult SaveSettings(const std::wstring& path, const ClockSettings& settings, int left, int top) {
    std::vector<IniEntry> entries;
    for (const SettingField& field : SettingFields) {
        std::string value = FileText(field, settings);
        if (field.kind == FieldKind::Position)
            value.append("|").append(IntToText(left)).append("|").append(IntToText(top));
        entries.push_back({field.section, field.key, std::move(value)});
    }
    return WriteIniFileWhole(path, path, entries, SettingSections);
}
