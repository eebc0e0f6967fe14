#include "framework/AreaTips.h"

#include "framework/Controls.h"

#include <commctrl.h>

#include <algorithm>

namespace {

TTTOOLINFOW ToolOf(HWND window, std::size_t index) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = index + 1;
    return tool;
}

} // namespace

// Always shown, also over a window that is not active (a clock on the
// desktop rarely is).
bool AreaTips::Make(HWND window) {
    EnsureCommonControls();
    tips.reset(CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, GetModuleHandleW(nullptr), nullptr));
    owner = window;
    shown.clear();
    return tips.get() != nullptr;
}

void AreaTips::Follow(HWND window, std::span<const TipArea> areas) {
    // A window made again has lost the control it owned.
    if ((!tips.get() || owner != window || !IsWindow(tips.get())) && !Make(window))
        return;
    if (std::ranges::equal(areas, shown))
        return;
    for (std::size_t index = 0; index < shown.size(); ++index) {
        TTTOOLINFOW tool = ToolOf(window, index);
        SendMessageW(tips.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    shown.assign(areas.begin(), areas.end());
    for (std::size_t index = 0; index < shown.size(); ++index) {
        TTTOOLINFOW tool = ToolOf(window, index);
        tool.rect = shown[index].rect;
        tool.lpszText = shown[index].text.data();
        SendMessageW(tips.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

namespace {

void Relay(HWND tips, HWND owner, UINT message, WPARAM keys, int x, int y) {
    MSG relayed{owner, message, keys, MAKELPARAM(x, y), static_cast<DWORD>(GetMessageTime()), {x, y}};
    SendMessageW(tips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

} // namespace

void AreaTips::FollowPointer(int x, int y) {
    if (tips.get())
        Relay(tips.get(), owner, WM_MOUSEMOVE, 0, x, y);
}

void AreaTips::FollowPress(int x, int y) {
    if (tips.get())
        Relay(tips.get(), owner, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
}
