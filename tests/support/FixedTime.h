#pragma once
// The clock source fixed at a moment the test chooses.
#include "framework/Services.h"

#include <windows.h>

inline SYSTEMTIME& FixedTime() {
    static SYSTEMTIME time{2026, 12, 1, 7, 0, 0, 0, 0}; // Monday, 7 December 2026
    return time;
}

inline void SetFixedTime(WORD hour, WORD minute, WORD second, WORD millisecond = 0) {
    FixedTime().wHour = hour;
    FixedTime().wMinute = minute;
    FixedTime().wSecond = second;
    FixedTime().wMilliseconds = millisecond;
    SetClockSource([] { return FixedTime(); });
}

// Every test starts on 9:05:07 of that Monday: a test before may have left
// the clock on another day.
inline void ResetFixedTime() {
    FixedTime() = {2026, 12, 1, 7, 0, 0, 0, 0};
    SetFixedTime(9, 5, 7);
}
