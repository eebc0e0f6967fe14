// What the opened settings window shows on the screen: read back as pixels,
// and kept as a PNG screenshot in the build directory.
#include "settings/WindowLayouts.h"
#include "support/TestArguments.h"
#include "SettingsWindowFixture.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace settings_test;

constexpr COLORREF Red = 0x0000FF;

// The settings window's pixels, captured from the screen at once.
class WindowCapture {
public:
    explicit WindowCapture(HWND window) {
        const RECT rect = ScreenRect(window);
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        clientLeft = origin.x - rect.left;
        clientTop = origin.y - rect.top;
        RECT client{};
        GetClientRect(window, &client);
        clientHeight = client.bottom;

        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        WindowDc screen(nullptr);
        void* bits = nullptr;
        bitmap.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        unique_hdc memory(CreateCompatibleDC(screen.get()));
        {
            SelectGuard select(memory.get(), bitmap.get());
            BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
        }
        GdiFlush();
        pixels = static_cast<const std::uint32_t*>(bits);
    }

    // A pixel of the client area as COLORREF.
    COLORREF Client(int x, int y) const {
        const std::uint32_t bgra = pixels[(clientTop + y) * width + clientLeft + x];
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }

    // Pixels darker than mid-grey in a client rectangle: drawn text.
    int DarkPixels(int left, int top, int right, int bottom) const {
        int dark = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const COLORREF c = Client(x, y);
                dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96;
            }
        return dark;
    }

    bool SavePng(const std::wstring& path) const {
        CLSID png{};
        if (CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png) != S_OK)
            return false;
        Gdiplus::Bitmap image(bitmap.get(), nullptr);
        return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }

    int ClientHeight() const { return clientHeight; }

private:
    int width = 0;
    int height = 0;
    int clientLeft = 0;
    int clientTop = 0;
    int clientHeight = 0;
    unique_hbitmap bitmap;
    const std::uint32_t* pixels = nullptr;
};

// The window as the screen shows it, once a client point shows the colour
// that the last change paints there: painting reaches the screen a little
// later, all of it at once.
WindowCapture CaptureOnceShown(HWND window, POINT client, COLORREF colour) {
    const POINT at = ClientToScreenPoint(window, client.x, client.y);
    desktop::WaitForPixel(at.x, at.y, colour);
    return WindowCapture(window);
}

using SettingsWindowScreen = OpenSettingsWindowTest;

// Client coordinates of the layout: the frame 外形框1 spans (8, 8)-(687, 464),
// the section list 外形框3 (9, 9)-(168, 463), the viewport 外形框2 starts at (168, 9).
constexpr int FrameLeft = 8, FrameTop = 8, FrameRight = 687, FrameBottom = 464;
constexpr int ViewportLeft = 168, ViewportTop = 9;

TEST_F(SettingsWindowScreen, ScreenshotShowsTheBlueFrameTheGreySectionListAndBasicSettings) {
    const WindowCapture shot = CaptureOnceShown(window->Handle(), {12, 60}, SectionSelectedBack);
    if (const DWORD length = GetEnvironmentVariableA("TIKO_BUILD", nullptr, 0)) {
        std::string directory(length, '\0');
        directory.resize(GetEnvironmentVariableA("TIKO_BUILD", directory.data(), length));
        const std::string path = WindowsPath(directory + "/screenshot-settings.png");
        EXPECT_TRUE(shot.SavePng(std::wstring(path.begin(), path.end()))) << path;
    }

    // The blue frame on all four sides.
    for (int y = FrameTop; y <= FrameBottom; y += 16) {
        EXPECT_EQ(shot.Client(FrameLeft, y), FrameBlue) << "left " << y;
        EXPECT_EQ(shot.Client(FrameRight, y), FrameBlue) << "right " << y;
    }
    for (int x = FrameLeft; x <= FrameRight; x += 16) {
        EXPECT_EQ(shot.Client(x, FrameTop), FrameBlue) << "top " << x;
        EXPECT_EQ(shot.Client(x, FrameBottom), FrameBlue) << "bottom " << x;
    }
    // The grey section list, with its heading and four entries in text;
    // "基本设置" selected, white on blue.
    for (const POINT p : {POINT{12, 12}, POINT{20, 300}, POINT{160, 460}, POINT{12, 40}})
        EXPECT_EQ(shot.Client(p.x, p.y), SectionListGrey) << p.x << "," << p.y;
    const int entries[] = {24, 88, 120, 152}; // 标签19, 标签21 to 标签23
    for (const int top : entries)
        EXPECT_GT(shot.DarkPixels(9, top, 168, top + 24), 20) << "caption at " << top;
    int selectedText = 0;
    for (int y = 56; y < 88; ++y)
        for (int x = 9; x < 168; ++x)
            selectedText += shot.Client(x, y) != SectionSelectedBack;
    EXPECT_EQ(shot.Client(12, 60), SectionSelectedBack);
    EXPECT_GT(selectedText, 20) << "the caption of 标签20";
    EXPECT_EQ(shot.DarkPixels(9, 56, 168, 88), 0) << "no black text on the selected entry";

    // The section "基本设置" at the top of the viewport: its header in text,
    // its rule grey right of the header, its six check boxes captioned.
    EXPECT_GT(shot.DarkPixels(ViewportLeft + 32, ViewportTop + 24, ViewportLeft + 104, ViewportTop + 48), 30);
    for (int x = ViewportLeft + 120; x < ViewportLeft + 512; x += 8) {
        EXPECT_EQ(shot.Client(x, ViewportTop + 35), RuleGrey) << x;
        EXPECT_EQ(shot.Client(x, ViewportTop + 36), RuleGrey) << x;
        EXPECT_EQ(shot.Client(x, ViewportTop + 34), GetSysColor(COLOR_BTNFACE)) << x;
        EXPECT_EQ(shot.Client(x, ViewportTop + 37), GetSysColor(COLOR_BTNFACE)) << x;
    }
    const RECT boxes[] = {{32, 64, 120, 88},  {136, 64, 224, 88},  {240, 64, 328, 88},
                          {344, 64, 432, 88}, {32, 104, 220, 128}, {240, 104, 328, 128}};
    for (const RECT& box : boxes)
        EXPECT_GT(shot.DarkPixels(ViewportLeft + box.left + 18, ViewportTop + box.top,
                                  ViewportLeft + box.right, ViewportTop + box.bottom),
                  20)
            << "check box at " << box.left << "," << box.top;

    // Nothing of the panel below the frame.
    for (int y = FrameBottom + 1; y < shot.ClientHeight(); ++y)
        for (int x = 0; x < 702 - 8; x += 4)
            ASSERT_EQ(shot.Client(x, y), GetSysColor(COLOR_BTNFACE)) << x << "," << y;
}

TEST_F(SettingsWindowScreen, ControlsBeyondTheViewportAreClippedAtItsEdges) {
    // Two red labels of the panel, moved so that they straddle the
    // viewport's left and lower edges: "窗口底图：" and "时钟底图：".
    Label* left = window->Find<Label>("标签12");  // panel (32, 472, 80, 24)
    Label* right = window->Find<Label>("标签13"); // panel (240, 472, 80, 24)
    ShapeBox* panel = window->Find<ShapeBox>("外形框4");
    ASSERT_TRUE(left && right && panel);
    left->SetBackColour(Red);
    right->SetBackColour(Red);
    panel->Move(-60, -32); // the labels now at viewport y 440..463, 9 rows past the lower edge
    Repaint(window->Handle());
    const WindowCapture shot =
        CaptureOnceShown(window->Handle(), {ViewportLeft + 20, ViewportTop + 450}, Red);

    // Inside the viewport the red shows ...
    EXPECT_EQ(shot.Client(ViewportLeft + 20, ViewportTop + 450), Red);
    EXPECT_EQ(shot.Client(ViewportLeft + 200, ViewportTop + 450), Red);
    // ... but not over the frame's lower edge, nor below it, nor over the
    // section list left of the viewport.
    for (int x = ViewportLeft; x < ViewportLeft + 270; ++x) {
        ASSERT_EQ(shot.Client(x, FrameBottom), FrameBlue) << x;
        for (int y = FrameBottom + 1; y < FrameBottom + 10 && y < shot.ClientHeight(); ++y)
            ASSERT_EQ(shot.Client(x, y), GetSysColor(COLOR_BTNFACE)) << x << "," << y;
    }
    for (int x = ViewportLeft - 30; x < ViewportLeft; ++x)
        for (int y = ViewportTop + 440; y < FrameBottom; ++y)
            ASSERT_NE(shot.Client(x, y), Red) << x << "," << y;
}

TEST_F(SettingsWindowScreen, EveryRuleIsATwoPixelGreyLineWithoutCaption) {
    ShapeBox* panel = window->Find<ShapeBox>("外形框4");
    ASSERT_NE(panel, nullptr);
    const struct {
        const char* rule;
        int offset; // the section's jump: its header 24 pixels below the viewport's top
    } rules[] = {{"标签25", 0}, {"标签27", -128}, {"标签29", -368}, {"标签31", -496}};
    for (const auto& r : rules) {
        SCOPED_TRACE(r.rule);
        EXPECT_EQ(window->FindControl(r.rule)->Caption(), "");
        panel->Move(0, r.offset);
        Repaint(window->Handle());
        const int y = ViewportTop + 35; // 11 pixels into the 24-pixel header row
        const WindowCapture shot = CaptureOnceShown(window->Handle(), {ViewportLeft + 140, y}, RuleGrey);
        for (int x = ViewportLeft + 140; x < ViewportLeft + 512; x += 6) {
            EXPECT_EQ(shot.Client(x, y), RuleGrey) << x;
            EXPECT_EQ(shot.Client(x, y + 1), RuleGrey) << x;
            EXPECT_NE(shot.Client(x, y - 1), RuleGrey) << x;
            EXPECT_NE(shot.Client(x, y + 2), RuleGrey) << x;
        }
        // The header's text lies over the rule.
        EXPECT_GT(shot.DarkPixels(ViewportLeft + 32, ViewportTop + 30, ViewportLeft + 72, ViewportTop + 40),
                  5);
    }
}

} // namespace
