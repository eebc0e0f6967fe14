#include "bench/FrameBench.h"

#include "app/AppGlobals.h"
#include "app/ClockTick.h"
#include "app/Lifetime.h"
#include "bench/ProcStat.h"
#include "bench/ScreenReader.h"
#include "clock/ClockFace.h"
#include "clock/HoverButtons.h"
#include "framework/Services.h"
#include "support/CanvasPixels.h"
#include "support/ProgramState.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

std::unique_ptr<ClockWindowFixtureState> state;

// Every read of the clock is one second later: each tick frame has a new
// time text, as the one-second timer gives it.
SYSTEMTIME clockNow{};

void StartClockAt(WORD hour, WORD minute, WORD second) {
    clockNow = {2026, 12, 1, 7, 0, 0, 0, 0}; // Monday 7 December 2026, for the date line
    clockNow.wHour = hour;
    clockNow.wMinute = minute;
    clockNow.wSecond = second;
    SetClockSource([] {
        const SYSTEMTIME reading = clockNow;
        if (++clockNow.wSecond == 60) {
            clockNow.wSecond = 0;
            if (++clockNow.wMinute == 60) {
                clockNow.wMinute = 0;
                clockNow.wHour = static_cast<WORD>((clockNow.wHour + 1) % 24);
            }
        }
        return reading;
    });
}

// Messages that arrived meanwhile (X11 events among them) are handled
// outside the timed frames, as the message loop would between frames.
void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::uint64_t CanvasHash() {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint8_t byte : DibBytes(App().clock.clockCanvas.GetBitmap())) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

// Whether the screen shows the canvas as it is: at window alpha 255 over the
// black desktop, exactly its premultiplied colours.
bool ScreenMatchesCanvas() {
    const LayeredCanvas& canvas = App().clock.clockCanvas;
    if (canvas.GetAlpha() != 255)
        return false;
    RECT rect{};
    GetWindowRect(canvas.GetWindow(), &rect);
    ScreenReader reader(rect);
    std::vector<std::uint8_t> screen;
    const std::vector<std::uint8_t> bytes = DibBytes(canvas.GetBitmap());
    if (!reader.Read(screen) || screen.size() != bytes.size())
        return false;
    const int width = canvas.GetWidth();
    const int height = canvas.GetHeight();
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* shown = &screen[y * stride];
        const std::uint8_t* drawn = &bytes[(height - 1 - y) * stride]; // bottom-up
        for (int x = 0; x < width * 4; x += 4)
            if (std::memcmp(shown + x, drawn + x, 3) != 0)
                return false;
    }
    return true;
}

// The display server takes the present from another connection than the
// screen read: a frame may take a moment to show.
bool ScreenShowsCanvas() {
    Stopwatch watch;
    for (const double start = watch.Now(); watch.Now() - start < 500; Sleep(1))
        if (ScreenMatchesCanvas())
            return true;
    return false;
}

void DrawFrame(FrameKind kind, int frame) {
    AppGlobals& app = App();
    switch (kind) {
    case FrameKind::Tick:
        RedrawClock(App().clock, true);
        break;
    case FrameKind::TickWithDate:
        if (!app.settings.showDate) {
            app.settings.showDate = true;
            FitClockToSecondLine(app.clock);
        }
        RedrawClock(App().clock, true);
        break;
    case FrameKind::HoverChange:
        app.clock.hoverActive = frame % 2 == 0;
        RedrawClock(App().clock, false);
        break;
    case FrameKind::SettingChange:
        app.settings.fontSize = frame % 2 == 0 ? 75 : 80;
        RedrawClock(App().clock, false);
        break;
    case FrameKind::Unchanged:
        RedrawClock(App().clock, false);
        break;
    case FrameKind::PresentOnly:
        app.clock.clockCanvas.Present();
        break;
    }
}

// A small deterministic generator, so both passes see the same frames.
class Scenario {
public:
    unsigned Next() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    }

private:
    unsigned seed = 12345;
};

constexpr std::array<ButtonId, 5> Buttons{ButtonId::Close, ButtonId::KeepOnTop, ButtonId::Settings,
                                          ButtonId::LargerFont, ButtonId::SmallerFont};

// Changes one thing, as a user, the timer or the settings window would, and
// answers whether the frame reads the time.
bool ApplyStep(Scenario& scenario) {
    AppGlobals& app = App();
    ClockSettings& s = app.settings;
    const unsigned r = scenario.Next();
    const unsigned pick = r / 16;
    switch (r % 16) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        return true;
    case 5:
        app.clock.hoverActive = !app.clock.hoverActive;
        return false;
    case 6:
        HoverButtonFor(App().clock, Buttons[pick % 5]).state = static_cast<ButtonState>(pick / 5 % 3);
        return false;
    case 7:
        s.fontSize = static_cast<std::int32_t>(pick % 120) - 10;
        return false;
    case 8: {
        std::int32_t* colours[] = {&s.outerBorderColor,     &s.innerBorderColor, &s.windowBackgroundColor,
                                   &s.clockBackgroundColor, &s.fontColor,        &s.outlineColor};
        *colours[pick % 6] = static_cast<std::int32_t>(scenario.Next() * 2654435761u);
        return false;
    }
    case 9: {
        std::int32_t* alphas[] = {&s.windowBackgroundAlpha, &s.clockBackgroundAlpha, &s.clockAlpha};
        *alphas[pick % 3] = static_cast<std::int32_t>(scenario.Next() % 300) - 20;
        return false;
    }
    case 10:
        s.layeredTransparency = !s.layeredTransparency;
        return false;
    case 11:
        s.showSeconds = !s.showSeconds;
        return true;
    case 12:
        s.outlineWidth = static_cast<std::int32_t>(pick % 25);
        return false;
    case 13: {
        static const char* const names[] = {DefaultFontName, "No Such Font", "WenQuanYi Micro Hei", "Tahoma"};
        s.fontName = names[pick % 4];
        return false;
    }
    case 14:
        return false; // nothing changed at all
    default:
        app.clock.layout.cornerSize = static_cast<std::int32_t>(pick % 12);
        return false;
    }
}

} // namespace

const char* FrameKindName(FrameKind kind) {
    switch (kind) {
    case FrameKind::Tick:
        return "RedrawClock(true), a new second";
    case FrameKind::TickWithDate:
        return "RedrawClock(true), a new second, date line shown";
    case FrameKind::HoverChange:
        return "RedrawClock(false), hover change";
    case FrameKind::SettingChange:
        return "RedrawClock(false), font size change";
    case FrameKind::Unchanged:
        return "RedrawClock(false), nothing changed";
    case FrameKind::PresentOnly:
        break;
    }
    return "Present alone";
}

FrameBench::FrameBench(std::vector<OtherProcess> otherProcesses)
    : ownPid(OwnLinuxProcess()), others(std::move(otherProcesses)) {
    // Keep the pointer off the clock: a hover would redraw between frames.
    SetCursorPos(0, 0);
    state = std::make_unique<ClockWindowFixtureState>();
    StartClockAt(9, 5, 7);
    ShowClock();
    // Frames are drawn by the bench, not by the timer.
    App().clockWindow->tickTimer.SetInterval(0);
    PumpMessages();
}

FrameBench::~FrameBench() {
    SetFrameCaching(App().clock, true);
    SetClockSource(nullptr);
    state.reset();
}

bool FrameBench::Ready() const {
    return state && App().clock.clockCanvas.GetWindow() != nullptr &&
           App().clock.clockCanvas.GetDc() != nullptr;
}

std::pair<double, double> FrameBench::CpuNow() const {
    const double own = ProcessCpuSecondsPrecise(ownPid).value_or(0);
    double other = 0;
    for (const OtherProcess& process : others)
        other += ProcessCpuSecondsPrecise(process.pid).value_or(0);
    return {own, other};
}

void FrameBench::ResetState() {
    AppGlobals& app = App();
    app.settings = DefaultSettings();
    app.settings.restoreLastPosition = true;
    FitClockToSecondLine(app.clock); // back to the face without the date line
    app.clock.layout = ClockLayout{};
    app.clock.hoverActive = false;
    for (ButtonId id : Buttons)
        HoverButtonFor(App().clock, id).state = ButtonState::Normal;
    app.clock.keepOnTopButton.state = ButtonState::Hover;
    app.clock.clockCanvas.SetAlpha(app.settings.windowAlpha);
    // A frame that does not read the time shows the last reading: start
    // every pass from the same one.
    SYSTEMTIME before{};
    before.wHour = 9;
    before.wMinute = 5;
    before.wSecond = 6;
    app.clock.timeText = FormatTimeText(before, true);
    StartClockAt(9, 5, 7);
}

FrameCosts FrameBench::TimeAll(int count) {
    constexpr int Block = 50;
    constexpr int WarmUp = 5; // after a switch of mode, whose caches start empty
    Stopwatch watch;
    struct Series {
        std::vector<double> wall;
        double cpu = 0;
        double othersCpu = 0;
    };
    Series present, asWritten[std::size(RedrawKinds)], cached[std::size(RedrawKinds)];
    auto timeBlock = [&](FrameKind kind, int frames, Series& series) {
        for (int i = -WarmUp; i < 0; ++i)
            DrawFrame(kind, i);
        const auto [ownBefore, othersBefore] = CpuNow();
        for (int i = 0; i < frames; ++i) {
            const double start = watch.Now();
            DrawFrame(kind, i);
            series.wall.push_back(watch.Now() - start);
        }
        const auto [ownAfter, othersAfter] = CpuNow();
        series.cpu += ownAfter - ownBefore;
        series.othersCpu += othersAfter - othersBefore;
        PumpMessages();
    };
    for (int done = 0; done < count; done += Block) {
        const int frames = std::min(Block, count - done);
        ResetState();
        SetFrameCaching(App().clock, true);
        RedrawClock(App().clock, true); // a drawn canvas to present
        timeBlock(FrameKind::PresentOnly, frames, present);
        for (std::size_t k = 0; k < std::size(RedrawKinds); ++k) {
            for (bool caching : {false, true}) {
                ResetState();
                SetFrameCaching(App().clock, caching);
                timeBlock(RedrawKinds[k], frames, caching ? cached[k] : asWritten[k]);
            }
        }
    }
    auto cpuPerFrame = [](const Series& series) {
        if (series.wall.empty())
            return CpuPerFrame{};
        const auto frames = static_cast<double>(series.wall.size());
        return CpuPerFrame{series.cpu * 1000 / frames, (series.cpu + series.othersCpu) * 1000 / frames};
    };
    FrameCosts costs;
    costs.presentCpu = cpuPerFrame(present);
    costs.present = Summarise(std::move(present.wall));
    for (std::size_t k = 0; k < std::size(RedrawKinds); ++k) {
        costs.asWrittenCpu[k] = cpuPerFrame(asWritten[k]);
        costs.cachedCpu[k] = cpuPerFrame(cached[k]);
        costs.asWritten[k] = Summarise(std::move(asWritten[k].wall));
        costs.cached[k] = Summarise(std::move(cached[k].wall));
    }
    return costs;
}

IdleFloor FrameBench::Idle(TickWork work, int seconds) {
    ResetState();
    SetFrameCaching(App().clock, work != TickWork::RedrawAsWritten);
    RedrawClock(App().clock, true);
    WindowTimer& timer = App().clockWindow->tickTimer;
    timer.SetTickHandler([work] {
        switch (work) {
        case TickWork::Nothing:
            break;
        case TickWork::PresentOnly:
            App().clock.clockCanvas.Present();
            break;
        case TickWork::RedrawAsWritten:
        case TickWork::RedrawCached:
            RedrawClock(App().clock, true);
            break;
        }
    });
    PumpMessages();
    Stopwatch watch;
    const auto [ownBefore, othersBefore] = CpuNow();
    const double start = watch.Now();
    timer.SetInterval(1000);
    const double end = start + seconds * 1000.0;
    for (double now = start; now < end; now = watch.Now()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now) + 1, QS_ALLINPUT);
        PumpMessages();
    }
    timer.SetInterval(0);
    IdleFloor floor;
    const auto [ownAfter, othersAfter] = CpuNow();
    floor.wallSeconds = (watch.Now() - start) / 1000;
    floor.cpuSeconds = ownAfter - ownBefore;
    floor.othersCpuSeconds = othersAfter - othersBefore;
    timer.SetTickHandler([] { OnClockTick(); });
    return floor;
}

namespace {

// The present of a redraw: as written the whole canvas; cached, the pixels
// that differ from the frame on the screen, found and sent.
void PresentAsRedrawDoes(bool caching, std::vector<std::uint8_t>& shown) {
    LayeredCanvas& canvas = App().clock.clockCanvas;
    if (!caching) {
        canvas.Present();
        return;
    }
    GdiFlush();
    const std::vector<std::uint8_t> pixels = DibBytes(canvas.GetBitmap());
    if (shown.empty())
        canvas.Present();
    else
        canvas.PresentChanged(ChangedPixelBounds(shown, pixels, canvas.GetWidth(), canvas.GetHeight()));
    shown = pixels;
}

} // namespace

FrameProfile FrameBench::Profile(bool caching, int count) {
    ResetState();
    SetFrameCaching(App().clock, caching);
    Stopwatch watch;
    std::vector<double> backdrop, panel, text, buttons, present, total;
    std::vector<std::uint8_t> shown; // the pixels of the frame on the screen
    for (int i = -30; i < count; ++i) {
        if (i % 100 == 0)
            PumpMessages();
        const double t0 = watch.Now();
        DrawWindowBackdrop(App().clock);
        const double t1 = watch.Now();
        DrawClockPanel(App().clock);
        const double t2 = watch.Now();
        DrawTimeText(App().clock, true);
        const double t3 = watch.Now();
        DrawHoverButtons(App().clock, App().clock.hoverActive);
        const double t4 = watch.Now();
        PresentAsRedrawDoes(caching, shown);
        const double t5 = watch.Now();
        if (i < 0)
            continue; // warming up
        backdrop.push_back(t1 - t0);
        panel.push_back(t2 - t1);
        text.push_back(t3 - t2);
        buttons.push_back(t4 - t3);
        present.push_back(t5 - t4);
        total.push_back(t5 - t0);
    }
    PumpMessages();
    return {Summarise(backdrop), Summarise(panel),   Summarise(text),
            Summarise(buttons),  Summarise(present), Summarise(total)};
}

PixelRun FrameBench::Run(bool caching, int count, int screenFrames) {
    ResetState();
    SetFrameCaching(App().clock, caching);
    Scenario scenario;
    PixelRun run;
    run.hashes.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        RedrawClock(App().clock, ApplyStep(scenario));
        run.hashes.push_back(CanvasHash());
        if (i < screenFrames) {
            ++run.screenChecked;
            if (ScreenShowsCanvas())
                ++run.screenEqual;
            else if (run.firstScreenDifference < 0)
                run.firstScreenDifference = i;
        }
        if (i % 100 == 0)
            PumpMessages();
    }
    return run;
}
