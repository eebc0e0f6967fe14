// A long run of frames with everything a user does mixed in: ticks, the
// pointer over the face and its buttons, presses on the font and keep-on-top
// buttons, the settings window opened and closed, settings changed as its
// live preview changes them. GDI objects, USER objects, handles and private
// bytes are sampled every tenth of the run; after the first sample none may
// grow.
//
// 10,000 frames here; scripts/run-soak.sh sets TIKO_SOAK_FRAMES=100000 for
// the long form.
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "clock/HoverButtons.h"
#include "settings/SettingsWindow.h"
#include "support/ClockFaceFixture.h"

#include "SoakResources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Private bytes may grow this much without a leak: the heap grows in blocks
// and keeps freed ones, and GDI+ and Wine fill caches of their own on first
// use (fonts, glyph outlines). A leak of 128 bytes a frame passes it within
// the 9,000 frames after the first sample of the short run.
constexpr std::uint64_t PrivateBytesSlack = 1024 * 1024;

std::uint64_t SoakFrames(std::uint64_t fallback) {
    const char* text = std::getenv("TIKO_SOAK_FRAMES");
    const std::uint64_t frames = text ? std::strtoull(text, nullptr, 10) : 0;
    return frames >= 1000 ? frames : fallback;
}

// Every read of the clock is one second later.
SYSTEMTIME soakNow{};
SYSTEMTIME NextSecond() {
    const SYSTEMTIME reading = soakNow;
    if (++soakNow.wSecond == 60) {
        soakNow.wSecond = 0;
        if (++soakNow.wMinute == 60) {
            soakNow.wMinute = 0;
            soakNow.wHour = static_cast<WORD>((soakNow.wHour + 1) % 24);
        }
    }
    return reading;
}

struct Point {
    int x, y;
};
constexpr Point OnClose{362, 18}, OnSettings{340, 18}, OnKeepOnTop{316, 18}, OnLarger{337, 130},
    OnSmaller{360, 130}, Elsewhere{100, 75};

class Soak : public ClockFaceFixture {
protected:
    void SetUp() override {
        ClockFaceFixture::SetUp();
        soakNow = {};
        soakNow.wHour = 23;
        soakNow.wMinute = 58;
        SetClockSource(NextSecond);
        SetFrameCaching(true);
        Settings().keepOnTop = "假";
        DrawWindowBackdrop();
        SetupButtons();
        ASSERT_TRUE(App().windowHost.Subclass(Window(), ClockWindowProc));
    }
    void TearDown() override {
        CloseSettingsWindow();
        SetFrameCaching(true);
        ClockFaceFixture::TearDown();
    }

    void Move(Point p) { SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y)); }
    void Leave() { SendMessageW(Window(), WM_MOUSELEAVE, 0, 0); }
    // A press as the window procedure hands it on; a real WM_LBUTTONDOWN
    // would also start the system's move loop.
    void Press(Point p) {
        Move(Elsewhere);
        Move(p);
        HandleButtonPress(p.x, p.y);
    }
    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // One thing a user, the timer or the settings window does.
    void Act(std::uint64_t i) {
        ClockSettings& s = Settings();
        // The presses and the settings window come rarely, but first within
        // the frames before the first sample: whatever they make once and
        // keep (the settings window's fonts and brushes) is there from then on.
        if (i % 997 == 150) {
            // Ten presses: the font grows and shrinks back by 25, keep on top
            // goes on and off.
            for (int k = 0; k < 5; ++k)
                Press(OnLarger);
            for (int k = 0; k < 5; ++k)
                Press(OnSmaller);
            Press(OnKeepOnTop);
            Press(OnKeepOnTop);
            Leave();
            return;
        }
        if (i % 1999 == 300) {
            Press(OnSettings);
            Pump();
            CloseSettingsWindow();
            Leave();
            return;
        }
        switch (i % 40) {
        case 20:
            Move(Elsewhere);
            break;
        case 21:
            Move(OnClose);
            break;
        case 22:
            Move(OnSettings);
            Move(OnSettings);
            break;
        case 23:
            Move(OnLarger);
            Move(OnLarger);
            break;
        case 24:
            Move(OnSmaller);
            Move(OnSmaller);
            break;
        case 25:
            Move(OnKeepOnTop);
            Move(OnKeepOnTop);
            break;
        case 26:
            Leave();
            break;
        case 27:
            SetFontMetrics(40 + static_cast<std::int32_t>(i / 40 % 12) * 5, s.outlineWidth);
            break;
        case 28:
            s.fontColor = static_cast<std::int32_t>(i * 2654435761u & 0xFFFFFF);
            s.outerBorderColor = static_cast<std::int32_t>(i * 40503u & 0xFFFFFF);
            RedrawClock(false);
            break;
        case 29:
            s.windowBackgroundAlpha = static_cast<std::int32_t>(i % 256);
            s.clockBackgroundAlpha = static_cast<std::int32_t>(i * 7 % 256);
            RedrawClock(false);
            break;
        case 30:
            s.showSeconds = IsOn(s.showSeconds) ? "假" : "真";
            RedrawClock(true);
            break;
        case 31: {
            static const char* const names[] = {"微软雅黑", "No Such Font Anywhere", "WenQuanYi Micro Hei"};
            s.fontName = names[i / 40 % 3];
            RedrawClock(false);
            break;
        }
        case 32:
            SetFontMetrics(s.fontSize, static_cast<std::int32_t>(i / 40 % 21));
            break;
        case 33:
            s.layeredTransparency = IsOn(s.layeredTransparency) ? "假" : "真";
            RedrawClock(false);
            break;
        case 34:
            RedrawClock(false); // nothing changed
            break;
        default:
            RedrawClock(true);
            break;
        }
    }

    // Runs until the frames are drawn; samples every interval frames.
    std::vector<ResourceSample> Run(std::uint64_t frames, std::uint64_t interval, ResourceSources& sources) {
        std::vector<ResourceSample> samples;
        const std::uint64_t start = RedrawCount();
        std::uint64_t nextSample = interval;
        for (std::uint64_t i = 1; RedrawCount() - start < frames; ++i) {
            Act(i);
            if (i % 50 == 0)
                Pump();
            const std::uint64_t drawn = RedrawCount() - start;
            if (drawn >= nextSample) {
                Pump();
                samples.push_back(SampleResources(drawn, &sources));
                std::printf("soak %s: %s\n", FrameCaching() ? "cached" : "as written",
                            Describe(samples.back()).c_str());
                std::fflush(stdout);
                nextSample += interval;
            }
        }
        return samples;
    }

    static void ExpectNoGrowth(const std::vector<ResourceSample>& samples, const ResourceSources& sources) {
        ASSERT_GE(samples.size(), 2u);
        const ResourceSample& first = samples.front();
        for (const ResourceSample& later : samples) {
            EXPECT_LE(later.gdiObjects, first.gdiObjects) << "GDI objects (" << sources.gdi << "), first "
                                                          << Describe(first) << "; " << Describe(later);
            EXPECT_LE(later.userObjects, first.userObjects) << "USER objects (" << sources.user << "), first "
                                                            << Describe(first) << "; " << Describe(later);
            EXPECT_LE(later.handles, first.handles) << "handles (" << sources.handles << "), first "
                                                    << Describe(first) << "; " << Describe(later);
            EXPECT_LE(later.privateBytes, first.privateBytes + PrivateBytesSlack)
                << "private bytes (" << sources.privateBytes << "), first " << Describe(first) << "; "
                << Describe(later);
        }
        // The samples measured something: a process always holds some of each.
        EXPECT_GT(first.gdiObjects, 0u) << sources.gdi;
        EXPECT_GT(first.userObjects, 0u) << sources.user;
        EXPECT_GT(first.handles, 0u) << sources.handles;
        EXPECT_GT(first.privateBytes, 0u) << sources.privateBytes;
    }
};

TEST_F(Soak, CachedFramesLeakNothing) {
    const std::uint64_t frames = SoakFrames(10000);
    ResourceSources sources;
    const std::vector<ResourceSample> samples = Run(frames, frames / 10, sources);
    ExpectNoGrowth(samples, sources);
}

// The frame as written makes and destroys every per-frame object: none may
// stay behind either.
TEST_F(Soak, FramesAsWrittenLeakNothing) {
    SetFrameCaching(false);
    const std::uint64_t frames = SoakFrames(10000) / 5;
    ResourceSources sources;
    const std::vector<ResourceSample> samples = Run(frames, frames / 10, sources);
    ExpectNoGrowth(samples, sources);
}

} // namespace
