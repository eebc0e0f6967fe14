// The settings window at work over a clock: what it shows when it opens,
// the section list, the eased wheel scrolling of the content panel, and the
// live preview of every control on the clock's canvas.
#include "app/Actions.h"
#include "app/SystemIntegration.h"
#include "config/TextNumbers.h"
#include "framework/Services.h"
#include "settings/FontList.h"
#include "support/ImportHook.h"
#include "support/RunValue.h"
#include "support/TempDirectory.h"
#include "settings/SettingsWindowFixture.h"
#include "support/ProgramFixture.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

using namespace settings_test;

// ---------------------------------------------------------------- helpers

// The user's hand on a control, through the control's own window procedure:
// the notifications reach the window exactly as for a real key or click.
void PressKeyOn(const Control& control, WPARAM key) {
    SendMessageW(control.Handle(), WM_KEYDOWN, key, 0);
    SendMessageW(control.Handle(), WM_KEYUP, key, 0);
}

void ClickButton(const Control& control) {
    SendMessageW(control.Handle(), BM_CLICK, 0, 0);
}

void WheelOnPanel(SettingsWindow& window, int delta) {
    const HWND panel = window.Find<ShapeBox>("外形框4")->Handle();
    SendMessageW(panel, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(delta))), 0);
}

POINT CentreOnScreen(const Control& control) {
    const RECT rect = ScreenRect(control.Handle());
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The settings window opened as the clock's settings button opens it, over
// the program's clock (at 100, 100, clear of the window), which every
// control acts on.
class ProgramSettingsWindow : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        desktop::MoveMouse(0, 0); // no hover over the window
        OpenSettingsWindow();
        window = OpenedSettingsWindow();
        ASSERT_NE(window, nullptr);
        SetForegroundWindow(window->Handle());
        Repaint(window->Handle());
    }
    void TearDown() override {
        CloseSettingsWindow();
        Pump(50ms);
        ProgramFixture::TearDown();
    }

    SettingsWindow* window = nullptr;
};

// Windows of this thread with that title.
struct TitledWindows {
    std::wstring title;
    int count = 0;
};

BOOL CALLBACK CountTitled(HWND candidate, LPARAM parameter) {
    auto* search = reinterpret_cast<TitledWindows*>(parameter);
    wchar_t title[64]{};
    GetWindowTextW(candidate, title, 64);
    if (search->title == title)
        ++search->count;
    return TRUE;
}

int WindowsTitled(const std::wstring& title) {
    TitledWindows search{title};
    EnumThreadWindows(GetCurrentThreadId(), &CountTitled, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

TEST_F(ProgramSettingsWindow, SecondOpenRestoresAndRaisesTheFirstAndMakesNoOther) {
    const HWND first = window->Handle();
    ShowWindow(first, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(first) != FALSE; }));

    OpenSettingsWindow();
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(first); }));
    EXPECT_EQ(OpenedSettingsWindow(), window);
    EXPECT_EQ(window->Handle(), first);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_EQ(WindowsTitled(L"设置"), 1);

    // Behind another window, a second open brings it to the front.
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == other; }));
    OpenSettingsWindow();
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == first; }));
    EXPECT_EQ(WindowsTitled(L"设置"), 1);
    DestroyWindow(other);
}

TEST_F(ProgramSettingsWindow, CloseDestroysItAndTheNextOpenBuildsItAfresh) {
    const HWND first = window->Handle();
    window->Find<ShapeBox>("外形框4")->Move(0, -300);
    CloseSettingsWindow();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(SettingsWindowIsOpen());
    EXPECT_EQ(OpenedSettingsWindow(), nullptr);
    CloseSettingsWindow(); // closing a closed window does nothing

    OpenSettingsWindow();
    window = OpenedSettingsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
    EXPECT_EQ(window->Find<ShapeBox>("外形框4")->Bounds().top, 0) << "the panel opens at its top again";
}

class SettingsBehaviour : public ProgramSettingsWindow {
protected:
    void SetUp() override {
        ProgramSettingsWindow::SetUp();
        DeleteStartWithWindows();
    }
    void TearDown() override {
        ReleaseCapture();
        ProgramSettingsWindow::TearDown();
        SetStartWithWindowsRoot(HKEY_LOCAL_MACHINE);
        DeleteStartWithWindows();
    }

    template <class T> T& Get(const char* name) {
        T* control = window->Find<T>(name);
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }
    ShapeBox& Panel() { return Get<ShapeBox>("外形框4"); }
    // A screen point on the panel itself, clear of every control while the
    // panel stands at its top: right of the check boxes.
    POINT FreePanelPoint() {
        POINT point{500, 140};
        ClientToScreen(Panel().Handle(), &point);
        return point;
    }

    void Reopen() {
        CloseSettingsWindow();
        OpenSettingsWindow();
        window = OpenedSettingsWindow();
        ASSERT_NE(window, nullptr);
        Pump(50ms);
    }

    // Exactly one entry of the section list shows the selected look; the
    // others are idle.
    void ExpectSelected(std::string_view selected) {
        for (const SectionEntry& entry : SectionEntries) {
            const Label* label = window->Find<Label>(entry.label);
            ASSERT_NE(label, nullptr);
            const bool chosen = entry.label == selected;
            EXPECT_EQ(label->TextColour(), chosen ? SectionSelectedText : SectionIdleText) << entry.label;
            EXPECT_EQ(label->BackColour(), chosen ? SectionSelectedBack : SectionIdleBack) << entry.label;
        }
    }

    // Every control as the default settings show them, written out here.
    void ExpectControlsShowDefaults() {
        const bool checked[] = {false, true, true, false, true, true};
        for (int i = 0; i < 6; ++i) {
            const std::string name = "选择框" + std::to_string(i + 1);
            EXPECT_EQ(Get<CheckBox>(name.c_str()).IsChecked(), checked[i]) << name;
        }
        const struct {
            const char* slider;
            const char* label;
            int position;
            const char* caption;
        } values[] = {{"滑块条1", "标签5", 0, "255"},  {"滑块条2", "标签6", 105, "150"},
                      {"滑块条3", "标签7", 255, "0"},  {"滑块条4", "标签8", 0, "255"},
                      {"滑块条5", "标签15", 80, "80"}, {"滑块条6", "标签18", 5, "5"}};
        for (const auto& v : values) {
            EXPECT_EQ(Get<Slider>(v.slider).Position(), v.position) << v.slider;
            EXPECT_EQ(Get<Label>(v.label).Caption(), v.caption) << v.label;
        }
        const COLORREF colours[] = {8421504, 16777215, 13487565, 16746496, 9492264, 16777215};
        for (int i = 0; i < 6; ++i) {
            const std::string name = "颜色选择器" + std::to_string(i + 1);
            EXPECT_EQ(Get<ColourPicker>(name.c_str()).Colour(), colours[i]) << name;
        }
        const ComboBox& fonts = Get<ComboBox>("组合框1");
        EXPECT_EQ(fonts.CurrentText(), "微软雅黑");
        const std::vector<std::string> names = EnumerateFontNames();
        ASSERT_EQ(fonts.ItemCount(), static_cast<int>(names.size()));
        for (int i = 0; i < fonts.ItemCount(); ++i)
            ASSERT_EQ(fonts.ItemText(i), names[static_cast<std::size_t>(i)]) << i;
    }
};

// ---------------------------------------------------------------- opening

TEST_F(SettingsBehaviour, OpeningWithDefaultsShowsEverySettingAndBasicSettingsSelected) {
    ExpectSelected("标签20");
    ExpectControlsShowDefaults();
    EXPECT_EQ(window->PanelOffset(), 0) << "never the layout's -464";
    EXPECT_FALSE(window->scrollDownTimer.IsRunning());
    EXPECT_FALSE(window->scrollUpTimer.IsRunning());
    // Loading the controls raised no event: no setting was written.
    const ClockSettings defaults = DefaultSettings();
    for (const SettingField& field : SettingFields) {
        if (field.kind != FieldKind::Position) {
            EXPECT_EQ(FieldText(Settings(), field), FieldText(defaults, field)) << field.key;
        }
    }
    EXPECT_FALSE(RunValueExists());
}

TEST_F(SettingsBehaviour, FontListHoldsTheInstalledFamiliesInOrderWithTheSettingCurrent) {
    const std::vector<std::string> names = EnumerateFontNames();
    ASSERT_GT(names.size(), 1u);
    const ComboBox& fonts = Get<ComboBox>("组合框1");
    ASSERT_EQ(fonts.ItemCount(), static_cast<int>(names.size()));
    const auto yahei = std::find(names.begin(), names.end(), "微软雅黑") - names.begin();
    EXPECT_EQ(fonts.CurrentIndex(), yahei);
    // The dropped list shows every name whole: the longest name with the
    // scroll bar fits it, and it is never narrower than the box.
    const auto longest = std::ranges::max(names, {}, [](const std::string& name) { return name.size(); });
    const HDC dc = GetDC(fonts.Handle());
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(fonts.Handle(), WM_GETFONT, 0, 0)));
    const std::wstring wide = MultiByteToWide(longest, GbkCodePage);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    ReleaseDC(fonts.Handle(), dc);
    EXPECT_GE(fonts.ListWidth(), size.cx + 17) << longest;
    EXPECT_GE(fonts.ListWidth(), fonts.Bounds().width);

    // Another installed family becomes current at the next opening.
    Settings().fontName = names.front();
    Reopen();
    EXPECT_EQ(Get<ComboBox>("组合框1").CurrentIndex(), 0);
}

TEST_F(SettingsBehaviour, AnUninstalledFontShowsTheLastNameButKeepsTheSetting) {
    Settings().fontName = "没有这种字体";
    Reopen();
    const ComboBox& fonts = Get<ComboBox>("组合框1");
    ASSERT_GT(fonts.ItemCount(), 0);
    EXPECT_EQ(fonts.CurrentIndex(), fonts.ItemCount() - 1);
    EXPECT_EQ(fonts.CurrentText(), EnumerateFontNames().back());
    EXPECT_EQ(Settings().fontName, "没有这种字体");
}

TEST_F(SettingsBehaviour, ValuesOutOfRangeClampTheThumbsButTheLabelsShowThem) {
    Settings().fontSize = 200;
    Settings().windowAlpha = 300;
    Settings().clockAlpha = -20;
    Settings().outlineWidth = -7;
    Settings().windowBackgroundAlpha = INT_MIN;
    Reopen();
    const struct {
        const char* slider;
        int position;
        const char* label;
        const char* caption;
    } shown[] = {{"滑块条5", 95, "标签15", "200"},
                 {"滑块条1", 0, "标签5", "300"},
                 {"滑块条4", 255, "标签8", "-20"},
                 {"滑块条6", 0, "标签18", "-7"},
                 {"滑块条2", 255, "标签6", "-2147483648"}};
    for (const auto& s : shown) {
        EXPECT_EQ(Get<Slider>(s.slider).Position(), s.position) << s.slider;
        EXPECT_EQ(Get<Label>(s.label).Caption(), s.caption) << s.label;
    }
    EXPECT_EQ(Settings().fontSize, 200);
    EXPECT_EQ(Settings().windowAlpha, 300);
    EXPECT_EQ(Settings().clockAlpha, -20);
    EXPECT_EQ(Settings().outlineWidth, -7);

    // The user's first move brings each value into its range.
    PressKeyOn(Get<Slider>("滑块条5"), VK_LEFT);
    EXPECT_EQ(Settings().fontSize, 94);
    EXPECT_EQ(Get<Label>("标签15").Caption(), "94");
    PressKeyOn(Get<Slider>("滑块条1"), VK_DOWN);
    EXPECT_EQ(Settings().windowAlpha, 254);
    EXPECT_EQ(Get<Label>("标签5").Caption(), "254");
    PressKeyOn(Get<Slider>("滑块条4"), VK_UP);
    EXPECT_EQ(Settings().clockAlpha, 1);
    PressKeyOn(Get<Slider>("滑块条6"), VK_RIGHT);
    EXPECT_EQ(Settings().outlineWidth, 1);
}

// ----------------------------------------------------------- section list

TEST(SectionBands, EachOffsetSelectsTheEntryWhoseBandHoldsIt) {
    const struct {
        int offset;
        std::string_view entry;
    } cases[] = {{0, "标签20"},    {-1, "标签20"},      {-64, "标签20"},  {-97, "标签20"},  {-98, "标签21"},
                 {-128, "标签21"}, {-337, "标签21"},    {-338, "标签22"}, {-368, "标签22"}, {-465, "标签22"},
                 {-466, "标签23"}, {-496, "标签23"},    {-539, "标签23"}, {-540, "标签33"}, {-552, "标签33"},
                 {-900, "标签33"}, {INT_MIN, "标签33"}, {1, ""},          {300, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(SectionForOffset(c.offset), c.entry) << c.offset;
}

TEST_F(SettingsBehaviour, SyncSelectsTheEntryOfTheOffsetAndNothingAboveTheTop) {
    const struct {
        int offset;
        const char* selected;
    } cases[] = {{-97, "标签20"},  {-98, "标签21"},  {-337, "标签21"}, {-338, "标签22"},
                 {-465, "标签22"}, {-466, "标签23"}, {-496, "标签23"}, {-540, "标签33"},
                 {0, "标签20"},    {-200, "标签21"}, {40, "标签21"}}; // above 0: the selection stays
    for (const auto& c : cases) {
        window->SetPanelOffset(c.offset);
        window->SyncSectionToScroll();
        SCOPED_TRACE(c.offset);
        ExpectSelected(c.selected);
    }
}

TEST_F(SettingsBehaviour, SelectingLeavesAnotherEntrysHoverLookAlone) {
    Label& transparency = Get<Label>("标签21");
    transparency.SetBackColour(SectionHoverBack);
    window->SelectSection("标签22");
    EXPECT_EQ(Get<Label>("标签22").TextColour(), SectionSelectedText);
    EXPECT_EQ(Get<Label>("标签22").BackColour(), SectionSelectedBack);
    EXPECT_EQ(Get<Label>("标签20").TextColour(), SectionIdleText);
    EXPECT_EQ(Get<Label>("标签20").BackColour(), SectionIdleBack);
    EXPECT_EQ(transparency.BackColour(), SectionHoverBack);
    // Selecting the selected entry again changes nothing.
    window->SelectSection("标签22");
    EXPECT_EQ(Get<Label>("标签22").BackColour(), SectionSelectedBack);
}

// The scroll bar shows where the panel is, however it moved, and moves it:
// the thumb dragged, a line (a notch), a page (the viewport).
TEST_F(SettingsBehaviour, TheScrollBarFollowsThePanelAndMovesIt) {
    ScrollBar& bar = Get<ScrollBar>("滚动条1");
    const HWND viewport = Get<ShapeBox>("外形框2").Handle();
    const auto request = [&](int code, int thumb = 0) {
        SendMessageW(viewport, WM_VSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(bar.Handle()));
    };
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.PageSize(), 455);
    SendMessageW(Get<Label>("标签22").Handle(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(bar.Position(), 368);
    WheelOnPanel(*window, -WHEEL_DELTA);
    EXPECT_TRUE(PumpUntil([&] { return !window->scrollDownTimer.IsRunning(); }));
    EXPECT_EQ(bar.Position(), -window->PanelOffset());

    request(SB_THUMBTRACK, 90);
    EXPECT_EQ(window->PanelOffset(), -90);
    ExpectSelected("标签20");
    request(SB_LINEDOWN);
    EXPECT_EQ(window->PanelOffset(), -154);
    ExpectSelected("标签21");
    request(SB_PAGEDOWN);
    request(SB_PAGEDOWN);
    EXPECT_EQ(window->PanelOffset(), -552) << "no further than the panel's foot";
    EXPECT_EQ(bar.Position(), 552);
    ExpectSelected("标签33");
    request(SB_TOP);
    EXPECT_EQ(window->PanelOffset(), 0);
}

TEST_F(SettingsBehaviour, ClickingAnEntryJumpsAtOnceAndSelectsIt) {
    const struct {
        const char* entry;
        int offset;
    } jumps[] = {{"标签22", -368}, {"标签23", -496}, {"标签33", -552}, {"标签21", -128}, {"标签20", 0}};
    for (const auto& jump : jumps) {
        SCOPED_TRACE(jump.entry);
        const POINT at = CentreOnScreen(Get<Label>(jump.entry));
        desktop::Click(at.x, at.y);
        ASSERT_TRUE(PumpUntil([&] { return window->PanelOffset() == jump.offset; }));
        ExpectSelected(jump.entry);
        EXPECT_FALSE(window->scrollDownTimer.IsRunning());
    }
    // "边框和底图" puts its header 24 pixels below the viewport's top edge.
    const POINT at = CentreOnScreen(Get<Label>("标签22"));
    desktop::Click(at.x, at.y);
    ASSERT_TRUE(PumpUntil([&] { return window->PanelOffset() == -368; }));
    const RECT viewport = ScreenRect(Get<ShapeBox>("外形框2").Handle());
    const RECT header = ScreenRect(Get<Label>("标签28").Handle());
    EXPECT_EQ(header.top - viewport.top, 24);
}

TEST_F(SettingsBehaviour, AClickDuringAnAnimationLetsItGoOnFromTheNewOffset) {
    WheelOnPanel(*window, -WHEEL_DELTA);
    window->OnScrollDownTick(); // -8
    window->OnScrollDownTick(); // -15
    SendMessageW(Get<Label>("标签22").Handle(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(window->PanelOffset(), -368);
    EXPECT_TRUE(window->scrollDownTimer.IsRunning());
    window->OnScrollDownTick();
    EXPECT_EQ(window->PanelOffset(), -375);
}

TEST_F(SettingsBehaviour, HoverLightsAnIdleEntryUntilTheMouseLeavesIt) {
    Label& transparency = Get<Label>("标签21");
    const POINT on = CentreOnScreen(transparency);
    desktop::MoveMouse(on.x, on.y);
    ASSERT_TRUE(PumpUntil([&] { return transparency.BackColour() == SectionHoverBack; }));
    EXPECT_EQ(transparency.TextColour(), SectionIdleText);
    EXPECT_EQ(GetCapture(), transparency.Handle());
    EXPECT_EQ(ScrollState().sectionHoverActive, 1);

    // Moves inside keep the look; the right and bottom edges count as inside.
    const RECT rect = ScreenRect(transparency.Handle());
    desktop::MoveMouse(rect.right, rect.bottom);
    Pump(100ms);
    EXPECT_EQ(transparency.BackColour(), SectionHoverBack);
    EXPECT_EQ(GetCapture(), transparency.Handle());

    // The first move outside gives the capture back and the grey again.
    const POINT panel = FreePanelPoint();
    desktop::MoveMouse(panel.x, panel.y);
    ASSERT_TRUE(PumpUntil([&] { return transparency.BackColour() == SectionIdleBack; }));
    EXPECT_NE(GetCapture(), transparency.Handle());
    EXPECT_EQ(ScrollState().sectionHoverActive, 0);

    // Hovering the selected entry changes nothing of its look.
    Label& basic = Get<Label>("标签20");
    const POINT selected = CentreOnScreen(basic);
    desktop::MoveMouse(selected.x, selected.y);
    ASSERT_TRUE(PumpUntil([&] { return GetCapture() == basic.Handle(); }));
    EXPECT_EQ(basic.TextColour(), SectionSelectedText);
    EXPECT_EQ(basic.BackColour(), SectionSelectedBack);
    desktop::MoveMouse(panel.x, panel.y);
    ASSERT_TRUE(PumpUntil([&] { return ScrollState().sectionHoverActive == 0; }));
    EXPECT_EQ(basic.BackColour(), SectionSelectedBack);
}

TEST_F(SettingsBehaviour, OpeningClearsAHoverFlagThatAClosedWindowLeftBehind) {
    Label& clock = Get<Label>("标签23");
    const POINT on = CentreOnScreen(clock);
    desktop::MoveMouse(on.x, on.y);
    ASSERT_TRUE(PumpUntil([&] { return ScrollState().sectionHoverActive == 1; }));
    // Esc with the cursor resting on the entry: the capture ends with the window.
    CloseSettingsWindow();
    Pump(50ms);
    EXPECT_EQ(ScrollState().sectionHoverActive, 1);

    desktop::MoveMouse(0, 0);
    OpenSettingsWindow();
    window = OpenedSettingsWindow();
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window->Handle());
    EXPECT_EQ(ScrollState().sectionHoverActive, 0);
    Label& reopened = Get<Label>("标签23");
    const POINT again = CentreOnScreen(reopened);
    desktop::MoveMouse(again.x, again.y);
    EXPECT_TRUE(PumpUntil([&] { return reopened.BackColour() == SectionHoverBack; }));
}

TEST_F(SettingsBehaviour, TheMouseOverThePanelGivesItTheFocus) {
    SetFocus(Get<Button>("按钮1").Handle());
    const POINT free = FreePanelPoint();
    desktop::MoveMouse(free.x, free.y);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == Panel().Handle(); }));
}

// --------------------------------------------------------------- scrolling

TEST_F(SettingsBehaviour, OneNotchAtTheTopEndsSixtyFourPixelsLowerAfterSixteenTicks) {
    WheelOnPanel(*window, -WHEEL_DELTA);
    EXPECT_EQ(window->scrollDownTimer.Interval(), 1u);
    EXPECT_FALSE(window->scrollUpTimer.IsRunning());
    EXPECT_EQ(ScrollState().scrollDownStep, 0);
    EXPECT_EQ(window->PanelOffset(), 0) << "the panel moves with the ticks, not with the wheel";

    for (int tick = 1; tick <= 16; ++tick)
        window->OnScrollDownTick();
    EXPECT_EQ(window->PanelOffset(), -64);
    EXPECT_EQ(window->scrollDownTimer.Interval(), 32u);
    ExpectSelected("标签20"); // -64 lies in the band of "基本设置"
    window->OnScrollDownTick();
    EXPECT_FALSE(window->scrollDownTimer.IsRunning());
    EXPECT_EQ(window->PanelOffset(), -64);

    // A second notch, on the window's own timer this time.
    WheelOnPanel(*window, -WHEEL_DELTA);
    ASSERT_TRUE(PumpUntil([&] { return !window->scrollDownTimer.IsRunning(); }));
    EXPECT_EQ(window->PanelOffset(), -128);
    EXPECT_EQ(ScrollState().scrollDownStep, 16);
    ExpectSelected("标签21");
}

TEST_F(SettingsBehaviour, NearTheBottomANotchStopsAtTheLimit) {
    window->SetPanelOffset(-526);
    WheelOnPanel(*window, -WHEEL_DELTA);
    ASSERT_TRUE(PumpUntil([&] { return !window->scrollDownTimer.IsRunning(); }));
    EXPECT_EQ(window->PanelOffset(), -552);
    EXPECT_EQ(ScrollState().scrollDownStep, 4) << "stopped early, at the fourth tick";
    ExpectSelected("标签33");

    // At the limit further notches do nothing.
    WheelOnPanel(*window, -WHEEL_DELTA);
    EXPECT_FALSE(window->scrollDownTimer.IsRunning());
    EXPECT_EQ(window->PanelOffset(), -552);
}

TEST_F(SettingsBehaviour, OnePixelAboveTheBottomANotchJumpsThereAtOnce) {
    window->SetPanelOffset(-551);
    WheelOnPanel(*window, -WHEEL_DELTA);
    EXPECT_EQ(window->PanelOffset(), -552);
    EXPECT_FALSE(window->scrollDownTimer.IsRunning());
    EXPECT_FALSE(window->scrollUpTimer.IsRunning());
    ExpectSelected("标签33");

    // One pixel below the top, a notch back jumps to 0 the same way.
    window->SetPanelOffset(-1);
    WheelOnPanel(*window, WHEEL_DELTA);
    EXPECT_EQ(window->PanelOffset(), 0);
    EXPECT_FALSE(window->scrollUpTimer.IsRunning());
    ExpectSelected("标签20");
}

TEST_F(SettingsBehaviour, ANotchTheOtherWayStopsTheRunningAnimation) {
    WheelOnPanel(*window, -WHEEL_DELTA);
    for (int tick = 0; tick < 3; ++tick)
        window->OnScrollDownTick();
    ASSERT_EQ(window->PanelOffset(), -22);
    ASSERT_TRUE(window->scrollDownTimer.IsRunning());

    WheelOnPanel(*window, WHEEL_DELTA);
    EXPECT_FALSE(window->scrollDownTimer.IsRunning());
    EXPECT_EQ(window->scrollUpTimer.Interval(), 1u);
    EXPECT_EQ(ScrollState().scrollUpStep, 0);
    ASSERT_TRUE(PumpUntil([&] { return !window->scrollUpTimer.IsRunning(); }));
    EXPECT_EQ(window->PanelOffset(), 0);

    // A new notch the same way starts afresh from where the panel stands.
    window->SetPanelOffset(-200);
    WheelOnPanel(*window, -WHEEL_DELTA);
    for (int tick = 0; tick < 5; ++tick)
        window->OnScrollDownTick();
    ASSERT_EQ(window->PanelOffset(), -234);
    WheelOnPanel(*window, -WHEEL_DELTA);
    EXPECT_EQ(ScrollState().scrollDownStep, 0);
    ASSERT_TRUE(PumpUntil([&] { return !window->scrollDownTimer.IsRunning(); }));
    EXPECT_EQ(window->PanelOffset(), -298);
}

TEST_F(SettingsBehaviour, AFractionOfANotchDoesNothingUntilItsNotchIsWhole) {
    WheelOnPanel(*window, -60);
    Pump(100ms);
    EXPECT_FALSE(window->scrollDownTimer.IsRunning());
    EXPECT_EQ(window->PanelOffset(), 0);

    // Below the top, a fraction away from the user must not start upwards.
    window->SetPanelOffset(-200);
    WheelOnPanel(*window, 60);
    Pump(100ms);
    EXPECT_FALSE(window->scrollUpTimer.IsRunning());
    EXPECT_EQ(window->PanelOffset(), -200);
    WheelOnPanel(*window, 30);
    EXPECT_FALSE(window->scrollUpTimer.IsRunning());
    WheelOnPanel(*window, 30); // 60 + 30 + 30: one whole notch
    EXPECT_TRUE(window->scrollUpTimer.IsRunning());
    ASSERT_TRUE(PumpUntil([&] { return !window->scrollUpTimer.IsRunning(); }));
    EXPECT_EQ(window->PanelOffset(), -136);
}

TEST_F(SettingsBehaviour, TheRealWheelOverThePanelScrollsIt) {
    const POINT free = FreePanelPoint();
    desktop::MoveMouse(free.x, free.y);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Panel().Handle(); }));
    desktop::Wheel(-WHEEL_DELTA);
    ASSERT_TRUE(
        PumpUntil([&] { return window->PanelOffset() == -64 && !window->scrollDownTimer.IsRunning(); }));
    desktop::Wheel(WHEEL_DELTA);
    ASSERT_TRUE(PumpUntil([&] { return window->PanelOffset() == 0 && !window->scrollUpTimer.IsRunning(); }));
    ExpectSelected("标签20");
}

// The controls' own procedures, under the one that passes the wheel on:
// Wine's trackbar ignores the wheel, so only here can a test see that a
// slider would not move on Windows.
HWND wheelReachedOwnProcedure = nullptr;
decltype(&DefSubclassProc) defaultSubclassProcedure = nullptr;

LRESULT WINAPI RecordWheel(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL)
        wheelReachedOwnProcedure = window;
    return defaultSubclassProcedure(window, message, wParam, lParam);
}

// Windows gives the wheel to the control under the pointer, Wine to the one
// with the focus: either way a slider or the closed font list passes it on,
// and the panel scrolls as over an empty spot of it.
TEST_F(SettingsBehaviour, TheWheelOverASliderOrTheFontListScrollsThePanelAndChangesNothing) {
    Slider& slider = Get<Slider>("滑块条1");
    ComboBox& fonts = Get<ComboBox>("组合框1");
    slider.SetPosition(100); // room to move either way
    const ClockSettings before = App().settings;
    const struct {
        Control* control;
        int from, delta, to;
    } cases[] = {{&slider, 0, -WHEEL_DELTA, -64}, {&fonts, -496, WHEEL_DELTA, -432}};
    for (const auto& c : cases) {
        for (const bool realWheel : {false, true}) {
            SCOPED_TRACE(c.control->Name() + (realWheel ? ", real wheel" : ", sent to the control"));
            window->SetPanelOffset(c.from);
            const POINT centre = CentreOnScreen(*c.control);
            if (realWheel) {
                SetFocus(c.control->Handle());
                desktop::MoveMouse(centre.x, centre.y);
                desktop::Wheel(c.delta);
            } else {
                const ImportHook hook("comctl32.dll", "DefSubclassProc",
                                      reinterpret_cast<void*>(&RecordWheel));
                ASSERT_TRUE(hook.Installed());
                defaultSubclassProcedure = hook.Original<decltype(&DefSubclassProc)>();
                wheelReachedOwnProcedure = nullptr;
                SendMessageW(c.control->Handle(), WM_MOUSEWHEEL,
                             MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(c.delta))),
                             MAKELPARAM(centre.x, centre.y));
                EXPECT_TRUE(window->scrollDownTimer.IsRunning() || window->scrollUpTimer.IsRunning())
                    << "an animation, as over the panel";
                EXPECT_NE(wheelReachedOwnProcedure, c.control->Handle()) << "the control saw the wheel too";
            }
            EXPECT_TRUE(PumpUntil([&] {
                return window->PanelOffset() == c.to && !window->scrollDownTimer.IsRunning() &&
                       !window->scrollUpTimer.IsRunning();
            })) << "offset "
                << window->PanelOffset();
            EXPECT_EQ(slider.Position(), 100);
            EXPECT_EQ(fonts.CurrentText(), before.fontName);
            EXPECT_EQ(App().settings.windowAlpha, before.windowAlpha);
            EXPECT_EQ(App().settings.fontName, before.fontName);
        }
    }
    // The keys still move a slider that has the focus.
    SetFocus(slider.Handle());
    PressKeyOn(slider, VK_DOWN);
    EXPECT_EQ(slider.Position(), 101);
    EXPECT_EQ(App().settings.windowAlpha, 255 - 101);
}

// ------------------------------------------------------------ live preview

class SettingsLivePreview : public SettingsBehaviour {
protected:
    void SetUp() override {
        SettingsBehaviour::SetUp();
        RedrawClock(App().clock, true);
    }
};

TEST_F(SettingsLivePreview, EachSliderSetsItsFieldItsLabelAndRedrawsTheClock) {
    const struct {
        const char* slider;
        WPARAM key;
        std::int32_t ClockSettings::*field;
        std::int32_t value;
        const char* label;
    } moves[] = {
        // Vertical opacity sliders: the top is opaque.
        {"滑块条2", VK_HOME, &ClockSettings::windowBackgroundAlpha, 255, "标签6"},
        {"滑块条2", VK_END, &ClockSettings::windowBackgroundAlpha, 0, "标签6"},
        {"滑块条2", VK_PRIOR, &ClockSettings::windowBackgroundAlpha, 5, "标签6"},
        {"滑块条3", VK_HOME, &ClockSettings::clockBackgroundAlpha, 255, "标签7"},
        {"滑块条4", VK_NEXT, &ClockSettings::clockAlpha, 250, "标签8"},
        {"滑块条5", VK_END, &ClockSettings::fontSize, 95, "标签15"},
        {"滑块条5", VK_HOME, &ClockSettings::fontSize, 20, "标签15"},
        {"滑块条6", VK_END, &ClockSettings::outlineWidth, 20, "标签18"},
        {"滑块条6", VK_HOME, &ClockSettings::outlineWidth, 0, "标签18"},
        // Last: a transparent time hides what the sizes do.
        {"滑块条4", VK_END, &ClockSettings::clockAlpha, 0, "标签8"},
    };
    for (const auto& move : moves) {
        SCOPED_TRACE(std::string(move.slider) + " " + std::to_string(move.value));
        const std::vector<std::uint8_t> before = CanvasBytes();
        const auto frames = RedrawCount();
        PressKeyOn(Get<Slider>(move.slider), move.key);
        EXPECT_EQ(Settings().*move.field, move.value);
        EXPECT_EQ(Get<Label>(move.label).Caption(), IntToText(move.value));
        EXPECT_EQ(RedrawCount(), frames + 1);
        EXPECT_NE(CanvasBytes(), before) << "the clock shows the change at once";
    }
}

TEST_F(SettingsLivePreview, WholeWindowOpacityOnlyPresentsTheCanvasAgain) {
    const POINT face{100 + 190, 100 + 20}; // the backdrop, clear of the text
    // The grey backdrop over the black desktop, once the clock reaches the screen.
    ASSERT_TRUE(desktop::WaitUntil([&] { return desktop::ScreenPixel(face.x, face.y) != RGB(0, 0, 0); }, 2s));
    const COLORREF opaque = desktop::ScreenPixel(face.x, face.y);
    const std::vector<std::uint8_t> before = CanvasBytes();
    const auto frames = RedrawCount();

    PressKeyOn(Get<Slider>("滑块条1"), VK_END);
    EXPECT_EQ(Settings().windowAlpha, 0);
    EXPECT_EQ(Get<Label>("标签5").Caption(), "0");
    EXPECT_EQ(App().clock.clockCanvas.GetAlpha(), 0);
    EXPECT_EQ(RedrawCount(), frames) << "no layer is drawn again";
    EXPECT_EQ(CanvasBytes(), before);
    EXPECT_TRUE(desktop::WaitUntil([&] { return desktop::ScreenPixel(face.x, face.y) != opaque; }, 2s))
        << "the window shows the new alpha";

    PressKeyOn(Get<Slider>("滑块条1"), VK_HOME);
    EXPECT_EQ(Settings().windowAlpha, 255);
    EXPECT_EQ(App().clock.clockCanvas.GetAlpha(), 255);
    EXPECT_EQ(RedrawCount(), frames);
    EXPECT_TRUE(desktop::WaitUntil([&] { return desktop::ScreenPixel(face.x, face.y) == opaque; }, 2s));
}

// The outline's colour is greyed while there is no outline to colour.
TEST_F(SettingsLivePreview, TheOutlineColourActsOnlyWithAnOutline) {
    const HWND colour = Get<ColourPicker>("颜色选择器6").Handle();
    EXPECT_TRUE(IsWindowEnabled(colour));
    PressKeyOn(Get<Slider>("滑块条6"), VK_HOME);
    EXPECT_EQ(Settings().outlineWidth, 0);
    EXPECT_FALSE(IsWindowEnabled(colour));
    PressKeyOn(Get<Slider>("滑块条6"), VK_RIGHT);
    EXPECT_TRUE(IsWindowEnabled(colour));
}

TEST_F(SettingsLivePreview, EachColourPickerSetsItsFieldAndRedrawsTheClock) {
    Settings().clockBackgroundAlpha = 200; // the panel shows, so its colour does
    RedrawClock(App().clock, false);
    const struct {
        const char* picker;
        std::int32_t ClockSettings::*field;
        COLORREF colour;
    } picks[] = {
        {"颜色选择器1", &ClockSettings::outerBorderColor, 0x0000FF},
        {"颜色选择器2", &ClockSettings::innerBorderColor, 0x00FF00},
        {"颜色选择器3", &ClockSettings::windowBackgroundColor, 0xFF0000},
        {"颜色选择器4", &ClockSettings::clockBackgroundColor, 0x00FFFF},
        {"颜色选择器5", &ClockSettings::fontColor, 0xFF00FF},
        {"颜色选择器6", &ClockSettings::outlineColor, 0x000080},
    };
    for (const auto& pick : picks) {
        SCOPED_TRACE(pick.picker);
        ColourPicker& picker = Get<ColourPicker>(pick.picker);
        ASSERT_TRUE(picker.onPicked) << "bound when the window opened";
        const std::vector<std::uint8_t> before = CanvasBytes();
        const auto frames = RedrawCount();
        // What the picker does when the user confirms the colour dialog.
        picker.SetColour(pick.colour);
        picker.onPicked(pick.colour);
        EXPECT_EQ(Settings().*pick.field, static_cast<std::int32_t>(pick.colour));
        EXPECT_EQ(RedrawCount(), frames + 1);
        EXPECT_NE(CanvasBytes(), before);
    }
}

TEST_F(SettingsLivePreview, PickingAFontSetsTheNameAndRedrawsTheClock) {
    ComboBox& fonts = Get<ComboBox>("组合框1");
    ASSERT_GT(fonts.ItemCount(), 1);
    const auto frames = RedrawCount();
    PressKeyOn(fonts, VK_HOME);
    EXPECT_EQ(fonts.CurrentIndex(), 0);
    EXPECT_EQ(Settings().fontName, fonts.ItemText(0));
    EXPECT_EQ(RedrawCount(), frames + 1);
    PressKeyOn(fonts, VK_END);
    EXPECT_EQ(Settings().fontName, fonts.ItemText(fonts.ItemCount() - 1));
    EXPECT_EQ(RedrawCount(), frames + 2);
}

// English from the language list: every text of the window, its lists and
// the clock's name at once; restoring the defaults follows Windows again,
// Chinese here.
TEST_F(SettingsLivePreview, PickingALanguageShowsEveryTextInItAtOnceAndTheDefaultFollowsWindows) {
    ComboBox& languages = Get<ComboBox>("组合框3");
    ASSERT_EQ(languages.ItemCount(), 3);
    EXPECT_EQ(languages.CurrentIndex(), 0);
    const auto titleOf = [](HWND handle) {
        wchar_t text[64]{};
        GetWindowTextW(handle, text, 64);
        return std::wstring(text);
    };
    PressKeyOn(languages, VK_END);
    EXPECT_EQ(Settings().interfaceLanguage, "English");
    EXPECT_EQ(titleOf(window->Handle()), L"Settings");
    EXPECT_EQ(Get<CheckBox>("选择框1").Caption(), "&Autostart");
    EXPECT_EQ(Get<Label>("标签20").Caption(), "General");
    EXPECT_EQ(Get<Button>("按钮1").Caption(), "Restore defaults");
    EXPECT_EQ(languages.ItemText(0), "Automatic");
    EXPECT_EQ(languages.CurrentIndex(), 2);
    EXPECT_EQ(Get<ComboBox>("组合框2").ItemText(0), "Local time");
    EXPECT_EQ(titleOf(Window()).find(L'\u5E74'), std::wstring::npos) << "the name's date is English";

    ClickButton(Get<Button>("按钮1"));
    EXPECT_EQ(Settings().interfaceLanguage, "自动");
    EXPECT_EQ(titleOf(window->Handle()), L"\u8BBE\u7F6E");
    EXPECT_EQ(Get<CheckBox>("选择框1").Caption(), "开机启动(&A)");
    EXPECT_EQ(languages.ItemText(0), "自动");
    EXPECT_EQ(languages.CurrentIndex(), 0);
    EXPECT_NE(titleOf(Window()).find(L'\u5E74'), std::wstring::npos);
}

TEST_F(SettingsLivePreview, ShowSecondsAddsAndRemovesTheSecondsAtOnceWithAFreshTime) {
    CheckBox& seconds = Get<CheckBox>("选择框6");
    ASSERT_TRUE(seconds.IsChecked());
    ASSERT_EQ(App().clock.timeText.timeText, L"9:05:07");
    SetFixedTime(9, 6, 30);
    const std::vector<std::uint8_t> withSeconds = CanvasBytes();

    ClickButton(seconds);
    EXPECT_FALSE(Settings().showSeconds);
    EXPECT_EQ(App().clock.timeText.timeText, L"9:06");
    EXPECT_NE(CanvasBytes(), withSeconds);

    ClickButton(seconds);
    EXPECT_TRUE(Settings().showSeconds);
    EXPECT_EQ(App().clock.timeText.timeText, L"9:06:30");
}

TEST_F(SettingsLivePreview, TimeFormatSectionGrowsTheClockForTheDateAndSwitchesItsForms) {
    CheckBox& date = Get<CheckBox>("选择框7");
    RadioButton& longForm = Get<RadioButton>("单选框1");
    RadioButton& shortForm = Get<RadioButton>("单选框2");
    ASSERT_TRUE(!date.IsChecked() && longForm.IsChecked() && !shortForm.IsChecked());
    const auto formsEnabled = [&] {
        return IsWindowEnabled(longForm.Handle()) + IsWindowEnabled(shortForm.Handle());
    };
    EXPECT_EQ(formsEnabled(), 0) << "no date, no form to choose";
    const std::vector<std::uint8_t> withoutDate = CanvasBytes();

    ClickButton(date);
    EXPECT_EQ(formsEnabled(), 2);
    EXPECT_TRUE(Settings().showDate);
    EXPECT_EQ(App().clock.clockCanvas.GetHeight(), 190);
    const std::wstring longDate = App().clock.timeText.dateText;
    ClickButton(shortForm);
    EXPECT_EQ(Settings().dateFormat, DateForm::Short);
    EXPECT_TRUE(!longForm.IsChecked() && shortForm.IsChecked());
    EXPECT_NE(App().clock.timeText.dateText, longDate);
    ClickButton(shortForm); // the form in use stays chosen
    EXPECT_TRUE(Settings().dateFormat == DateForm::Short && shortForm.IsChecked());
    ClickButton(longForm);
    EXPECT_EQ(App().clock.timeText.dateText, longDate);
    ClickButton(Get<CheckBox>("选择框8"));
    EXPECT_FALSE(App().clock.timeText.designator.empty());
    ClickButton(Get<CheckBox>("选择框8"));

    // Off again, the clock is what it was, pixel for pixel.
    ClickButton(date);
    EXPECT_EQ(formsEnabled(), 0);
    EXPECT_EQ(App().clock.clockCanvas.GetHeight(), 150);
    EXPECT_EQ(CanvasBytes(), withoutDate);
}

TEST_F(SettingsLivePreview, KeepOnTopTogglesTopmostAndTheButtonsLitState) {
    SetTopmost(true);
    App().clock.keepOnTopButton.state = ButtonState::Hover;
    CheckBox& onTop = Get<CheckBox>("选择框2");
    const auto frames = RedrawCount();

    ClickButton(onTop);
    EXPECT_FALSE(Settings().keepOnTop);
    EXPECT_FALSE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(App().clock.keepOnTopButton.state, ButtonState::Normal);
    EXPECT_EQ(RedrawCount(), frames + 1);

    ClickButton(onTop);
    EXPECT_TRUE(Settings().keepOnTop);
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(App().clock.keepOnTopButton.state, ButtonState::Hover);
    EXPECT_EQ(RedrawCount(), frames + 2);
}

TEST_F(SettingsLivePreview, TheOtherSwitchesSetTheirFlagsAndActAsEachShould) {
    const auto frames = RedrawCount();
    const std::vector<std::uint8_t> before = CanvasBytes();
    ClickButton(Get<CheckBox>("选择框3"));
    EXPECT_FALSE(Settings().layeredTransparency);
    EXPECT_EQ(RedrawCount(), frames + 1);
    EXPECT_NE(CanvasBytes(), before) << "the panel is copied opaque now";

    const int trims = WorkingSetTrimCount();
    ClickButton(Get<CheckBox>("选择框4"));
    EXPECT_TRUE(Settings().memoryOptimization);
    EXPECT_EQ(App().clockWindow->trimTimer.Interval(), 10000u);
    EXPECT_EQ(WorkingSetTrimCount(), trims + 1);
    ClickButton(Get<CheckBox>("选择框4"));
    EXPECT_FALSE(Settings().memoryOptimization);
    EXPECT_FALSE(App().clockWindow->trimTimer.IsRunning());
    EXPECT_EQ(WorkingSetTrimCount(), trims + 1) << "stopping trims no more";

    ClickButton(Get<CheckBox>("选择框5"));
    EXPECT_FALSE(Settings().restoreLastPosition);
    ClickButton(Get<CheckBox>("选择框5"));
    EXPECT_TRUE(Settings().restoreLastPosition);
    EXPECT_EQ(RedrawCount(), frames + 1) << "neither trimming nor the position redraws";
}

TEST_F(SettingsLivePreview, StartWithWindowsWritesTheRunValueOrClearsTheBoxAgain) {
    CheckBox& start = Get<CheckBox>("选择框1");
    const auto frames = RedrawCount();
    ClickButton(start);
    EXPECT_TRUE(start.IsChecked());
    EXPECT_TRUE(Settings().startWithWindows);
    EXPECT_TRUE(RunValueExists());
    ClickButton(start);
    EXPECT_FALSE(start.IsChecked());
    EXPECT_FALSE(Settings().startWithWindows);
    EXPECT_FALSE(RunValueExists());
    EXPECT_EQ(RedrawCount(), frames);

    // Roots that are no keys: both writes fail, the box clears itself again.
    const HKEY refused = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7654321));
    SetStartWithWindowsRoot(refused, refused);
    ClickButton(start);
    EXPECT_FALSE(start.IsChecked());
    EXPECT_FALSE(Settings().startWithWindows);
}

TEST_F(SettingsLivePreview, RestoreDefaultsWhileScrolledKeepsTheScrollAndRefreshesEveryControl) {
    TempDirectory directory;
    App().settingsFilePath = directory.WideFile("配置.ini");
    // The user changes a little of everything ...
    ClickButton(Get<CheckBox>("选择框1"));
    ASSERT_TRUE(RunValueExists());
    ClickButton(Get<CheckBox>("选择框2"));
    ClickButton(Get<CheckBox>("选择框4"));
    ClickButton(Get<CheckBox>("选择框6"));
    for (const char* slider : {"滑块条1", "滑块条2", "滑块条3", "滑块条5", "滑块条6"})
        PressKeyOn(Get<Slider>(slider), VK_END);
    Get<ColourPicker>("颜色选择器5").onPicked(0x123456);
    PressKeyOn(Get<ComboBox>("组合框1"), VK_HOME);
    // ... and scrolls to "边框和底图".
    SendMessageW(Get<Label>("标签22").Handle(), WM_LBUTTONUP, 0, 0);
    ASSERT_EQ(window->PanelOffset(), -368);
    SetFixedTime(11, 12, 13);
    const auto frames = RedrawCount();

    ClickButton(Get<Button>("按钮1"));

    EXPECT_EQ(window->PanelOffset(), -368);
    ExpectSelected("标签22");
    ExpectControlsShowDefaults();
    EXPECT_EQ(Settings().fontName, "微软雅黑");
    EXPECT_EQ(Settings().windowAlpha, 255);
    EXPECT_EQ(App().clock.clockCanvas.GetAlpha(), 255);
    EXPECT_FALSE(RunValueExists());
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(App().clock.keepOnTopButton.state, ButtonState::Hover);
    EXPECT_FALSE(App().clockWindow->trimTimer.IsRunning());
    EXPECT_EQ(RedrawCount(), frames + 1);
    EXPECT_EQ(App().clock.timeText.timeText, L"11:12:13") << "redrawn with a fresh time";
    // Nothing reaches the file at once, nor when this window closes: two
    // seconds after the last change.
    EXPECT_FALSE(FileExists(App().settingsFilePath));
    CloseSettingsWindow();
    EXPECT_FALSE(FileExists(App().settingsFilePath));
    EXPECT_EQ(App().clockWindow->saveTimer.Interval(), SaveDelayMilliseconds);
}

} // namespace
