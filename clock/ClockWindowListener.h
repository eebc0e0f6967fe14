#pragma once
// What the clock window tells the program: what the user did on it and what
// the system told it. The window only shows; whoever listens decides what
// follows (closing, the settings window, a setting's change, a redraw).
#include "clock/ButtonStateMachine.h"
#include "framework/DisplayScale.h"

#include <windows.h>

class ClockWindowListener {
public:
    // The window exists and is about to be shown; the view has nothing yet.
    virtual void OnClockCreated() = 0;
    // The window shows its first frame: what that frame did not need comes now.
    virtual void OnClockShown() = 0;
    // The window is being destroyed, whoever destroyed it.
    virtual void OnClockDestroyed() = 0;
    // A hover button was pressed. Close, settings and the font buttons are
    // reported while their pressed image shows (the close and settings
    // buttons after it showed); keep on top before its image flashes.
    virtual void OnButtonPressed(ButtonId button) = 0;
    // The user let go of the window after dragging it.
    virtual void OnDragEnded() = 0;
    // Esc while the clock window has the keyboard.
    virtual void OnEscape() = 0;
    // The tick timer fired: a new second (or minute) is due.
    virtual void OnTick() = 0;
    // The working-set trimming timer fired.
    virtual void OnTrimTick() = 0;
    // The save timer fired: a change waits to be saved.
    virtual void OnSaveDue() = 0;
    // The Windows session ends: no destruction will follow. With
    // closeApplication it ends for this program alone (Restart Manager, as an
    // installer replacing or removing the program asks), which must end.
    virtual void OnSessionEnding(bool closeApplication) = 0;
    // The window's monitor has another scale now; suggested is the outer
    // rectangle the system proposes.
    virtual void OnDisplayScaleChanged(DisplayScale scale, const RECT& suggested) = 0;
    // The system time jumped, the machine woke from sleep, or the user's
    // regional settings changed how the time is written.
    virtual void OnTimeChanged() = 0;
    // A right click on the window, or the context-menu key or Shift+F10 while
    // it has the keyboard; at is where a menu belongs, in screen coordinates.
    virtual void OnContextMenu(POINT at) = 0;

protected:
    ~ClockWindowListener() = default;
};
