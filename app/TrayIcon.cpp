#include "app/TrayIcon.h"

#include "app/Actions.h"
#include "app/AppGlobals.h"
#include "app/ClockMenu.h"
#include "app/Commands.h"
#include "framework/DisplayScale.h"
#include "framework/WindowClass.h"

#include <windowsx.h>

#include <algorithm>

namespace {

constexpr UINT IconId = 1;

// The program's icon at the small-icon size the taskbar uses now: the icon
// file holds an image for each common scale (16 to 64 pixels). The common
// controls' scaling loader is not used: it would load their whole DLL into
// every clock.
unique_hicon LoadSmallIcon() {
    const int size = SystemScale().Pixels(16);
    return unique_hicon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
}

TrayIcon* TrayOf(HWND window) {
    if (!AppGlobalsExist() || !App().tray || App().tray->Window() != window)
        return nullptr;
    return App().tray.get();
}

// What the icon reports (NOTIFYICON_VERSION_4): the event in the low word,
// the anchor for a menu in wParam.
void OnIconEvent(HWND window, UINT event, WPARAM anchor) {
    switch (event) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
        RunCommand(CommandId::ShowClock);
        break;
    case WM_CONTEXTMENU:
        ShowClockMenu(window, {GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)});
        break;
    default:
        break;
    }
}

LRESULT CALLBACK ProgramWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TrayIcon* tray = TrayOf(window);
    if (tray && message == TrayCallbackMessage) {
        OnIconEvent(window, LOWORD(lParam), wParam);
        return 0;
    }
    if (tray && message == TaskbarCreatedMessage()) {
        tray->OnTaskbarCreated();
        return 0;
    }
    if (tray && (message == WM_DPICHANGED || message == WM_DISPLAYCHANGE)) {
        tray->OnScaleChanged();
        return 0;
    }
    if (tray && message == BringToFrontMessage()) {
        RunCommand(CommandId::ShowClock);
        return 0;
    }
    if (tray && message == WM_ENDSESSION && wParam) {
        tray->Remove();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

UINT BringToFrontMessage() {
    static const UINT message = RegisterWindowMessageW(L"TikoClock.BringToFront");
    return message;
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

TrayIcon::TrayIcon(const std::wstring& windowName) {
    RegisterWindowClassOnce(ProgramWindowClassName, ProgramWindowProc);
    // A top-level window, never shown: a message-only window would not hear
    // the shell's broadcast of "TaskbarCreated".
    window.reset(CreateWindowExW(0, ProgramWindowClassName, windowName.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr));
    // An elevated clock still hears the shell and a second start.
    for (const UINT message : {TaskbarCreatedMessage(), BringToFrontMessage()})
        ChangeWindowMessageFilterEx(window.get(), message, MSGFLT_ALLOW, nullptr);
}

TrayIcon::~TrayIcon() {
    Remove();
}

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window.get();
    data.uID = IconId;
    data.uFlags = flags;
    data.uCallbackMessage = TrayCallbackMessage;
    data.hIcon = icon.get();
    const std::size_t length = std::min(tip.size(), std::size(data.szTip) - 1);
    std::copy_n(tip.begin(), length, data.szTip);
    data.uVersion = NOTIFYICON_VERSION_4;
    return data;
}

void TrayIcon::Add() {
    if (!icon)
        icon = LoadSmallIcon();
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (added)
        Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void TrayIcon::Show(bool shown) {
    wanted = shown;
    if (shown && !added)
        Add();
    else if (!shown)
        Remove();
}

void TrayIcon::SetTip(const std::wstring& text) {
    if (text == tip)
        return;
    tip = text;
    if (!added)
        return;
    NOTIFYICONDATAW data = Data(NIF_TIP | NIF_SHOWTIP);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::OnTaskbarCreated() {
    added = false;
    icon.reset();
    if (wanted)
        Add();
}

void TrayIcon::OnScaleChanged() {
    icon = LoadSmallIcon();
    if (!added)
        return;
    NOTIFYICONDATAW data = Data(NIF_ICON);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::Remove() {
    if (!added)
        return;
    NOTIFYICONDATAW data = Data(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
    added = false;
}
