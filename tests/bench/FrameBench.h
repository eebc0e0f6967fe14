#pragma once
// Frame costs on a real clock window in this process: the clock face set up
// by its own start-up sequence on a visible, layered window, driven directly
// (no message loop), with a clock source that advances one second per read.
#include "bench/BenchStats.h"
#include "bench/IdleBench.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

enum class FrameKind {
    Tick,          // RedrawClock(App().clock, true) with a new second each frame
    TickWithDate,  // the same, with the date line shown
    HoverChange,   // RedrawClock(App().clock, false), the pointer entering or leaving
    SettingChange, // RedrawClock(App().clock, false), the font size changing (live preview)
    Unchanged,     // RedrawClock(App().clock, false), nothing changed since the last frame
    PresentOnly,   // Present of an unchanged canvas
};

const char* FrameKindName(FrameKind kind);

struct CpuPerFrame {
    double process = 0;
    double withOthers = 0;
};

inline constexpr FrameKind RedrawKinds[] = {FrameKind::Tick, FrameKind::TickWithDate, FrameKind::HoverChange,
                                            FrameKind::SettingChange, FrameKind::Unchanged};
inline constexpr std::size_t RedrawKindCount = std::size(RedrawKinds);

struct FrameCosts {
    Summary present;
    Summary asWritten[RedrawKindCount]; // in the order of RedrawKinds
    Summary cached[RedrawKindCount];
    // Mean CPU time per frame in milliseconds, of this process alone and
    // with the other processes (wineserver, Xvfb) added: wall time also holds
    // waits for them.
    CpuPerFrame presentCpu;
    CpuPerFrame asWrittenCpu[RedrawKindCount];
    CpuPerFrame cachedCpu[RedrawKindCount];
};

// What the in-process clock does on each tick of a real 1-second timer.
enum class TickWork { Nothing, PresentOnly, RedrawAsWritten, RedrawCached };

struct IdleFloor {
    double wallSeconds = 0;
    double cpuSeconds = 0;       // this process
    double othersCpuSeconds = 0; // wineserver, Xvfb
};

// The steps of a tick frame, timed one by one.
struct FrameProfile {
    Summary backdrop, panel, text, buttons, present, total;
};

// One pass over a scripted mix of frames: every frame's canvas hashed.
struct PixelRun {
    std::vector<std::uint64_t> hashes;
    // Of the first frames checked on the screen: how many the screen showed
    // exactly as the canvas holds them (read back right after the present).
    int screenChecked = 0;
    int screenEqual = 0;
    int firstScreenDifference = -1;
};

class FrameBench {
public:
    // others: the Linux processes that share a frame's work (wineserver, Xvfb).
    explicit FrameBench(std::vector<OtherProcess> others);
    ~FrameBench();
    FrameBench(const FrameBench&) = delete;
    FrameBench& operator=(const FrameBench&) = delete;

    bool Ready() const;
    // Times count frames of every kind, as written and cached, in
    // interleaved blocks, so that a change in the machine's load falls on
    // every measurement alike.
    FrameCosts TimeAll(int count);
    FrameProfile Profile(bool caching, int count);
    // The same scripted frames (ticks, hover, button states, font, colours,
    // alphas, switches, font names) from the same start.
    // The first screenFrames frames are also read back from the screen.
    PixelRun Run(bool caching, int count, int screenFrames = 0);
    // The bench process's own CPU time over that many ticks of the clock
    // window's timer, with the message loop running.
    IdleFloor Idle(TickWork work, int seconds);

private:
    void ResetState();
    // CPU seconds so far of this process and of the others together.
    std::pair<double, double> CpuNow() const;

    long ownPid = 0;
    std::vector<OtherProcess> others;
};
