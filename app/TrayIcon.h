#pragma once
// The notification-area icon and the program's hidden window that hears it.
// The window also stands for the running clock to a second start of the
// program (found by its name) and hears the shell's restart.
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

inline constexpr wchar_t ProgramWindowClassName[] = L"TikoClockTray";

class TrayIcon {
public:
    // Makes the hidden window under that name; the icon is not shown yet.
    explicit TrayIcon(const std::wstring& windowName);
    ~TrayIcon(); // the icon goes with the object
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    HWND Window() const { return window.get(); }
    // Shows or removes the icon. A shown icon that the shell refused (no
    // notification area yet) is added when the shell announces itself.
    void Show(bool shown);
    // The tooltip, changed in place when the icon shows.
    void SetTip(const std::wstring& text);

    // The shell (Explorer) started again: its notification area is empty,
    // and the taskbar's scale may be another.
    void OnTaskbarCreated();
    // The display's scale changed: the icon is loaded again at its size.
    void OnScaleChanged();
    // The session ends: no destruction follows, the icon goes now.
    void Remove();

private:
    NOTIFYICONDATAW Data(UINT flags) const;
    void Add();

    unique_hwnd window;
    unique_hicon icon;
    std::wstring tip;
    bool wanted = false;
    bool added = false;
};

// The message the icon sends its window, and what a second start posts to
// bring the clock to the front.
inline constexpr UINT TrayCallbackMessage = WM_APP + 1;
UINT BringToFrontMessage();
UINT TaskbarCreatedMessage();
