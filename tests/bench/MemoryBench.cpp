#include "bench/MemoryBench.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "app/Lifetime.h"
#include "bench/BenchStats.h"
#include "bench/ProcStat.h"
#include "clock/ClockFace.h"
#include "clock/FaceInternal.h"
#include "clock/HoverButtons.h"
#include "framework/Services.h"
#include "support/ProgramState.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace {

// Bytes in use in every heap of the process: the C runtime's, the process
// heap (where GDI+ and the system DLLs allocate) and any other.
long HeapKb() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    unsigned long long bytes = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                bytes += entry.cbData;
        HeapUnlock(heap);
    }
    return static_cast<long>(bytes / 1024);
}

// Milliseconds since this process was made, as the system stamped it.
double MillisecondsSinceCreation() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return WallMilliseconds() - FileTimeMilliseconds(created);
}

void PumpMessagesFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

// Every read of the clock is a second later, as the one-second timer reads it.
SYSTEMTIME clockNow{2026, 12, 1, 7, 9, 5, 7, 0};

SYSTEMTIME NextSecond() {
    const SYSTEMTIME reading = clockNow;
    FILETIME time{};
    SystemTimeToFileTime(&clockNow, &time);
    ULARGE_INTEGER ticks{{time.dwLowDateTime, time.dwHighDateTime}};
    ticks.QuadPart += 10'000'000;
    time = {ticks.LowPart, ticks.HighPart};
    FileTimeToSystemTime(&time, &clockNow);
    return reading;
}

long DibKb(HBITMAP bitmap) {
    DIBSECTION section{};
    if (!bitmap || GetObjectW(bitmap, sizeof section, &section) != sizeof section)
        return 0;
    return static_cast<long>(static_cast<long long>(section.dsBm.bmWidthBytes) * section.dsBm.bmHeight /
                             1024);
}

long VectorKb(std::size_t bytes) {
    return static_cast<long>(bytes / 1024);
}

std::vector<MemoryKind> KindsHeld(const ClockView& view) {
    const FaceCache& cache = *view.faceCache;
    long buttonLayers = 0, encoded = 0, decoded = 0;
    for (ButtonId id : clock_face::ButtonOrder) {
        const HoverButton& button = HoverButtonFor(view, id);
        buttonLayers += DibKb(button.layer.GetBitmap());
        encoded +=
            VectorKb(button.normalImage.size() + button.hoverImage.size() + button.pressedImage.size());
        for (const auto& image : button.cache.images)
            decoded += VectorKb(std::size_t{4} * image->image.GetWidth() * image->image.GetHeight() +
                                image->bytes.capacity());
    }
    return {
        {"canvas (the window's DIB)", DibKb(view.clockCanvas.GetBitmap())},
        {"backdrop, panel and text layers", DibKb(view.backdropLayer.GetBitmap()) +
                                                DibKb(view.panelLayer.GetBitmap()) +
                                                DibKb(view.textLayer.GetBitmap())},
        {"layer of the cells drawn ahead", DibKb(cache.cellsLayer.GetBitmap())},
        {"pixels of the cells drawn ahead (both rounds)",
         VectorKb(cache.cellsAhead.pixels.capacity() + cache.cellsBefore.pixels.capacity())},
        {"copy of the frame on the screen", VectorKb(cache.shownPixels.capacity())},
        {"the five buttons' layers", buttonLayers},
        {"button images, PNG as embedded", encoded},
        {"button images decoded (32 bpp) with their bytes", decoded},
    };
}

} // namespace

int RunMemorySteps(const std::string& marker) {
    // The marker on the command line tells this process from the bench that
    // started it, which runs the same executable.
    const long linuxPid = FindLinuxProcess(marker);
    if (!linuxPid)
        return 1;
    std::ostringstream out;
    // Each step's time is its own work's, without the waits that let the
    // memory settle.
    const Stopwatch watch;
    double started = watch.Now();
    const auto step = [&](const char* name, double milliseconds) {
        out << "step|" << name << "|" << AnonymousKbOf(linuxPid).value_or(-1) << "|" << HeapKb() << "|"
            << milliseconds << "\n";
    };
    const auto timed = [&] { return watch.Now() - started; };
    step("process up: image, DLLs, C runtime, Wine", MillisecondsSinceCreation());
    started = watch.Now();
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    step("GDI+ started", timed());
    SetCursorPos(0, 0);
    {
        started = watch.Now();
        ClockWindowFixtureState state;
        step("clock window made (no face yet)", timed());
        started = watch.Now();
        ShowClock();
        step("first frame shown: layers, font, text, present", timed());
        started = watch.Now();
        PumpPendingMessages();
        const double afterShown = timed();
        PumpMessagesFor(200);
        step("once shown: buttons' images decoded, tray icon", afterShown);
        SetClockSource(NextSecond);
        started = watch.Now();
        for (int tick = 0; tick < 30; ++tick)
            RedrawClock(App().clock, true);
        step("30 ticks: frame cache, times and cells laid out ahead", timed());
        started = watch.Now();
        App().clock.hoverActive = true;
        RedrawClock(App().clock, false);
        App().clock.hoverActive = false;
        RedrawClock(App().clock, false);
        step("pointer over the clock and off it: buttons drawn", timed());
        for (const MemoryKind& kind : KindsHeld(App().clock))
            out << "kind|" << kind.name << "|" << kind.kb << "\n";
        started = watch.Now();
        OpenSettingsWindow();
        const double opening = timed();
        PumpMessagesFor(500);
        step("settings window opened", opening);
        started = watch.Now();
        CloseSettingsWindow();
        const double closing = timed();
        PumpMessagesFor(500);
        step("settings window closed", closing);
        SetClockSource(nullptr);
    }
    Gdiplus::GdiplusShutdown(token);
    const std::string text = out.str();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return 0;
}

MemorySteps MeasureMemorySteps() {
    MemorySteps result;
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        result.error = "no pipe";
        return result;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    const std::wstring marker =
        L"tiko-memory-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
    std::wstring commandLine =
        L"\"" + std::wstring(self) + L"\" " +
        std::wstring(MemoryStepsSwitch, MemoryStepsSwitch + sizeof MemoryStepsSwitch - 1) + L" " + marker;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    std::string text;
    if (started) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0)
            text.append(buffer, read);
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, '|');)
            fields.push_back(field);
        if (fields.size() == 5 && fields[0] == "step")
            result.steps.push_back({fields[1], std::atol(fields[2].c_str()), std::atol(fields[3].c_str()),
                                    std::atof(fields[4].c_str())});
        else if (fields.size() == 3 && fields[0] == "kind")
            result.kinds.push_back({fields[1], std::atol(fields[2].c_str())});
    }
    result.ok = !result.steps.empty();
    if (!result.ok)
        result.error = started ? "the steps reported nothing" : "cannot start the steps";
    return result;
}
