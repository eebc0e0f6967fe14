// The control kinds, each built from a record in a small test window and
// driven both from code and as a user would drive it (SendInput).
#include "framework/ControlFont.h"
#include "framework/Controls.h"
#include "framework/Window.h"
#include "support/Desktop.h"

#include <gtest/gtest.h>

#include <colordlg.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr COLORREF Red = 0x0000FF;
constexpr COLORREF Yellow = 0x00FFFF;
constexpr COLORREF LabelBack = 0x7F3F1F;

constexpr ControlRecord TestControls[] = {
    {.name = "按钮",
     .kind = ControlKind::Button,
     .parent = "",
     .rect = {10, 10, 100, 30},
     .look = {.caption = "按一下"}},
    {.name = "框",
     .kind = ControlKind::ShapeBox,
     .parent = "",
     .rect = {10, 50, 360, 220},
     .look = {.fillColour = Yellow, .outlineWidth = 3, .outlineColour = Red}},
    {.name = "标签",
     .kind = ControlKind::Label,
     .parent = "框",
     .rect = {10, 10, 120, 24},
     .look = {.caption = "标签文字", .textColour = 0xFFFFFF, .backColour = LabelBack}},
    {.name = "选择框",
     .kind = ControlKind::CheckBox,
     .parent = "框",
     .rect = {10, 40, 120, 24},
     .look = {.caption = "显示秒数"}},
    {.name = "滑块条",
     .kind = ControlKind::Slider,
     .parent = "框",
     .rect = {10, 70, 200, 30},
     .state = {.minimum = 0, .maximum = 20, .position = 5}},
    {.name = "颜色选择器",
     .kind = ControlKind::ColourPicker,
     .parent = "框",
     .rect = {10, 110, 104, 24},
     .state = {.colour = 0x00FF00}},
    {.name = "组合框", .kind = ControlKind::ComboBox, .parent = "框", .rect = {150, 10, 140, 28}},
    {.name = "规则",
     .kind = ControlKind::Label,
     .parent = "框",
     .rect = {10, 150, 200, 2},
     .look = {.backColour = 0xC0C0C0}},
    {.name = "文本框", .kind = ControlKind::TextBox, .parent = "框", .rect = {220, 110, 130, 26}},
};

constexpr WindowLayout TestLayout{
    .title = "控件",
    .width = 400,
    .height = 320,
    .frame = WindowFrame::FixedDialog,
    .dragToMove = false,
    .escCloses = true,
    .controls = TestControls,
};

void Pump(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    do {
        PumpPendingMessages();
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
}

POINT ScreenPoint(const Control& control, int x, int y) {
    POINT point{x, y};
    ClientToScreen(control.Handle(), &point);
    return point;
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

class ControlsWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.Create(TestLayout));
        SetForegroundWindow(window.Handle());
        RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(150ms);
        box = window.Find<ShapeBox>("框");
        label = window.Find<Label>("标签");
        checkBox = window.Find<CheckBox>("选择框");
        slider = window.Find<Slider>("滑块条");
        picker = window.Find<ColourPicker>("颜色选择器");
        combo = window.Find<ComboBox>("组合框");
        button = window.Find<Button>("按钮");
        textBox = window.Find<TextBox>("文本框");
        ASSERT_TRUE(box && label && checkBox && slider && picker && combo && button && textBox);
    }
    void TearDown() override {
        window.Destroy();
        Pump(50ms);
    }

    Window window;
    ShapeBox* box = nullptr;
    Label* label = nullptr;
    CheckBox* checkBox = nullptr;
    Slider* slider = nullptr;
    ColourPicker* picker = nullptr;
    ComboBox* combo = nullptr;
    Button* button = nullptr;
    TextBox* textBox = nullptr;
};

// ------------------------------------------------------------ plain rules

TEST(ControlRules, WheelNotchesAreWholeAndTruncatedTowardZero) {
    const struct {
        int delta;
        int notches;
    } cases[] = {{0, 0}, {60, 0}, {-60, 0}, {119, 0}, {120, 1}, {239, 1}, {240, 2}, {-120, -1}, {-359, -2}};
    for (const auto& c : cases)
        EXPECT_EQ(WheelNotches(c.delta), c.notches) << "delta " << c.delta;
}

TEST(ControlRules, KeyStateIsCtrlOneShiftTwoAltFour) {
    const struct {
        WPARAM flags;
        bool alt;
        int keys;
    } cases[] = {
        {0, false, 0},
        {MK_CONTROL, false, 1},
        {MK_SHIFT, false, 2},
        {0, true, 4},
        {MK_CONTROL | MK_SHIFT, true, 7},
        {MK_LBUTTON | MK_RBUTTON | MK_MBUTTON, false, 0}, // buttons are no keys
    };
    for (const auto& c : cases)
        EXPECT_EQ(MouseKeyState(c.flags, c.alt), c.keys) << "flags " << c.flags << " alt " << c.alt;
}

TEST(ControlRules, DefaultColourIsTheButtonFace) {
    EXPECT_EQ(ResolveColour(DefaultColour), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ResolveColour(0x123456), 0x123456u);
}

TEST(ControlFontTest, IsYaHeiFifteenPixelsGb2312) {
    for (const bool bold : {false, true}) {
        SCOPED_TRACE(bold ? "bold" : "regular");
        LOGFONTW font{};
        ASSERT_EQ(GetObjectW(ControlFont(bold), sizeof font, &font), static_cast<int>(sizeof font));
        EXPECT_EQ(font.lfHeight, -15);
        EXPECT_EQ(font.lfWeight, bold ? 700 : 400);
        EXPECT_FALSE(font.lfItalic);
        EXPECT_FALSE(font.lfUnderline);
        EXPECT_FALSE(font.lfStrikeOut);
        EXPECT_EQ(font.lfCharSet, 134);
        EXPECT_EQ(font.lfOutPrecision, 3);
        EXPECT_EQ(font.lfClipPrecision, 2);
        EXPECT_EQ(font.lfQuality, 1);
        EXPECT_EQ(font.lfPitchAndFamily, 0x22);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"微软雅黑");
    }
    EXPECT_EQ(ControlFont(false), ControlFont(false)) << "one font for the whole process";
    EXPECT_NE(ControlFont(false), ControlFont(true));
}

// ------------------------------------------------------------ the builder

TEST_F(ControlsWindow, FindAnswersOnlyTheAskedKind) {
    EXPECT_EQ(window.Find<Label>("按钮"), nullptr);
    EXPECT_EQ(window.Find<Button>("不存在"), nullptr);
    EXPECT_EQ(window.FindControl("时钟1"), nullptr) << "a timer is no child window";
    EXPECT_EQ(window.FindControl(button->Handle()), button);
    EXPECT_EQ(window.FindControl(window.Handle()), nullptr);
    ASSERT_EQ(window.Controls().size(), std::size(TestControls));
}

TEST_F(ControlsWindow, ChildrenHaveTheirRecordsParentAndRectangle) {
    for (const ControlRecord& record : TestControls) {
        SCOPED_TRACE(record.name);
        const Control* control = window.FindControl(record.name);
        ASSERT_NE(control, nullptr);
        const HWND parent =
            record.parent.empty() ? window.Handle() : window.FindControl(record.parent)->Handle();
        EXPECT_EQ(GetParent(control->Handle()), parent);
        RECT rect = ScreenRect(control->Handle());
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, record.rect.left);
        EXPECT_EQ(rect.top, record.rect.top);
        EXPECT_EQ(rect.right - rect.left, record.rect.width);
        EXPECT_EQ(rect.bottom - rect.top, record.rect.height);
        EXPECT_EQ(control->Bounds(), record.rect);
        EXPECT_EQ((GetWindowLongPtrW(control->Handle(), GWL_STYLE) & WS_TABSTOP) != 0,
                  IsTabStop(record.kind));
    }
}

TEST_F(ControlsWindow, TableOrderIsStackingOrder) {
    // Inside the box: the earlier record lies above the later one.
    std::vector<HWND> stack;
    for (HWND child = GetWindow(box->Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        stack.push_back(child);
    std::vector<HWND> expected;
    for (const ControlRecord& record : TestControls)
        if (record.parent == "框")
            expected.push_back(window.FindControl(record.name)->Handle());
    EXPECT_EQ(stack, expected);
}

TEST_F(ControlsWindow, AWindowTimerStartsStoppedWithItsIdAndTicksAtItsInterval) {
    WindowTimer timer(window, 7, nullptr);
    EXPECT_EQ(timer.Id(), 7u);
    EXPECT_FALSE(timer.IsRunning());
    int ticks = 0;
    timer.SetTickHandler([&] { ++ticks; });
    timer.SetInterval(10);
    EXPECT_TRUE(desktop::WaitUntil([&] { return ticks >= 2; }, 2s));
    timer.SetInterval(0);
}

TEST(ControlLifetime, ControlsOutliveTheirWindowWithoutHandles) {
    Window window;
    ASSERT_TRUE(window.Create(TestLayout));
    Label* label = window.Find<Label>("标签");
    Slider* slider = window.Find<Slider>("滑块条");
    ASSERT_TRUE(label && slider);
    window.Destroy();
    EXPECT_EQ(label->Handle(), nullptr);
    EXPECT_EQ(slider->Handle(), nullptr);
    // Setting a closed window's control does nothing, and does not crash.
    label->SetCaption("x");
    slider->SetPosition(3);
    EXPECT_EQ(label->Caption(), "");
    // Made again, the window builds fresh controls.
    ASSERT_TRUE(window.Create(TestLayout));
    ASSERT_NE(window.Find<Label>("标签"), nullptr);
    EXPECT_NE(window.Find<Label>("标签")->Handle(), nullptr);
    window.Destroy();
}

// ----------------------------------------------------------- text and font

TEST_F(ControlsWindow, CaptionsReachWindowsAsCodePage936) {
    // The wide text Windows holds is the GBK caption read as code page 936,
    // whatever the system code page is.
    EXPECT_EQ(label->Caption(), "标签文字");
    checkBox->SetCaption("恢复上次关闭时的位置");
    wchar_t text[64]{};
    GetWindowTextW(checkBox->Handle(), text, 64);
    EXPECT_EQ(std::wstring(text), L"恢复上次关闭时的位置");
    EXPECT_EQ(checkBox->Caption(), "恢复上次关闭时的位置");
    GetWindowTextW(button->Handle(), text, 64);
    EXPECT_EQ(std::wstring(text), L"按一下");
}

TEST_F(ControlsWindow, TextControlsUseTheControlFont) {
    for (const Control* control : {static_cast<const Control*>(label), static_cast<const Control*>(checkBox),
                                   static_cast<const Control*>(combo), static_cast<const Control*>(button),
                                   static_cast<const Control*>(textBox)}) {
        SCOPED_TRACE(control->Name());
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control->Handle(), WM_GETFONT, 0, 0)),
                  ControlFont(false));
    }
    label->SetBold(true);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(label->Handle(), WM_GETFONT, 0, 0)), ControlFont(true));
}

// ---------------------------------------------------------------- looks

TEST_F(ControlsWindow, ShapeBoxDrawsItsOutlineInsideAndItsFillWithin) {
    const RECT rect = ScreenRect(box->Handle());
    const int midY = (rect.top + rect.bottom) / 2;
    const int right = rect.right - 1;
    // Three pixels of outline, inside the frame, on every side.
    ASSERT_EQ(desktop::WaitForPixel(rect.left, midY, Red), Red) << "the box is not on the screen";
    for (int inset = 0; inset < 3; ++inset) {
        EXPECT_EQ(desktop::WaitForPixel(rect.left + inset, midY, Red), Red) << inset;
        EXPECT_EQ(desktop::WaitForPixel(right - inset, midY, Red), Red) << inset;
        EXPECT_EQ(desktop::WaitForPixel(rect.left + 250, rect.top + inset, Red), Red) << inset;
        EXPECT_EQ(desktop::WaitForPixel(rect.left + 250, rect.bottom - 1 - inset, Red), Red) << inset;
    }
    EXPECT_EQ(desktop::WaitForPixel(right - 3, midY, Yellow), Yellow);
    EXPECT_EQ(desktop::WaitForPixel(rect.left + 250, rect.bottom - 4, Yellow), Yellow);
    // Just outside the box: the window's own background.
    EXPECT_EQ(desktop::WaitForPixel(rect.right, midY, GetSysColor(COLOR_BTNFACE)),
              GetSysColor(COLOR_BTNFACE));

    box->SetFillColour(DefaultColour);
    box->SetOutline(0, 0);
    UpdateWindow(box->Handle());
    EXPECT_EQ(desktop::WaitForPixel(rect.left, midY, GetSysColor(COLOR_BTNFACE)), GetSysColor(COLOR_BTNFACE))
        << "no outline";
    EXPECT_EQ(desktop::WaitForPixel(right - 3, midY, GetSysColor(COLOR_BTNFACE)), GetSysColor(COLOR_BTNFACE))
        << "no fill";
}

TEST_F(ControlsWindow, LabelPaintsItsBackgroundAndTextColours) {
    const RECT rect = ScreenRect(label->Handle());
    ASSERT_EQ(desktop::WaitForPixel(rect.right - 2, rect.top + 1, LabelBack), LabelBack);
    const auto whitePixels = [&] {
        const auto pixels =
            desktop::CaptureScreen(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        return std::count(pixels.begin(), pixels.end(), COLORREF{0xFFFFFF});
    };
    EXPECT_TRUE(desktop::WaitUntil([&] { return whitePixels() > 20; }, 3s))
        << "the caption in white: " << whitePixels() << " white pixels";

    label->SetCaption("");
    label->SetBackColour(Red);
    UpdateWindow(label->Handle());
    ASSERT_EQ(desktop::WaitForPixel(rect.left, rect.top, Red), Red);
    for (int y = rect.top; y < rect.bottom; y += 3)
        for (int x = rect.left; x < rect.right; x += 7)
            ASSERT_EQ(desktop::WaitForPixel(x, y, Red), Red) << x - rect.left << "," << y - rect.top;
}

TEST_F(ControlsWindow, RuleIsATwoPixelGreyLine) {
    const RECT rect = ScreenRect(window.FindControl("规则")->Handle());
    ASSERT_EQ(desktop::WaitForPixel(rect.left, rect.top, 0xC0C0C0u), 0xC0C0C0u)
        << "the rule is not on the screen";
    for (int x = rect.left; x < rect.right; x += 9) {
        EXPECT_EQ(desktop::WaitForPixel(x, rect.top, 0xC0C0C0u), 0xC0C0C0u);
        EXPECT_EQ(desktop::WaitForPixel(x, rect.top + 1, 0xC0C0C0u), 0xC0C0C0u);
        EXPECT_EQ(desktop::WaitForPixel(x, rect.top - 1, Yellow), Yellow) << "no border above";
        EXPECT_EQ(desktop::WaitForPixel(x, rect.top + 2, Yellow), Yellow) << "no border below";
    }
}

TEST_F(ControlsWindow, ColourPickerShowsItsColour) {
    const RECT rect = ScreenRect(picker->Handle());
    const int x = (rect.left + rect.right) / 2;
    const int y = (rect.top + rect.bottom) / 2;
    EXPECT_EQ(desktop::WaitForPixel(x, y, 0x00FF00u), 0x00FF00u);
    picker->SetColour(0x123456);
    EXPECT_EQ(picker->Colour(), 0x123456u);
    UpdateWindow(picker->Handle());
    EXPECT_EQ(desktop::WaitForPixel(x, y, 0x123456u), 0x123456u);
}

// ------------------------------------------------------ slider and combo

TEST_F(ControlsWindow, SliderHasPageFiveLineOneNoTicksAndClamps) {
    EXPECT_EQ(slider->PageSize(), 5);
    EXPECT_EQ(slider->LineSize(), 1);
    EXPECT_EQ(slider->Minimum(), 0);
    EXPECT_EQ(slider->Maximum(), 20);
    EXPECT_EQ(slider->Position(), 5);
    EXPECT_FALSE(slider->IsVertical());
    const LONG_PTR style = GetWindowLongPtrW(slider->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & TBS_NOTICKS);
    EXPECT_FALSE(style & TBS_ENABLESELRANGE);
    EXPECT_FALSE(style & WS_BORDER);
    slider->SetPosition(99);
    EXPECT_EQ(slider->Position(), 20);
    slider->SetPosition(-4);
    EXPECT_EQ(slider->Position(), 0);
    slider->SetRange(20, 95);
    slider->SetPosition(80);
    EXPECT_EQ(slider->Position(), 80);
}

TEST_F(ControlsWindow, ComboBoxIsAnUnsortedDropDownListWithTallerItems) {
    const LONG_PTR style = GetWindowLongPtrW(combo->Handle(), GWL_STYLE);
    EXPECT_EQ(style & 0x3, CBS_DROPDOWNLIST);
    EXPECT_FALSE(style & CBS_SORT);
    EXPECT_EQ(combo->CurrentIndex(), -1);
    EXPECT_EQ(combo->ItemCount(), 0);

    combo->AddItem("宋体");
    combo->AddItem("Arial");
    combo->AddItem("微软雅黑");
    ASSERT_EQ(combo->ItemCount(), 3);
    EXPECT_EQ(combo->ItemText(0), "宋体");
    EXPECT_EQ(combo->ItemText(1), "Arial");
    EXPECT_EQ(combo->ItemText(2), "微软雅黑");
    combo->SetCurrentIndex(2);
    EXPECT_EQ(combo->CurrentText(), "微软雅黑");
    combo->ClearItems();
    EXPECT_EQ(combo->CurrentIndex(), -1);
    EXPECT_EQ(combo->CurrentText(), "");

    // The reference: a plain drop-down list with the same font.
    const HWND plain = CreateWindowExW(0, WC_COMBOBOXW, L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 160,
                                       box->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(plain, nullptr);
    SendMessageW(plain, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont(false)), FALSE);
    const LRESULT plainItem = SendMessageW(plain, CB_GETITEMHEIGHT, 0, 0);
    DestroyWindow(plain);
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), plainItem + 1);

    EXPECT_EQ(combo->Bounds().height, 28) << "the closed field is as tall as its layout row";
    // With more items than fit, field and dropped list reach the created height.
    for (int i = 0; i < 30; ++i)
        combo->AddItem("字体");
    SendMessageW(combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    const RECT field = ScreenRect(combo->Handle());
    const RECT list = ScreenRect(combo->ListHandle());
    SendMessageW(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_GE(list.bottom - field.top, ComboBox::MinimumCreatedHeight);
}

// --------------------------------------------- events: code raises none

TEST_F(ControlsWindow, SettingPropertiesFromCodeRaisesNoEvent) {
    int events = 0;
    checkBox->onToggled = [&](bool) { ++events; };
    slider->onMoved = [&](int) { ++events; };
    picker->onPicked = [&](COLORREF) { ++events; };
    combo->onPicked = [&](int) { ++events; };
    button->onClicked = [&] { ++events; };
    label->onMouseMoved = [&](int, int, int) { ++events; };
    label->onLeftButtonUp = [&](int, int, int) { ++events; };
    box->onMouseMoved = [&](int, int, int) { ++events; };
    box->onMouseWheel = [&](int, int) { ++events; };
    textBox->onEdited = [&](const std::string&) { ++events; };
    desktop::MoveMouse(0, 0); // keep the real mouse out of the way

    checkBox->SetChecked(true);
    checkBox->SetChecked(false);
    checkBox->SetCaption("新");
    slider->SetRange(20, 95);
    slider->SetPosition(60);
    slider->SetPosition(200); // clamped
    picker->SetColour(0x102030);
    combo->AddItem("甲");
    combo->AddItem("乙");
    combo->SetCurrentIndex(1);
    combo->SetCurrentIndex(-1);
    combo->ClearItems();
    button->SetCaption("别按");
    label->SetCaption("新的");
    textBox->SetCaption("东京");
    label->SetTextColour(Red);
    label->SetBackColour(Yellow);
    box->SetFillColour(Red);
    box->Move(12, 52);
    Pump(200ms);

    EXPECT_EQ(events, 0);
    EXPECT_FALSE(checkBox->IsChecked());
    EXPECT_EQ(slider->Position(), 95);
    EXPECT_EQ(picker->Colour(), 0x102030u);
}

// ------------------------------------------- events: the user raises them

TEST_F(ControlsWindow, UserClickTogglesCheckBoxOnce) {
    std::vector<bool> toggles;
    checkBox->onToggled = [&](bool checked) { toggles.push_back(checked); };
    const POINT box = ScreenPoint(*checkBox, 7, 12);
    desktop::Click(box.x, box.y);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !toggles.empty(); }, 2s));
    desktop::Click(box.x, box.y);
    desktop::WaitUntil([&] { return toggles.size() >= 2; }, 2s);
    EXPECT_EQ(toggles, (std::vector<bool>{true, false}));
    EXPECT_FALSE(checkBox->IsChecked());
}

TEST_F(ControlsWindow, UserMovesSliderAndEndOfTrackingIsNoEvent) {
    std::vector<int> moves;
    slider->onMoved = [&](int position) { moves.push_back(position); };
    // A click in the channel right of the thumb: one page step.
    const POINT channel = ScreenPoint(*slider, 190, 15);
    desktop::Click(channel.x, channel.y);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !moves.empty(); }, 2s));
    Pump(100ms);
    EXPECT_EQ(moves, (std::vector<int>{10}));

    // One arrow key: a line step, then the end of the tracking.
    moves.clear();
    SetFocus(slider->Handle());
    desktop::PressKey(VK_RIGHT);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !moves.empty(); }, 2s));
    Pump(100ms);
    EXPECT_EQ(moves, (std::vector<int>{11}));
    EXPECT_EQ(slider->Position(), 11);
}

TEST_F(ControlsWindow, UserPicksComboItem) {
    combo->AddItem("甲");
    combo->AddItem("乙");
    combo->AddItem("丙");
    std::vector<int> picks;
    combo->onPicked = [&](int index) { picks.push_back(index); };
    const POINT field = ScreenPoint(*combo, 70, 14);
    desktop::Click(field.x, field.y);
    ASSERT_TRUE(desktop::WaitUntil([&] { return IsWindowVisible(combo->ListHandle()) != FALSE; }, 2s));
    const RECT list = ScreenRect(combo->ListHandle());
    const int itemHeight = static_cast<int>(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0));
    desktop::Click(list.left + 20, list.top + 1 + itemHeight + itemHeight / 2); // the second item
    ASSERT_TRUE(desktop::WaitUntil([&] { return !picks.empty(); }, 2s));
    EXPECT_EQ(picks.back(), 1);
    EXPECT_EQ(combo->CurrentText(), "乙");
}

TEST_F(ControlsWindow, UserClicksButton) {
    int clicks = 0;
    button->onClicked = [&] { ++clicks; };
    const POINT centre = ScreenPoint(*button, 50, 15);
    desktop::Click(centre.x, centre.y);
    ASSERT_TRUE(desktop::WaitUntil([&] { return clicks > 0; }, 2s));
    Pump(100ms);
    EXPECT_EQ(clicks, 1);
}

// A text box keeps what GBK holds, however the text came: set whole, put in
// for the selection (a paste), or typed unit by unit, a pair of surrogates
// as two WM_CHARs, as a keyboard sends it.
TEST_F(ControlsWindow, TextBoxKeepsOnlyWhatGbkHoldsAndSaysWhatItLeftOut) {
    enum { SetText, ReplaceSelection, Typed };
    const struct {
        int how;
        const char* before;
        int caret;
        const wchar_t* entered;
        const char* kept;
        const wchar_t* refused; // the last told; GBK alone is never told
        int caretAfter;         // -1: a set text puts it where the platform does
    } cases[] = {
        {SetText, "", 0, L"东京 Tk αβ①·", "东京 Tk αβ①·", L"", -1},
        {ReplaceSelection, "前后", 1, L"东京", "前东京后", L"", 3},
        {Typed, "", 0, L"东京 Tk αβ①·", "东京 Tk αβ①·", L"", 10},
        {SetText, "", 0, L"Tk东京😀한국αβ", "Tk东京αβ", L"😀한국", -1},
        {ReplaceSelection, "", 0, L"Tk东京😀한국αβ", "Tk东京αβ", L"😀한국", 6},
        {Typed, "", 0, L"Tk东京😀한국αβ", "Tk东京αβ", L"국", 6},
        {ReplaceSelection, "前后", 1, L"😀甲", "前甲后", L"😀", 2},
        {Typed, "前后", 1, L"甲乙😀", "前甲乙后", L"😀", 3},
    };
    std::vector<std::string> edits;
    textBox->onEdited = [&](const std::string& text) { edits.push_back(text); };
    textBox->TakeFocus();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.how << " " << c.kept);
        textBox->SetCaption(c.before);
        SendMessageW(textBox->Handle(), EM_SETSEL, c.caret, c.caret);
        edits.clear();
        const auto text = reinterpret_cast<LPARAM>(c.entered);
        if (c.how == SetText)
            SendMessageW(textBox->Handle(), WM_SETTEXT, 0, text);
        else if (c.how == ReplaceSelection)
            SendMessageW(textBox->Handle(), EM_REPLACESEL, TRUE, text);
        for (const wchar_t* unit = c.entered; c.how == Typed && *unit; ++unit)
            SendMessageW(textBox->Handle(), WM_CHAR, *unit, 1);

        EXPECT_EQ(textBox->Caption(), c.kept);
        ASSERT_FALSE(edits.empty());
        EXPECT_EQ(edits.back(), c.kept);
        for (const std::string& edit : edits)
            EXPECT_EQ(edit.find('?'), std::string::npos) << edit;
        EXPECT_EQ(textBox->Refused(), c.refused);
        DWORD start = 0, end = 0;
        SendMessageW(textBox->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        if (c.caretAfter >= 0) {
            EXPECT_EQ((std::pair<DWORD, DWORD>(start, end)),
                      (std::pair<DWORD, DWORD>(c.caretAfter, c.caretAfter)));
        }
        // Without the field's own balloon (common controls before 6), the
        // stand-in names the characters until the next one typed.
        const bool toldLast =
            *c.refused && (c.how != Typed || std::wstring_view(c.entered).ends_with(c.refused));
        if (const HWND notice = textBox->NoticeHandle(); notice && toldLast) {
            EXPECT_TRUE(IsWindowVisible(notice));
            wchar_t shown[256]{};
            TTTOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = textBox->Handle();
            tool.uId = 1;
            tool.lpszText = shown;
            SendMessageW(notice, TTM_GETTEXTW, std::size(shown), reinterpret_cast<LPARAM>(&tool));
            EXPECT_NE(std::wstring(shown).find(c.refused), std::wstring::npos);
        }
    }
    // Typing stops at the field's length, in characters.
    textBox->SetCaption("");
    for (int typed = 0; typed < TextBox::MaximumLength + 6; ++typed)
        SendMessageW(textBox->Handle(), WM_CHAR, L'东', 1);
    EXPECT_EQ(GetWindowTextLengthW(textBox->Handle()), TextBox::MaximumLength);
}

TEST_F(ControlsWindow, LabelReportsMouseMovesAndReleasesInItsClientCoordinates) {
    std::vector<POINT> moves;
    std::vector<POINT> releases;
    label->onMouseMoved = [&](int x, int y, int) { moves.push_back({x, y}); };
    label->onLeftButtonUp = [&](int x, int y, int) { releases.push_back({x, y}); };
    const POINT at = ScreenPoint(*label, 30, 11);
    desktop::MoveMouse(at.x, at.y);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !moves.empty(); }, 2s));
    EXPECT_EQ(moves.back().x, 30);
    EXPECT_EQ(moves.back().y, 11);
    desktop::LeftDown();
    desktop::LeftUp();
    ASSERT_TRUE(desktop::WaitUntil([&] { return !releases.empty(); }, 2s));
    EXPECT_EQ(releases.back().x, 30);
    EXPECT_EQ(releases.back().y, 11);
}

TEST_F(ControlsWindow, ShapeBoxReportsMovesAndWholeWheelNotchesWithKeys) {
    std::vector<POINT> moves;
    std::vector<std::pair<int, int>> wheels;
    box->onMouseMoved = [&](int x, int y, int) { moves.push_back({x, y}); };
    box->onMouseWheel = [&](int notches, int keys) { wheels.emplace_back(notches, keys); };
    const POINT at = ScreenPoint(*box, 300, 180); // clear of its children
    desktop::MoveMouse(at.x, at.y);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !moves.empty(); }, 2s));
    EXPECT_EQ(moves.back().x, 300);
    EXPECT_EQ(moves.back().y, 180);

    SetFocus(box->Handle());
    desktop::Wheel(-240);
    ASSERT_TRUE(desktop::WaitUntil([&] { return wheels.size() >= 1; }, 2s));
    desktop::Wheel(120);
    ASSERT_TRUE(desktop::WaitUntil([&] { return wheels.size() >= 2; }, 2s));
    INPUT control[1]{};
    control[0].type = INPUT_KEYBOARD;
    control[0].ki.wVk = VK_CONTROL;
    SendInput(1, control, sizeof(INPUT));
    desktop::Wheel(-120);
    control[0].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, control, sizeof(INPUT));
    ASSERT_TRUE(desktop::WaitUntil([&] { return wheels.size() >= 3; }, 2s));
    EXPECT_EQ(wheels[0], std::make_pair(-2, 0));
    EXPECT_EQ(wheels[1], std::make_pair(1, 0));
    EXPECT_EQ(wheels[2], std::make_pair(-1, KeyCtrl));
}

// The colour dialog is modal: it runs inside the click's handler on this
// thread, so a second thread plays the user in it.
class ColourDialogUser {
public:
    ColourDialogUser(DWORD guiThread, COLORREF answer, bool confirm)
        : worker([this, guiThread, answer, confirm] { Run(guiThread, answer, confirm); }) {}
    ~ColourDialogUser() { worker.join(); }
    bool SawDialog() const { return sawDialog; }

private:
    static BOOL CALLBACK MatchDialog(HWND candidate, LPARAM parameter) {
        wchar_t name[16]{};
        GetClassNameW(candidate, name, 16);
        if (std::wstring_view(name) != L"#32770" || !IsWindowVisible(candidate))
            return TRUE;
        *reinterpret_cast<HWND*>(parameter) = candidate;
        return FALSE;
    }

    static HWND FindDialog(DWORD thread) {
        HWND found = nullptr;
        EnumThreadWindows(thread, &MatchDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    void Run(DWORD thread, COLORREF answer, bool confirm) {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && !dialog; ++i) {
            std::this_thread::sleep_for(50ms);
            dialog = FindDialog(thread);
        }
        if (!dialog)
            return;
        sawDialog = true;
        if (!confirm) {
            // Esc reaches the dialog only once it has the keyboard.
            desktop::WaitUntil([&] { return desktop::TakesKeys(dialog); }, 5s);
            desktop::PressKey(VK_ESCAPE);
            return;
        }
        SetDlgItemInt(dialog, COLOR_RED, GetRValue(answer), FALSE);
        SetDlgItemInt(dialog, COLOR_GREEN, GetGValue(answer), FALSE);
        SetDlgItemInt(dialog, COLOR_BLUE, GetBValue(answer), FALSE);
        std::this_thread::sleep_for(100ms);
        RECT ok{};
        GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
        desktop::Click((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    }

    std::atomic<bool> sawDialog = false;
    std::thread worker;
};

TEST_F(ControlsWindow, UserPicksColourInTheSystemDialog) {
    std::vector<COLORREF> picks;
    picker->onPicked = [&](COLORREF colour) { picks.push_back(colour); };
    const POINT centre = ScreenPoint(*picker, 52, 12);
    {
        ColourDialogUser user(GetCurrentThreadId(), 0x336699, true);
        desktop::Click(centre.x, centre.y);
        desktop::WaitUntil([&] { return !picks.empty(); }, 8s);
        EXPECT_TRUE(user.SawDialog());
    }
    ASSERT_EQ(picks.size(), 1u);
    EXPECT_EQ(picks[0], 0x336699u);
    EXPECT_EQ(picker->Colour(), 0x336699u);
}

TEST_F(ControlsWindow, CancelledColourDialogIsNoPick) {
    int picks = 0;
    picker->onPicked = [&](COLORREF) { ++picks; };
    const POINT centre = ScreenPoint(*picker, 52, 12);
    {
        ColourDialogUser user(GetCurrentThreadId(), 0, false);
        desktop::Click(centre.x, centre.y);
        EXPECT_TRUE(desktop::WaitUntil([&] { return user.SawDialog(); }, 8s))
            << "the colour dialog did not appear";
        Pump(600ms);
    }
    Pump(100ms);
    EXPECT_EQ(picks, 0);
    EXPECT_EQ(picker->Colour(), 0x00FF00u);
}

} // namespace
