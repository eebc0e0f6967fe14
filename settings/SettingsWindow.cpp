#include "settings/SettingsWindow.h"

#include "assets/TextIds.h"
#include "config/TextNumbers.h"
#include "framework/TextConversion.h"
#include "framework/TimeZones.h"
#include "settings/FontList.h"
#include "settings/SettingsWindowListener.h"
#include "settings/WindowLayouts.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::string_view PanelName = "外形框4";
constexpr std::string_view ViewportName = "外形框2";
constexpr std::string_view ScrollBarName = "滚动条1";
constexpr std::string_view FontListName = "组合框1";
constexpr std::string_view ZoneListName = "组合框2";
constexpr std::string_view ZoneLabelBoxName = "文本框1";
constexpr std::string_view LanguageListName = "组合框3";
constexpr std::string_view RestoreButtonName = "按钮1";

// The language list's items, each with the value it gives "界面语言". The
// languages are named in their own; "自动" in the language in use.
struct LanguageItem {
    const char* value;
    UINT text; // 0: the value names itself
};
constexpr LanguageItem LanguageItems[] = {
    {AutomaticLanguageText, IDS_LANGUAGE_AUTOMATIC},
    {ChineseLanguageText, 0},
    {EnglishLanguageText, 0},
};

// The switches, each a check box showing one flag.
struct FlagBox {
    std::string_view name;
    bool ClockSettings::*field;
};
constexpr FlagBox FlagBoxes[] = {
    {"选择框1", &ClockSettings::startWithWindows},
    {"选择框2", &ClockSettings::keepOnTop},
    {"选择框3", &ClockSettings::layeredTransparency},
    {"选择框4", &ClockSettings::memoryOptimization},
    {"选择框5", &ClockSettings::restoreLastPosition},
    {"选择框6", &ClockSettings::showSeconds},
    {"选择框7", &ClockSettings::showDate},
    {"选择框8", &ClockSettings::twelveHour},
    {"选择框11", &ClockSettings::hideForFullScreen},
};

// The date forms: two check boxes that act as radio buttons, the one of the
// form in use checked (neither for a hand-edited text).
struct DateFormBox {
    std::string_view name;
    DateForm form;
};
constexpr DateFormBox DateFormBoxes[] = {{"单选框1", DateForm::Long}, {"单选框2", DateForm::Short}};
constexpr std::string_view OutlineColourName = "颜色选择器6";

// The chosen form checked, and both forms greyed while no date is shown.
void ShowDateForm(SettingsWindow& window) {
    for (const DateFormBox& row : DateFormBoxes)
        if (RadioButton* box = window.Find<RadioButton>(row.name)) {
            box->SetChecked(window.Settings().dateFormat == row.form);
            EnableWindow(box->Handle(), window.Settings().showDate);
        }
}

// A control whose setting does nothing now is greyed: the date forms
// without the date, the outline's colour without an outline.
void ShowWhatActs(SettingsWindow& window) {
    ShowDateForm(window);
    if (ColourPicker* outline = window.Find<ColourPicker>(OutlineColourName))
        EnableWindow(outline->Handle(), window.Settings().outlineWidth > 0);
}

// A slider with the label that shows its value. The vertical opacity sliders
// have their minimum at the top, so they hold 255 - opacity: opaque at the top.
struct ValueSlider {
    std::string_view slider;
    std::string_view label;
    std::int32_t ClockSettings::*field;
    bool inverted;
};
constexpr ValueSlider ValueSliders[] = {
    {"滑块条1", "标签5", &ClockSettings::windowAlpha, true},
    {"滑块条2", "标签6", &ClockSettings::windowBackgroundAlpha, true},
    {"滑块条3", "标签7", &ClockSettings::clockBackgroundAlpha, true},
    {"滑块条4", "标签8", &ClockSettings::clockAlpha, true},
    {"滑块条5", "标签15", &ClockSettings::fontSize, false},
    {"滑块条6", "标签18", &ClockSettings::outlineWidth, false},
};
constexpr std::int32_t OpaqueAlpha = 255;

// The slider position for a stored value; a hand-edited value far out of
// range must not overflow on its way to the slider, which clamps it.
int SliderPositionFor(const ValueSlider& row, std::int32_t value) {
    const long long position = row.inverted ? OpaqueAlpha - static_cast<long long>(value) : value;
    return static_cast<int>(std::clamp<long long>(position, INT_MIN, INT_MAX));
}

std::int32_t ValueForPosition(const ValueSlider& row, int position) {
    return row.inverted ? OpaqueAlpha - position : position;
}

struct ColourRow {
    std::string_view picker;
    std::int32_t ClockSettings::*field;
};
constexpr ColourRow ColourRows[] = {
    {"颜色选择器1", &ClockSettings::outerBorderColor},
    {"颜色选择器2", &ClockSettings::innerBorderColor},
    {"颜色选择器3", &ClockSettings::windowBackgroundColor},
    {"颜色选择器4", &ClockSettings::clockBackgroundColor},
    {"颜色选择器5", &ClockSettings::fontColor},
    {"颜色选择器6", &ClockSettings::outlineColor},
};

// ------------------------------------------------------------ section list

bool IsSelected(const Label& entry) {
    return entry.TextColour() != SectionIdleText;
}

void SelectSectionOf(SettingsWindow& window, std::string_view chosen) {
    for (const SectionEntry& entry : SectionEntries) {
        Label* label = window.Find<Label>(entry.label);
        if (entry.label == chosen || !label || !IsSelected(*label))
            continue;
        label->SetTextColour(SectionIdleText);
        label->SetBackColour(SectionIdleBack);
    }
    Label* label = window.Find<Label>(chosen);
    if (label && label->TextColour() != SectionSelectedText) {
        label->SetTextColour(SectionSelectedText);
        label->SetBackColour(SectionSelectedBack);
    }
}

void SyncSectionOf(SettingsWindow& window) {
    const std::string_view entry = SectionForOffset(window.PanelOffset(), window.Scale());
    if (!entry.empty())
        SelectSectionOf(window, entry);
}

// The mouse moved over an entry. The entry takes the capture for its hover
// look, so that it also sees the move that leaves it; that move gives the
// capture back and removes the look.
void OnSectionMouseMoved(Label& entry) {
    SettingsScrollState& state = ScrollState();
    WINDOWINFO info{};
    info.cbSize = sizeof info;
    GetWindowInfo(entry.Handle(), &info);
    const RECT& rect = info.rcWindow;
    if (state.sectionHoverActive == 1) {
        POINT cursor{};
        GetCursorPos(&cursor);
        if (cursor.x >= rect.left && cursor.x <= rect.right && cursor.y >= rect.top &&
            cursor.y <= rect.bottom)
            return;
        ReleaseCapture();
        state.sectionHoverActive = 0;
        if (!IsSelected(entry))
            entry.SetBackColour(SectionIdleBack);
        return;
    }
    SetCapture(entry.Handle());
    state.sectionHoverActive = 1;
    if (!IsSelected(entry))
        entry.SetBackColour(SectionHoverBack);
}

// --------------------------------------------------------------- controls

bool SameZoneKey(const std::string& one, const std::string& other) {
    return CompareStringOrdinal(MultiByteToWide(one, GbkCodePage).c_str(), -1,
                                MultiByteToWide(other, GbkCodePage).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The zone list with its first item, local time, alone.
void StartZoneList(SettingsWindow& window, ComboBox& zones) {
    zones.ClearItems();
    window.zoneKeys.assign(1, std::string());
    zones.AddItem(Text(IDS_LOCAL_TIME));
}

// The zone list as the window opens: local time and the chosen zone. Every
// zone waits for the user to reach the list: listing them walks Windows'
// whole zone database.
void LoadZoneControls(SettingsWindow& window) {
    const ClockSettings& settings = window.Settings();
    if (TextBox* label = window.Find<TextBox>(ZoneLabelBoxName))
        label->SetCaption(settings.zoneLabel);
    ComboBox* zones = window.Find<ComboBox>(ZoneListName);
    if (!zones)
        return;
    StartZoneList(window, *zones);
    window.everyZoneListed = false;
    const std::string& key = settings.timeZone;
    if (!key.empty()) {
        window.zoneKeys.push_back(key);
        if (const auto display = TimeZoneDisplayName(MultiByteToWide(key, GbkCodePage)))
            zones->AddWideItem(*display);
        else
            zones->AddItem(key + Text(IDS_UNKNOWN_ZONE_MARK));
    }
    zones->SetCurrentIndex(key.empty() ? 0 : 1);
}

// Local time first, then the machine's zones by their display names; a key
// the machine does not know stays in the list, marked, while it is chosen.
void ListEveryZone(SettingsWindow& window, ComboBox& zones) {
    if (window.everyZoneListed)
        return;
    window.everyZoneListed = true;
    const std::string& chosenKey = window.Settings().timeZone;
    StartZoneList(window, zones);
    int chosen = 0;
    for (const TimeZoneEntry& zone : ListTimeZones()) {
        std::string key = WideToMultiByte(zone.key, GbkCodePage);
        if (SameZoneKey(key, chosenKey))
            chosen = static_cast<int>(window.zoneKeys.size());
        window.zoneKeys.push_back(std::move(key));
        zones.AddWideItem(zone.display);
    }
    if (chosen == 0 && !chosenKey.empty()) {
        chosen = static_cast<int>(window.zoneKeys.size());
        window.zoneKeys.push_back(chosenKey);
        zones.AddItem(chosenKey + Text(IDS_UNKNOWN_ZONE_MARK));
    }
    zones.SetCurrentIndex(chosen);
    zones.FitListToItems();
}

// Any value but the two languages reads as automatic, and shows so.
void LoadLanguageList(SettingsWindow& window) {
    ComboBox* languages = window.Find<ComboBox>(LanguageListName);
    if (!languages)
        return;
    languages->ClearItems();
    int chosen = 0;
    for (const LanguageItem& item : LanguageItems) {
        if (window.Settings().interfaceLanguage == item.value)
            chosen = languages->ItemCount();
        languages->AddItem(item.text ? Text(item.text) : item.value);
    }
    languages->SetCurrentIndex(chosen);
}

void BindLanguageList(SettingsWindow& window) {
    ComboBox* languages = window.Find<ComboBox>(LanguageListName);
    if (!languages)
        return;
    languages->onPicked = [&window](int index) {
        if (index < 0 || index >= static_cast<int>(std::size(LanguageItems)))
            return;
        window.Listener().OnFieldChanged(&ClockSettings::interfaceLanguage, LanguageItems[index].value);
        window.ShowLanguage();
    };
}

void BindZoneControls(SettingsWindow& window) {
    if (ComboBox* zones = window.Find<ComboBox>(ZoneListName)) {
        zones->onReached = [&window, zones] { ListEveryZone(window, *zones); };
        zones->onPicked = [&window](int index) {
            if (index >= 0 && static_cast<std::size_t>(index) < window.zoneKeys.size())
                window.Listener().OnFieldChanged(&ClockSettings::timeZone, window.zoneKeys[index]);
        };
    }
    if (TextBox* label = window.Find<TextBox>(ZoneLabelBoxName))
        label->onEdited = [&window](const std::string& text) {
            window.Listener().OnFieldChanged(&ClockSettings::zoneLabel, text);
        };
}

void LoadControls(SettingsWindow& window) {
    const ClockSettings& settings = window.Settings();
    ComboBox* fonts = window.Find<ComboBox>(FontListName);
    if (fonts) {
        fonts->ClearItems(); // GBK names, as the settings file holds them
    }

    for (const FlagBox& row : FlagBoxes)
        if (CheckBox* box = window.Find<CheckBox>(row.name))
            box->SetChecked(false);
    for (const FlagBox& row : FlagBoxes)
        if (CheckBox* box = window.Find<CheckBox>(row.name); box && settings.*row.field)
            box->SetChecked(true);

    LoadZoneControls(window);
    LoadLanguageList(window);

    // The labels show the stored value, in the slider's range or not.
    for (const ValueSlider& row : ValueSliders) {
        const std::int32_t value = settings.*row.field;
        if (Label* label = window.Find<Label>(row.label))
            label->SetCaption(IntToText(value));
        if (Slider* slider = window.Find<Slider>(row.slider))
            slider->SetPosition(SliderPositionFor(row, value));
    }
    for (const ColourRow& row : ColourRows)
        if (ColourPicker* picker = window.Find<ColourPicker>(row.picker))
            picker->SetColour(static_cast<COLORREF>(settings.*row.field));
    ShowWhatActs(window);

    if (!fonts)
        return;
    // Every match is taken, so the last of equal names wins.
    const std::vector<std::string> names = EnumerateFontNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        fonts->AddItem(names[i]);
        if (names[i] == settings.fontName)
            fonts->SetCurrentIndex(static_cast<int>(i));
    }
    // An unknown font name shows the last family, but the setting keeps
    // its value until the user picks one.
    if (fonts->CurrentIndex() == -1 && fonts->ItemCount() > 0)
        fonts->SetCurrentIndex(fonts->ItemCount() - 1);
    fonts->FitListToItems();
}

void BindCheckBoxes(SettingsWindow& window) {
    for (const FlagBox& row : FlagBoxes) {
        CheckBox* box = window.Find<CheckBox>(row.name);
        if (!box)
            continue;
        box->onToggled = [&window, box, row](bool checked) {
            window.Listener().OnFieldChanged(row.field, checked);
            // A refused change shows the box as it was: a Run value that could
            // not be written, or one for every user that could not be deleted.
            box->SetChecked(window.Settings().*row.field);
            ShowWhatActs(window);
        };
    }
}

// A click on either form chooses it; a click on the form in use keeps it.
void BindDateFormBoxes(SettingsWindow& window) {
    for (const DateFormBox& row : DateFormBoxes)
        if (RadioButton* box = window.Find<RadioButton>(row.name))
            box->onToggled = [&window, row](bool) {
                window.Listener().OnFieldChanged(&ClockSettings::dateFormat, row.form);
                ShowDateForm(window);
            };
}

void BindValueSliders(SettingsWindow& window) {
    for (const ValueSlider& row : ValueSliders) {
        Slider* slider = window.Find<Slider>(row.slider);
        Label* label = window.Find<Label>(row.label);
        if (!slider)
            continue;
        // Each move of a dragged thumb arrives here, so the clock follows it.
        slider->onMoved = [&window, row, label](int position) {
            const std::int32_t value = ValueForPosition(row, position);
            if (label)
                label->SetCaption(IntToText(value));
            window.Listener().OnFieldChanged(row.field, value);
            ShowWhatActs(window);
        };
    }
}

void BindColourPickers(SettingsWindow& window) {
    for (const ColourRow& row : ColourRows)
        if (ColourPicker* picker = window.Find<ColourPicker>(row.picker))
            picker->onPicked = [&window, row](COLORREF colour) {
                window.Listener().OnFieldChanged(row.field, static_cast<std::int32_t>(colour));
            };
}

void BindSectionList(SettingsWindow& window) {
    for (const SectionEntry& entry : SectionEntries) {
        Label* label = window.Find<Label>(entry.label);
        if (!label)
            continue;
        label->onMouseMoved = [label](int, int, int) { OnSectionMouseMoved(*label); };
        // A running animation goes on from the new offset at its next tick.
        label->onLeftButtonUp = [&window, entry](int, int, int) {
            SelectSectionOf(window, entry.label);
            window.SetPanelOffset(window.Scale().Pixels(entry.jumpOffset));
        };
    }
}

// Where a request of the scroll bar takes the panel: a line is a wheel
// notch's distance, a page the viewport's height.
int OffsetForScrollRequest(const SettingsWindow& window, int request, int thumb, int viewport) {
    const int offset = window.PanelOffset();
    const int line = window.Scale().Pixels(64);
    const int bottom = window.Scale().Pixels(PanelBottomOffset);
    switch (request) {
    case SB_LINEUP:
        return std::min(PanelTopOffset, offset + line);
    case SB_LINEDOWN:
        return std::max(bottom, offset - line);
    case SB_PAGEUP:
        return std::min(PanelTopOffset, offset + viewport);
    case SB_PAGEDOWN:
        return std::max(bottom, offset - viewport);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return std::clamp(-thumb, bottom, PanelTopOffset);
    case SB_TOP:
        return PanelTopOffset;
    case SB_BOTTOM:
        return bottom;
    default:
        return offset;
    }
}

// The scroll bar moves the panel at once, ending any eased scrolling.
void BindScrollBar(SettingsWindow& window) {
    ScrollBar* bar = window.Find<ScrollBar>(ScrollBarName);
    const Control* viewport = window.FindControl(ViewportName);
    const Control* panel = window.FindControl(PanelName);
    if (!bar || !viewport || !panel)
        return;
    bar->SetContent(panel->Bounds().height, viewport->Bounds().height);
    bar->onScrolled = [&window, height = viewport->Bounds().height](int request, int thumb) {
        const int offset = OffsetForScrollRequest(window, request, thumb, height);
        if (offset == window.PanelOffset())
            return;
        window.StopScrolling();
        window.SetPanelOffset(offset);
        SyncSectionOf(window);
    };
}

void BindControls(SettingsWindow& window) {
    BindCheckBoxes(window);
    BindDateFormBoxes(window);
    BindValueSliders(window);
    BindColourPickers(window);
    BindZoneControls(window);
    BindLanguageList(window);
    if (ComboBox* fonts = window.Find<ComboBox>(FontListName))
        fonts->onPicked = [&window, fonts](int) {
            window.Listener().OnFieldChanged(&ClockSettings::fontName, fonts->CurrentText());
        };
    if (Button* restore = window.Find<Button>(RestoreButtonName))
        restore->onClicked = [&window] { window.Listener().OnRestoreDefaults(); };
    BindSectionList(window);
    BindScrollBar(window);
    if (ShapeBox* panel = window.Find<ShapeBox>(PanelName)) {
        // Over the panel itself the panel takes the focus, so that the wheel
        // comes to it.
        panel->onMouseMoved = [panel](int, int, int) { panel->TakeFocus(); };
        panel->onMouseWheelDelta = [&window](int wheelDelta, int) { window.OnPanelWheel(wheelDelta); };
    }
}

} // namespace

// ----------------------------------------------------------------- window

SettingsWindow::SettingsWindow(const ClockSettings& shown, SettingsWindowListener& reportTo)
    : scrollDownTimer(*this, Timer1Id, [this] { OnScrollDownTick(); }),
      scrollUpTimer(*this, Timer2Id, [this] { OnScrollUpTick(); }), settings(shown), listener(reportTo) {}

void SettingsWindow::OnCreated() {
    InitialiseSettingsWindow(*this);
}

void SettingsWindow::FillControls() {
    ShowTexts();
    LoadControls(*this);
}

void SettingsWindow::ShowLanguage() {
    ShowTexts();
    LoadZoneControls(*this);
    LoadLanguageList(*this);
}

void SettingsWindow::SelectSection(std::string_view entry) {
    SelectSectionOf(*this, entry);
}

void SettingsWindow::SyncSectionToScroll() {
    SyncSectionOf(*this);
}

int SettingsWindow::PanelOffset() const {
    const Control* panel = FindControl(PanelName);
    return panel ? panel->Bounds().top : 0;
}

void SettingsWindow::SetPanelOffset(int offset) {
    if (Control* panel = FindControl(PanelName))
        panel->Move(0, offset);
    if (ScrollBar* bar = Find<ScrollBar>(ScrollBarName))
        bar->SetPosition(-offset);
}

void SettingsWindow::StopScrolling() {
    scrollDownTimer.SetInterval(0);
    scrollUpTimer.SetInterval(0);
    wheel = {};
}

void SettingsWindow::OnPanelWheel(int wheelDelta) {
    const WheelDecision decision = DecideWheel(PanelOffset(), wheel.Add(wheelDelta), Scale());
    SettingsScrollState& state = ScrollState();
    switch (decision.action) {
    case WheelAction::None:
        return;
    case WheelAction::AnimateDown:
        state.scrollDownStep = 0;
        scrollUpTimer.SetInterval(0);
        scrollDownTimer.SetInterval(1);
        return;
    case WheelAction::AnimateUp:
        state.scrollUpStep = 0;
        scrollDownTimer.SetInterval(0);
        scrollUpTimer.SetInterval(1);
        return;
    case WheelAction::JumpTo:
        scrollDownTimer.SetInterval(0);
        scrollUpTimer.SetInterval(0);
        SetPanelOffset(decision.offset);
        // A turn of many notches may jump across a whole section.
        SyncSectionOf(*this);
        return;
    }
}

void SettingsWindow::OnScrollDownTick() {
    const ScrollTick tick = ScrollDownTick(ScrollState().scrollDownStep, PanelOffset(), Scale());
    if (tick.moved) {
        SetPanelOffset(tick.offset);
        SyncSectionOf(*this);
    }
    scrollDownTimer.SetInterval(tick.interval);
}

void SettingsWindow::OnScrollUpTick() {
    const ScrollTick tick = ScrollUpTick(ScrollState().scrollUpStep, PanelOffset(), Scale());
    if (tick.moved) {
        SetPanelOffset(tick.offset);
        SyncSectionOf(*this);
    }
    scrollUpTimer.SetInterval(tick.interval);
}

bool SettingsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case GetDpiScaledSizeMessage: {
        // The size the layout gives at the new scale, not the old outer size
        // stretched: the frame does not grow with the client area.
        *reinterpret_cast<SIZE*>(lParam) = OuterSize(Layout(), {static_cast<int>(wParam)});
        result = TRUE;
        return true;
    }
    case WM_DPICHANGED:
        OnDpiChanged({static_cast<int>(HIWORD(wParam))}, *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    default:
        return false;
    }
}

void SettingsWindow::OnDpiChanged(DisplayScale newScale, const RECT& suggested) {
    const int offsetUnits = Scale().Units(PanelOffset());
    std::string_view selected = SectionEntries[0].label;
    for (const SectionEntry& entry : SectionEntries)
        if (const Label* label = Find<Label>(entry.label); label && IsSelected(*label))
            selected = entry.label;
    const Control* focused = FindControl(GetFocus());
    const std::string focusedName = focused ? focused->Name() : std::string();

    StopScrolling();
    Rescale(newScale, suggested);
    InitialiseSettingsWindow(*this);
    SetPanelOffset(Scale().Pixels(offsetUnits));
    SelectSectionOf(*this, selected);
    if (Control* control = FindControl(focusedName))
        control->TakeFocus();
}

// ----------------------------------------------------------- entry points

SettingsScrollState& ScrollState() {
    static SettingsScrollState state;
    return state;
}

void InitialiseSettingsWindow(SettingsWindow& window) {
    // The panel is laid out scrolled; the window always opens at its top.
    window.SetPanelOffset(PanelTopOffset);
    if (Label* first = window.Find<Label>(SectionEntries[0].label)) {
        first->SetTextColour(SectionSelectedText);
        first->SetBackColour(SectionSelectedBack);
    }
    // A capture that ended with the last window cannot have cleared the flag,
    // and a flag left at 1 would freeze the hover look.
    ScrollState().sectionHoverActive = 0;
    BindControls(window);
    LoadControls(window);
}

std::string_view SectionForOffset(int offset, DisplayScale scale) {
    if (offset > PanelTopOffset)
        return {};
    const int units = scale.Units(offset);
    for (const SectionEntry& entry : SectionEntries)
        if (units <= entry.bandTop && units >= entry.bandBottom)
            return entry.label;
    return {};
}
