#include "framework/WindowClass.h"

void RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, const WindowClassLook& look) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, name, &windowClass))
        return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = look.style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = look.background;
    windowClass.hIcon = look.programIcon ? LoadIconW(instance, MAKEINTRESOURCEW(1)) : nullptr;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}
