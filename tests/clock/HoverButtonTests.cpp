// The five buttons on a real clock face: set-up, drawing, hover, and what a
// press shows and reports (the actions themselves are the program's).
#include "clock/HoverButtons.h"
#include "framework/StringTable.h"
#include "support/ClockFaceFixture.h"
#include "support/ImportHook.h"
#include "support/RecordingListeners.h"

#include <EmbeddedAssets.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

struct Point {
    std::int32_t x;
    std::int32_t y;
};

constexpr Point OnClose{362, 18};
constexpr Point OnSettings{340, 18};
constexpr Point OnKeepOnTop{316, 18};
constexpr Point OnLargerFont{337, 130};
constexpr Point OnSmallerFont{360, 130};
constexpr Point Elsewhere{100, 75};

constexpr ButtonId AllButtons[] = {ButtonId::Close, ButtonId::KeepOnTop, ButtonId::Settings,
                                   ButtonId::LargerFont, ButtonId::SmallerFont};

// The canvas pixels inside a rectangle, row by row.
std::vector<Bgra> Region(HBITMAP bitmap, const IntRect& r) {
    std::vector<Bgra> pixels;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            pixels.push_back(DibPixel(bitmap, x, y));
    return pixels;
}

class HoverButtons : public ClockFaceFixture {
protected:
    void SetUp() override {
        ClockFaceFixture::SetUp();
        Settings().keepOnTop = false; // its button starts Normal
        DrawWindowBackdrop(View());
        SetupButtons(View());
        listener.view = &View();
    }

    void Move(Point p) { UpdateButtonHover(View(), p.x, p.y); }
    void Press(Point p) { HandleButtonPress(View(), listener, p.x, p.y); }
    std::vector<ButtonId> Reported() const {
        std::vector<ButtonId> ids;
        for (const RecordingClockListener::Press& press : listener.presses)
            ids.push_back(press.button);
        return ids;
    }
    bool CursorIsDefault() const { return state->window.CursorIsDefault(); }

    // The canvas as the face alone draws it, without any button.
    std::vector<std::uint8_t> FaceWithoutButtons() {
        DrawWindowBackdrop(View());
        DrawClockPanel(View());
        DrawTimeText(View(), false);
        return CanvasBytes();
    }

    // The button's region of a frame drawn with it in that state.
    std::vector<Bgra> FrameRegion(ButtonId id, ButtonState state) {
        const ButtonState saved = HoverButtonFor(View(), id).state;
        HoverButtonFor(View(), id).state = state;
        RedrawClock(View(), false);
        HoverButtonFor(View(), id).state = saved;
        return Region(View().clockCanvas.GetBitmap(), HoverButtonFor(View(), id).bounds);
    }

    RecordingClockListener listener;
};

TEST_F(HoverButtons, SetupCopiesTheImagesAndPlacesTheButtons) {
    const struct {
        ButtonId id;
        IntRect bounds;
        std::span<const std::uint8_t> normal, hover, pressed;
    } cases[] = {
        {ButtonId::Close,
         {354, 10, 16, 16},
         embedded::closeNormalPng,
         embedded::closeHoverPng,
         embedded::closePressedPng},
        {ButtonId::Settings,
         {330, 8, 20, 20},
         embedded::settingsNormalPng,
         embedded::settingsHoverPng,
         embedded::settingsPressedPng},
        {ButtonId::KeepOnTop,
         {306, 8, 20, 20},
         embedded::keepOnTopNormalPng,
         embedded::keepOnTopHoverPng,
         embedded::keepOnTopPressedPng},
        {ButtonId::SmallerFont,
         {350, 120, 20, 20},
         embedded::smallerFontNormalPng,
         embedded::smallerFontHoverPng,
         embedded::smallerFontPressedPng},
        {ButtonId::LargerFont,
         {327, 120, 20, 20},
         embedded::largerFontNormalPng,
         embedded::largerFontHoverPng,
         embedded::largerFontPressedPng},
    };
    for (const auto& c : cases) {
        const HoverButton& button = HoverButtonFor(View(), c.id);
        const int id = static_cast<int>(c.id);
        EXPECT_EQ(button.bounds, c.bounds) << id;
        EXPECT_TRUE(std::ranges::equal(button.normalImage, c.normal)) << id;
        EXPECT_TRUE(std::ranges::equal(button.hoverImage, c.hover)) << id;
        EXPECT_TRUE(std::ranges::equal(button.pressedImage, c.pressed)) << id;
        EXPECT_EQ(button.state, ButtonState::Normal) << id;
        // Drawn once already, into a layer of the button's size.
        EXPECT_TRUE(button.layer.IsValid()) << id;
        EXPECT_EQ(button.layer.GetWidth(), c.bounds.width) << id;
        EXPECT_EQ(button.layer.GetHeight(), c.bounds.height) << id;
    }
}

TEST_F(HoverButtons, SetupDrawsHiddenAndLightsKeepOnTopWhenItIsOn) {
    Settings().keepOnTop = true;
    DrawWindowBackdrop(View());
    const std::vector<std::uint8_t> before = CanvasBytes();
    SetupButtons(View());
    EXPECT_EQ(CanvasBytes(), before);
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::KeepOnTop).state, ButtonState::Hover);
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::Close).state, ButtonState::Normal);
}

TEST_F(HoverButtons, CurrentImageFollowsTheState) {
    HoverButton& close = HoverButtonFor(View(), ButtonId::Close);
    const struct {
        std::int32_t state;
        const std::vector<std::uint8_t>* image;
    } cases[] = {{0, &close.normalImage},
                 {1, &close.hoverImage},
                 {2, &close.pressedImage},
                 {7, &close.pressedImage},
                 {-1, &close.pressedImage}};
    for (const auto& c : cases) {
        close.state = static_cast<ButtonState>(c.state);
        EXPECT_EQ(close.CurrentImage().data(), c.image->data()) << c.state;
    }
}

TEST_F(HoverButtons, FrameWithTheMouseOutsideShowsNoTraceOfThem) {
    for (ButtonId id : AllButtons)
        HoverButtonFor(View(), id).state = ButtonState::Hover;
    const std::vector<std::uint8_t> face = FaceWithoutButtons();
    View().hoverActive = false;
    RedrawClock(View(), false);
    EXPECT_EQ(CanvasBytes(), face);
}

TEST_F(HoverButtons, FrameWithTheMouseOverShowsEachImageAtItsBounds) {
    HoverButtonFor(View(), ButtonId::Settings).state = ButtonState::Hover;
    HoverButtonFor(View(), ButtonId::KeepOnTop).state = ButtonState::Pressed;
    const std::vector<std::uint8_t> face = FaceWithoutButtons();
    View().hoverActive = true;
    RedrawClock(View(), false);
    const HBITMAP canvas = View().clockCanvas.GetBitmap();

    auto insideAny = [this](int x, int y) {
        for (ButtonId id : AllButtons) {
            const IntRect& b = HoverButtonFor(View(), id).bounds;
            if (x >= b.x && x < b.x + b.width && y >= b.y && y < b.y + b.height)
                return true;
        }
        return false;
    };
    int changedOutside = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 380; ++x) {
            const Bgra p = DibPixel(canvas, x, y);
            const auto* f =
                &face[static_cast<std::size_t>(149 - y) * 380 * 4 + static_cast<std::size_t>(x) * 4];
            if (!insideAny(x, y) && !(p == Bgra{f[0], f[1], f[2], f[3]}))
                ++changedOutside;
        }
    EXPECT_EQ(changedOutside, 0);

    // Inside each bounds the canvas is the face with the button's layer (its
    // image, decoded and scaled to the bounds) laid over it with per-pixel
    // alpha.
    for (ButtonId id : AllButtons) {
        const HoverButton& button = HoverButtonFor(View(), id);
        int lit = 0, wrong = 0;
        for (int y = 0; y < button.bounds.height; ++y)
            for (int x = 0; x < button.bounds.width; ++x) {
                const Bgra source = DibPixel(button.layer.GetBitmap(), x, y);
                const int cx = button.bounds.x + x, cy = button.bounds.y + y;
                const auto* f =
                    &face[static_cast<std::size_t>(149 - cy) * 380 * 4 + static_cast<std::size_t>(cx) * 4];
                const Bgra p = DibPixel(canvas, cx, cy);
                const auto over = [&](std::uint8_t s, std::uint8_t d) {
                    return s + d * (255 - source.a) / 255;
                };
                lit += source.a > 0 ? 1 : 0;
                if (std::abs(p.b - over(source.b, f[0])) > 2 || std::abs(p.g - over(source.g, f[1])) > 2 ||
                    std::abs(p.r - over(source.r, f[2])) > 2 || std::abs(p.a - over(source.a, f[3])) > 2)
                    ++wrong;
            }
        EXPECT_GT(lit, 10) << "button " << static_cast<int>(id) << " drew no image";
        EXPECT_EQ(wrong, 0) << "button " << static_cast<int>(id);
    }
    // The states choose the images: settings hover, keep on top pressed.
    const std::vector<Bgra> settingsShown = Region(canvas, HoverButtonFor(View(), ButtonId::Settings).bounds);
    const std::vector<Bgra> keepOnTopShown =
        Region(canvas, HoverButtonFor(View(), ButtonId::KeepOnTop).bounds);
    EXPECT_EQ(settingsShown, FrameRegion(ButtonId::Settings, ButtonState::Hover));
    EXPECT_NE(settingsShown, FrameRegion(ButtonId::Settings, ButtonState::Normal));
    EXPECT_EQ(keepOnTopShown, FrameRegion(ButtonId::KeepOnTop, ButtonState::Pressed));
    EXPECT_NE(keepOnTopShown, FrameRegion(ButtonId::KeepOnTop, ButtonState::Hover));
}

ImportHook* relayHook = nullptr;
std::vector<UINT> relayed; // the messages handed on to the tooltip control
LRESULT WINAPI RecordRelay(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TTM_RELAYEVENT)
        relayed.push_back(reinterpret_cast<const MSG*>(lParam)->message);
    return relayHook->Original<decltype(&SendMessageW)>()(window, message, wParam, lParam);
}

// Each button names itself in a tooltip over its bounds, in the language in
// use, from the first move over a button; a press hides a tip that shows.
TEST_F(HoverButtons, EachButtonHasItsNameAsATooltipOverItsBounds) {
    Move(Elsewhere);
    EXPECT_EQ(View().buttonTips.Handle(), nullptr) << "no tooltip control on the way to a drag";
    Move(OnSettings);
    const HWND tips = View().buttonTips.Handle();
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(GetWindow(tips, GW_OWNER), state->window.Handle());
    const auto toolTexts = [&] {
        std::vector<std::wstring> texts;
        for (int i = 0; i < SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0); ++i) {
            wchar_t text[80]{};
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.lpszText = text;
            SendMessageW(tips, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool));
            const IntRect& bounds = HoverButtonFor(View(), AllButtons[i]).bounds;
            EXPECT_TRUE(tool.rect.left == bounds.x && tool.rect.top == bounds.y &&
                        tool.rect.right == bounds.x + bounds.width &&
                        tool.rect.bottom == bounds.y + bounds.height)
                << i;
            texts.push_back(text);
        }
        return texts;
    };
    EXPECT_EQ(toolTexts(),
              (std::vector<std::wstring>{L"关闭", L"窗口置顶", L"设置", L"增大字体", L"减小字体"}));
    UseTextLanguage(EnglishTexts);
    Move(OnClose);
    EXPECT_EQ(toolTexts(), (std::vector<std::wstring>{L"Close", L"Always on top", L"Settings", L"Larger font",
                                                      L"Smaller font"}));
    UseTextLanguage(ChineseTexts);
    {
        ImportHook hook("user32.dll", "SendMessageW", reinterpret_cast<void*>(&RecordRelay));
        ASSERT_TRUE(hook.Installed());
        relayHook = &hook;
        relayed.clear();
        Press(OnSettings);
    }
    EXPECT_NE(std::ranges::find(relayed, static_cast<UINT>(WM_LBUTTONDOWN)), relayed.end());
}

TEST_F(HoverButtons, HoverLightsWithTheHandAndRedrawsOnlyOnChanges) {
    View().hoverActive = true;
    const std::uint64_t frames = RedrawCount();
    Move(OnClose);
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::Close).state, ButtonState::Hover);
    EXPECT_FALSE(CursorIsDefault());
    EXPECT_EQ(RedrawCount(), frames + 1);
    Move({OnClose.x + 2, OnClose.y + 3});
    EXPECT_EQ(RedrawCount(), frames + 1);

    Move(OnSettings); // first move: close goes back
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::Close).state, ButtonState::Normal);
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::Settings).state, ButtonState::Normal);
    EXPECT_TRUE(CursorIsDefault());
    Move(OnSettings); // second: settings lights
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::Settings).state, ButtonState::Hover);
    EXPECT_FALSE(CursorIsDefault());
    EXPECT_EQ(RedrawCount(), frames + 3);
}

TEST_F(HoverButtons, PressOnAButtonNotLitPassesOnAndAPressElsewhereSetsBack) {
    const std::uint64_t frames = RedrawCount();
    Press(OnClose); // close still Normal: nothing happens
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::Close).state, ButtonState::Normal);
    EXPECT_TRUE(ClockWin().Exists());
    EXPECT_EQ(RedrawCount(), frames);

    Move(OnLargerFont);
    Press(Elsewhere);
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::LargerFont).state, ButtonState::Normal);
    EXPECT_TRUE(listener.presses.empty());
    EXPECT_EQ(RedrawCount(), frames + 2);
}

TEST_F(HoverButtons, FontButtonsReportEveryPressWhileTheirPressedImageShowsThenStayLit) {
    Move(OnSmallerFont);
    for (int i = 0; i < 3; ++i)
        Press(OnSmallerFont);
    Move(Elsewhere);
    Move(Elsewhere);
    Move(OnLargerFont);
    View().hoverActive = true;
    const std::uint64_t frames = RedrawCount();
    const auto start = std::chrono::steady_clock::now();
    Press(OnLargerFont);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 95ms);
    EXPECT_EQ(Reported(), (std::vector{ButtonId::SmallerFont, ButtonId::SmallerFont, ButtonId::SmallerFont,
                                       ButtonId::LargerFont}));
    for (const auto& press : listener.presses)
        EXPECT_EQ(press.stateWhenReported, ButtonState::Pressed);
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::LargerFont).state, ButtonState::Hover);
    // The view draws the hover frame after the pause; the listener's own
    // redraw shows the new size under the pressed image.
    EXPECT_EQ(RedrawCount(), frames + 1);
    EXPECT_EQ(Settings().fontSize, DefaultSettings().fontSize) << "the view changes no setting";
}

TEST_F(HoverButtons, KeepOnTopPressWhileOnReportsFlashesThenDimsWhenLeft) {
    Settings().keepOnTop = true;
    SetupButtons(View());
    View().hoverActive = true;
    // The program switches the setting off when told.
    listener.onPressed = [this](ButtonId) { Settings().keepOnTop = false; };

    // Hovering it while on changes only the cursor.
    const std::uint64_t frames = RedrawCount();
    Move(OnKeepOnTop);
    EXPECT_FALSE(CursorIsDefault());
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::KeepOnTop).state, ButtonState::Hover);
    EXPECT_EQ(RedrawCount(), frames);

    const IntRect bounds = HoverButtonFor(View(), ButtonId::KeepOnTop).bounds;
    const std::vector<Bgra> pressedLook = FrameRegion(ButtonId::KeepOnTop, ButtonState::Pressed);
    const std::vector<Bgra> hoverLook = FrameRegion(ButtonId::KeepOnTop, ButtonState::Hover);
    ASSERT_NE(pressedLook, hoverLook);

    // Watch the canvas while the press runs on this thread.
    const HBITMAP canvas = View().clockCanvas.GetBitmap();
    std::atomic<bool> done{false};
    std::atomic<bool> sawPressed{false};
    std::thread watcher([&] {
        while (!done) {
            if (Region(canvas, bounds) == pressedLook)
                sawPressed = true;
            std::this_thread::sleep_for(2ms);
        }
    });
    const auto start = std::chrono::steady_clock::now();
    Press(OnKeepOnTop);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    done = true;
    watcher.join();

    EXPECT_EQ(Reported(), std::vector{ButtonId::KeepOnTop});
    EXPECT_EQ(listener.presses[0].stateWhenReported, ButtonState::Hover) << "reported before the flash";
    EXPECT_GE(elapsed, 95ms);
    EXPECT_TRUE(sawPressed) << "the pressed image was never on the canvas";
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::KeepOnTop).state, ButtonState::Hover);
    EXPECT_EQ(Region(canvas, bounds), hoverLook);

    // Now off: leaving it sets it back (the cursor goes first).
    Move(Elsewhere);
    EXPECT_TRUE(CursorIsDefault());
    Move(Elsewhere);
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::KeepOnTop).state, ButtonState::Normal);
}

TEST_F(HoverButtons, KeepOnTopPressWhileOffReportsAndStaysLitOnceOn) {
    listener.onPressed = [this](ButtonId) { Settings().keepOnTop = true; };
    Move(OnKeepOnTop);
    Press(OnKeepOnTop);
    EXPECT_EQ(Reported(), std::vector{ButtonId::KeepOnTop});
    Move(Elsewhere);
    Move(Elsewhere);
    EXPECT_EQ(HoverButtonFor(View(), ButtonId::KeepOnTop).state, ButtonState::Hover);
    EXPECT_TRUE(CursorIsDefault());
}

TEST_F(HoverButtons, SettingsPressReportsAfterThePressedImageShowed) {
    Move(OnSettings);
    const std::uint64_t frames = RedrawCount();
    Press(OnSettings);
    EXPECT_EQ(Reported(), std::vector{ButtonId::Settings});
    EXPECT_EQ(listener.presses[0].stateWhenReported, ButtonState::Hover);
    EXPECT_EQ(RedrawCount(), frames + 2); // the pressed frame, then the hover frame
}

TEST_F(HoverButtons, ClosePressShowsThePressedImageReportsAndLeavesTheWindowToTheListener) {
    Move(OnClose);
    Press(OnClose);
    EXPECT_EQ(Reported(), std::vector{ButtonId::Close});
    EXPECT_EQ(listener.presses[0].stateWhenReported, ButtonState::Pressed);
    EXPECT_TRUE(ClockWin().Exists());
}

TEST_F(HoverButtons, HandCursorOverAButtonDefaultAwayFromAll) {
    for (Point p : {OnClose, OnSettings, OnKeepOnTop, OnLargerFont, OnSmallerFont}) {
        Move(p);
        EXPECT_FALSE(CursorIsDefault()) << p.x << ", " << p.y;
        Move(Elsewhere);
        EXPECT_TRUE(CursorIsDefault()) << p.x << ", " << p.y;
        Move(Elsewhere);
    }
    for (ButtonId id : AllButtons)
        EXPECT_EQ(HoverButtonFor(View(), id).state, ButtonState::Normal) << static_cast<int>(id);
}

} // namespace
