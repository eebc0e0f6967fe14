// The settings window as a window: its frame, its owner, one window at a
// time, the keys it answers, and its controls driven by the user.
#include "settings/WindowLayouts.h"
#include "SettingsWindowFixture.h"
#include "support/RecordingListeners.h"

#include <set>
#include <string>

namespace {

using namespace settings_test;

bool IsSizingHit(LRESULT hit) {
    return hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
}

using SettingsWindowFrame = OpenSettingsWindowTest;

TEST_F(SettingsWindowFrame, TitleSizeAndCentredPlace) {
    wchar_t title[32]{};
    GetWindowTextW(window->Handle(), title, 32);
    EXPECT_EQ(std::wstring(title), L"设置");
    const RECT rect = ScreenRect(window->Handle());
    EXPECT_EQ(rect.right - rect.left, 702);
    EXPECT_EQ(rect.bottom - rect.top, 505);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 702) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 505) / 2);
    EXPECT_FALSE(GetWindowLongPtrW(window->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(SettingsWindowFrame, CloseBoxOnlyAndNotResizable) {
    const LONG_PTR style = GetWindowLongPtrW(window->Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    // No edge or corner offers sizing ...
    const RECT rect = ScreenRect(window->Handle());
    const int midX = (rect.left + rect.right) / 2;
    const int midY = (rect.top + rect.bottom) / 2;
    const POINT edges[] = {{rect.right - 1, midY},
                           {rect.left, midY},
                           {midX, rect.bottom - 1},
                           {midX, rect.top},
                           {rect.right - 1, rect.bottom - 1}};
    for (const POINT& edge : edges)
        EXPECT_FALSE(IsSizingHit(SendMessageW(window->Handle(), WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y))))
            << edge.x - rect.left << "," << edge.y - rect.top;

    // ... and a user dragging the right edge and the corner changes nothing.
    AsUser([&] {
        desktop::Drag(rect.right - 1, midY, rect.right + 80, midY);
        desktop::Drag(rect.right - 1, rect.bottom - 1, rect.right + 60, rect.bottom + 40);
    });
    const RECT after = ScreenRect(window->Handle());
    EXPECT_EQ(after.right - after.left, 702);
    EXPECT_EQ(after.bottom - after.top, 505);
}

TEST_F(SettingsWindowFrame, MovedByItsTitleBarOnly) {
    const RECT before = ScreenRect(window->Handle());
    // A press on the client area's empty band below the frame moves nothing.
    const POINT client = ClientToScreenPoint(window->Handle(), 400, 470);
    AsUser([&] { desktop::Drag(client.x, client.y, client.x + 50, client.y + 30); });
    EXPECT_EQ(ScreenRect(window->Handle()).left, before.left);
    EXPECT_EQ(ScreenRect(window->Handle()).top, before.top);

    const int titleY = before.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    ASSERT_EQ(SendMessageW(window->Handle(), WM_NCHITTEST, 0, MAKELPARAM(before.left + 200, titleY)),
              HTCAPTION);
    AsUser([&] { desktop::Drag(before.left + 200, titleY, before.left + 240, titleY + 24); });
    EXPECT_EQ(ScreenRect(window->Handle()).left, before.left + 40);
    EXPECT_EQ(ScreenRect(window->Handle()).top, before.top + 24);
}

TEST_F(SettingsWindowFrame, OwnedByTheHiddenOwnerSoNoTaskbarButton) {
    const HWND owner = GetWindow(window->Handle(), GW_OWNER);
    EXPECT_EQ(owner, HiddenOwnerWindow());
    EXPECT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_FALSE(GetWindowLongPtrW(window->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetAncestor(window->Handle(), GA_PARENT), GetDesktopWindow()) << "no parent window";
}

// ------------------------------------------------------------------ keys

using SettingsWindowKeys = OpenSettingsWindowTest;

TEST_F(SettingsWindowKeys, EscapeClosesItWhateverControlHasTheFocus) {
    for (const char* focused : {"选择框3", "滑块条5", "组合框1", "按钮1"}) {
        SCOPED_TRACE(focused);
        if (!window) {
            state = std::make_unique<SettingsWindowState>();
            window = &state->window;
        }
        SetForegroundWindow(window->Handle());
        const HWND control = window->FindControl(focused)->Handle();
        SetFocus(control);
        ASSERT_TRUE(
            PumpUntil([&] { return GetForegroundWindow() == window->Handle() && GetFocus() == control; }));
        desktop::PressKey(VK_ESCAPE);
        EXPECT_TRUE(PumpUntil([&] { return !window->Exists(); }));
        window = nullptr;
    }
}

TEST_F(SettingsWindowKeys, EnterMovesNoFocusAndChangesNothing) {
    const bool keepOnTopShown = window->Find<CheckBox>("选择框2")->IsChecked();
    const int opacityShown = window->Find<Slider>("滑块条1")->Position();
    for (const char* focused : {"选择框2", "滑块条1", "按钮1"}) {
        SCOPED_TRACE(focused);
        const HWND control = window->FindControl(focused)->Handle();
        SetFocus(control);
        Pump(50ms);
        desktop::PressKey(VK_RETURN);
        Pump(150ms);
        EXPECT_EQ(GetFocus(), control);
        EXPECT_TRUE(window->Exists());
    }
    EXPECT_EQ(window->Find<CheckBox>("选择框2")->IsChecked(), keepOnTopShown);
    EXPECT_EQ(window->Find<Slider>("滑块条1")->Position(), opacityShown);
}

TEST_F(SettingsWindowKeys, TabVisitsEveryInteractiveControlAndNothingElse) {
    // Greyed controls are passed over: the date forms while no date shows.
    std::set<std::string> tabStops;
    for (const ControlRecord& record : SettingsWindowControls)
        if (IsTabStop(record.kind) && IsWindowEnabled(window->FindControl(record.name)->Handle()))
            tabStops.insert(std::string(record.name));
    ASSERT_EQ(tabStops.size(), 26u);

    SetFocus(window->FindControl("按钮1")->Handle());
    std::set<std::string> visited;
    for (std::size_t press = 0; press < tabStops.size(); ++press) {
        const HWND before = GetFocus();
        desktop::PressKey(VK_TAB);
        PumpUntil([&] { return GetFocus() != before; });
        const Control* focused = window->FindControl(GetFocus());
        ASSERT_NE(focused, nullptr) << "the focus left the layout's controls after " << press + 1
                                    << " presses";
        EXPECT_TRUE(tabStops.count(focused->Name())) << focused->Name();
        visited.insert(focused->Name());
    }
    EXPECT_EQ(visited, tabStops);
}

// --------------------------------------------- the panel's controls, live

using SettingsPanelControls = OpenSettingsWindowTest;

TEST_F(SettingsPanelControls, UserActionOnThePanelReachesTheControlsCodeDoesNot) {
    CheckBox* seconds = window->Find<CheckBox>("选择框6");
    Slider* opacity = window->Find<Slider>("滑块条1");
    ColourPicker* colour = window->Find<ColourPicker>("颜色选择器1");
    ComboBox* fonts = window->Find<ComboBox>("组合框1");
    ASSERT_TRUE(seconds && opacity && colour && fonts);
    std::vector<std::string> events;
    seconds->onToggled = [&](bool on) { events.push_back(on ? "秒:开" : "秒:关"); };
    opacity->onMoved = [&](int position) { events.push_back("透明度:" + std::to_string(position)); };
    colour->onPicked = [&](COLORREF) { events.push_back("颜色"); };
    fonts->onPicked = [&](int index) { events.push_back("字体:" + std::to_string(index)); };

    seconds->SetChecked(true);
    opacity->SetPosition(80);
    colour->SetColour(0x00FFFF);
    fonts->AddItem("宋体");
    fonts->SetCurrentIndex(0);
    Pump(100ms);
    EXPECT_TRUE(events.empty());

    seconds->SetChecked(false);
    const RECT box = ScreenRect(seconds->Handle());
    desktop::Click(box.left + 7, (box.top + box.bottom) / 2);
    ASSERT_TRUE(PumpUntil([&] { return events.size() == 1; }));
    const RECT slider = ScreenRect(opacity->Handle());
    desktop::Click((slider.left + slider.right) / 2, slider.bottom - 20); // channel below the thumb
    ASSERT_TRUE(PumpUntil([&] { return events.size() == 2; }));
    Pump(100ms);
    EXPECT_EQ(events, (std::vector<std::string>{"秒:开", "透明度:85"}));
}

} // namespace

namespace {

// The window with a listener that only writes down its reports: every control
// reports its field and value, and the window changes no setting itself.
TEST(SettingsWindowReports, EachControlReportsItsFieldAndARefusedChangeShowsRefused) {
    ClockSettings settings = DefaultSettings();
    settings.timeZone = "Mars Standard Time"; // no zone of this machine
    settings.zoneLabel = "火星";
    RecordingSettingsListener listener;
    const ClockSettings before = settings;
    {
        SettingsWindow window(settings, listener);
        ASSERT_TRUE(window.Create(SettingsWindowLayout));
        CheckBox& keepOnTop = *window.Find<CheckBox>("选择框2");
        ASSERT_TRUE(keepOnTop.IsChecked());
        keepOnTop.onToggled(false);
        // Nobody applied it: the box shows the setting as it still is.
        EXPECT_TRUE(keepOnTop.IsChecked());
        window.Find<Slider>("滑块条1")->onMoved(55); // whole-window opacity, inverted
        window.Find<Slider>("滑块条5")->onMoved(42);
        window.Find<ColourPicker>("颜色选择器6")->onPicked(0x123456);
        ComboBox& fonts = *window.Find<ComboBox>("组合框1");
        ASSERT_GT(fonts.ItemCount(), 0);
        fonts.SetCurrentIndex(0);
        fonts.onPicked(0);
        // Local time first, the machine's zones once the user reaches the
        // list, and the unknown key shown marked while it is the setting.
        ComboBox& zones = *window.Find<ComboBox>("组合框2");
        EXPECT_EQ(zones.ItemCount(), 2) << "every zone waits for the user";
        zones.onReached();
        const int last = zones.ItemCount() - 1;
        ASSERT_GT(last, 50);
        EXPECT_EQ(zones.ItemText(0), "本地时间");
        EXPECT_EQ(zones.CurrentIndex(), last);
        EXPECT_EQ(zones.ItemText(last), "Mars Standard Time（本地时间）");
        int tokyo = 0;
        while (tokyo < last && !zones.ItemText(tokyo).starts_with("(UTC+09:00) Osaka"))
            ++tokyo;
        zones.onPicked(tokyo);
        zones.onPicked(0);
        TextBox& label = *window.Find<TextBox>("文本框1");
        EXPECT_EQ(label.Caption(), "火星");
        // What GBK lacks never reaches the settings.
        SendMessageW(label.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"东京😀한"));
        window.Find<Button>("按钮1")->onClicked();
        EXPECT_EQ(window.Find<Label>("标签15")->Caption(), "42");

        ASSERT_EQ(listener.flags.size(), 1u);
        EXPECT_EQ(listener.flags[0].field, &ClockSettings::keepOnTop);
        EXPECT_FALSE(listener.flags[0].value);
        ASSERT_EQ(listener.texts.size(), 4u);
        EXPECT_EQ(listener.texts[0].field, &ClockSettings::fontName);
        EXPECT_EQ(listener.texts[0].value, fonts.CurrentText());
        EXPECT_EQ(listener.texts[1].field, &ClockSettings::timeZone);
        EXPECT_EQ(listener.texts[1].value, "Tokyo Standard Time");
        EXPECT_EQ(listener.texts[2].value, "") << "local time";
        EXPECT_EQ(listener.texts[3].field, &ClockSettings::zoneLabel);
        EXPECT_EQ(listener.texts[3].value, "东京");
        ASSERT_EQ(listener.numbers.size(), 3u);
        EXPECT_EQ(listener.numbers[0].field, &ClockSettings::windowAlpha);
        EXPECT_EQ(listener.numbers[0].value, 200);
        EXPECT_EQ(listener.numbers[1].field, &ClockSettings::fontSize);
        EXPECT_EQ(listener.numbers[1].value, 42);
        EXPECT_EQ(listener.numbers[2].field, &ClockSettings::outlineColor);
        EXPECT_EQ(listener.numbers[2].value, 0x123456);
        EXPECT_EQ(listener.restores, 1);
        window.Destroy();
    }
    for (const SettingField& field : SettingFields)
        EXPECT_EQ(FieldText(settings, field), FieldText(before, field)) << field.key;
}

} // namespace
