#pragma once
// The clock window's layout, as data: a popup with its two timers.
#include "framework/ControlRecord.h"
#include "framework/Window.h"

inline constexpr ControlRecord ClockWindowControls[] = {
    Timer1Record,
    Timer2Record,
};

// The clock window's template size; placement replaces it with 380 x 150.
inline constexpr WindowLayout ClockWindowLayout{
    .title = "",
    .width = 218,
    .height = 176,
    .frame = WindowFrame::Popup,
    .dragToMove = true,
    .escCloses = true,
    .controls = ClockWindowControls,
};
