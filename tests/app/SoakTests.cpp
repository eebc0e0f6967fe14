// A long run of frames with everything a user does mixed in: ticks, the
// pointer over the face and its buttons, presses on the font and keep-on-top
// buttons, the settings window opened and closed, settings changed as its
// live preview changes them. GDI objects, USER objects, handles, private
// bytes and heap bytes in use are sampled every tenth of the run; after the
// first sample none may grow.
//
// 5,000 frames here, which keeps the suite within minutes; the first sample
// still comes after the first press and settings window (frame 300).
// scripts/run-soak.sh sets TIKO_SOAK_FRAMES=100000 for the long form.
#include "app/Actions.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "clock/HoverButtons.h"
#include "settings/SettingsWindow.h"
#include "support/ProgramFixture.h"
#include "support/TempDirectory.h"

#include "clock/SoakResources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// Private bytes may grow this much without a leak: the heap grows in blocks
// and keeps freed ones, and GDI+ and Wine fill caches of their own on first
// use (fonts, glyph outlines).
constexpr std::uint64_t PrivateBytesSlack = 1024 * 1024;
// The bytes in use on the heaps count every block that stays, wherever it
// lands, so they do not depend on what ran before. After the first sample
// they may grow by 4 KiB and 2 bytes a frame; measured under Wine, they grow
// by under 1 KiB over the 9,000 frames of the short run. A GDI+ brush left
// behind each frame adds about 15 bytes a frame, a pen about 125.
constexpr std::uint64_t HeapBytesSlack = 4 * 1024;
constexpr std::uint64_t HeapBytesPerFrame = 2;

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

class Soak : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        soakNow = {};
        soakNow.wHour = 23;
        soakNow.wMinute = 58;
        SetClockSource(NextSecond);
        SetFrameCaching(App().clock, true);
        Settings().keepOnTop = false;
        DrawWindowBackdrop(App().clock);
        SetupButtons(App().clock);
        ASSERT_TRUE(App().clock.windowHost.Attach(Window()));
        // What the settings window makes once and keeps for the process (its
        // fonts and brushes) exists before the first sample, whatever test
        // ran before this one.
        OpenSettingsWindow();
        Pump();
        CloseSettingsWindow();
        // The presses are saved two seconds later, into a file of the soak's
        // own; what a save makes once (the named objects' directory) exists
        // before the first sample.
        App().settingsFilePath = settingsFolder.WideFile("配置.ini");
        SaveClockSettings();
    }
    void TearDown() override {
        CloseSettingsWindow();
        SetFrameCaching(App().clock, true);
        ProgramFixture::TearDown();
    }

    TempDirectory settingsFolder;

    void Move(Point p) { SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y)); }
    void Leave() { SendMessageW(Window(), WM_MOUSELEAVE, 0, 0); }
    // A press as the window procedure hands it on; a real WM_LBUTTONDOWN
    // would also start the system's move loop.
    void Press(Point p) {
        Move(Elsewhere);
        Move(p);
        HandleButtonPress(App().clock, Events(), p.x, p.y);
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
            RedrawClock(App().clock, false);
            break;
        case 29:
            s.windowBackgroundAlpha = static_cast<std::int32_t>(i % 256);
            s.clockBackgroundAlpha = static_cast<std::int32_t>(i * 7 % 256);
            RedrawClock(App().clock, false);
            break;
        case 30:
            s.showSeconds = !s.showSeconds;
            RedrawClock(App().clock, true);
            break;
        case 31: {
            static const char* const names[] = {"微软雅黑", "No Such Font Anywhere", "WenQuanYi Micro Hei"};
            s.fontName = names[i / 40 % 3];
            RedrawClock(App().clock, false);
            break;
        }
        case 32:
            SetFontMetrics(s.fontSize, static_cast<std::int32_t>(i / 40 % 21));
            break;
        case 33:
            s.layeredTransparency = !s.layeredTransparency;
            RedrawClock(App().clock, false);
            break;
        case 34:
            RedrawClock(App().clock, false); // nothing changed
            break;
        default:
            RedrawClock(App().clock, true);
            break;
        }
    }

    // Runs until the frames are drawn; samples every interval frames.
    std::vector<ResourceSample> Run(std::uint64_t frames, std::uint64_t interval, ResourceSources& sources) {
        std::vector<ResourceSample> samples;
        const std::uint64_t start = RedrawCount();
        std::uint64_t nextSample = interval;
        for (std::uint64_t i = 1; RedrawCount() - start < frames; ++i) {
            const std::uint64_t drawnBefore = RedrawCount();
            Act(i);
            if (eachFrame && RedrawCount() != drawnBefore)
                eachFrame();
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

    // What grew after the first sample, one line each; none is no leak.
    static std::vector<std::string> Growth(const std::vector<ResourceSample>& samples,
                                           const ResourceSources& sources) {
        std::vector<std::string> grown;
        const ResourceSample& first = samples.front();
        auto check = [&](bool grew, const std::string& what, const ResourceSample& later) {
            if (grew)
                grown.push_back(what + ", first " + Describe(first) + "; " + Describe(later));
        };
        for (const ResourceSample& later : samples) {
            check(later.gdiObjects > first.gdiObjects, std::string("GDI objects (") + sources.gdi + ")",
                  later);
            check(later.userObjects > first.userObjects, std::string("USER objects (") + sources.user + ")",
                  later);
            check(later.handles > first.handles, std::string("handles (") + sources.handles + ")", later);
            check(later.privateBytes > first.privateBytes + PrivateBytesSlack,
                  std::string("private bytes (") + sources.privateBytes + ")", later);
            check(later.heapBytes >
                      first.heapBytes + HeapBytesSlack + HeapBytesPerFrame * (later.frames - first.frames),
                  "heap bytes", later);
        }
        return grown;
    }

    static void ExpectNoGrowth(const std::vector<ResourceSample>& samples, const ResourceSources& sources) {
        ASSERT_GE(samples.size(), 2u);
        for (const std::string& grown : Growth(samples, sources))
            ADD_FAILURE() << grown;
        // The samples measured something: a process always holds some of each.
        const ResourceSample& first = samples.front();
        EXPECT_GT(first.gdiObjects, 0u) << sources.gdi;
        EXPECT_GT(first.userObjects, 0u) << sources.user;
        EXPECT_GT(first.handles, 0u) << sources.handles;
        EXPECT_GT(first.privateBytes, 0u) << sources.privateBytes;
        EXPECT_GT(first.heapBytes, 0u);
    }

    // Called after each action that drew a frame.
    std::function<void()> eachFrame;
};

TEST_F(Soak, CachedFramesLeakNothing) {
    const std::uint64_t frames = SoakFrames(5000);
    ResourceSources sources;
    const std::vector<ResourceSample> samples = Run(frames, frames / 10, sources);
    ExpectNoGrowth(samples, sources);
}

// The frame as written makes and destroys every per-frame object: none may
// stay behind either.
TEST_F(Soak, FramesAsWrittenLeakNothing) {
    SetFrameCaching(App().clock, false);
    const std::uint64_t frames = SoakFrames(5000) / 5;
    ResourceSources sources;
    const std::vector<ResourceSample> samples = Run(frames, frames / 10, sources);
    ExpectNoGrowth(samples, sources);
}

// A GDI+ pen or brush made each frame and never deleted must fail the
// soak's checks. 1,200 frames, the first sample after 400 (every kind of
// action has come by then); after it a brush adds some 12 KiB, a pen more.
TEST_F(Soak, APenOrBrushLeftBehindEachFrameIsSeen) {
    struct Leak {
        const char* what;
        void* (*make)();
        void (*release)(void*);
    };
    const Leak leaks[] = {
        {"pen",
         [] {
             Gdiplus::GpPen* pen = nullptr;
             GdipCreatePen1(0xFF102030, 1.0f, Gdiplus::UnitPixel, &pen);
             return static_cast<void*>(pen);
         },
         [](void* pen) { GdipDeletePen(static_cast<Gdiplus::GpPen*>(pen)); }},
        {"brush",
         [] {
             Gdiplus::GpSolidFill* brush = nullptr;
             GdipCreateSolidFill(0xFF102030, &brush);
             return static_cast<void*>(brush);
         },
         [](void* brush) { GdipDeleteBrush(static_cast<Gdiplus::GpBrush*>(brush)); }},
    };
    for (const Leak& leak : leaks) {
        SCOPED_TRACE(leak.what);
        std::vector<void*> leaked;
        eachFrame = [&] { leaked.push_back(leak.make()); };
        ResourceSources sources;
        const std::vector<ResourceSample> samples = Run(1200, 400, sources);
        eachFrame = nullptr;
        const std::vector<std::string> grown = Growth(samples, sources);
        for (void* object : leaked)
            leak.release(object);
        ASSERT_FALSE(leaked.empty());
        ASSERT_NE(leaked.front(), nullptr);
        EXPECT_FALSE(grown.empty()) << "one " << leak.what << " a frame, " << leaked.size()
                                    << " in all, went unseen: " << Describe(samples.back());
    }
}

} // namespace
