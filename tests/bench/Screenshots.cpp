#include "bench/Screenshots.h"

#include "support/SettingsControls.h"

#include <windows.h>

#include <fstream>
#include <vector>

namespace {

bool SaveScreenRect(const RECT& rect, const std::string& path) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(height);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * height);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return static_cast<bool>(out);
}

RECT Grown(RECT rect, int margin) {
    InflateRect(&rect, margin, margin);
    return rect;
}

void MoveMouse(int x, int y) {
    SetCursorPos(x, y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(x * 65535.0 / (GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
    input.mi.dy = static_cast<LONG>(y * 65535.0 / (GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    Sleep(150);
}

void Click(DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = down;
    inputs[1].mi.dwFlags = up;
    SendInput(2, inputs, sizeof inputs[0]);
    Sleep(150);
}

void PressEscape() {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = VK_ESCAPE;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof inputs[0]);
    Sleep(300);
}

// The clock's menu from a right click, with the clock beside it.
void SaveMenuScreenshot(HWND clock, const RECT& clockRect, int margin, const std::string& path) {
    MoveMouse(clockRect.left + (clockRect.right - clockRect.left) / 4, clockRect.top + margin);
    Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    HWND menu = nullptr;
    for (int i = 0; i < 50 && !(menu && IsWindowVisible(menu)); ++i, Sleep(100))
        menu = FindWindowW(L"#32768", nullptr);
    if (!menu)
        return;
    MoveMouse(5, 5);
    Sleep(500);
    RECT menuRect{}, both{};
    GetWindowRect(menu, &menuRect);
    UnionRect(&both, &clockRect, &menuRect);
    SaveScreenRect(Grown(both, margin), path);
    PressEscape();
    SetForegroundWindow(clock);
}

struct Search {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK Match(HWND candidate, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    wchar_t text[128]{};
    if (owner != search->processId || !IsWindowVisible(candidate))
        return TRUE;
    if (search->className) {
        GetClassNameW(candidate, text, 128);
        if (std::wstring_view(text) != search->className)
            return TRUE;
    }
    if (search->title) {
        GetWindowTextW(candidate, text, 128);
        if (std::wstring_view(text) != search->title)
            return TRUE;
    }
    search->found = candidate;
    return FALSE;
}

HWND WaitForWindow(DWORD processId, const wchar_t* className, const wchar_t* title) {
    for (int i = 0; i < 300; ++i) {
        if (const HWND found = FindShownWindow(processId, className, title))
            return found;
        Sleep(100);
    }
    return nullptr;
}

// Window rectangles and screen pixels as they are, at any display scale.
void SeePhysicalPixels() {
    using SetContext = HANDLE(WINAPI*)(HANDLE);
    const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
    if (set)
        set(reinterpret_cast<HANDLE>(-4)); // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
}

// Starts the copy on a settings file of its own (GBK bytes) in the folder;
// its window, or null.
HWND StartClockOnFile(const std::string& copy, const std::string& directory, const std::string& name,
                      const std::string& bytes, PROCESS_INFORMATION& info) {
    std::ofstream(directory + "\\" + name, std::ios::binary) << bytes;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + copy + "\" --settings \"" + name + "\"";
    if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    return WaitForWindow(info.dwProcessId, L"TikoClockWindow", nullptr);
}

// Two clocks from one folder side by side, each on its own file: local time
// and Tokyo's, labelled, both with the date.
std::string SaveTwoClocks(const std::string& copy, const std::string& directory, const std::string& path) {
    const std::string common = "[基本设置]\r\n窗口置顶=假\r\n恢复上次关闭时的位置=真|";
    const std::string dateLine = "\r\n[时钟]\r\n显示日期=真\r\n字体大小=70\r\n";
    MoveMouse(5, 5);
    PROCESS_INFORMATION local{}, tokyo{};
    const HWND first = StartClockOnFile(copy, directory, "本地.ini", common + "560|400" + dateLine, local);
    const HWND second = StartClockOnFile(
        copy, directory, "东京.ini",
        common + "960|400" + dateLine + "时区=Tokyo Standard Time\r\n时区名称=东京\r\n", tokyo);
    std::string error;
    if (!first || !second) {
        error = "the two clocks did not open";
    } else {
        Sleep(2500);
        RECT left{}, right{}, both{};
        GetWindowRect(first, &left);
        GetWindowRect(second, &right);
        UnionRect(&both, &left, &right);
        SaveScreenRect(Grown(both, 20), path);
    }
    for (const PROCESS_INFORMATION* clock : {&local, &tokyo}) {
        if (!clock->hProcess)
            continue;
        for (const HWND window : {first, second})
            PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        if (WaitForSingleObject(clock->hProcess, 30000) != WAIT_OBJECT_0)
            TerminateProcess(clock->hProcess, 1);
        CloseHandle(clock->hProcess);
    }
    for (const char* name : {"\\本地.ini", "\\东京.ini"})
        DeleteFileA((directory + name).c_str());
    return error;
}

// The time format's section beside the clock, with the date shown: the
// radio pair of the date's forms at work.
void SaveTimeFormatSection(HWND settings, const RECT& clock, const std::string& path) {
    const HWND entry = SettingsControlOf(settings, "标签33");
    const HWND showDate = SettingsControlOf(settings, "选择框7");
    if (!entry || !showDate)
        return;
    PostMessageW(entry, WM_LBUTTONUP, 0, 0);
    PostMessageW(showDate, BM_CLICK, 0, 0);
    Sleep(1500);
    RECT settingsRect{}, both{};
    GetWindowRect(settings, &settingsRect);
    UnionRect(&both, &clock, &settingsRect);
    SaveScreenRect(Grown(both, 20), path);
    PostMessageW(showDate, BM_CLICK, 0, 0);
    Sleep(500);
}

// The clock, under the pointer, its settings window (titled so) opened from
// the gear, and its menu, each saved as NAME + suffix; the clock is closed.
std::string SaveClockSettingsAndMenu(HWND clock, DWORD processId, const wchar_t* settingsTitle,
                                     const std::string& folder, const std::string& suffix) {
    RECT rect{};
    GetWindowRect(clock, &rect);
    // Points of the 380 x 150 face of 96 DPI, at the window's scale.
    const auto at = [&](int x, int y) {
        const int width = rect.right - rect.left;
        MoveMouse(rect.left + x * width / 380, rect.top + y * width / 380);
    };
    const int margin = 20 * (rect.right - rect.left) / 380;
    SaveScreenRect(Grown(rect, margin), folder + "\\clock" + suffix + ".bmp");
    at(100, 75);
    at(340, 18);
    at(341, 18);
    Sleep(400);
    SaveScreenRect(Grown(rect, margin), folder + "\\clock-hover" + suffix + ".bmp");
    // The gear's tooltip, once the pointer has rested on it.
    if (const HWND tip = WaitForWindow(processId, L"tooltips_class32", nullptr)) {
        Sleep(300);
        RECT tipRect{}, both{};
        GetWindowRect(tip, &tipRect);
        UnionRect(&both, &rect, &tipRect);
        SaveScreenRect(Grown(both, margin), folder + "\\clock-tooltip" + suffix + ".bmp");
    }
    Click();
    std::string error;
    const HWND settings = WaitForWindow(processId, nullptr, settingsTitle);
    if (!settings) {
        error = "the settings window did not open";
    } else {
        MoveMouse(5, 5);
        Sleep(1000);
        RECT settingsRect{}, both{};
        GetWindowRect(settings, &settingsRect);
        SaveScreenRect(settingsRect, folder + "\\settings" + suffix + ".bmp");
        UnionRect(&both, &rect, &settingsRect);
        SaveScreenRect(Grown(both, margin), folder + "\\settings-beside" + suffix + ".bmp");
        SaveTimeFormatSection(settings, rect, folder + "\\settings-time-format" + suffix + ".bmp");
        PostMessageW(settings, WM_KEYDOWN, VK_ESCAPE, 0);
        Sleep(300);
    }
    SaveMenuScreenshot(clock, rect, margin, folder + "\\menu" + suffix + ".bmp");
    PostMessageW(clock, WM_KEYDOWN, VK_ESCAPE, 0);
    return error;
}

// Clocks with the date line and the 12-hour clock at the font's smallest
// and largest sizes.
std::string SaveDateLines(const std::string& copy, const std::string& directory, const std::string& folder) {
    MoveMouse(5, 5);
    const std::string common = "[基本设置]\r\n窗口置顶=假\r\n恢复上次关闭时的位置=真|100|100\r\n[时钟]\r\n"
                               "显示日期=真\r\n十二小时制=真\r\n字体大小=";
    for (const char* size : {"40", "120"}) {
        PROCESS_INFORMATION info{};
        const std::string name = std::string("date-") + size;
        const HWND clock = StartClockOnFile(copy, directory, name + ".ini", common + size + "\r\n", info);
        if (clock) {
            Sleep(2500);
            RECT rect{};
            GetWindowRect(clock, &rect);
            SaveScreenRect(Grown(rect, 20), folder + "\\" + name + ".bmp");
            PostMessageW(clock, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
                TerminateProcess(info.hProcess, 1);
            CloseHandle(info.hProcess);
        }
        DeleteFileA((directory + "\\" + name + ".ini").c_str());
        if (!clock)
            return "the clock with the date at " + std::string(size) + " did not open";
    }
    return {};
}

// The settings window and the menu of a clock whose file asks for English.
std::string SaveInEnglish(const std::string& copy, const std::string& directory, const std::string& folder) {
    MoveMouse(5, 5);
    PROCESS_INFORMATION info{};
    const HWND clock =
        StartClockOnFile(copy, directory, "english.ini", "[基本设置]\r\n界面语言=English\r\n", info);
    std::string error = "the English clock did not open";
    if (clock) {
        Sleep(2500);
        error = SaveClockSettingsAndMenu(clock, info.dwProcessId, L"Settings", folder, "-english");
    }
    if (info.hProcess) {
        if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
            TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
    }
    DeleteFileA((directory + "\\english.ini").c_str());
    return error;
}

} // namespace

std::string TakeScreenshots(const std::string& executable, const std::string& folder) {
    char temp[MAX_PATH]{};
    GetTempPathA(MAX_PATH, temp);
    const std::string directory = std::string(temp) + "tiko-shots-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(directory.c_str(), nullptr);
    const std::string copy = directory + "\\TikoClock.exe";
    if (!CopyFileA(executable.c_str(), copy.c_str(), FALSE))
        return "cannot copy " + executable;
    SeePhysicalPixels();
    MoveMouse(5, 5);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + copy + "\"";
    if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info))
        return "cannot start the clock";
    CloseHandle(info.hThread);
    std::string error;
    const HWND clock = WaitForWindow(info.dwProcessId, L"TikoClockWindow", nullptr);
    if (!clock) {
        error = "no clock window";
    } else {
        Sleep(2500);
        error = SaveClockSettingsAndMenu(clock, info.dwProcessId, L"\u8BBE\u7F6E", folder, ""); // 设置
    }
    if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    if (error.empty())
        error = SaveTwoClocks(copy, directory, folder + "\\two-clocks.bmp");
    if (error.empty())
        error = SaveInEnglish(copy, directory, folder);
    if (error.empty())
        error = SaveDateLines(copy, directory, folder);
    for (const char* name : {"\\TikoClock.exe", "\\配置.ini"})
        DeleteFileA((directory + name).c_str());
    RemoveDirectoryA(directory.c_str());
    return error;
}

HWND FindShownWindow(DWORD processId, const wchar_t* className, const wchar_t* title) {
    Search search{processId, className, title, nullptr};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
