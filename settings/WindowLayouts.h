#pragma once
// The settings window's fixed layout, as data: one record per
// control, topmost first, a shape box before what it contains (the same
// order is the Tab order). Rectangles are in the parent's client area.
#include "assets/TextIds.h"
#include "framework/ControlRecord.h"
#include "framework/Window.h"

inline constexpr COLORREF SectionListGrey = 0xDFDFDF; // RGB(223,223,223)
inline constexpr COLORREF RuleGrey = 0xC0C0C0;        // RGB(192,192,192)
inline constexpr COLORREF FrameBlue = 0xFF8800;       // RGB(0,136,255)

// The content panel's top inside the viewport as laid out; the window moves
// it to 0 when it opens.
inline constexpr int PanelLayoutTop = -464;

namespace settings_layout {

constexpr ControlRecord SectionEntry(std::string_view name, int top, UINT caption) {
    return {.name = name,
            .kind = ControlKind::Label,
            .parent = "",
            .rect = {9, top, 159, 32},
            .look = {.captionText = caption, .align = TextAlign::Centre, .backColour = SectionListGrey}};
}

constexpr ControlRecord PanelLabel(std::string_view name, ControlRect rect, UINT caption,
                                   TextAlign align = TextAlign::Left) {
    return {.name = name,
            .kind = ControlKind::Label,
            .parent = "外形框4",
            .rect = rect,
            .look = {.captionText = caption, .align = align}};
}

// A label that shows a slider's value.
constexpr ControlRecord ValueLabel(std::string_view name, ControlRect rect,
                                   TextAlign align = TextAlign::Left) {
    return {.name = name,
            .kind = ControlKind::Label,
            .parent = "外形框4",
            .rect = rect,
            .look = {.caption = "0", .align = align}};
}

constexpr ControlRecord SectionHeader(std::string_view name, ControlRect rect, UINT caption) {
    return {.name = name,
            .kind = ControlKind::Label,
            .parent = "外形框4",
            .rect = rect,
            .look = {.captionText = caption, .bold = true}};
}

// A caption-less label drawn wholly in grey, through the middle of a header.
constexpr ControlRecord Rule(std::string_view name, int top) {
    return {.name = name,
            .kind = ControlKind::Label,
            .parent = "外形框4",
            .rect = {32, top, 480, 2},
            .look = {.backColour = RuleGrey}};
}

constexpr ControlRecord CheckBoxRow(std::string_view name, ControlRect rect, UINT caption) {
    return {.name = name,
            .kind = ControlKind::CheckBox,
            .parent = "外形框4",
            .rect = rect,
            .look = {.captionText = caption}};
}

constexpr ControlRecord RadioButtonRow(std::string_view name, ControlRect rect, UINT caption) {
    ControlRecord record = CheckBoxRow(name, rect, caption);
    record.kind = ControlKind::RadioButton;
    return record;
}

constexpr ControlRecord SliderRow(std::string_view name, ControlRect rect, Orientation orientation,
                                  int minimum, int maximum, int position) {
    return {.name = name,
            .kind = ControlKind::Slider,
            .parent = "外形框4",
            .rect = rect,
            .look = {.orientation = orientation},
            .state = {.minimum = minimum, .maximum = maximum, .position = position}};
}

constexpr ControlRecord ColourPickerRow(std::string_view name, ControlRect rect) {
    return {.name = name,
            .kind = ControlKind::ColourPicker,
            .parent = "外形框4",
            .rect = rect,
            .state = {.colour = 0x000000}};
}

} // namespace settings_layout

inline constexpr ControlRecord SettingsWindowControls[] = {
    // The section list, above its grey background.
    {.name = "标签19",
     .kind = ControlKind::Label,
     .parent = "",
     .rect = {9, 24, 159, 24},
     .look = {.captionText = IDS_SECTION_LIST_TITLE,
              .bold = true,
              .align = TextAlign::Centre,
              .backColour = SectionListGrey}},
    settings_layout::SectionEntry("标签20", 56, IDS_SECTION_BASIC),
    settings_layout::SectionEntry("标签21", 88, IDS_SECTION_OPACITY),
    settings_layout::SectionEntry("标签22", 120, IDS_SECTION_COLOURS),
    settings_layout::SectionEntry("标签23", 152, IDS_SECTION_CLOCK),
    settings_layout::SectionEntry("标签33", 184, IDS_SECTION_TIME_FORMAT),
    // The language of the window and the whole program, above the button.
    {.name = "标签39",
     .kind = ControlKind::Label,
     .parent = "",
     .rect = {9, 344, 159, 24},
     .look = {.captionText = IDS_LANGUAGE, .align = TextAlign::Centre, .backColour = SectionListGrey}},
    {.name = "组合框3", .kind = ControlKind::ComboBox, .parent = "", .rect = {28, 370, 121, 28}},
    {.name = "按钮1",
     .kind = ControlKind::Button,
     .parent = "",
     .rect = {28, 416, 121, 32},
     .look = {.captionText = IDS_RESTORE_DEFAULTS}},
    {.name = "外形框3",
     .kind = ControlKind::ShapeBox,
     .parent = "",
     .rect = {9, 9, 160, 455},
     .look = {.fillColour = SectionListGrey}},
    // The blue frame around the section list and the viewport.
    {.name = "外形框1",
     .kind = ControlKind::ShapeBox,
     .parent = "",
     .rect = {8, 8, 680, 457},
     .look = {.outlineWidth = 1, .outlineColour = FrameBlue}},
    // The viewport, which clips the content panel.
    {.name = "外形框2", .kind = ControlKind::ShapeBox, .parent = "外形框1", .rect = {160, 1, 519, 455}},
    // A slim scroll bar at the viewport's right edge, over the panel, right
    // of every setting's control.
    {.name = "滚动条1", .kind = ControlKind::ScrollBar, .parent = "外形框2", .rect = {507, 0, 12, 455}},
    // The content panel: every setting control lies on it.
    {.name = "外形框4",
     .kind = ControlKind::ShapeBox,
     .parent = "外形框2",
     .rect = {0, PanelLayoutTop, 519, 1007}},

    // Section "基本设置".
    settings_layout::SectionHeader("标签24", {32, 24, 72, 24}, IDS_HEADER_BASIC),
    settings_layout::Rule("标签25", 35),
    settings_layout::CheckBoxRow("选择框1", {32, 64, 104, 24}, IDS_START_WITH_WINDOWS),
    settings_layout::CheckBoxRow("选择框2", {136, 64, 104, 24}, IDS_KEEP_ON_TOP),
    settings_layout::CheckBoxRow("选择框3", {240, 64, 104, 24}, IDS_LAYERED_TRANSPARENCY),
    settings_layout::CheckBoxRow("选择框4", {344, 64, 120, 24}, IDS_MEMORY_OPTIMIZATION),
    settings_layout::CheckBoxRow("选择框5", {32, 104, 208, 24}, IDS_RESTORE_LAST_POSITION),
    settings_layout::CheckBoxRow("选择框6", {240, 104, 104, 24}, IDS_SHOW_SECONDS),
    settings_layout::CheckBoxRow("选择框11", {344, 104, 152, 24}, IDS_HIDE_FOR_FULL_SCREEN),

    // Section "透明度": four columns of value, vertical slider and name.
    settings_layout::SectionHeader("标签26", {32, 152, 64, 24}, IDS_HEADER_OPACITY),
    settings_layout::Rule("标签27", 163),
    settings_layout::ValueLabel("标签5", {80, 192, 80, 24}, TextAlign::Centre),
    settings_layout::SliderRow("滑块条1", {104, 208, 32, 136}, Orientation::Vertical, 0, 255, 0),
    settings_layout::PanelLabel("标签1", {80, 344, 80, 24}, IDS_OPACITY_WINDOW, TextAlign::Centre),
    settings_layout::ValueLabel("标签6", {168, 192, 80, 24}, TextAlign::Centre),
    settings_layout::SliderRow("滑块条2", {192, 208, 32, 136}, Orientation::Vertical, 0, 255, 0),
    settings_layout::PanelLabel("标签2", {168, 344, 80, 24}, IDS_OPACITY_WINDOW_BACKGROUND,
                                TextAlign::Centre),
    settings_layout::ValueLabel("标签7", {256, 192, 80, 24}, TextAlign::Centre),
    settings_layout::SliderRow("滑块条3", {280, 208, 32, 136}, Orientation::Vertical, 0, 255, 0),
    settings_layout::PanelLabel("标签3", {256, 344, 80, 24}, IDS_OPACITY_CLOCK_BACKGROUND, TextAlign::Centre),
    settings_layout::ValueLabel("标签8", {344, 192, 80, 24}, TextAlign::Centre),
    settings_layout::SliderRow("滑块条4", {368, 208, 32, 136}, Orientation::Vertical, 0, 255, 0),
    settings_layout::PanelLabel("标签4", {344, 344, 80, 24}, IDS_OPACITY_CLOCK, TextAlign::Centre),

    // Section "边框和底图": caption and colour picker pairs.
    settings_layout::SectionHeader("标签28", {32, 392, 88, 24}, IDS_HEADER_COLOURS),
    settings_layout::Rule("标签29", 403),
    settings_layout::PanelLabel("标签9", {32, 432, 80, 24}, IDS_OUTER_BORDER),
    settings_layout::ColourPickerRow("颜色选择器1", {120, 432, 104, 24}),
    settings_layout::PanelLabel("标签10", {240, 432, 80, 24}, IDS_INNER_BORDER),
    settings_layout::ColourPickerRow("颜色选择器2", {328, 432, 104, 24}),
    settings_layout::PanelLabel("标签12", {32, 472, 80, 24}, IDS_WINDOW_BACKGROUND),
    settings_layout::ColourPickerRow("颜色选择器3", {120, 472, 104, 24}),
    settings_layout::PanelLabel("标签13", {240, 472, 80, 24}, IDS_CLOCK_BACKGROUND),
    settings_layout::ColourPickerRow("颜色选择器4", {328, 472, 104, 24}),

    // Section "时钟".
    settings_layout::SectionHeader("标签30", {32, 520, 48, 24}, IDS_HEADER_CLOCK),
    settings_layout::Rule("标签31", 531),
    settings_layout::PanelLabel("标签14", {32, 560, 80, 24}, IDS_FONT_COLOUR),
    settings_layout::ColourPickerRow("颜色选择器5", {120, 560, 152, 24}),
    settings_layout::PanelLabel("标签11", {32, 600, 80, 24}, IDS_FONT_SIZE),
    settings_layout::SliderRow("滑块条5", {112, 601, 232, 24}, Orientation::Horizontal, 20, 95, 20),
    settings_layout::ValueLabel("标签15", {344, 598, 64, 24}),
    settings_layout::PanelLabel("标签16", {32, 640, 80, 24}, IDS_OUTLINE_COLOUR),
    settings_layout::ColourPickerRow("颜色选择器6", {120, 640, 152, 24}),
    settings_layout::PanelLabel("标签17", {32, 680, 80, 24}, IDS_OUTLINE_WIDTH),
    settings_layout::SliderRow("滑块条6", {112, 681, 232, 24}, Orientation::Horizontal, 0, 20, 0),
    settings_layout::ValueLabel("标签18", {344, 678, 64, 24}),
    settings_layout::PanelLabel("标签32", {32, 720, 80, 24}, IDS_FONT_NAME),
    {.name = "组合框1", .kind = ControlKind::ComboBox, .parent = "外形框4", .rect = {120, 718, 168, 28}},

    // Section "时间格式", below the last row of "时钟". The two date forms are
    // check boxes that act as a pair of radio buttons.
    settings_layout::SectionHeader("标签34", {32, 776, 72, 24}, IDS_HEADER_TIME_FORMAT),
    settings_layout::Rule("标签35", 787),
    settings_layout::CheckBoxRow("选择框7", {32, 816, 104, 24}, IDS_SHOW_DATE),
    settings_layout::CheckBoxRow("选择框8", {136, 816, 120, 24}, IDS_TWELVE_HOUR),
    settings_layout::PanelLabel("标签36", {32, 856, 80, 24}, IDS_DATE_FORM),
    settings_layout::RadioButtonRow("单选框1", {120, 856, 104, 24}, IDS_LONG_DATE),
    settings_layout::RadioButtonRow("单选框2", {224, 856, 104, 24}, IDS_SHORT_DATE),
    // The zone the clock shows and the name it shows for it.
    settings_layout::PanelLabel("标签37", {32, 896, 80, 24}, IDS_TIME_ZONE),
    {.name = "组合框2", .kind = ControlKind::ComboBox, .parent = "外形框4", .rect = {120, 894, 352, 28}},
    settings_layout::PanelLabel("标签38", {32, 936, 80, 24}, IDS_ZONE_LABEL),
    {.name = "文本框1", .kind = ControlKind::TextBox, .parent = "外形框4", .rect = {120, 934, 168, 26}},
};

inline constexpr WindowLayout SettingsWindowLayout{
    .title = {},
    .titleText = IDS_SETTINGS_TITLE,
    .width = 702,
    .height = 505,
    .frame = WindowFrame::FixedDialog,
    .dragToMove = false,
    .escCloses = true,
    .controls = SettingsWindowControls,
};
