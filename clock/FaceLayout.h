#pragma once
// The face's geometry at a display scale: the window's size, the date line's
// band and the rectangles the layers are drawn in.
#include "clock/TimeText.h"
#include "framework/DisplayScale.h"
#include "graphics/GdiPlusFlat.h"

#include <cstdint>

struct ClockSettings;

// The rectangles and lengths of the face in pixels of one display scale; the
// defaults are those of 96 DPI. Drawing takes them as they are.
struct ClockLayout {
    Gdiplus::RectF windowRect{0, 0, 380, 150};
    Gdiplus::RectF panelRect{10, 10, 358, 128};
    Gdiplus::RectF textRect{0, 0, 380, 150}; // the text layer, over the whole window
    Gdiplus::RectF timeRect{0, 0, 380, 150}; // the time is centred in it
    Gdiplus::RectF dateRect{};               // the date line is centred in it; empty without one
    Gdiplus::RectF innerBorderRect{1, 1, 375, 145};
    std::int32_t cornerSize = 5;
    std::int32_t cornerMargin = 3; // how far the right and bottom arcs sit in beyond the corner size
    float borderWidth = 1;
    // Pixels per 96-DPI unit of the settings' font size and outline width,
    // which the file keeps in those units so that a setting looks the same
    // physical size on every monitor.
    float textScale = 1;
    std::int32_t fontStyle = 0; // regular

    float EmSize(std::int32_t fontSize) const { return static_cast<float>(fontSize) * textScale; }
    float OutlineWidth(std::int32_t outlineWidth) const {
        return static_cast<float>(outlineWidth) * textScale;
    }
    float DateEmSize(std::int32_t fontSize) const { return EmSize(fontSize) * DateLineRatio; }

    // The size of the date line and of the AM/PM designator to the time's,
    // the same at every scale.
    static constexpr float DateLineRatio = 0.4f;
};

// The face laid out for a display scale, with or without the line under the
// time (the date, the zone's label, or both).
ClockLayout ClockLayoutFor(DisplayScale scale, bool dateLine = false);
// The clock window's size at a display scale: 380 x 150 at 96 DPI, 40 more
// in height for the date line.
SIZE ClockWindowSizeFor(DisplayScale scale, bool dateLine = false);
// The time's format as the settings ask, in the user's locale.
TimeFormat TimeFormatOf(const ClockSettings& settings);
