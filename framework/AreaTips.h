#pragma once
// Tooltips for areas of a window that are not windows themselves (images
// drawn on a layered window, say): the system's tooltip control, made when
// first needed, with one tool per area.
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <span>
#include <string>
#include <vector>

struct TipArea {
    RECT rect; // client coordinates of the window
    std::wstring text;
    friend bool operator==(const TipArea& one, const TipArea& other) {
        return EqualRect(&one.rect, &other.rect) && one.text == other.text;
    }
};

class AreaTips {
public:
    // The window's areas and their texts from now on; the tooltip control
    // is made at the first call, and its tools change only when the areas
    // or the texts do.
    void Follow(HWND window, std::span<const TipArea> areas);
    // The pointer moved to a point of the window's client area. Only moves
    // are handed on: the control does not subclass the window, whose
    // presses start the system's move loop.
    void FollowPointer(int x, int y);
    // A press at that point: a tip that shows goes, as over any control.
    void FollowPress(int x, int y);
    HWND Handle() const { return tips.get(); }

private:
    bool Make(HWND window);

    unique_hwnd tips;
    HWND owner = nullptr;
    std::vector<TipArea> shown;
};
