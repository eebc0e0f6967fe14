#pragma once
// Top-level windows built from a layout record, their timers and the message
// loop.
//
// Conventions:
// - A Window object binds to its HWND at WM_NCCREATE and unbinds at
//   WM_NCDESTROY; the procedure hands each message to a small handler.
// - OnCreated runs once, after the window exists and before it is shown;
//   OnDestroyed runs at WM_DESTROY, whoever destroyed the window.
// - Events come from the user or a timer only: setting a property from code
//   raises none.
// - Every top-level window is owned by one hidden window, so none has a
//   taskbar button.
// - Texts are ANSI byte strings in GBK (code page 936); they reach Windows
//   through the wide API, converted with 936 whatever the system code page.
// - The controls of the layout are built with the window, before OnCreated,
//   and live until the window is made again or the object goes; after the
//   window is destroyed they hold no handle.
// - A window holds one display scale, that of the monitor it is on; its
//   outer size and every control are made at that scale from the layout's
//   96-DPI lengths. A window created beside another on a monitor of another
//   scale is laid out once, at that monitor's scale.
#include "framework/ControlRecord.h"
#include "framework/Controls.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class WindowFrame {
    Popup,       // no frame, no title bar
    FixedDialog, // single fixed frame, title bar, close box only
};

struct WindowLayout {
    std::string_view title; // GBK
    UINT titleText = 0;     // a text identifier, in place of the title
    int width;              // outer size at 96 DPI, frame included
    int height;
    WindowFrame frame;
    bool dragToMove; // a left press anywhere starts the system move loop
    bool escCloses;
    std::span<const ControlRecord> controls{}; // stacking order, topmost first
};

class WindowTimer;

// The class of every top-level window of the program, the clock's included.
inline constexpr wchar_t WindowClassName[] = L"TikoClockWindow";

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creates the window centred on the primary screen at that screen's
    // scale, or beside a rectangle (another window of the program's) on its
    // monitor's work area; runs OnCreated, shows it.
    bool Create(const WindowLayout& layout, const RECT* beside = nullptr);
    void Destroy();

    HWND Handle() const { return window; }
    bool Exists() const { return window != nullptr; }
    const WindowLayout& Layout() const { return layout; }
    DisplayScale Scale() const { return scale; }

    // The outer size of a layout's window at a scale: its client area at
    // 96 DPI scaled, and the frame the system draws at that scale.
    static SIZE OuterSize(const WindowLayout& layout, DisplayScale scale);

    // The title and every caption the layout names by identifier, read
    // again in the language in use.
    void ShowTexts();

    // Restores a minimised window and brings it to the front.
    void BringToFront();

    // Esc was pressed in a window whose layout says Esc closes it: destroys
    // it, unless the window has something else to do.
    virtual void OnEscape() { Destroy(); }

    // The cursor shown over the client area; nullptr means the default arrow.
    void SetCursorShape(HCURSOR cursor);
    bool CursorIsDefault() const { return cursor == nullptr; }

    // The window a handle belongs to, or nullptr for foreign windows.
    static Window* FromHandle(HWND handle);

    // Child window identifiers: the first control record gets this one.
    static constexpr int FirstControlId = 1000;

    // The layout's controls by identifier; nullptr when there is none, or
    // when it is of another kind than asked for.
    Control* FindControl(std::string_view name) const;
    Control* FindControl(HWND handle) const;
    template <class T> T* Find(std::string_view name) const {
        Control* control = FindControl(name);
        return control && control->Kind() == T::kind ? static_cast<T*>(control) : nullptr;
    }
    // One entry per layout record, in layout order.
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls; }

protected:
    // Makes the layout's controls again at another scale, in the given
    // outer rectangle (screen coordinates). The old controls go, with their
    // state; the window's timers start over, stopped.
    void Rescale(DisplayScale newScale, const RECT& outer);

    virtual void OnCreated() {}
    virtual void OnDestroyed() {}
    // Answers true when the message was handled and result holds its answer.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend class WindowTimer;
    static LRESULT CALLBACK Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Another window of this thread holds the activation.
    bool AnotherWindowIsActive() const;
    void DispatchTimer(UINT_PTR id);
    void BuildControls();

    HWND window = nullptr;
    WindowLayout layout{};
    DisplayScale scale{};
    HCURSOR cursor = nullptr;
    std::vector<WindowTimer*> timers;
    std::vector<std::unique_ptr<Control>> controls;
    bool controlsBuilt = false; // a scale change before then only records the scale
};

// The identifiers of a window's first and second timer (WM_TIMER's wParam).
inline constexpr UINT_PTR Timer1Id = 1;
inline constexpr UINT_PTR Timer2Id = 2;

// A window timer with an interval property: a non-zero interval starts it,
// 0 stops it; setting the interval it already runs with leaves it untouched,
// a new one restarts it. Its ticks arrive as WM_TIMER on the GUI thread.
class WindowTimer {
public:
    WindowTimer(Window& owner, UINT_PTR id, std::function<void()> onTick);
    ~WindowTimer();
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    void SetInterval(UINT milliseconds);
    // Starts the countdown anew at that interval, even the one it runs with:
    // a timer re-armed on each tick for a moment of the wall clock.
    void Restart(UINT milliseconds);
    UINT Interval() const { return interval; }
    bool IsRunning() const { return interval != 0; }
    UINT_PTR Id() const { return id; }
    void SetTickHandler(std::function<void()> handler) { onTick = std::move(handler); }

private:
    friend class Window;
    void Tick();
    void Forget(); // the window is gone, and its timers with it

    Window& owner;
    UINT_PTR id;
    std::function<void()> onTick;
    UINT interval = 0;
};

// Where a window of that size goes beside a rectangle, gap pixels away, on
// a work area: right of it, else left of it, below or above it, moved along
// that side to lie wholly on the work area. Where no side has room, the
// place that covers least of the rectangle.
POINT PlaceBeside(const RECT& beside, SIZE size, const RECT& work, int gap);

// The hidden window that owns every top-level window of the program.
HWND HiddenOwnerWindow();

// Runs the message loop until WM_QUIT; answers its exit code. Esc goes to
// the OnEscape of a window whose layout says so; Tab moves between a dialog window's controls.
// Between messages it waits on the objects of WaitInMessageLoop too.
int RunMessageLoop();
// Handles one message as the loop would; false when it was WM_QUIT.
bool PumpOneMessage(const MSG& message);
// Handles every queued message without waiting (used by tests).
void PumpPendingMessages();
