// Both windows' layouts against the windows actually built from them: every
// identifier once, with its kind, parent, rectangle and look, read back from
// Windows. The expected rows are written out here independently of the
// layout tables, so a slip in either shows.
#include "framework/ControlFont.h"
#include "framework/StringTable.h"
#include "framework/TextConversion.h"
#include "clock/ClockWindowLayout.h"
#include "settings/WindowLayouts.h"
#include "SettingsWindowFixture.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace settings_test;
using K = ControlKind;

struct ExpectedControl {
    const char* name;
    ControlKind kind;
    const char* parent; // "" = the window
    ControlRect rect;
    const char* caption; // nullptr: not a text control
};

// Every control of the settings window, the panel where the window puts it
// when it opens.
const ExpectedControl ExpectedControls[] = {
    {"外形框1", K::ShapeBox, "", {8, 8, 680, 457}, nullptr},
    {"外形框2", K::ShapeBox, "外形框1", {160, 1, 519, 455}, nullptr},
    {"滚动条1", K::ScrollBar, "外形框2", {507, 0, 12, 455}, nullptr},
    {"外形框4", K::ShapeBox, "外形框2", {0, 0, 519, 1007}, nullptr},
    {"外形框3", K::ShapeBox, "", {9, 9, 160, 455}, nullptr},
    {"标签19", K::Label, "", {9, 24, 159, 24}, "相关设置"},
    {"标签20", K::Label, "", {9, 56, 159, 32}, "基本设置"},
    {"标签21", K::Label, "", {9, 88, 159, 32}, "透明度"},
    {"标签22", K::Label, "", {9, 120, 159, 32}, "边框和底图"},
    {"标签23", K::Label, "", {9, 152, 159, 32}, "时钟"},
    {"标签33", K::Label, "", {9, 184, 159, 32}, "时间格式"},
    {"标签39", K::Label, "", {9, 344, 159, 24}, "界面语言"},
    {"组合框3", K::ComboBox, "", {28, 370, 121, 28}, nullptr},
    {"按钮1", K::Button, "", {28, 416, 121, 32}, "恢复默认设置"},
    // Section "基本设置"
    {"标签24", K::Label, "外形框4", {32, 24, 72, 24}, "基本设置"},
    {"标签25", K::Label, "外形框4", {32, 35, 480, 2}, ""},
    {"选择框1", K::CheckBox, "外形框4", {32, 64, 104, 24}, "开机启动(&A)"},
    {"选择框2", K::CheckBox, "外形框4", {136, 64, 104, 24}, "窗口置顶(&T)"},
    {"选择框3", K::CheckBox, "外形框4", {240, 64, 104, 24}, "分层透明(&L)"},
    {"选择框4", K::CheckBox, "外形框4", {344, 64, 120, 24}, "内存优化(&M)"},
    {"选择框5", K::CheckBox, "外形框4", {32, 104, 208, 24}, "恢复上次关闭时的位置(&R)"},
    {"选择框6", K::CheckBox, "外形框4", {240, 104, 104, 24}, "显示秒数(&S)"},
    {"选择框11", K::CheckBox, "外形框4", {344, 104, 152, 24}, "全屏时隐藏(&F)"},
    // Section "透明度"
    {"标签26", K::Label, "外形框4", {32, 152, 64, 24}, "透明度"},
    {"标签27", K::Label, "外形框4", {32, 163, 480, 2}, ""},
    {"标签5", K::Label, "外形框4", {80, 192, 80, 24}, "0"},
    {"滑块条1", K::Slider, "外形框4", {104, 208, 32, 136}, nullptr},
    {"标签1", K::Label, "外形框4", {80, 344, 80, 24}, "整个窗口"},
    {"标签6", K::Label, "外形框4", {168, 192, 80, 24}, "0"},
    {"滑块条2", K::Slider, "外形框4", {192, 208, 32, 136}, nullptr},
    {"标签2", K::Label, "外形框4", {168, 344, 80, 24}, "窗口底图"},
    {"标签7", K::Label, "外形框4", {256, 192, 80, 24}, "0"},
    {"滑块条3", K::Slider, "外形框4", {280, 208, 32, 136}, nullptr},
    {"标签3", K::Label, "外形框4", {256, 344, 80, 24}, "时钟底图"},
    {"标签8", K::Label, "外形框4", {344, 192, 80, 24}, "0"},
    {"滑块条4", K::Slider, "外形框4", {368, 208, 32, 136}, nullptr},
    {"标签4", K::Label, "外形框4", {344, 344, 80, 24}, "时钟"},
    // Section "边框和底图"
    {"标签28", K::Label, "外形框4", {32, 392, 88, 24}, "边框和底图"},
    {"标签29", K::Label, "外形框4", {32, 403, 480, 2}, ""},
    {"标签9", K::Label, "外形框4", {32, 432, 80, 24}, "外边框："},
    {"颜色选择器1", K::ColourPicker, "外形框4", {120, 432, 104, 24}, nullptr},
    {"标签10", K::Label, "外形框4", {240, 432, 80, 24}, "内边框："},
    {"颜色选择器2", K::ColourPicker, "外形框4", {328, 432, 104, 24}, nullptr},
    {"标签12", K::Label, "外形框4", {32, 472, 80, 24}, "窗口底图："},
    {"颜色选择器3", K::ColourPicker, "外形框4", {120, 472, 104, 24}, nullptr},
    {"标签13", K::Label, "外形框4", {240, 472, 80, 24}, "时钟底图："},
    {"颜色选择器4", K::ColourPicker, "外形框4", {328, 472, 104, 24}, nullptr},
    // Section "时钟"
    {"标签30", K::Label, "外形框4", {32, 520, 48, 24}, "时钟"},
    {"标签31", K::Label, "外形框4", {32, 531, 480, 2}, ""},
    {"标签14", K::Label, "外形框4", {32, 560, 80, 24}, "字体颜色："},
    {"颜色选择器5", K::ColourPicker, "外形框4", {120, 560, 152, 24}, nullptr},
    {"标签11", K::Label, "外形框4", {32, 600, 80, 24}, "字体大小："},
    {"滑块条5", K::Slider, "外形框4", {112, 601, 232, 24}, nullptr},
    {"标签15", K::Label, "外形框4", {344, 598, 64, 24}, "0"},
    {"标签16", K::Label, "外形框4", {32, 640, 80, 24}, "描边颜色："},
    {"颜色选择器6", K::ColourPicker, "外形框4", {120, 640, 152, 24}, nullptr},
    {"标签17", K::Label, "外形框4", {32, 680, 80, 24}, "描边大小："},
    {"滑块条6", K::Slider, "外形框4", {112, 681, 232, 24}, nullptr},
    {"标签18", K::Label, "外形框4", {344, 678, 64, 24}, "0"},
    {"标签32", K::Label, "外形框4", {32, 720, 80, 24}, "字体名称："},
    {"组合框1", K::ComboBox, "外形框4", {120, 718, 168, 28}, nullptr},
    // Section "时间格式"
    {"标签34", K::Label, "外形框4", {32, 776, 72, 24}, "时间格式"},
    {"标签35", K::Label, "外形框4", {32, 787, 480, 2}, ""},
    {"选择框7", K::CheckBox, "外形框4", {32, 816, 104, 24}, "显示日期(&D)"},
    {"选择框8", K::CheckBox, "外形框4", {136, 816, 120, 24}, "十二小时制(&2)"},
    {"标签36", K::Label, "外形框4", {32, 856, 80, 24}, "日期格式："},
    {"单选框1", K::RadioButton, "外形框4", {120, 856, 104, 24}, "长日期(&G)"},
    {"单选框2", K::RadioButton, "外形框4", {224, 856, 104, 24}, "短日期(&H)"},
    {"标签37", K::Label, "外形框4", {32, 896, 80, 24}, "时区："},
    {"组合框2", K::ComboBox, "外形框4", {120, 894, 352, 28}, nullptr},
    {"标签38", K::Label, "外形框4", {32, 936, 80, 24}, "时区名称："},
    {"文本框1", K::TextBox, "外形框4", {120, 934, 168, 26}, nullptr},
};

const std::vector<std::string> BoldLabels = {"标签19", "标签24", "标签26", "标签28", "标签30", "标签34"};
const std::vector<std::string> CentredLabels = {"标签19", "标签39", "标签20", "标签21", "标签22",
                                                "标签23", "标签33", "标签5",  "标签6",  "标签7",
                                                "标签8",  "标签1",  "标签2",  "标签3",  "标签4"};
const std::vector<std::string> Rules = {"标签25", "标签27", "标签29", "标签31", "标签35"};

bool Contains(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::size_t CountRecords(std::string_view name) {
    return static_cast<std::size_t>(
        std::count_if(std::begin(SettingsWindowControls), std::end(SettingsWindowControls),
                      [name](const ControlRecord& record) { return record.name == name; }));
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<std::size_t*>(count);
    return TRUE;
}

// One window for the whole suite: these tests only read it. It opens over
// a clock with default settings, as in the program. Opening overwrites every
// placeholder of the layout (value captions, slider positions, check marks,
// colours, the font list, the section list's look), so those are read from
// a second window built from the layout alone.
class SettingsLayout : public testing::Test {
protected:
    static void SetUpTestSuite() {
        opened = std::make_unique<SettingsWindowState>();
        laidOut = std::make_unique<Window>();
        laidOut->Create(SettingsWindowLayout);
        Pump(100ms);
    }
    static void TearDownTestSuite() {
        laidOut.reset();
        opened.reset();
    }
    void SetUp() override {
        window = &opened->window;
        ASSERT_TRUE(window->Exists());
        ASSERT_TRUE(laidOut && laidOut->Exists());
    }
    SettingsWindow* window = nullptr;
    static inline std::unique_ptr<SettingsWindowState> opened;
    static inline std::unique_ptr<Window> laidOut;
};

TEST_F(SettingsLayout, EveryIdentifierExistsOnceWithItsKindParentAndRectangle) {
    for (const ExpectedControl& expected : ExpectedControls) {
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(CountRecords(expected.name), 1u) << "records in the layout";
        const Control* control = window->FindControl(expected.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Kind(), expected.kind);
        const HWND parent =
            *expected.parent ? window->FindControl(expected.parent)->Handle() : window->Handle();
        EXPECT_EQ(GetParent(control->Handle()), parent);
        const RECT rect = RectInParent(control->Handle());
        EXPECT_EQ(rect.left, expected.rect.left);
        EXPECT_EQ(rect.top, expected.rect.top);
        EXPECT_EQ(rect.right - rect.left, expected.rect.width);
        EXPECT_EQ(rect.bottom - rect.top, expected.rect.height);
        EXPECT_TRUE(IsWindowVisible(control->Handle()));
    }
}

TEST_F(SettingsLayout, NoControlBeyondTheTables) {
    std::map<std::string, int> seen;
    for (const ControlRecord& record : SettingsWindowControls)
        ++seen[std::string(record.name)];
    for (const ExpectedControl& expected : ExpectedControls)
        seen.erase(expected.name);
    EXPECT_TRUE(seen.empty()) << seen.begin()->first;
    // Every child window of the settings window is one of the layout's.
    std::size_t children = 0;
    EnumChildWindows(window->Handle(), &CountChild, reinterpret_cast<LPARAM>(&children));
    // The combo box's dropped list is a popup of its own, not a child.
    EXPECT_EQ(children, std::size(ExpectedControls));
}

TEST_F(SettingsLayout, TheScrollTimersAreTheWindowsOwnAndStopped) {
    EXPECT_EQ(window->scrollDownTimer.Id(), Timer1Id);
    EXPECT_EQ(window->scrollUpTimer.Id(), Timer2Id);
    EXPECT_FALSE(window->scrollDownTimer.IsRunning());
    EXPECT_FALSE(window->scrollUpTimer.IsRunning());
}

TEST_F(SettingsLayout, PanelIsLaidOutScrolledAndOpensAtItsTop) {
    const auto panel = std::find_if(std::begin(SettingsWindowControls), std::end(SettingsWindowControls),
                                    [](const ControlRecord& record) { return record.name == "外形框4"; });
    ASSERT_NE(panel, std::end(SettingsWindowControls));
    EXPECT_EQ(panel->rect, (ControlRect{0, -464, 519, 1007}));
    EXPECT_EQ(laidOut->Find<ShapeBox>("外形框4")->Bounds(), (ControlRect{0, -464, 519, 1007}));
    EXPECT_EQ(window->Find<ShapeBox>("外形框4")->Bounds(), (ControlRect{0, 0, 519, 1007}));
}

TEST_F(SettingsLayout, CaptionsAlignmentAndWeightAsLaidOut) {
    for (const ExpectedControl& expected : ExpectedControls) {
        if (!expected.caption)
            continue;
        SCOPED_TRACE(expected.name);
        const Control* control = laidOut->FindControl(expected.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Caption(), expected.caption);
        if (const auto* label = laidOut->Find<Label>(expected.name)) {
            EXPECT_EQ(label->IsBold(), Contains(BoldLabels, expected.name));
            EXPECT_EQ(label->Alignment(),
                      Contains(CentredLabels, expected.name) ? TextAlign::Centre : TextAlign::Left);
            EXPECT_EQ(label->TextColour(), 0x000000u);
        }
    }
}

TEST_F(SettingsLayout, EveryTextControlHasTheYaHeiFont) {
    for (const ExpectedControl& expected : ExpectedControls) {
        if (!HasText(expected.kind))
            continue;
        SCOPED_TRACE(expected.name);
        const auto font = reinterpret_cast<HFONT>(
            SendMessageW(window->FindControl(expected.name)->Handle(), WM_GETFONT, 0, 0));
        LOGFONTW description{};
        ASSERT_EQ(GetObjectW(font, sizeof description, &description), static_cast<int>(sizeof description));
        EXPECT_EQ(description.lfHeight, -15);
        EXPECT_EQ(description.lfWeight, Contains(BoldLabels, expected.name) ? 700 : 400);
        EXPECT_EQ(description.lfCharSet, GB2312_CHARSET);
        EXPECT_EQ(description.lfOutPrecision, 3);
        EXPECT_EQ(description.lfClipPrecision, 2);
        EXPECT_EQ(description.lfQuality, 1);
        EXPECT_EQ(description.lfPitchAndFamily, 0x22);
        EXPECT_EQ(std::wstring(description.lfFaceName), L"微软雅黑");
    }
}

TEST_F(SettingsLayout, ColoursOfShapeBoxesAndLabels) {
    const struct {
        const char* name;
        COLORREF fill;
        int outlineWidth;
        COLORREF outline;
    } boxes[] = {
        {"外形框1", DefaultColour, 1, 0xFF8800},
        {"外形框2", DefaultColour, 0, 0},
        {"外形框3", 0xDFDFDF, 0, 0},
        {"外形框4", DefaultColour, 0, 0},
    };
    for (const auto& expected : boxes) {
        SCOPED_TRACE(expected.name);
        const ShapeBox* box = laidOut->Find<ShapeBox>(expected.name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->BackColour(), DefaultColour);
        EXPECT_EQ(box->FillColour(), expected.fill);
        EXPECT_EQ(box->OutlineWidth(), expected.outlineWidth);
        if (expected.outlineWidth) {
            EXPECT_EQ(box->OutlineColour(), expected.outline);
        }
    }
    for (const ExpectedControl& expected : ExpectedControls) {
        const Label* label = laidOut->Find<Label>(expected.name);
        if (!label)
            continue;
        SCOPED_TRACE(expected.name);
        const bool sectionList = *expected.parent == '\0';
        const COLORREF back = sectionList                      ? 0xDFDFDF
                              : Contains(Rules, expected.name) ? 0xC0C0C0
                                                               : DefaultColour;
        EXPECT_EQ(label->BackColour(), back);
    }
}

TEST_F(SettingsLayout, SlidersRangesPositionsAndOrientation) {
    const struct {
        const char* name;
        bool vertical;
        int minimum;
        int maximum;
        int position;
    } sliders[] = {
        {"滑块条1", true, 0, 255, 0}, {"滑块条2", true, 0, 255, 0},   {"滑块条3", true, 0, 255, 0},
        {"滑块条4", true, 0, 255, 0}, {"滑块条5", false, 20, 95, 20}, {"滑块条6", false, 0, 20, 0},
    };
    for (const auto& expected : sliders) {
        SCOPED_TRACE(expected.name);
        const Slider* slider = laidOut->Find<Slider>(expected.name);
        ASSERT_NE(slider, nullptr);
        const HWND handle = slider->Handle();
        const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
        EXPECT_EQ((style & TBS_VERT) != 0, expected.vertical);
        EXPECT_TRUE(style & TBS_NOTICKS);
        EXPECT_FALSE(style & TBS_ENABLESELRANGE);
        EXPECT_FALSE(style & WS_BORDER);
        EXPECT_EQ(SendMessageW(handle, TBM_GETRANGEMIN, 0, 0), expected.minimum);
        EXPECT_EQ(SendMessageW(handle, TBM_GETRANGEMAX, 0, 0), expected.maximum);
        EXPECT_EQ(SendMessageW(handle, TBM_GETPOS, 0, 0), expected.position);
        EXPECT_EQ(SendMessageW(handle, TBM_GETPAGESIZE, 0, 0), 5);
        EXPECT_EQ(SendMessageW(handle, TBM_GETLINESIZE, 0, 0), 1);
    }
}

TEST_F(SettingsLayout, CheckBoxesUncheckedPickersBlackFontListEmpty) {
    for (const char* name : {"选择框1", "选择框2", "选择框3", "选择框4", "选择框5", "选择框6", "选择框7",
                             "选择框8", "选择框11"}) {
        ASSERT_NE(laidOut->Find<CheckBox>(name), nullptr) << name;
        EXPECT_EQ(SendMessageW(laidOut->Find<CheckBox>(name)->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED)
            << name;
    }
    for (const char* name :
         {"颜色选择器1", "颜色选择器2", "颜色选择器3", "颜色选择器4", "颜色选择器5", "颜色选择器6"}) {
        ASSERT_NE(laidOut->Find<ColourPicker>(name), nullptr) << name;
        EXPECT_EQ(laidOut->Find<ColourPicker>(name)->Colour(), 0x000000u) << name;
    }
    const ComboBox* fonts = laidOut->Find<ComboBox>("组合框1");
    ASSERT_NE(fonts, nullptr);
    EXPECT_EQ(SendMessageW(fonts->Handle(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(fonts->Handle(), CB_GETCURSEL, 0, 0), CB_ERR);
    const LONG_PTR style = GetWindowLongPtrW(fonts->Handle(), GWL_STYLE);
    EXPECT_EQ(style & 0x3, CBS_DROPDOWNLIST);
    EXPECT_FALSE(style & CBS_SORT);
}

TEST_F(SettingsLayout, InteractiveControlsAreTabStopsAndNoOthers) {
    for (const ExpectedControl& expected : ExpectedControls) {
        SCOPED_TRACE(expected.name);
        const LONG_PTR style = GetWindowLongPtrW(window->FindControl(expected.name)->Handle(), GWL_STYLE);
        const HWND handle = window->FindControl(expected.name)->Handle();
        // Of a radio group only the chosen one is a stop, as the system keeps it.
        const bool interactive =
            expected.kind == K::CheckBox || expected.kind == K::Slider || expected.kind == K::ColourPicker ||
            expected.kind == K::ComboBox || expected.kind == K::Button || expected.kind == K::TextBox ||
            (expected.kind == K::RadioButton && SendMessageW(handle, BM_GETCHECK, 0, 0) == BST_CHECKED);
        EXPECT_EQ((style & WS_TABSTOP) != 0, interactive);
    }
}

// The position of a child in its parent's stacking, 0 = topmost.
int StackIndex(HWND child) {
    int index = 0;
    for (HWND sibling = GetWindow(GetParent(child), GW_CHILD); sibling;
         sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling == child)
            return index;
        ++index;
    }
    return -1;
}

TEST_F(SettingsLayout, StackingOfTheSectionListAndTheSectionHeaders) {
    const auto index = [this](const char* name) { return StackIndex(window->FindControl(name)->Handle()); };
    for (const char* above : {"按钮1", "标签19", "标签20", "标签21", "标签22", "标签23"})
        EXPECT_LT(index(above), index("外形框3")) << above;
    EXPECT_LT(index("外形框3"), index("外形框1"));
    const std::pair<const char*, const char*> headers[] = {
        {"标签24", "标签25"}, {"标签26", "标签27"}, {"标签28", "标签29"}, {"标签30", "标签31"}};
    for (const auto& [header, rule] : headers)
        EXPECT_LT(index(header), index(rule)) << header;
}

TEST(ClockLayout, APopupWithoutControlsOwnedByTheHiddenWindow) {
    Window clock;
    ASSERT_TRUE(clock.Create(ClockWindowLayout));
    // No visible controls: the face is drawn, not built.
    EXPECT_EQ(GetWindow(clock.Handle(), GW_CHILD), nullptr);
    const LONG_PTR style = GetWindowLongPtrW(clock.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_EQ(GetWindow(clock.Handle(), GW_OWNER), HiddenOwnerWindow());
    clock.Destroy();
}

} // namespace

// ---------------------------------------------------------- display scales

// What Windows sends a window moved onto a monitor of another scale, which
// Wine never does: the size query, then the change with the size answered
// at the place given.
RECT SendScaleChange(HWND window, int dpi, POINT place) {
    SIZE size{};
    EXPECT_TRUE(SendMessageW(window, GetDpiScaledSizeMessage, static_cast<WPARAM>(dpi),
                             reinterpret_cast<LPARAM>(&size)));
    RECT suggested{place.x, place.y, place.x + size.cx, place.y + size.cy};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

// The settings window moved to a monitor of another scale, at a place of
// the system's choosing.
class SettingsAtDisplayScale : public OpenSettingsWindowTest {
protected:
    RECT ChangeScale(int dpi) {
        const RECT now = ScreenRect(window->Handle());
        return SendScaleChange(window->Handle(), dpi, {now.left + 37, now.top + 23});
    }
};

TEST_F(SettingsAtDisplayScale, EveryControlAtItsScaledRectangleInTheScaledWindow) {
    const struct {
        int dpi, fontHeight, frameOutline;
    } cases[] = {{144, -22, 1}, {192, -30, 2}, {96, -15, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const DisplayScale scale{c.dpi};
        const RECT suggested = ChangeScale(c.dpi);
        EXPECT_EQ(window->Scale(), scale);
        // The suggested rectangle taken (on Windows, the size this window
        // answered: its 96-DPI client area scaled, in the frame at that scale).
        const RECT outer = ScreenRect(window->Handle());
        EXPECT_TRUE(EqualRect(&outer, &suggested));
        EXPECT_EQ(window->Find<ShapeBox>("外形框1")->OutlineWidth(), c.frameOutline);
        for (const ExpectedControl& control : ExpectedControls) {
            SCOPED_TRACE(control.name);
            const HWND handle = window->FindControl(control.name)->Handle();
            const RECT rect = RectInParent(handle);
            EXPECT_EQ((ControlRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
                      ScaledRect(control.rect, scale));
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)), sizeof font, &font);
            if (HasText(control.kind)) {
                EXPECT_EQ(font.lfHeight, c.fontHeight);
            }
        }
    }
}

TEST_F(SettingsAtDisplayScale, ScrollsByTheScaledStepAndKeepsPlaceFocusAndValuesAcrossAChange) {
    Settings().fontSize = 42;
    window->FillControls();
    window->Find<Label>("标签22")->onLeftButtonUp(1, 1, 0);
    window->Find<Slider>("滑块条5")->TakeFocus();
    ChangeScale(144);
    EXPECT_EQ(window->PanelOffset(), -552); // -368 s
    EXPECT_EQ(window->Find<Label>("标签22")->TextColour(), SectionSelectedText);
    EXPECT_EQ(GetFocus(), window->Find<Slider>("滑块条5")->Handle());
    EXPECT_EQ(window->Find<Label>("标签15")->Caption(), "42");
    window->Find<Slider>("滑块条5")->onMoved(50); // the new controls act
    EXPECT_EQ(Settings().fontSize, 50);
    for (const int dpi : {192, 144}) {
        SCOPED_TRACE(dpi);
        ChangeScale(dpi);
        window->SetPanelOffset(0);
        window->OnPanelWheel(-WHEEL_DELTA);
        EXPECT_TRUE(PumpUntil([&] { return !window->scrollDownTimer.IsRunning(); }));
        EXPECT_EQ(window->PanelOffset(), -64 * dpi / 96);
        // Near the end, many notches jump to the scaled limit.
        window->SetPanelOffset(-546 * dpi / 96);
        window->OnPanelWheel(-12 * WHEEL_DELTA);
        EXPECT_EQ(window->PanelOffset(), -552 * dpi / 96);
        EXPECT_EQ(window->Find<Label>("标签33")->TextColour(), SectionSelectedText);
    }
}

// Windows answers the move that puts a window being created beside the
// clock on a monitor at 144 DPI from inside that SetWindowPos.
LRESULT CALLBACK AnswerFirstMoveAt144(int code, WPARAM wParam, LPARAM lParam) {
    static bool sent = false;
    const auto& call = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(call.lParam);
    if (call.message == WM_WINDOWPOSCHANGED && !sent && !(pos->flags & SWP_NOMOVE) &&
        GetWindow(call.hwnd, GW_OWNER) == HiddenOwnerWindow() && !IsWindowVisible(call.hwnd)) {
        sent = true;
        SendScaleChange(call.hwnd, 144, {pos->x, pos->y});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(SettingsBesideTheClock, OnAMonitorOfAnotherScaleBuiltOnceAtItsScaleAndBesideTheClock) {
    HiddenOwnerWindow();
    // No room right of the clock: the place left of it found at 96 DPI is
    // too close for the window at 144.
    const RECT clock{1400, 100, 1780, 250};
    ClockSettings settings = DefaultSettings();
    RecordingSettingsListener listener;
    SettingsWindow window(settings, listener);
    {
        const std::unique_ptr<HHOOK__, decltype(&UnhookWindowsHookEx)> hook(
            SetWindowsHookExW(WH_CALLWNDPROCRET, AnswerFirstMoveAt144, nullptr, GetCurrentThreadId()),
            &UnhookWindowsHookEx);
        ASSERT_TRUE(hook && window.Create(SettingsWindowLayout, &clock));
    }
    Repaint(window.Handle()); // a second, dead set of controls paints with freed objects
    ASSERT_TRUE(window.Exists());
    EXPECT_EQ(window.Scale(), DisplayScale{144});
    std::size_t children = 0;
    for (HWND child = GetWindow(window.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ++children;
        EXPECT_NE(window.FindControl(child), nullptr) << "a child that is none of the window's controls";
    }
    EXPECT_EQ(children, static_cast<std::size_t>(std::count_if(
                            std::begin(SettingsWindowControls), std::end(SettingsWindowControls),
                            [](const ControlRecord& record) { return record.parent.empty(); })));
    // The layout's size at 144, left of the clock 15 pixels away.
    const SIZE size = Window::OuterSize(SettingsWindowLayout, {144});
    const RECT outer = ScreenRect(window.Handle()),
               beside{clock.left - 15 - size.cx, clock.top, clock.left - 15, clock.top + size.cy};
    EXPECT_TRUE(EqualRect(&outer, &beside))
        << outer.left << "," << outer.top << " " << outer.right << "," << outer.bottom;
}

// The room a control leaves its text: a check box's box and the gap beside
// it, a button's edges, a list's arrow, in 96-DPI units.
int TextRoom(const Control& control, int dpi) {
    RECT client{};
    GetClientRect(control.Handle(), &client);
    int taken = 0;
    if (control.Kind() == K::CheckBox)
        taken = 20;
    else if (control.Kind() == K::Button)
        taken = 8;
    else if (control.Kind() == K::ComboBox)
        taken = 24;
    return client.right - MulDiv(taken, dpi, 96);
}

// The text as drawn: a button's access-key mark is not.
int TextWidth(const Control& control, const std::string& gbk) {
    std::wstring text = MultiByteToWide(gbk, GbkCodePage);
    if (control.Kind() != K::Label)
        std::erase(text, L'&');
    const HDC dc = GetDC(control.Handle());
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control.Handle(), WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control.Handle(), dc);
    return size.cx;
}

// The texts of the program a control shows: its caption, or a list's items
// (the font list shows the fonts' own names).
std::vector<std::string> ShownTexts(const Control& control) {
    if (control.Kind() != K::ComboBox)
        return {control.Caption()};
    if (control.Name() == "组合框1")
        return {};
    const auto& list = static_cast<const ComboBox&>(control);
    std::vector<std::string> items;
    for (int i = 0; i < list.ItemCount(); ++i)
        items.push_back(list.ItemText(i));
    return items;
}

// An English window at every scale: measured in the control's own font,
// no text is wider than its control, and the window's title is English.
TEST_F(SettingsAtDisplayScale, InEitherLanguageNoTextIsWiderThanItsControlAtAnyScale) {
    for (const LANGID language : {EnglishTexts, ChineseTexts}) {
        UseTextLanguage(language);
        window->ShowLanguage();
        for (const int dpi : {144, 192, 96}) {
            SCOPED_TRACE(testing::Message() << language << " at " << dpi);
            ChangeScale(dpi);
            wchar_t title[32]{};
            GetWindowTextW(window->Handle(), title, 32);
            EXPECT_STREQ(title, language == EnglishTexts ? L"Settings" : L"\u8BBE\u7F6E");
            for (const auto& control : window->Controls()) {
                if (!control || !HasText(control->Kind()) || control->Kind() == K::TextBox)
                    continue;
                for (const std::string& text : ShownTexts(*control))
                    EXPECT_LE(TextWidth(*control, text), TextRoom(*control, dpi))
                        << control->Name() << ": " << text;
            }
        }
    }
}

// The window opens beside the clock, wholly on the work area and clear of
// the clock, wherever on the screen's edges the clock stands.
TEST(SettingsPlace, BesideTheClockAtEveryEdgeOnTheWorkAreaAndNeverOverIt) {
    const struct {
        int dpi;
        RECT work;
    } screens[] = {{96, {0, 0, 1920, 1040}}, {144, {0, 0, 1920, 1040}}, {96, {0, 0, 1280, 680}}};
    for (const auto& screen : screens) {
        const DisplayScale scale{screen.dpi};
        const SIZE window = Window::OuterSize(SettingsWindowLayout, scale);
        const SIZE clock{scale.Pixels(380), scale.Pixels(150)};
        const LONG right = screen.work.right - clock.cx, bottom = screen.work.bottom - clock.cy;
        const LONG middleX = right / 2, middleY = bottom / 2;
        for (const POINT at :
             {POINT{0, middleY}, POINT{right, middleY}, POINT{middleX, 0}, POINT{middleX, bottom},
              POINT{0, 0}, POINT{right, 0}, POINT{0, bottom}, POINT{right, bottom}}) {
            SCOPED_TRACE(testing::Message() << screen.dpi << " DPI, " << screen.work.right
                                            << " wide, clock at " << at.x << "," << at.y);
            const RECT clockRect{at.x, at.y, at.x + clock.cx, at.y + clock.cy};
            const POINT place = PlaceBeside(clockRect, window, screen.work, scale.Pixels(10));
            const RECT placed{place.x, place.y, place.x + window.cx, place.y + window.cy};
            RECT overlap{};
            EXPECT_FALSE(IntersectRect(&overlap, &placed, &clockRect));
            EXPECT_TRUE(placed.left >= 0 && placed.top >= 0 && placed.right <= screen.work.right &&
                        placed.bottom <= screen.work.bottom);
        }
    }
    // Right of it where there is room, level with it.
    const POINT right = PlaceBeside({100, 100, 480, 250}, {702, 505}, {0, 0, 1920, 1040}, 10);
    EXPECT_EQ(right.x, 490);
    EXPECT_EQ(right.y, 100);
    // No side has room on a screen smaller than the window: what covers least.
    const POINT cramped = PlaceBeside({0, 0, 380, 150}, {702, 505}, {0, 0, 800, 480}, 10);
    EXPECT_EQ(cramped.y, 0);
    EXPECT_EQ(cramped.x, 98) << "pushed back onto the screen, over the clock's right part only";
}

TEST(SectionBands, AtADisplayScaleTheBandsScaleAndStillMeet) {
    const struct {
        int dpi, offset;
        std::string_view entry;
    } cases[] = {{144, -146, "标签20"}, {144, -147, "标签21"}, {144, -698, "标签22"}, {144, -699, "标签23"},
                 {192, -195, "标签20"}, {192, -196, "标签21"}, {192, -931, "标签22"}, {192, -932, "标签23"}};
    for (const auto& c : cases)
        EXPECT_EQ(SectionForOffset(c.offset, DisplayScale{c.dpi}), c.entry) << c.dpi << " " << c.offset;
}
