#pragma once
// Acting as a user at the desktop: the real mouse and keyboard through
// SendInput, and the screen's pixels.
#include <windows.h>

#include <chrono>
#include <functional>
#include <vector>

namespace desktop {

void MoveMouse(int x, int y);
void LeftDown();
void LeftUp();
void Click(int x, int y);
void RightClick(int x, int y);
// Presses at from, moves to to in steps, and lets go. A given arrived()
// is waited for (at most 5 s) before letting go: a move loop that is behind
// the pointer ends where it is at the release.
void Drag(int fromX, int fromY, int toX, int toY, const std::function<bool()>& arrived = {});
void Wheel(int delta);
void PressKey(WORD virtualKey);

// The screen's colour at a point, as COLORREF.
COLORREF ScreenPixel(int x, int y);
// Waits (bounded, pumping this thread's messages) until the screen shows the
// colour at a point: a window's painting reaches the screen a little later.
// Answers the colour last seen there, so that a failed check names it.
COLORREF WaitForPixel(int x, int y, COLORREF expected,
                      std::chrono::milliseconds timeout = std::chrono::seconds(3));
// The keyboard focus of the window's thread (another process's too): the
// window that keystrokes reach while that thread has the foreground.
HWND FocusInThreadOf(HWND window);
// Whether keystrokes go to the window now: it is the foreground window and
// its thread's focus is in it. The focus arrives a moment after the
// foreground changes: wait for this, not for the foreground alone.
bool TakesKeys(HWND window);
// Brings the window to the foreground and waits until it takes keys, asking
// again while another window has the foreground: another program that has
// just come to the front (a second clock) may keep it from the first request.
bool GiveKeyboardTo(HWND window, std::chrono::milliseconds timeout = std::chrono::seconds(5));
// The screen's colours in a rectangle, row by row from the top, as COLORREF.
std::vector<COLORREF> CaptureScreen(int left, int top, int width, int height);

// Polls the condition (pumping this thread's messages) until it holds or the
// time is up; answers the last result.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds poll = std::chrono::milliseconds(50));

} // namespace desktop
