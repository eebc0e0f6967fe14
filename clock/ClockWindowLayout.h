#pragma once
// The clock window's layout, as data: a popup without controls (the face is
// drawn, not built), at its size at 96 DPI; placement sizes it for its
// monitor's scale and the date line.
#include "framework/Window.h"

inline constexpr WindowLayout ClockWindowLayout{
    .title = "",
    .width = 380,
    .height = 150,
    .frame = WindowFrame::Popup,
    .dragToMove = true,
    .escCloses = true,
};
