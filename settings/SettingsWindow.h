#pragma once
// The settings window: non-modal, built from SettingsWindowLayout, showing
// the settings it was given.
//
// Every user change of a control is reported to the listener as the new
// value of one field, which the listener applies at once (live preview); the
// window writes no setting and no file itself. The section list on the left follows clicks at once and the
// wheel scrolling of the content panel at every animation tick.
//
// The window is laid out at the scale of its monitor (Window::Scale): the
// panel offsets below are pixels at that scale, the section table's are
// 96-DPI units. A new scale (WM_DPICHANGED) builds the controls again.
#include "config/ClockSettings.h"
#include "framework/Window.h"
#include "settings/ScrollAnimation.h"

#include <climits>
#include <string>
#include <string_view>
#include <vector>

class SettingsWindowListener;

class SettingsWindow : public Window {
public:
    // The settings and the listener outlive the window.
    SettingsWindow(const ClockSettings& shown, SettingsWindowListener& reportTo);

    const ClockSettings& Settings() const { return settings; }
    SettingsWindowListener& Listener() const { return listener; }

    // Loads every control from the settings, its texts in the language in
    // use (restore defaults needs it); reports nothing.
    void FillControls();
    // Shows every text in the language in use, as after a change of language.
    void ShowLanguage();
    // Gives one entry the selected look, and the previous holder the idle look.
    void SelectSection(std::string_view entry);
    // Selects the entry whose band holds the panel offset (nothing above 0).
    void SyncSectionToScroll();

    WindowTimer scrollDownTimer; // "时钟1"
    WindowTimer scrollUpTimer;   // "时钟2"
    // The zone list's keys by item: "" for local time first, then the
    // chosen zone, or once the user reached the list every zone of the
    // machine and a chosen key that the machine does not know.
    std::vector<std::string> zoneKeys;
    bool everyZoneListed = false;

    // Each control by its layout identifier ("标签20", "滑块条1", ...), e.g.
    // Find<Slider>("滑块条1"); nullptr for an unknown name or another kind.
    using Window::Find;

    // The content panel "外形框4"'s top inside the viewport "外形框2"; the
    // scroll bar follows it.
    int PanelOffset() const;
    void SetPanelOffset(int offset);
    // Ends the eased scrolling and forgets the wheel's part notch.
    void StopScrolling();

    // The wheel on the content panel, as the platform reports it.
    void OnPanelWheel(int wheelDelta);
    // The ticks of "时钟1" (downward) and "时钟2" (upward).
    void OnScrollDownTick();
    void OnScrollUpTick();

    // The monitor's scale changed: the window takes the suggested outer
    // rectangle and is laid out again, keeping its scroll position, section,
    // focus and every control's value.
    void OnDpiChanged(DisplayScale newScale, const RECT& suggested);

protected:
    void OnCreated() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    WheelAccumulator wheel;
    const ClockSettings& settings;
    SettingsWindowListener& listener;
};

// The scroll animation's counters and the section hover flag (program-wide).
SettingsScrollState& ScrollState();

// The window's created event: panel at its top, "基本设置" selected, every
// handler bound, every control loaded from the settings.
void InitialiseSettingsWindow(SettingsWindow& window);

// The section entries' looks: text and background colours.
inline constexpr COLORREF SectionIdleText = 0x000000;
inline constexpr COLORREF SectionIdleBack = 0xDFDFDF;  // RGB(223,223,223)
inline constexpr COLORREF SectionHoverBack = 0xFFCD95; // RGB(149,205,255)
inline constexpr COLORREF SectionSelectedText = 0xFFFFFF;
inline constexpr COLORREF SectionSelectedBack = 0xFFA746; // RGB(70,167,255)

// Offsets in 96-DPI units.
struct SectionEntry {
    std::string_view label; // "标签20" ...
    int jumpOffset;         // the panel offset a click jumps to
    int bandTop;            // SyncSectionToScroll selects it for bandBottom <= t <= bandTop
    int bandBottom;
};
inline constexpr SectionEntry SectionEntries[] = {
    {"标签20", 0, 0, -97},
    {"标签21", -128, -98, -337},
    {"标签22", -368, -338, -465},
    {"标签23", -496, -466, -539},
    // The panel's lowest offset shows the last section below the viewport's top.
    {"标签33", -552, -540, INT_MIN},
};

// The entry SyncSectionToScroll picks for an offset in pixels at a scale;
// empty above 0. The bands meet at every scale: the offset is taken back to
// 96-DPI units, not the bands forward.
std::string_view SectionForOffset(int offset, DisplayScale scale = {});
