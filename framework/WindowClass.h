#pragma once
// The one way the program registers its window classes.
#include <windows.h>

struct WindowClassLook {
    UINT style = 0;
    HBRUSH background = nullptr; // none: the window paints all of itself
    bool programIcon = false;    // the executable's icon (resource 1)
};

// Registers a class of this executable with the arrow cursor, once: a later
// call for the same name finds it registered and changes nothing.
void RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, const WindowClassLook& look = {});
