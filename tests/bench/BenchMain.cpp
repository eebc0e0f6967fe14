// The clock's benchmark: per-frame costs on a real clock window, the frame as
// written against the cached frame (with identical pixels checked), and the
// idle CPU share of the real program. Prints a Markdown report and writes it
// to --out. Exits 0, or 2 when the cached frames differ from the frames as
// written, or 3 when the idle measurement failed.
//
//   bench.exe [--frames N] [--check-frames N] [--profile-frames N] [--floor-seconds N]
//             [--ticks N] [--clock-exe PATH] [--other NAME=PID]... [--out PATH]
//   bench.exe --clock-exe PATH --screenshots FOLDER
#include "bench/FrameBench.h"
#include "bench/IdleBench.h"
#include "bench/Screenshots.h"
#include "bench/StepBench.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Options {
    int frames = 2000;
    int checkFrames = 1000;
    int profileFrames = 500;
    int ticks = 300;
    int floorSeconds = 60;
    std::string clockExe;
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
        else if (name == "--clock-exe")
            options.clockExe = WindowsPath(value);
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
           options.ticks >= 0 && options.floorSeconds >= 0;
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

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(
            stderr,
            "usage: bench.exe [--frames N] [--check-frames N] [--profile-frames N] "
            "[--floor-seconds N] [--ticks N] [--clock-exe PATH] [--other NAME=PID]... [--out PATH]\n");
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

        const Measured& tick = measured.front();
        const double fullOverPresent = tick.cached.median / present.median;
        const double fullOverPresentCpu = tick.cachedCpu.withOthers / costs.presentCpu.withOthers;
        report << "\n## Ratios (this run)\n\n| Ratio | Wall, medians | CPU of all three, means | Goal "
                  "|\n|---|---:|---:|---|\n"
               << "| full frame (RedrawClock(true), cached) / Present alone | " << Fixed(fullOverPresent, 2)
               << " | " << Fixed(fullOverPresentCpu, 2) << " | <= 3: " << Verdict(fullOverPresent <= 3)
               << " (wall), " << Verdict(fullOverPresentCpu <= 3) << " (CPU) |\n"
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
            const PixelRun cached = bench.Run(true, options.checkFrames);
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
                     {"DrawTimeText(true)", &FrameProfile::text},
                     {"DrawHoverButtons", &FrameProfile::buttons},
                     {"Present", &FrameProfile::present},
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

    if (options.ticks > 0 && !options.clockExe.empty()) {
        report << "\n## Idle clock\n\n"
               << "The real TikoClock.exe (pointer off the clock) over " << options.ticks
               << " one-second ticks: CPU time of its Linux process (all threads, from schedstat) over wall "
                  "time. Xvfb and this prefix's wineserver, read over the same interval, do the display and "
                  "message work outside the process.\n\n"
               << "| Settings | Process | Wall s | CPU s | Share of one core | Goal |\n"
               << "|---|---|---:|---:|---:|---|\n";
        const struct {
            const char* name;
            std::string ini;
        } variants[] = {{"default (seconds shown)", ""}, {"seconds hidden", "[基本设置]\r\n显示秒数=假\r\n"}};
        std::string exits;
        for (const auto& variant : variants) {
            const IdleResult idle =
                MeasureIdleClock(options.clockExe, variant.ini, options.ticks, options.others);
            if (!idle.ok) {
                report << "| " << variant.name << " | TikoClock.exe | not measured: " << idle.error
                       << " | | | |\n";
                exitCode = exitCode ? exitCode : 3;
                continue;
            }
            report << "| " << variant.name << " | TikoClock.exe | " << Fixed(idle.wallSeconds, 1) << " | "
                   << Fixed(idle.cpuSeconds, 3) << " | " << Fixed(idle.share * 100, 3)
                   << " % | < 0.1 %: " << Verdict(idle.share < 0.001) << " |\n";
            for (const CpuSample& other : idle.others) {
                report << "| " << variant.name << " | " << other.name << " | " << Fixed(idle.wallSeconds, 1)
                       << " | " << Fixed(other.cpuSeconds, 3) << " | "
                       << Fixed(other.cpuSeconds / idle.wallSeconds * 100, 3) << " % | |\n";
            }
            exits += std::string(exits.empty() ? "" : ", ") + variant.name + ": " +
                     (idle.exited ? std::to_string(idle.exitCode) : "none (killed)");
        }
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
