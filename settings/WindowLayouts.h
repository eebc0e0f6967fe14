#pragma once
// The fixed layouts of the program's two windows.
#include "framework/Window.h"

// The clock window's template size; placement replaces it with 380 x 150.
inline constexpr WindowLayout ClockWindowLayout{
    .title = "",
    .width = 218,
    .height = 176,
    .frame = WindowFrame::Popup,
    .dragToMove = true,
    .escCloses = true,
};

// Timer identifiers of both windows: "时钟1" and "时钟2".
inline constexpr UINT_PTR Timer1Id = 1;
inline constexpr UINT_PTR Timer2Id = 2;
