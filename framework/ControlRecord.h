#pragma once
// A window's controls as data: one record per control, read by one builder
// (Window::Create). Layout tables are constexpr arrays of these records.
//
// Conventions:
// - Records are listed in stacking order, topmost first, and a shape box
//   before the controls it contains. The same order is the Tab order.
// - Rectangles are left, top, width, height in the parent's client area.
// - Colours are COLORREF 0x00BBGGRR; DefaultColour stands for the platform's
//   button-face colour and, as a shape box's fill, for no fill.
// - Names and captions are GBK byte strings (code page 936). A caption
//   that is one of the program's texts is named by its identifier instead
//   (captionText), and read in the language in use when the control is made.
// - Lengths are in 96-DPI units; the builder scales each record once
//   (ScaledRecord) for the display the window is on.
#include "framework/DisplayScale.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

enum class ControlKind {
    ShapeBox,
    Label,
    CheckBox,
    RadioButton, // one of a group: the program checks one and clears the others
    Slider,
    ColourPicker,
    ComboBox,
    Button,
    TextBox,
    ScrollBar, // vertical; for the mouse, not a tab stop
};

enum class TextAlign { Left, Centre };
enum class Orientation { Horizontal, Vertical };

inline constexpr COLORREF DefaultColour = 0xFF000000;

struct ControlRect {
    int left;
    int top;
    int width;
    int height;
    friend bool operator==(const ControlRect&, const ControlRect&) = default;
};

struct ControlLook {
    std::string_view caption{};
    UINT captionText = 0; // a text identifier: the caption in the language in use
    bool bold = false;
    TextAlign align = TextAlign::Left;
    COLORREF textColour = 0x000000;
    COLORREF backColour = DefaultColour;
    COLORREF fillColour = DefaultColour; // shape box: DefaultColour = no fill
    int outlineWidth = 0;                // shape box: 0 = no outline
    COLORREF outlineColour = 0x000000;
    Orientation orientation = Orientation::Horizontal; // slider
};

struct ControlState {
    bool checked = false; // check box
    int minimum = 0;      // slider
    int maximum = 0;
    int position = 0;
    COLORREF colour = 0x000000; // colour picker
};

struct ControlRecord {
    std::string_view name; // the layout's own identifier, e.g. "标签20"
    ControlKind kind;
    std::string_view parent; // identifier of the containing shape box; "" = the window
    ControlRect rect{};
    ControlLook look{};
    ControlState state{};
};

// A rectangle at a display scale. The edges are scaled, not the sizes, so
// controls that touch at 96 DPI still touch and never overlap.
constexpr ControlRect ScaledRect(const ControlRect& rect, DisplayScale scale) {
    const int left = scale.Pixels(rect.left);
    const int top = scale.Pixels(rect.top);
    return {left, top, scale.Pixels(rect.left + rect.width) - left,
            scale.Pixels(rect.top + rect.height) - top};
}

// A record with its lengths at a display scale; an outline stays visible.
constexpr ControlRecord ScaledRecord(const ControlRecord& record, DisplayScale scale) {
    ControlRecord scaled = record;
    scaled.rect = ScaledRect(record.rect, scale);
    if (record.look.outlineWidth > 0)
        scaled.look.outlineWidth = std::max(1, scale.Pixels(record.look.outlineWidth));
    return scaled;
}

// Interactive controls take the keyboard focus from the Tab key.
constexpr bool IsTabStop(ControlKind kind) {
    switch (kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::Slider:
    case ControlKind::ColourPicker:
    case ControlKind::ComboBox:
    case ControlKind::Button:
    case ControlKind::TextBox:
        return true;
    default:
        return false;
    }
}

// Controls that show text in the layouts' font.
constexpr bool HasText(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::ComboBox:
    case ControlKind::Button:
    case ControlKind::TextBox:
        return true;
    default:
        return false;
    }
}
