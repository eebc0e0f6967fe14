#pragma once
// The one program-wide record. It exists from the second step of start-up
// to the end of the process; every member starts empty.
#include "app/ClockSettings.h"
#include "clock/ClockFace.h"
#include "clock/HoverButtons.h"
#include "clock/LayeredCanvas.h"
#include "clock/LayeredWindowHost.h"
#include "graphics/GraphicsObject.h"

#include <windows.h>

#include <memory>
#include <string>

class ClockWindow;

struct AppGlobals {
    AppGlobals();
    ~AppGlobals();

    std::string settingsFilePath;
    ClockSettings settings;
    // The off-screen layers of the face, made anew at every draw.
    GraphicsObject textLayer;
    GraphicsObject panelLayer;
    GraphicsObject backdropLayer;
    FaceCache faceCache; // what the face keeps between frames
    // The hover buttons, each with its own layer.
    HoverButton closeButton;
    HoverButton keepOnTopButton;
    HoverButton settingsButton;
    HoverButton largerFontButton;
    HoverButton smallerFontButton;
    LayeredCanvas clockCanvas;  // the clock window's drawing surface
    ULONG_PTR gdiplusToken = 0; // 0: GDI+ is not running
    bool hoverActive = false;   // the pointer is over the clock window
    // The display scale of the clock's monitor: the face's layout and the
    // buttons' bounds and images are made from it, and from nothing else.
    DisplayScale scale;
    ClockLayout layout;
    TimeText timeText; // the last time reading
    LayeredWindowHost windowHost;
    std::unique_ptr<ClockWindow> clockWindow;
};

// Creates the record (entry step 2). Tests create their own the same way.
void CreateAppGlobals();
// Frees every member; runs at the end of the program.
void ReleaseGlobals();
// The record; CreateAppGlobals must have run.
AppGlobals& App();
bool AppGlobalsExist();
