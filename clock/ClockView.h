#pragma once
// Everything the clock view draws from and into: the settings it shows (read
// only), the face's layers and what they keep between frames, the five hover
// buttons, the canvas bound to the clock window, and the window's host. The
// program-wide record holds one; every function of the view receives it.
#include "clock/FaceLayout.h"
#include "clock/HoverButtons.h"
#include "clock/LayeredCanvas.h"
#include "clock/LayeredWindowHost.h"
#include "config/ClockSettings.h"
#include "framework/AreaTips.h"
#include "framework/DisplayScale.h"
#include "graphics/GraphicsObject.h"

#include <memory>

class ClockWindow;
struct FaceCache;

struct ClockView {
    explicit ClockView(const ClockSettings& shown);
    ~ClockView();
    ClockView(const ClockView&) = delete;
    ClockView& operator=(const ClockView&) = delete;

    const ClockSettings& settings;
    // The off-screen layers of the face.
    GraphicsObject textLayer;
    GraphicsObject panelLayer;
    GraphicsObject backdropLayer;
    const std::unique_ptr<FaceCache> faceCache; // what the face keeps between frames
    // The hover buttons, each with its own layer.
    HoverButton closeButton;
    HoverButton keepOnTopButton;
    HoverButton settingsButton;
    HoverButton largerFontButton;
    HoverButton smallerFontButton;
    AreaTips buttonTips;       // the buttons' names, made at the first hover
    LayeredCanvas clockCanvas; // the clock window's drawing surface
    bool hoverActive = false;  // the pointer is over the clock window
    // The display scale of the clock's monitor: the face's layout and the
    // buttons' bounds and images are made from it, and from nothing else.
    DisplayScale scale;
    ClockLayout layout;
    TimeText timeText;       // the last time reading
    LocaleTexts localeTexts; // the locale's texts it was written with
    ClockZone zone;          // the zone the time is read in
    LayeredWindowHost windowHost;
    ClockWindow* window = nullptr; // the window the view shows in, while it exists
};
