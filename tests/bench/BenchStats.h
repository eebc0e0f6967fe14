#pragma once
// Timing samples and their summary, in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <vector>

struct Summary {
    std::size_t count = 0;
    double min = 0;
    double median = 0;
    double p95 = 0;
    double mean = 0;
    double max = 0;
};

inline Summary Summarise(std::vector<double> samples) {
    Summary s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    s.count = n;
    s.min = samples.front();
    s.max = samples.back();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    // Nearest rank: the smallest sample with at least 95 % at or below it.
    const std::size_t rank = (n * 95 + 99) / 100;
    s.p95 = samples[std::max<std::size_t>(rank, 1) - 1];
    s.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(n);
    return s;
}

// A monotonic clock in milliseconds.
class Stopwatch {
public:
    Stopwatch() {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        frequency = static_cast<double>(f.QuadPart);
    }
    double Now() const {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
    }

private:
    double frequency = 1;
};

// A file time in milliseconds since 1601.
inline double FileTimeMilliseconds(const FILETIME& time) {
    return static_cast<double>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
           10'000.0;
}

// Wall-clock time in milliseconds since 1601, to the 100 ns Wine keeps.
inline double WallMilliseconds() {
    using Precise = void(WINAPI*)(FILETIME*);
    static const auto precise = reinterpret_cast<Precise>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now{};
    if (precise)
        precise(&now);
    else
        GetSystemTimeAsFileTime(&now);
    return FileTimeMilliseconds(now);
}
