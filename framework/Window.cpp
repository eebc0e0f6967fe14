#include "framework/Window.h"

#include "framework/FileChangeWatch.h"
#include "framework/Services.h"
#include "framework/StringTable.h"
#include "framework/TextConversion.h"
#include "framework/WindowClass.h"

#include <algorithm>
#include <climits>
#include <string>

namespace {

constexpr wchar_t OwnerClassName[] = L"TikoClockOwner";

// Beside the rectangle on its monitor's work area, 10 units away.
void MoveBeside(HWND window, const RECT& beside, DisplayScale scale) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT outer{};
    if (!GetMonitorInfoW(MonitorFromRect(&beside, MONITOR_DEFAULTTONEAREST), &monitor) ||
        !GetWindowRect(window, &outer))
        return;
    const POINT place = PlaceBeside(beside, {outer.right - outer.left, outer.bottom - outer.top},
                                    monitor.rcWork, scale.Pixels(10));
    SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring TitleOf(const WindowLayout& layout) {
    return layout.titleText ? WideText(layout.titleText) : MultiByteToWide(layout.title, GbkCodePage);
}

// The record with its caption read from the string table when it names one;
// the text is kept in storage that outlives the control's making.
ControlRecord WithCaption(const ControlRecord& record, std::string& storage) {
    if (!record.look.captionText)
        return record;
    storage = Text(record.look.captionText);
    ControlRecord captioned = record;
    captioned.look.caption = storage;
    return captioned;
}

// The system colour's brush, as a class takes it: the colour's index plus one.
HBRUSH ButtonFaceBrush() {
    return reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
}

using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// Looked up at run time: Windows 10 (1607) and later only.
AdjustForDpiFunction AdjustForDpi() {
    static const auto function = reinterpret_cast<AdjustForDpiFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    return function;
}

// The frame's thickness around a client area at a scale. Older systems
// answer for the desktop's scale only, the one their windows all have.
SIZE FrameSize(DWORD style, DWORD exStyle, DisplayScale scale) {
    RECT rect{0, 0, 0, 0};
    if (const auto adjust = AdjustForDpi())
        adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(scale.dpi));
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

constexpr DWORD WindowExStyle = WS_EX_CONTROLPARENT;

DWORD StyleOf(WindowFrame frame) {
    switch (frame) {
    case WindowFrame::Popup:
        return WS_POPUP | WS_CLIPCHILDREN;
    case WindowFrame::FixedDialog:
        return WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    }
    return WS_POPUP;
}

} // namespace

HWND HiddenOwnerWindow() {
    static HWND owner = nullptr;
    if (owner && IsWindow(owner))
        return owner;
    RegisterWindowClassOnce(OwnerClassName, DefWindowProcW,
                            {.background = ButtonFaceBrush(), .programIcon = true});
    owner = CreateWindowExW(0, OwnerClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    return owner;
}

Window::~Window() {
    Destroy();
    for (WindowTimer* timer : timers)
        timer->Forget();
}

POINT PlaceBeside(const RECT& beside, SIZE size, const RECT& work, int gap) {
    const auto onWork = [&](POINT place) {
        return POINT{std::clamp(place.x, work.left, std::max(work.left, work.right - size.cx)),
                     std::clamp(place.y, work.top, std::max(work.top, work.bottom - size.cy))};
    };
    const POINT sides[] = {{beside.right + gap, beside.top},
                           {beside.left - gap - size.cx, beside.top},
                           {beside.left, beside.bottom + gap},
                           {beside.left, beside.top - gap - size.cy}};
    POINT best = onWork(sides[0]);
    LONGLONG leastCovered = LLONG_MAX;
    for (const POINT& side : sides) {
        const POINT place = onWork(side);
        const RECT placed{place.x, place.y, place.x + size.cx, place.y + size.cy};
        RECT covered{};
        const LONGLONG area = IntersectRect(&covered, &placed, &beside)
                                  ? LONGLONG{covered.right - covered.left} * (covered.bottom - covered.top)
                                  : 0;
        if (area < leastCovered) {
            best = place;
            leastCovered = area;
        }
        if (area == 0)
            break;
    }
    return best;
}

bool Window::Create(const WindowLayout& windowLayout, const RECT* beside) {
    if (window)
        return false;
    RegisterWindowClassOnce(WindowClassName, &Window::Procedure,
                            {.style = CS_DBLCLKS, .background = ButtonFaceBrush(), .programIcon = true});
    layout = windowLayout;
    controlsBuilt = false;
    // Centred on the primary screen, whose scale the desktop's is.
    scale = SystemScale();
    const ScreenSize screen = PrimaryScreenSize();
    const SIZE size = OuterSize(layout, scale);
    const int left = (screen.width - size.cx) / 2;
    const int top = (screen.height - size.cy) / 2;
    const std::wstring title = TitleOf(layout);
    const HWND created =
        CreateWindowExW(WindowExStyle, WindowClassName, title.c_str(), StyleOf(layout.frame), left, top,
                        size.cx, size.cy, HiddenOwnerWindow(), nullptr, GetModuleHandleW(nullptr), this);
    if (!created)
        return false;
    // A desktop whose scale changed since sign-in gives the primary monitor
    // a scale of its own.
    if (const DisplayScale actual = ScaleForWindow(created); actual != scale) {
        scale = actual;
        const SIZE scaled = OuterSize(layout, scale);
        SetWindowPos(created, nullptr, (screen.width - scaled.cx) / 2, (screen.height - scaled.cy) / 2,
                     scaled.cx, scaled.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (beside) {
        const DisplayScale before = scale;
        MoveBeside(created, *beside, scale);
        // Moved onto a monitor of another scale, it took that scale's size,
        // which may reach over the rectangle: placed again with it.
        if (scale != before)
            MoveBeside(created, *beside, scale);
    }
    BuildControls();
    OnCreated();
    if (window)
        ShowWindow(window, SW_SHOW);
    return window != nullptr;
}

SIZE Window::OuterSize(const WindowLayout& windowLayout, DisplayScale at) {
    const DWORD style = StyleOf(windowLayout.frame);
    const SIZE baseFrame = FrameSize(style, WindowExStyle, {});
    const SIZE frame = FrameSize(style, WindowExStyle, at);
    return {at.Pixels(windowLayout.width - static_cast<int>(baseFrame.cx)) + frame.cx,
            at.Pixels(windowLayout.height - static_cast<int>(baseFrame.cy)) + frame.cy};
}

void Window::Rescale(DisplayScale newScale, const RECT& outer) {
    if (!window)
        return;
    SetWindowPos(window, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The window's own children take their contents with them.
    for (const auto& control : controls)
        if (control && control->Handle() && GetParent(control->Handle()) == window)
            DestroyWindow(control->Handle());
    scale = newScale;
    for (WindowTimer* timer : timers)
        timer->SetInterval(0);
    BuildControls();
}

void Window::ShowTexts() {
    if (!window)
        return;
    SetWindowTextW(window, TitleOf(layout).c_str());
    for (std::size_t index = 0; index < controls.size(); ++index)
        if (const UINT id = layout.controls[index].look.captionText; id && controls[index])
            controls[index]->SetCaption(Text(id));
}

void Window::Destroy() {
    if (window)
        DestroyWindow(window);
}

void Window::BringToFront() {
    if (!window)
        return;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

void Window::SetCursorShape(HCURSOR shape) {
    cursor = shape;
    POINT point{};
    if (window && GetCursorPos(&point) && WindowFromPoint(point) == window)
        SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
}

Window* Window::FromHandle(HWND handle) {
    if (!handle)
        return nullptr;
    wchar_t className[64]{};
    GetClassNameW(handle, className, 64);
    if (std::wstring_view(className) != WindowClassName)
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

LRESULT CALLBACK Window::Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->window = handle;
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(handle, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
        self->window = nullptr;
        for (WindowTimer* timer : self->timers)
            timer->interval = 0;
        // The children are gone already; a handler running below a modal
        // loop may still hold its control, so the objects stay.
        for (const auto& control : self->controls)
            if (control)
                control->handle = nullptr;
        return DefWindowProcW(handle, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

bool Window::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    // Windows sends this from inside Create's move onto a monitor of another
    // scale, before the controls exist: only the scale and the rectangle are
    // taken, and the controls are built once, at that scale.
    if (message == WM_DPICHANGED && !controlsBuilt) {
        scale = {static_cast<int>(HIWORD(wParam))};
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (OnMessage(message, wParam, lParam, result))
        return result;
    if (ReflectToControl(window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_TIMER:
        DispatchTimer(wParam);
        return 0;
    case WM_LBUTTONDOWN:
        // The press has already been seen by OnMessage; the system's own
        // move loop does the dragging. When that press brought another
        // window forward (a button opened it), the move loop would activate
        // this one again and take the keyboard away.
        if (layout.dragToMove && !AnotherWindowIsActive())
            PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window) {
            SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        OnDestroyed();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Window::AnotherWindowIsActive() const {
    const HWND active = GetActiveWindow();
    return active != nullptr && active != window;
}

Control* Window::FindControl(std::string_view name) const {
    const auto found = std::find_if(controls.begin(), controls.end(), [name](const auto& control) {
        return control && control->Name() == name;
    });
    return found != controls.end() ? found->get() : nullptr;
}

Control* Window::FindControl(HWND handle) const {
    if (!handle)
        return nullptr;
    const int index = GetDlgCtrlID(handle) - FirstControlId;
    if (index < 0 || index >= static_cast<int>(controls.size()))
        return nullptr;
    Control* control = controls[static_cast<std::size_t>(index)].get();
    return control && control->Handle() == handle ? control : nullptr;
}

void Window::BuildControls() {
    controls.clear();
    controls.resize(layout.controls.size());
    for (std::size_t index = 0; index < layout.controls.size(); ++index) {
        const ControlRecord& record = layout.controls[index];
        std::string caption;
        HWND parent = window;
        if (!record.parent.empty()) {
            const Control* container = FindControl(record.parent);
            if (!container || container->Kind() != ControlKind::ShapeBox)
                continue; // a layout without its container: the control is left out
            parent = container->Handle();
        }
        controls[index] = BuildControl(WithCaption(record, caption), parent,
                                       FirstControlId + static_cast<int>(index), scale);
        // Each new control goes below its earlier siblings, whatever the
        // platform's default, so the table's order is the stacking order.
        if (controls[index])
            SetWindowPos(controls[index]->Handle(), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    controlsBuilt = true;
}

void Window::DispatchTimer(UINT_PTR id) {
    const auto found = std::find_if(timers.begin(), timers.end(),
                                    [id](const WindowTimer* timer) { return timer->id == id; });
    if (found != timers.end())
        (*found)->Tick();
}

WindowTimer::WindowTimer(Window& owner, UINT_PTR id, std::function<void()> onTick)
    : owner(owner), id(id), onTick(std::move(onTick)) {
    owner.timers.push_back(this);
}

WindowTimer::~WindowTimer() {
    SetInterval(0);
    std::erase(owner.timers, this);
}

void WindowTimer::SetInterval(UINT milliseconds) {
    if (milliseconds == interval)
        return;
    const HWND window = owner.Handle();
    if (milliseconds == 0) {
        if (window)
            KillTimer(window, id);
        interval = 0;
        return;
    }
    if (window && SetTimer(window, id, milliseconds, nullptr))
        interval = milliseconds;
}

void WindowTimer::Restart(UINT milliseconds) {
    if (milliseconds == 0) {
        SetInterval(0);
        return;
    }
    const HWND window = owner.Handle();
    if (window && SetTimer(window, id, milliseconds, nullptr))
        interval = milliseconds;
}

void WindowTimer::Tick() {
    if (interval != 0 && onTick)
        onTick();
}

void WindowTimer::Forget() {
    interval = 0;
}

bool PumpOneMessage(const MSG& message) {
    if (message.message == WM_QUIT)
        return false;
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    Window* target = Window::FromHandle(root);
    if (target && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
        target->Layout().escCloses) {
        target->OnEscape();
        return true;
    }
    // The dialog manager moves the focus on Tab, and clicks the control
    // whose access key Alt and a letter name.
    const bool dialogKey =
        (message.message == WM_KEYDOWN && message.wParam == VK_TAB) || message.message == WM_SYSCHAR;
    if (target && target->Layout().frame == WindowFrame::FixedDialog && dialogKey &&
        IsDialogMessageW(root, const_cast<MSG*>(&message)))
        return true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

int RunMessageLoop() {
    MSG message{};
    for (;;) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (!PumpOneMessage(message))
                return static_cast<int>(message.wParam);
        WaitForMessageOrObject();
    }
}

void PumpPendingMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!PumpOneMessage(message)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
    }
}
