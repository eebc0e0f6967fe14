// The clock's benchmark: per-frame costs on a real clock window, the frame as
// written against the cached frame (with identical pixels checked), and the
// idle CPU share of the real program. Prints a Markdown report and writes it
// to --out. Exits 0, or 2 when the cached frames differ from the frames as
// written, or 3 when the idle measurement failed.
//
//   bench.exe [--frames N] [--check-frames N] [--screen-frames N] [--profile-frames N]
//             [--floor-seconds N] [--ticks N] [--idle-rounds N] [--timing-seconds N]
//             [--memory-seconds N] [--start-rounds N] [--clock-exe PATH] [--before-exe PATH]
//             [--floor-exe PATH] [--other NAME=PID]... [--out PATH]
//
// --before-exe: another build of the clock (the code before a change), measured
// beside --clock-exe in the same run; --floor-exe: the bare layered window and
// the least GDI+ clock; --memory-seconds: when after its start a program's
// memory is read (0: no memory measured); --start-rounds: how many starts of
// each program are timed, taken in turn (0: none).
//   bench.exe --clock-exe PATH --screenshots FOLDER
#include "bench/FrameBench.h"
#include "bench/IdleBench.h"
#include "bench/MemoryBench.h"
#include "bench/Screenshots.h"
#include "bench/StepBench.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Options {
    int frames = 2000;
    int checkFrames = 1000;
    int screenFrames = 300;
    int timingSeconds = 120;
    int profileFrames = 500;
    int ticks = 300;
    int floorSeconds = 60;
    int idleRounds = 1;
    int memorySeconds = 10;
    int startRounds = 9;
    std::string clockExe;
    std::string beforeExe;
    std::string floorExe;
    std::string screenshots; // a folder: take the README's screenshots and nothing else
    std::string out;
    std::vector<OtherProcess> others;
};

// A Unix path (as the script passes it) becomes its Z: drive form.
std::string WindowsPath(std::string path) {
    if (path.empty() || path[0] != '/')
        return path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (name == "--frames")
            options.frames = std::atoi(value.c_str());
        else if (name == "--check-frames")
            options.checkFrames = std::atoi(value.c_str());
        else if (name == "--profile-frames")
            options.profileFrames = std::atoi(value.c_str());
        else if (name == "--floor-seconds")
            options.floorSeconds = std::atoi(value.c_str());
        else if (name == "--ticks")
            options.ticks = std::atoi(value.c_str());
        else if (name == "--memory-seconds")
            options.memorySeconds = std::atoi(value.c_str());
        else if (name == "--start-rounds")
            options.startRounds = std::atoi(value.c_str());
        else if (name == "--idle-rounds")
            options.idleRounds = std::atoi(value.c_str());
        else if (name == "--screen-frames")
            options.screenFrames = std::atoi(value.c_str());
        else if (name == "--timing-seconds")
            options.timingSeconds = std::atoi(value.c_str());
        else if (name == "--clock-exe")
            options.clockExe = WindowsPath(value);
        else if (name == "--before-exe")
            options.beforeExe = WindowsPath(value);
        else if (name == "--floor-exe")
            options.floorExe = WindowsPath(value);
        else if (name == "--screenshots")
            options.screenshots = WindowsPath(value);
        else if (name == "--out")
            options.out = WindowsPath(value);
        else if (name == "--other") {
            const std::size_t equals = value.find('=');
            if (equals == std::string::npos)
                return false;
            options.others.push_back({value.substr(0, equals), std::atol(value.c_str() + equals + 1)});
        } else
            return false;
    }
    return options.frames > 0 && options.checkFrames >= 0 && options.profileFrames > 0 &&
           options.ticks >= 0 && options.floorSeconds >= 0 && options.screenFrames >= 0 &&
           options.timingSeconds >= 0 && options.idleRounds > 0 && options.memorySeconds >= 0 &&
           options.startRounds >= 0;
}

std::string Fixed(double value, int digits = 3) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

std::string Row(const std::string& frame, const std::string& mode, const Summary& s, const CpuPerFrame& cpu) {
    return "| " + frame + " | " + mode + " | " + Fixed(s.min) + " | " + Fixed(s.median) + " | " +
           Fixed(s.p95) + " | " + Fixed(s.mean) + " | " + Fixed(cpu.process) + " | " + Fixed(cpu.withOthers) +
           " |\n";
}

std::string Verdict(bool met) {
    return met ? "met" : "**not met**";
}

std::string Megabytes(long kb) {
    return Fixed(kb / 1024.0, 2);
}

// The median of three readings of a program's memory (one reading varies by
// a few hundred kB from start to start); not ok when any failed.
MemoryReading MedianMemory(const IdleProgram& program, int seconds) {
    std::vector<long> readings;
    for (int run = 0; run < 3; ++run) {
        const MemoryReading reading = MeasureStartedMemory(program, seconds);
        if (!reading.ok)
            return reading;
        readings.push_back(reading.anonKb);
    }
    std::ranges::sort(readings);
    return {true, "", readings[1]};
}

// Anonymous memory of the floors and the clocks from outside, then where the
// clock's goes, step by step and by kind; false when a measurement failed.
bool ReportMemory(std::ostringstream& report, const Options& options,
                  const std::vector<std::pair<std::string, std::string>>& clocks) {
    bool ok = true;
    report
        << "\n## Memory\n\n"
        << "Anonymous memory (RssAnon of the Linux process) " << options.memorySeconds
        << " s after the start, the settings window never opened, pointer off the window; the median of "
           "three starts each. The floors (bench_floor.exe, linked as the program is): a bare layered "
           "window presenting a fixed 380 x 150 canvas, and the least GDI+ clock: the same window with "
           "GDI+ started, the time drawn once a second as an outlined path in Microsoft YaHei and the whole "
           "canvas presented.\n\n"
        << "| Program | MB | x the least GDI+ clock | Goal: <= 1.5 x |\n|---|---:|---:|---|\n";
    const auto reading = [&](const IdleProgram& program) {
        const MemoryReading memory = MedianMemory(program, options.memorySeconds);
        ok = ok && memory.ok;
        return memory;
    };
    MemoryReading least{};
    if (!options.floorExe.empty()) {
        const MemoryReading bare = reading({options.floorExe, "present", L"TikoFloorWindow", ""});
        least = reading({options.floorExe, "gdiplus", L"TikoFloorWindow", ""});
        report << "| floor: bare layered window | " << (bare.ok ? Megabytes(bare.anonKb) : bare.error)
               << " | | |\n"
               << "| floor: the least GDI+ clock | " << (least.ok ? Megabytes(least.anonKb) : least.error)
               << " | 1.00 | |\n";
    }
    for (const auto& [name, exe] : clocks) {
        const MemoryReading clock = reading({exe, "", L"TikoClockWindow", ""});
        report << "| TikoClock.exe, " << name << " | " << (clock.ok ? Megabytes(clock.anonKb) : clock.error);
        if (clock.ok && least.ok && least.anonKb > 0) {
            const double ratio = static_cast<double>(clock.anonKb) / least.anonKb;
            report << " | " << Fixed(ratio, 2) << " | " << Verdict(ratio <= 1.5) << " |\n";
        } else {
            report << " | | |\n";
        }
    }

    report << "\nThe settings window opened with the gear and closed, the clock read again as long after: "
              "back within 10 % of its memory before it opened.\n\n"
           << "| Program | MB before | MB after | x before | Goal: <= 1.1 x |\n|---|---:|---:|---:|---|\n";
    for (const auto& [name, exe] : clocks) {
        const SettingsMemory settings = MeasureSettingsMemory(exe, options.memorySeconds);
        ok = ok && settings.ok;
        report << "| TikoClock.exe, " << name << " | ";
        if (!settings.ok) {
            report << settings.error << " | | | |\n";
            continue;
        }
        const double grown = static_cast<double>(settings.afterKb) / settings.beforeKb;
        report << Megabytes(settings.beforeKb) << " | " << Megabytes(settings.afterKb) << " | "
               << Fixed(grown, 2) << " | " << Verdict(grown <= 1.1) << " |\n";
    }

    const MemorySteps steps = MeasureMemorySteps();
    if (!steps.ok) {
        report << "\nThe clock's start step by step: not measured (" << steps.error << ").\n";
        return false;
    }
    report << "\nThis build's start-up sequence taken step by step in a fresh process of the bench (which "
              "links the program's code and loads every DLL it uses at its start: its image and DLLs are the "
              "program's and more): the step's time (the first: since the process was made), anonymous "
              "memory and the bytes held in all heaps after each step, and what each step added.\n\n"
           << "| Step | ms | RssAnon kB | added | heaps kB | added |\n|---|---:|---:|---:|---:|---:|\n";
    long anonBefore = 0, heapBefore = 0, beforeSettings = 0, afterSettings = 0;
    for (std::size_t i = 0; i < steps.steps.size(); ++i) {
        const MemoryStep& step = steps.steps[i];
        report << "| " << step.name << " | " << Fixed(step.milliseconds, 1) << " | " << step.anonKb << " | "
               << (i ? std::to_string(step.anonKb - anonBefore) : "") << " | " << step.heapKb << " | "
               << (i ? std::to_string(step.heapKb - heapBefore) : "") << " |\n";
        if (step.name.starts_with("pointer over"))
            beforeSettings = step.heapKb;
        if (step.name.starts_with("settings window closed"))
            afterSettings = step.heapKb;
        anonBefore = step.anonKb;
        heapBefore = step.heapKb;
    }
    if (beforeSettings > 0 && afterSettings > 0)
        report << "\nThe heaps hold " << afterSettings << " kB after the settings window was opened and "
               << "closed, " << beforeSettings << " kB before it opened: what stays besides is the system's "
               << "(the DLLs it loaded, the platform's caches).\n";
    report << "\nWhat the clock view holds once it has ticked and shown its buttons, by kind (exact sizes "
              "of its bitmaps and buffers):\n\n| Kind | kB |\n|---|---:|\n";
    for (const MemoryKind& kind : steps.kinds)
        report << "| " << kind.name << " | " << kind.kb << " |\n";
    return ok;
}

// Start to window shown: the bare layered window and each clock, started in
// turn (a first start of each untimed, so that every timed one finds its
// files in the cache); false when a start failed.
bool ReportStart(std::ostringstream& report, const Options& options,
                 const std::vector<std::pair<std::string, std::string>>& clocks) {
    std::vector<std::pair<std::string, IdleProgram>> programs;
    if (!options.floorExe.empty())
        programs.push_back(
            {"floor: bare layered window", {options.floorExe, "present", L"TikoFloorWindow", ""}});
    for (const auto& [name, exe] : clocks)
        programs.push_back({"TikoClock.exe, " + name, {exe, "", L"TikoClockWindow", ""}});
    std::vector<std::vector<double>> times(programs.size());
    for (int round = -1; round < options.startRounds; ++round) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const StartReading start = MeasureStart(programs[i].second);
            if (!start.ok) {
                report << "\n## Start\n\n" << programs[i].first << ": " << start.error << "\n";
                return false;
            }
            if (round >= 0)
                times[i].push_back(start.milliseconds);
        }
    }
    report
        << "\n## Start\n\nFrom the call that makes the process to its window shown (seen every "
           "millisecond), "
        << options.startRounds
        << " starts of each program taken in turn, after one untimed start each; ms. The clock's "
           "window shows once its first frame is drawn and presented.\n\n"
        << "| Program | median | min | max | x the floor | Goal: <= 1.2 x |\n|---|---:|---:|---:|---:|---|\n";
    const double floor = options.floorExe.empty() ? 0 : Summarise(times.front()).median;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const Summary s = Summarise(times[i]);
        report << "| " << programs[i].first << " | " << Fixed(s.median, 1) << " | " << Fixed(s.min, 1)
               << " | " << Fixed(s.max, 1) << " | ";
        if (floor > 0 && i > 0)
            report << Fixed(s.median / floor, 2) << " | " << Verdict(s.median / floor <= 1.2) << " |\n";
        else
            report << " | |\n";
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == MemoryStepsSwitch)
        return RunMemorySteps(argc >= 3 ? argv[2] : "");
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(
            stderr,
            "usage: bench.exe [--frames N] [--check-frames N] [--screen-frames N] [--profile-frames N] "
            "[--floor-seconds N] [--ticks N] [--idle-rounds N] [--timing-seconds N] [--memory-seconds N] "
            "[--start-rounds N] "
            "[--clock-exe PATH] [--before-exe PATH] [--floor-exe PATH] [--other NAME=PID]... [--out PATH]\n");
        return 64;
    }
    if (!options.screenshots.empty()) {
        const std::string error = TakeScreenshots(options.clockExe, options.screenshots);
        if (!error.empty())
            std::fprintf(stderr, "screenshots: %s\n", error.c_str());
        return error.empty() ? 0 : 1;
    }
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    std::ostringstream report;
    int exitCode = 0;
    {
        FrameBench bench(options.others);
        if (!bench.Ready()) {
            std::fprintf(stderr, "the clock window could not be set up\n");
            Gdiplus::GdiplusShutdown(token);
            return 1;
        }
        const FrameCosts costs = bench.TimeAll(options.frames);
        const Summary& present = costs.present;
        struct Measured {
            FrameKind kind;
            Summary asWritten, cached;
            CpuPerFrame asWrittenCpu, cachedCpu;
        };
        std::vector<Measured> measured;
        for (std::size_t k = 0; k < std::size(RedrawKinds); ++k) {
            measured.push_back({RedrawKinds[k], costs.asWritten[k], costs.cached[k], costs.asWrittenCpu[k],
                                costs.cachedCpu[k]});
        }

        report << "## Frame cost\n\n"
               << "Milliseconds per frame on a visible 380 x 150 clock window, " << options.frames
               << " frames of each row, measured in interleaved blocks of 50 (5 warm-up frames each). Wall "
                  "time includes waits for the wineserver and the display server; the CPU columns are mean "
                  "CPU time per frame of this process, and of this process, the wineserver and Xvfb "
                  "together.\n\n"
               << "| Frame | Mode | min | median | p95 | mean | CPU | CPU, all three |\n"
               << "|---|---|---:|---:|---:|---:|---:|---:|\n"
               << Row(FrameKindName(FrameKind::PresentOnly), "-", present, costs.presentCpu);
        for (const Measured& m : measured) {
            report << Row(FrameKindName(m.kind), "as written", m.asWritten, m.asWrittenCpu)
                   << Row(FrameKindName(m.kind), "cached", m.cached, m.cachedCpu);
        }

        const Measured& tick = measured[0];
        const Measured& dated = measured[1];
        const double tickOverPresent = tick.cached.median / present.median;
        const double tickOverPresentCpu = tick.cachedCpu.withOthers / costs.presentCpu.withOthers;
        const double datedOverPresent = dated.cached.median / present.median;
        const double datedOverPresentCpu = dated.cachedCpu.withOthers / costs.presentCpu.withOthers;
        const double dateCost = datedOverPresent / tickOverPresent;
        report << "\n## Ratios (this run)\n\n| Ratio | Wall, medians | CPU of all three, means | Goal "
                  "|\n|---|---:|---:|---|\n"
               << "| tick frame (RedrawClock(true), cached) / Present alone | " << Fixed(tickOverPresent, 2)
               << " | " << Fixed(tickOverPresentCpu, 2) << " | <= 1.5: " << Verdict(tickOverPresent <= 1.5)
               << " (wall), " << Verdict(tickOverPresentCpu <= 1.5) << " (CPU) |\n"
               << "| tick frame with the date line / Present alone | " << Fixed(datedOverPresent, 2) << " | "
               << Fixed(datedOverPresentCpu, 2)
               << " | within 10 % of the tick without it: " << Fixed(dateCost, 2) << " x, "
               << Verdict(dateCost <= 1.1) << " (wall) |\n"
               << "| full frame as written / Present alone | "
               << Fixed(tick.asWritten.median / present.median, 2) << " | "
               << Fixed(tick.asWrittenCpu.withOthers / costs.presentCpu.withOthers, 2) << " | |\n";
        for (const Measured& m : measured) {
            report << "| " << FrameKindName(m.kind) << ": as written / cached | "
                   << Fixed(m.asWritten.median / m.cached.median, 2) << " | "
                   << Fixed(m.asWrittenCpu.withOthers / m.cachedCpu.withOthers, 2) << " | |\n";
        }

        if (options.checkFrames > 0) {
            const PixelRun reference = bench.Run(false, options.checkFrames);
            const PixelRun cached = bench.Run(true, options.checkFrames, options.screenFrames);
            int identical = 0;
            int firstDifference = -1;
            for (std::size_t i = 0; i < reference.hashes.size(); ++i) {
                if (i < cached.hashes.size() && cached.hashes[i] == reference.hashes[i])
                    ++identical;
                else if (firstDifference < 0)
                    firstDifference = static_cast<int>(i);
            }
            report << "\n## Identical pixels\n\n"
                   << options.checkFrames
                   << " scripted frames (ticks, hover, button states, font sizes and names, colours, alphas, "
                      "switches, corner size) drawn as written and cached from the same start: "
                   << identical << " of " << options.checkFrames << " canvases identical";
            if (firstDifference >= 0) {
                report << "; first difference at frame " << firstDifference;
                exitCode = 2;
            }
            report << ".\n";
            if (cached.screenChecked > 0) {
                report << "\nThe first " << cached.screenChecked
                       << " cached frames (each presented as the rectangle of pixels that changed) read back "
                          "from the screen: "
                       << cached.screenEqual << " of " << cached.screenChecked
                       << " showed the canvas exactly";
                if (cached.firstScreenDifference >= 0) {
                    report << "; first difference at frame " << cached.firstScreenDifference;
                    exitCode = 2;
                }
                report << ".\n";
            }
        }

        report << "\n## Single steps\n\nEach on its own on scratch objects, " << options.profileFrames
               << " times; milliseconds.\n\n| Step | min | median | p95 |\n|---|---:|---:|---:|\n";
        for (const StepCost& step : MeasureSteps(options.profileFrames)) {
            report << "| " << step.name << " | " << Fixed(step.cost.min) << " | " << Fixed(step.cost.median)
                   << " | " << Fixed(step.cost.p95) << " |\n";
        }

        const FrameProfile profiles[] = {bench.Profile(false, options.profileFrames),
                                         bench.Profile(true, options.profileFrames)};
        report << "\n## Where a tick frame's time goes\n\nMedian milliseconds per step, "
               << options.profileFrames
               << " tick frames.\n\n| Step | as written | cached |\n|---|---:|---:|\n";
        const struct {
            const char* name;
            Summary FrameProfile::*step;
        } steps[] = {{"DrawWindowBackdrop", &FrameProfile::backdrop},
                     {"DrawClockPanel", &FrameProfile::panel},
                     {"DrawTimeText(App().clock, true)", &FrameProfile::text},
                     {"DrawHoverButtons", &FrameProfile::buttons},
                     {"Present (cached: the changed rectangle found and sent)", &FrameProfile::present},
                     {"whole frame", &FrameProfile::total}};
        for (const auto& step : steps) {
            report << "| " << step.name << " | " << Fixed((profiles[0].*step.step).median) << " | "
                   << Fixed((profiles[1].*step.step).median) << " |\n";
        }

        if (options.floorSeconds > 0) {
            report << "\n## What a tick costs in this process\n\n"
                   << "The bench's own clock window with its real 1-second timer and message loop, "
                   << options.floorSeconds
                   << " s each: CPU time of the bench process (and of the wineserver and Xvfb) over wall "
                      "time.\n\n"
                   << "| On each tick | CPU s | Share of one core | CPU ms per tick | wineserver + Xvfb, ms "
                      "per tick |\n"
                   << "|---|---:|---:|---:|---:|\n";
            const struct {
                const char* name;
                TickWork work;
            } works[] = {{"nothing (Wine's floor: timer and message loop)", TickWork::Nothing},
                         {"Present alone", TickWork::PresentOnly},
                         {"RedrawClock(true), cached", TickWork::RedrawCached},
                         {"RedrawClock(true), as written", TickWork::RedrawAsWritten}};
            for (const auto& work : works) {
                const IdleFloor floor = bench.Idle(work.work, options.floorSeconds);
                const double share = floor.wallSeconds > 0 ? floor.cpuSeconds / floor.wallSeconds : 0;
                report << "| " << work.name << " | " << Fixed(floor.cpuSeconds, 3) << " | "
                       << Fixed(share * 100, 3) << " % | "
                       << Fixed(floor.cpuSeconds * 1000 / options.floorSeconds, 3) << " | "
                       << Fixed(floor.othersCpuSeconds * 1000 / options.floorSeconds, 3) << " |\n";
            }
        }
    }

    // The builds of the clock measured, the one before a change first.
    std::vector<std::pair<std::string, std::string>> clocks;
    if (!options.clockExe.empty()) {
        if (!options.beforeExe.empty())
            clocks.emplace_back("before", options.beforeExe);
        clocks.emplace_back(options.beforeExe.empty() ? "this build" : "after", options.clockExe);
    }

    if (options.memorySeconds > 0 && !clocks.empty())
        exitCode = ReportMemory(report, options, clocks) ? exitCode : (exitCode ? exitCode : 3);
    if (options.startRounds > 0 && !clocks.empty())
        exitCode = ReportStart(report, options, clocks) ? exitCode : (exitCode ? exitCode : 3);

    if (options.timingSeconds > 0 && !clocks.empty()) {
        report
            << "\n## When the new second reaches the screen\n\n"
            << "The real TikoClock.exe (seconds shown, pointer off the clock) over " << options.timingSeconds
            << " whole seconds, its window read off the screen by this process about every millisecond: "
               "the delay from the start of each second to the first read that shows the window changed "
               "(a change is taken to show the second it is seen in), and the seconds in which the window "
               "did not change (skipped) or changed more than once (repeated).\n\n"
            << "| Build | Seconds | Changes | Median ms | p95 ms | Max ms | Skipped | Repeated | Screen read "
               "every (median ms) | Goal: median <= 20, max <= 60, none skipped or repeated |\n"
            << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|\n";
        for (const auto& [name, exe] : clocks) {
            const TickTiming timing = MeasureTickTiming(exe, options.timingSeconds);
            if (!timing.ok) {
                report << "| " << name << " | not measured: " << timing.error << " | | | | | | | | |\n";
                exitCode = exitCode ? exitCode : 3;
                continue;
            }
            const bool met = timing.delay.median <= 20 && timing.delay.max <= 60 && timing.skipped == 0 &&
                             timing.repeated == 0;
            report << "| " << name << " | " << timing.seconds << " | " << timing.changes << " | "
                   << Fixed(timing.delay.median, 1) << " | " << Fixed(timing.delay.p95, 1) << " | "
                   << Fixed(timing.delay.max, 1) << " | " << timing.skipped << " | " << timing.repeated
                   << " | " << Fixed(timing.poll.median, 2) << " | " << Verdict(met) << " |\n";
        }
    }

    if (options.ticks > 0 && !clocks.empty()) {
        report
            << "\n## Idle clock\n\n"
            << "Each program on its own over " << options.ticks << " s (the floors over "
            << options.floorSeconds << " s)"
            << (options.idleRounds > 1
                    ? ", in " + std::to_string(options.idleRounds) + " rounds taken in turn and added up"
                    : std::string())
            << ", pointer off its window: CPU time of its Linux process (all threads, from schedstat) "
               "over "
               "wall time. Xvfb and this prefix's wineserver, read over the same interval, do the display "
               "and message work outside the process. The floors are bare layered windows without GDI+ "
               "(bench_floor.exe): a 1-second timer with an empty handler, and the same presenting a fixed "
               "380 x 150 canvas with UpdateLayeredWindow on every tick; the last, again at the size of "
               "the clock with the date line, since this platform copies the whole window on every "
               "present, whatever part of it changed.\n\n"
            << "| Program | Settings | Process | Wall s | CPU s | Share of one core | Goal |\n"
            << "|---|---|---|---:|---:|---:|---|\n";
        const auto rows = [&](const std::string& program, const std::string& settings, const IdleResult& idle,
                              const std::string& goal) {
            if (!idle.ok) {
                report << "| " << program << " | " << settings << " | not measured: " << idle.error
                       << " | | | | |\n";
                exitCode = exitCode ? exitCode : 3;
                return;
            }
            report << "| " << program << " | " << settings << " | own process | "
                   << Fixed(idle.wallSeconds, 1) << " | " << Fixed(idle.cpuSeconds, 3) << " | "
                   << Fixed(idle.share * 100, 3) << " % | " << goal << " |\n";
            for (const CpuSample& other : idle.others) {
                report << "| " << program << " | " << settings << " | " << other.name << " | "
                       << Fixed(idle.wallSeconds, 1) << " | " << Fixed(other.cpuSeconds, 3) << " | "
                       << Fixed(other.cpuSeconds / idle.wallSeconds * 100, 3) << " % | |\n";
            }
        };
        const struct {
            const char* name;
            std::string ini;
            bool shown;
        } variants[] = {{"default (seconds shown)", "", true},
                        {"date line shown", "[时钟]\r\n显示日期=真\r\n", true},
                        {"seconds hidden", "[基本设置]\r\n显示秒数=假\r\n", false}};
        constexpr std::size_t DatedVariant = 1;
        // Each program once a round, all in the same order: a machine growing
        // busier or quieter weighs on every one of them alike.
        const bool floors = !options.floorExe.empty() && options.floorSeconds > 0;
        IdleResult timer, present, datedPresent;
        std::vector<std::array<IdleResult, std::size(variants)>> clockRuns(clocks.size());
        const auto presenting = [](SIZE size) {
            return "present " + std::to_string(size.cx) + " " + std::to_string(size.cy);
        };
        for (int round = 0; round < options.idleRounds; ++round) {
            if (floors) {
                AddIdleRun(timer, MeasureIdle({options.floorExe, "timer", L"TikoFloorWindow", ""},
                                              options.floorSeconds, options.others));
                AddIdleRun(present, MeasureIdle({options.floorExe, "present", L"TikoFloorWindow", ""},
                                                options.floorSeconds, options.others));
            }
            for (std::size_t clock = 0; clock < clocks.size(); ++clock)
                for (std::size_t variant = 0; variant < std::size(variants); ++variant)
                    AddIdleRun(clockRuns[clock][variant],
                               MeasureIdleClock(clocks[clock].second, variants[variant].ini, options.ticks,
                                                options.others));
            const SIZE dated = clocks.empty() ? SIZE{} : clockRuns.back()[DatedVariant].window;
            if (floors && dated.cx > 0 && dated.cy > 0)
                AddIdleRun(datedPresent,
                           MeasureIdle({options.floorExe, presenting(dated), L"TikoFloorWindow", ""},
                                       options.floorSeconds, options.others));
        }
        const auto presentRow = [](SIZE size) {
            return "UpdateLayeredWindow of " + std::to_string(size.cx) + " x " + std::to_string(size.cy) +
                   " every second";
        };
        if (floors) {
            rows("floor", "1-second timer, empty handler", timer, "");
            rows("floor", presentRow({380, 150}), present, "");
            if (datedPresent.ok || !datedPresent.error.empty())
                rows("floor", presentRow(datedPresent.window) + ", the date line's window", datedPresent, "");
        }
        const double timerFloor = timer.ok ? timer.share : 0;
        const double presentFloor = present.ok ? present.share : 0;
        const double datedFloor = datedPresent.ok ? datedPresent.share : 0;
        std::string exits, dateCosts;
        for (std::size_t clock = 0; clock < clocks.size(); ++clock) {
            const std::string& name = clocks[clock].first;
            for (std::size_t variant = 0; variant < std::size(variants); ++variant) {
                const IdleResult& result = clockRuns[clock][variant];
                const bool shown = variants[variant].shown;
                std::string goal;
                const double floor = shown ? presentFloor : timerFloor;
                if (result.ok && floor > 0) {
                    const double ratio = result.share / floor;
                    // A clock that sends fewer pixels than the presenting floor
                    // should cost no more than it.
                    const double limit = shown ? 1.0 : 1.5;
                    goal = Fixed(ratio, 2) + " x the " + (shown ? "presenting" : "timer") +
                           " floor; <= " + Fixed(limit, 1) + ": " + Verdict(ratio <= limit);
                    if (variant == DatedVariant && datedFloor > 0)
                        goal += " (" + Fixed(result.share / datedFloor, 2) + " x the one of its size)";
                }
                rows("TikoClock.exe, " + name, variants[variant].name, result, goal);
                if (result.ok)
                    exits += std::string(exits.empty() ? "" : ", ") + name + ", " + variants[variant].name +
                             ": " + (result.exited ? std::to_string(result.exitCode) : "none (killed)");
            }
            const IdleResult& plain = clockRuns[clock][0];
            const IdleResult& dated = clockRuns[clock][DatedVariant];
            if (plain.ok && dated.ok && plain.share > 0) {
                const double dateCost = dated.share / plain.share;
                dateCosts += "\n- " + name + ": " + Fixed(dateCost, 2) + " x";
                // What the program adds for the line, without what presenting a
                // taller window costs this platform.
                if (presentFloor > 0 && datedFloor > 0) {
                    const double overFloors = (dated.share / datedFloor) / (plain.share / presentFloor);
                    dateCosts +=
                        "; each over the presenting floor of its window's size: " + Fixed(overFloors, 2) +
                        " x, within 10 %: " + Verdict(overFloors <= 1.1);
                } else {
                    dateCosts += ", within 10 %: " + Verdict(dateCost <= 1.1);
                }
            }
        }
        if (!dateCosts.empty())
            report << "\nIdle with the date line shown / without it, own process:" << dateCosts << "\n";
        report << "\nExit code after Esc: " << exits << ".\n";
    }

    const std::string text = report.str();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    if (!options.out.empty()) {
        std::ofstream file(options.out, std::ios::binary);
        file << text;
    }
    Gdiplus::GdiplusShutdown(token);
    return exitCode;
}
