#include "app/Actions.h"

#include "app/AppGlobals.h"
#include "app/ClockTick.h"
#include "app/FullScreen.h"
#include "app/ProgramEvents.h"
#include "app/SystemIntegration.h"
#include "app/TrayIcon.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "clock/HoverButtons.h"
#include "config/SettingsLocation.h"
#include "settings/SettingsWindow.h"
#include "settings/WindowLayouts.h"
#include "framework/Services.h"
#include "framework/UniqueHandle.h"

#include <algorithm>
#include <string_view>
#include <cstdlib>
#include <vector>

namespace {

using S = ClockSettings;

void Redraw(bool refreshTime) {
    RedrawClock(App().clock, refreshTime);
}

// Shows seconds or not: the time text is built again with or without them,
// and the next tick comes at the next second or minute.
void RedrawWithFreshTime() {
    Redraw(true);
    if (App().clockWindow)
        App().clockWindow->ArmTick();
}

HWND ClockHandle() {
    return App().clockWindow ? App().clockWindow->Handle() : nullptr;
}

// WS_EX_TRANSPARENT on a layered window: the system hands the clicks and
// the wheel to whatever is below.
void LetClicksThrough(bool on) {
    const HWND window = ClockHandle();
    if (!window)
        return;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    SetWindowLongPtrW(window, GWL_EXSTYLE, on ? style | WS_EX_TRANSPARENT : style & ~WS_EX_TRANSPARENT);
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<RECT>*>(areas)->push_back(info.rcWork);
    return TRUE;
}

std::vector<RECT> WorkAreas() {
    std::vector<RECT> areas;
    EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

// The faces of the program's other running clocks: its windows without a
// title bar (the settings windows have one) in other processes.
BOOL CALLBACK AddOtherClock(HWND window, LPARAM taken) {
    wchar_t className[64]{};
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    RECT rect{};
    if (processId != GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameW(window, className, 64) && std::wstring_view(className) == WindowClassName &&
        !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) && GetWindowRect(window, &rect))
        reinterpret_cast<std::vector<RECT>*>(taken)->push_back(rect);
    return TRUE;
}

// Where the folder's other clocks stand: the running ones' windows, and the
// place each other "配置*.ini" starts its clock at. A clock started a moment
// ago has no window yet, but its file already holds its place; an empty file
// is one just claimed, its place not yet chosen.
std::vector<RECT> OtherClocksPlaces() {
    std::vector<RECT> taken;
    EnumWindows(AddOtherClock, reinterpret_cast<LPARAM>(&taken));
    const AppGlobals& app = App();
    const std::wstring folder = DirectoryPart(app.settingsFilePath);
    const std::wstring_view name = SettingsFileName;
    const std::wstring pattern = folder + L"\\" + std::wstring(name.substr(0, name.rfind(L'.'))) + L"*.ini";
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(ExtendedLengthPath(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return taken;
    const ScopeExit closeSearch([search] { FindClose(search); });
    const ScreenSize screen = PrimaryScreenSize();
    do {
        const std::wstring path = folder + L"\\" + found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            CompareStringOrdinal(path.c_str(), -1, app.settingsFilePath.c_str(), -1, TRUE) == CSTR_EQUAL)
            continue;
        const SettingsRead read = ReadSettings(path, screen.width, screen.height);
        if (!read.file.text || read.file.text->empty())
            continue;
        const SIZE size = ClockWindowSizeFor(app.clock.scale, HasSecondLine(read.settings));
        const ClockPlacement place =
            ComputeClockPlacement(read.settings.positionText, screen.width, screen.height, size);
        taken.push_back({place.left, place.top, place.left + size.cx, place.top + size.cy});
    } while (FindNextFileW(search, &found));
    return taken;
}

} // namespace

POINT PlaceNewClock(const RECT& clock, SIZE size, std::span<const RECT> workAreas,
                    std::span<const RECT> taken, int gap, int step) {
    const auto rectAt = [size](POINT place) {
        return RECT{place.x, place.y, place.x + size.cx, place.y + size.cy};
    };
    const auto onWorkArea = [&](POINT place) {
        const RECT rect = rectAt(place);
        return std::ranges::any_of(workAreas, [&](const RECT& work) {
            return rect.left >= work.left && rect.top >= work.top && rect.right <= work.right &&
                   rect.bottom <= work.bottom;
        });
    };
    const POINT sides[] = {{clock.right + gap, clock.top},
                           {clock.left - gap - size.cx, clock.top},
                           {clock.left, clock.bottom + gap},
                           {clock.left, clock.top - gap - size.cy}};
    for (const POINT& side : sides) {
        const RECT rect = rectAt(side);
        RECT overlap{};
        if (onWorkArea(side) && std::ranges::none_of(taken, [&](const RECT& other) {
                return IntersectRect(&overlap, &rect, &other) != FALSE;
            }))
            return side;
    }
    // Cascaded windows overlap by design: a step is free while no other
    // clock's corner lies within a step of it, so that each shows an edge.
    // Down and right first, then towards whichever side has room.
    const auto cornerFree = [&](POINT place) {
        return std::ranges::none_of(taken, [&](const RECT& other) {
            return std::abs(other.left - place.x) < step && std::abs(other.top - place.y) < step;
        });
    };
    for (int distance = step; step > 0; distance += step) {
        bool anyOnWorkArea = false;
        for (const POINT direction : {POINT{1, 1}, POINT{-1, 1}, POINT{1, -1}, POINT{-1, -1}}) {
            const POINT place{clock.left + direction.x * distance, clock.top + direction.y * distance};
            if (!onWorkArea(place))
                continue;
            anyOnWorkArea = true;
            if (cornerFree(place))
                return place;
        }
        if (!anyOnWorkArea)
            break;
    }
    return sides[0];
}

void CloseClock() {
    if (App().closing)
        return;
    CloseSettingsWindow();
    ClockWindow& window = *App().clockWindow;
    window.StopTimers();
    window.Destroy();
}

void OpenSettingsWindow() {
    std::unique_ptr<SettingsWindow>& window = App().settingsWindow;
    if (window && window->Exists()) {
        window->BringToFront();
        return;
    }
    window = std::make_unique<SettingsWindow>(App().settings, Events());
    // Beside the clock, never over it: the clock shows every change at once.
    RECT clock{};
    const bool clockShown = ClockHandle() && GetWindowRect(ClockHandle(), &clock);
    window->Create(SettingsWindowLayout, clockShown ? &clock : nullptr);
}

void CloseSettingsWindow() {
    if (SettingsWindow* window = OpenedSettingsWindow())
        window->Destroy();
}

bool SettingsWindowIsOpen() {
    return OpenedSettingsWindow() != nullptr;
}

SettingsWindow* OpenedSettingsWindow() {
    const std::unique_ptr<SettingsWindow>& window = App().settingsWindow;
    return window && window->Exists() ? window.get() : nullptr;
}

void StepFontSize(double step) {
    const ClockSettings& settings = App().settings;
    SetFontMetrics(TruncateToInt32(settings.fontSize + step), settings.outlineWidth);
}

void SetFontMetrics(std::int32_t size, std::int32_t outline) {
    ClockSettings& settings = App().settings;
    settings.fontSize = size;
    settings.outlineWidth = outline;
    Redraw(false);
}

void SetKeepOnTop(bool on) {
    App().settings.keepOnTop = on;
    SetTopmost(on);
}

void ToggleKeepOnTop() {
    SetKeepOnTop(!App().settings.keepOnTop);
}

void SetClickThrough(bool on) {
    App().settings.clickThrough = on;
    LetClicksThrough(on);
    // No buttons on a clock that no pointer can reach.
    App().clock.hoverActive = false;
    Redraw(false);
    UpdateTrayIcon();
}

void ToggleClickThrough() {
    SetClickThrough(!App().settings.clickThrough);
}

void ToggleTrayIcon() {
    App().settings.showTrayIcon = !App().settings.showTrayIcon;
    UpdateTrayIcon();
}

bool TrayIconWanted() {
    const ClockSettings& settings = App().settings;
    return settings.showTrayIcon || settings.clickThrough || settings.windowAlpha < VisibleAlphaFloor ||
           ClockIsHidden();
}

void UpdateTrayIcon() {
    if (App().tray)
        App().tray->Show(TrayIconWanted());
}

void SetClockHidden(bool hidden) {
    App().clockHidden = hidden;
    if (const HWND window = ClockHandle())
        ShowWindow(window, hidden ? SW_HIDE : SW_SHOWNOACTIVATE);
    UpdateTrayIcon();
}

void ToggleClockHidden() {
    SetClockHidden(!ClockIsHidden());
}

bool ClockIsHidden() {
    // The user's choice, not the window's state: during start-up the window
    // is not shown yet, and the tray icon must still follow its setting.
    return App().clockHidden;
}

void BringClockToFront() {
    if (ClockIsHidden())
        SetClockHidden(false);
    if (App().clockWindow)
        App().clockWindow->BringToFront();
}

void ApplyField(bool S::*field, bool on) {
    if (field == &S::startWithWindows) {
        ApplyStartWithWindows(on);
        return;
    }
    App().settings.*field = on;
    if (field == &S::keepOnTop) {
        SetTopmost(on);
        // The keep-on-top button stays lit while keep on top is on.
        ShowKeepOnTop(App().clock, on);
        Redraw(false);
    } else if (field == &S::memoryOptimization) {
        SetWorkingSetTrimming(on ? TrimmingPeriodSeconds : TrimmingStopped);
    } else if (field == &S::showSeconds) {
        RedrawWithFreshTime();
    } else if (field == &S::clickThrough) {
        SetClickThrough(on);
    } else if (field == &S::showTrayIcon) {
        UpdateTrayIcon();
    } else if (field == &S::showDate) {
        FitClockToSecondLine(App().clock);
        Redraw(true);
    } else if (field == &S::hideForFullScreen) {
        // Watched every second while on; shown again at once when off.
        if (App().clockWindow)
            App().clockWindow->ArmTick();
        FollowFullScreen();
    } else if (field == &S::twelveHour) {
        // The texts are built again in the new format.
        Redraw(true);
    } else if (field != &S::restoreLastPosition) { // placement reads that one at the next start
        Redraw(false);
    }
}

void ApplyField(std::string S::*field, const std::string& value) {
    AppGlobals& app = App();
    const bool hadSecondLine = HasSecondLine(app.settings);
    app.settings.*field = value;
    if (field == &S::interfaceLanguage)
        FollowInterfaceLanguage(); // the name and an unknown zone's mark follow below
    if (field == &S::fontName) {
        Redraw(false);
        return;
    }
    // The zone or its label: the time is read again in the zone, the label
    // may bring or take the line under the time, and the name follows.
    if (HasSecondLine(app.settings) != hadSecondLine)
        FitClockToSecondLine(app.clock);
    Redraw(true);
    RenameClock();
}

void ApplyField(DateForm S::*field, DateForm value) {
    App().settings.*field = value;
    // The date is written again in the new form.
    Redraw(true);
}

void ApplyField(std::int32_t S::*field, std::int32_t value) {
    App().settings.*field = value;
    if (field != &S::windowAlpha) {
        Redraw(false);
        return;
    }
    // The drawn canvas is presented again at the new whole-window alpha.
    LayeredCanvas& canvas = App().clock.clockCanvas;
    canvas.SetAlpha(value);
    canvas.Present();
    UpdateTrayIcon();
}

void FollowInterfaceLanguage() {
    UseTextLanguage(InterfaceLanguage(App().settings.interfaceLanguage, GetUserDefaultUILanguage()));
}

void RestoreDefaultSettings() {
    AppGlobals& app = App();
    const bool hadSecondLine = HasSecondLine(app.settings);
    // The window is not moved: the position keeps only its flag, "真".
    app.settings = DefaultSettings();
    FollowInterfaceLanguage();
    app.clock.clockCanvas.SetAlpha(app.settings.windowAlpha);
    ClearStartWithWindows();
    SetTopmost(true);
    ShowKeepOnTop(app.clock, true);
    SetWorkingSetTrimming(TrimmingStopped);
    LetClicksThrough(false);
    UpdateTrayIcon();
    if (SettingsWindow* window = OpenedSettingsWindow())
        window->FillControls();
    if (hadSecondLine)
        FitClockToSecondLine(app.clock); // the window loses the second line's band
    RedrawWithFreshTime();               // seconds are shown again
    RenameClock();                       // local time, no label
    FollowFullScreen();                  // out of full-screen hiding
}

void StartNewClock() {
    AppGlobals& app = App();
    const std::wstring file = ClaimNewSettingsFile(app.settingsFilePath);
    if (file.empty())
        return;
    ClockSettings settings = app.settings;
    settings.startWithWindows = false;
    settings.timeZone.clear();
    settings.zoneLabel.clear();
    RECT clock{};
    GetWindowRect(ClockHandle(), &clock);
    const std::vector<RECT> taken = OtherClocksPlaces();
    const POINT place =
        PlaceNewClock(clock, ClockWindowSizeFor(app.clock.scale, HasSecondLine(settings)), WorkAreas(), taken,
                      app.clock.scale.Pixels(10), GetSystemMetrics(SM_CYCAPTION));
    if (!SaveSettings(file, settings, place.x, place.y) || !StartClockOn(file))
        DeleteFileW(ExtendedLengthPath(file).c_str());
}
