#pragma once
// A control of the settings window in the clock's process, found from
// outside it: the window numbers its children by layout record.
#include "framework/Window.h"
#include "settings/WindowLayouts.h"

#include <windows.h>

#include <iterator>
#include <string_view>
#include <utility>

inline HWND SettingsControlOf(HWND settings, std::size_t record) {
    std::pair<int, HWND> search{Window::FirstControlId + static_cast<int>(record), nullptr};
    EnumChildWindows(
        settings,
        [](HWND child, LPARAM parameter) {
            auto* search = reinterpret_cast<std::pair<int, HWND>*>(parameter);
            search->second = GetDlgCtrlID(child) == search->first ? child : search->second;
            return search->second ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// By the layout's name for it; nullptr for a name the layout lacks.
inline HWND SettingsControlOf(HWND settings, std::string_view name) {
    for (std::size_t i = 0; i < std::size(SettingsWindowControls); ++i)
        if (SettingsWindowControls[i].name == name)
            return SettingsControlOf(settings, i);
    return nullptr;
}
