#include "framework/Controls.h"

#include "assets/TextIds.h"
#include "framework/ControlFont.h"
#include "framework/Services.h"
#include "framework/StringTable.h"
#include "framework/Window.h"
#include "framework/TextConversion.h"
#include "framework/WindowClass.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <array>

namespace {

constexpr wchar_t ShapeBoxClassName[] = L"TikoShapeBox";
constexpr wchar_t LabelClassName[] = L"TikoLabel";

// Fills a rectangle with a solid colour without making a brush.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    const COLORREF previous = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

int CurrentKeyState(WPARAM mouseFlags) {
    return MouseKeyState(mouseFlags, GetKeyState(VK_MENU) < 0);
}

// A custom control's object: bound at WM_NCCREATE, unbound at WM_NCDESTROY,
// nullptr before and after.
template <class T> T* BoundControl(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        return created;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Colours the user defined in the colour dialog during this run.
std::array<COLORREF, 16>& CustomColours() {
    static std::array<COLORREF, 16> colours = [] {
        std::array<COLORREF, 16> white;
        white.fill(0xFFFFFF);
        return white;
    }();
    return colours;
}

// Sliders and a closed combo box would turn the wheel into a new value.
// Like every other control here they leave it to their parent, so that the
// wheel over a scrolling panel scrolls the panel and never changes a
// setting; the keys still move them. An open list keeps its own wheel.
LRESULT CALLBACK PassWheelToParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR isComboBox) {
    switch (message) {
    case WM_MOUSEWHEEL:
        if (isComboBox && SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0))
            break;
        return SendMessageW(GetParent(window), message, wParam, lParam);
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, PassWheelToParent, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// A WM_CTLCOLOR* answer: black text on white, in the control's device context.
LRESULT PaintBlackOnWhite(WPARAM deviceContext) {
    const HDC dc = reinterpret_cast<HDC>(deviceContext);
    SetTextColor(dc, 0x000000);
    SetBkColor(dc, 0xFFFFFF);
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

} // namespace

int MouseKeyState(WPARAM mouseFlags, bool altDown) {
    int keys = 0;
    if (mouseFlags & MK_CONTROL)
        keys |= KeyCtrl;
    if (mouseFlags & MK_SHIFT)
        keys |= KeyShift;
    if (altDown)
        keys |= KeyAlt;
    return keys;
}

COLORREF ResolveColour(COLORREF colour) {
    return colour == DefaultColour ? GetSysColor(COLOR_BTNFACE) : colour & 0x00FFFFFF;
}

// ---------------------------------------------------------------- Control

Control::Control(const ControlRecord& record) : name(record.name), kind(record.kind) {}

bool Control::CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, int id,
                          const ControlRect& rect, void* createParam) {
    const HWND created = CreateWindowExW(
        exStyle, className, L"", style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left, rect.top,
        rect.width, rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        GetModuleHandleW(nullptr), createParam);
    if (created)
        handle = created;
    return created != nullptr;
}

ControlRect Control::Bounds() const {
    RECT rect{};
    if (!handle || !GetWindowRect(handle, &rect))
        return {};
    MapWindowPoints(HWND_DESKTOP, GetParent(handle), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Control::Move(int left, int top) {
    if (handle)
        SetWindowPos(handle, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::TakeFocus() {
    if (handle)
        SetFocus(handle);
}

void Control::SetCaption(std::string_view text) {
    if (!handle)
        return;
    Silence silence(*this);
    SetWindowTextW(handle, MultiByteToWide(text, GbkCodePage).c_str());
}

std::string Control::Caption() const {
    if (!handle)
        return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(handle, text.data(), static_cast<int>(text.size()))));
    return WideToMultiByte(text, GbkCodePage);
}

bool Control::OnParentNotify(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Black text on the default colour, whatever the parent paints.
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, 0x000000);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    default:
        return false;
    }
}

// --------------------------------------------------------------- ShapeBox

ShapeBox::ShapeBox(const ControlRecord& record)
    : Control(record), backColour(record.look.backColour), fillColour(record.look.fillColour),
      outlineWidth(record.look.outlineWidth), outlineColour(record.look.outlineColour) {}

bool ShapeBox::Create(const ControlRecord& record, HWND parent, int id) {
    RegisterWindowClassOnce(ShapeBoxClassName, &ShapeBox::Procedure);
    // A container: its children are clipped to it, and Tab walks into it.
    return CreateChild(ShapeBoxClassName, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent, id, record.rect,
                       this);
}

void ShapeBox::SetBackColour(COLORREF colour) {
    backColour = colour;
    InvalidateRect(handle, nullptr, TRUE);
}

void ShapeBox::SetFillColour(COLORREF colour) {
    fillColour = colour;
    InvalidateRect(handle, nullptr, TRUE);
}

void ShapeBox::SetOutline(int width, COLORREF colour) {
    outlineWidth = std::max(width, 0);
    outlineColour = colour;
    InvalidateRect(handle, nullptr, TRUE);
}

void ShapeBox::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(handle, &client);
    FillSolid(dc, client, ResolveColour(backColour));
    if (fillColour != DefaultColour)
        FillSolid(dc, client, ResolveColour(fillColour));
    if (outlineWidth <= 0)
        return;
    // The outline lies inside the frame: the box never paints outside itself.
    const COLORREF colour = ResolveColour(outlineColour);
    const LONG w = std::min<LONG>(outlineWidth, std::min(client.right, client.bottom));
    FillSolid(dc, {0, 0, client.right, w}, colour);
    FillSolid(dc, {0, client.bottom - w, client.right, client.bottom}, colour);
    FillSolid(dc, {0, 0, w, client.bottom}, colour);
    FillSolid(dc, {client.right - w, 0, client.right, client.bottom}, colour);
}

LRESULT CALLBACK ShapeBox::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ShapeBox* self = BoundControl<ShapeBox>(window, message, lParam);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE)
        self->handle = window;
    LRESULT result = 0;
    if (ReflectToControl(window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT: {
        PaintDc paint(window);
        self->Paint(paint.get());
        return 0;
    }
    case WM_MOUSEMOVE:
        if (self->onMouseMoved)
            self->onMouseMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), CurrentKeyState(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        if (self->onMouseWheelDelta) {
            self->onMouseWheelDelta(GET_WHEEL_DELTA_WPARAM(wParam),
                                    CurrentKeyState(GET_KEYSTATE_WPARAM(wParam)));
            return 0;
        }
        if (!self->onMouseWheel)
            break;
        self->onMouseWheel(WheelNotches(GET_WHEEL_DELTA_WPARAM(wParam)),
                           CurrentKeyState(GET_KEYSTATE_WPARAM(wParam)));
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->handle = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// ------------------------------------------------------------------ Label

Label::Label(const ControlRecord& record)
    : Control(record), textColour(record.look.textColour), backColour(record.look.backColour),
      bold(record.look.bold), align(record.look.align) {}

bool Label::Create(const ControlRecord& record, HWND parent, int id) {
    RegisterWindowClassOnce(LabelClassName, &Label::Procedure);
    if (!CreateChild(LabelClassName, 0, 0, parent, id, record.rect, this))
        return false;
    SetCaption(record.look.caption);
    return true;
}

void Label::SetTextColour(COLORREF colour) {
    textColour = colour;
    InvalidateRect(handle, nullptr, FALSE);
}

void Label::SetBackColour(COLORREF colour) {
    backColour = colour;
    InvalidateRect(handle, nullptr, FALSE);
}

void Label::SetBold(bool isBold) {
    bold = isBold;
    InvalidateRect(handle, nullptr, FALSE);
}

void Label::SetAlignment(TextAlign alignment) {
    align = alignment;
    InvalidateRect(handle, nullptr, FALSE);
}

void Label::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(handle, &client);
    FillSolid(dc, client, ResolveColour(backColour));
    const int length = GetWindowTextLengthW(handle);
    if (length == 0)
        return;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(handle, text.data(), length + 1)));
    SelectGuard font(dc, ControlFont(bold, scale));
    SetTextColor(dc, ResolveColour(textColour));
    SetBkMode(dc, TRANSPARENT);
    const UINT format =
        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (align == TextAlign::Centre ? DT_CENTER : DT_LEFT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
}

LRESULT CALLBACK Label::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Label* self = BoundControl<Label>(window, message, lParam);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE)
        self->handle = window;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PaintDc paint(window);
        self->Paint(paint.get());
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, FALSE);
        return result;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(ControlFont(self->bold, self->scale));
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_MOUSEMOVE:
        if (self->onMouseMoved)
            self->onMouseMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), CurrentKeyState(wParam));
        return 0;
    case WM_LBUTTONUP:
        if (self->onLeftButtonUp)
            self->onLeftButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), CurrentKeyState(wParam));
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->handle = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// --------------------------------------------------------------- CheckBox

bool CheckBox::Create(const ControlRecord& record, HWND parent, int id) {
    const DWORD kind = record.kind == ControlKind::RadioButton ? BS_RADIOBUTTON : BS_AUTOCHECKBOX;
    if (!CreateChild(WC_BUTTONW, kind | BS_VCENTER | WS_TABSTOP, 0, parent, id, record.rect, nullptr))
        return false;
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont(record.look.bold, scale)), FALSE);
    SetCaption(record.look.caption);
    SetChecked(record.state.checked);
    return true;
}

void CheckBox::SetChecked(bool checked) {
    Silence silence(*this);
    SendMessageW(handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::IsChecked() const {
    return SendMessageW(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool CheckBox::OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_COMMAND)
        return Control::OnParentNotify(message, wParam, lParam, result);
    if (HIWORD(wParam) == BN_CLICKED && !IsSilenced() && onToggled)
        onToggled(IsChecked());
    result = 0;
    return true;
}

// ----------------------------------------------------------------- Slider

bool Slider::Create(const ControlRecord& record, HWND parent, int id) {
    const DWORD orientation = record.look.orientation == Orientation::Vertical ? TBS_VERT : TBS_HORZ;
    if (!CreateChild(TRACKBAR_CLASSW, orientation | TBS_NOTICKS | WS_TABSTOP, 0, parent, id, record.rect,
                     nullptr))
        return false;
    SetWindowSubclass(handle, PassWheelToParent, 0, FALSE);
    Silence silence(*this);
    SendMessageW(handle, TBM_SETPAGESIZE, 0, 5);
    SendMessageW(handle, TBM_SETLINESIZE, 0, 1);
    SetRange(record.state.minimum, record.state.maximum);
    SetPosition(record.state.position);
    return true;
}

void Slider::SetRange(int minimum, int maximum) {
    Silence silence(*this);
    SendMessageW(handle, TBM_SETRANGEMIN, FALSE, minimum);
    SendMessageW(handle, TBM_SETRANGEMAX, TRUE, maximum);
}

int Slider::Minimum() const {
    return static_cast<int>(SendMessageW(handle, TBM_GETRANGEMIN, 0, 0));
}

int Slider::Maximum() const {
    return static_cast<int>(SendMessageW(handle, TBM_GETRANGEMAX, 0, 0));
}

void Slider::SetPosition(int position) {
    Silence silence(*this);
    SendMessageW(handle, TBM_SETPOS, TRUE, std::clamp(position, Minimum(), std::max(Minimum(), Maximum())));
}

int Slider::Position() const {
    return static_cast<int>(SendMessageW(handle, TBM_GETPOS, 0, 0));
}

bool Slider::IsVertical() const {
    return (GetWindowLongPtrW(handle, GWL_STYLE) & TBS_VERT) != 0;
}

int Slider::PageSize() const {
    return static_cast<int>(SendMessageW(handle, TBM_GETPAGESIZE, 0, 0));
}

int Slider::LineSize() const {
    return static_cast<int>(SendMessageW(handle, TBM_GETLINESIZE, 0, 0));
}

bool Slider::OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_HSCROLL && message != WM_VSCROLL)
        return Control::OnParentNotify(message, wParam, lParam, result);
    if (LOWORD(wParam) != TB_ENDTRACK && !IsSilenced() && onMoved)
        onMoved(Position());
    result = 0;
    return true;
}

// -------------------------------------------------------------- ScrollBar

bool ScrollBar::Create(const ControlRecord& record, HWND parent, int id) {
    return CreateChild(L"SCROLLBAR", SBS_VERT, 0, parent, id, record.rect, nullptr);
}

void ScrollBar::SetContent(int contentHeight, int viewHeight) {
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE,
                    0,
                    std::max(0, contentHeight - 1),
                    static_cast<UINT>(std::max(0, viewHeight)),
                    0,
                    0};
    SetScrollInfo(handle, SB_CTL, &info, TRUE);
}

void ScrollBar::SetPosition(int position) {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, position, 0};
    SetScrollInfo(handle, SB_CTL, &info, TRUE);
}

int ScrollBar::Position() const {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(handle, SB_CTL, &info);
    return info.nPos;
}

int ScrollBar::PageSize() const {
    SCROLLINFO info{sizeof info, SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(handle, SB_CTL, &info);
    return static_cast<int>(info.nPage);
}

bool ScrollBar::OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_VSCROLL)
        return Control::OnParentNotify(message, wParam, lParam, result);
    // The thumb's place in 16 bits: the program's contents are shorter.
    if (!IsSilenced() && onScrolled)
        onScrolled(LOWORD(wParam), HIWORD(wParam));
    result = 0;
    return true;
}

// ----------------------------------------------------------- ColourPicker

bool ColourPicker::Create(const ControlRecord& record, HWND parent, int id) {
    if (!CreateChild(WC_BUTTONW, BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP, 0, parent, id, record.rect, nullptr))
        return false;
    SetColour(record.state.colour);
    return true;
}

void ColourPicker::SetColour(COLORREF value) {
    colour = value & 0x00FFFFFF;
    UpdateSwatch();
}

void ColourPicker::UpdateSwatch() {
    if (!handle)
        return;
    RECT client{};
    GetClientRect(handle, &client);
    // Inside the button's own frame and focus rectangle.
    const int width = std::max<int>(client.right - scale.Pixels(12), 1);
    const int height = std::max<int>(client.bottom - scale.Pixels(10), 1);
    WindowDc screen(nullptr);
    unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    unique_hdc memory(CreateCompatibleDC(screen.get()));
    {
        SelectGuard select(memory.get(), bitmap.get());
        FillSolid(memory.get(), {0, 0, width, height}, 0x808080); // a frame that shows on any colour
        FillSolid(memory.get(), {1, 1, width - 1, height - 1}, colour);
    }
    Silence silence(*this);
    SendMessageW(handle, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
    swatch = std::move(bitmap); // the button shows it but does not own it
}

void ColourPicker::Pick() {
    // The dialog's DLL is loaded at its first use, not at the clock's start;
    // a system without it keeps the colour as it is.
    if (!LoadSystemDll(L"comdlg32.dll"))
        return;
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetAncestor(handle, GA_ROOT);
    dialog.rgbResult = colour;
    dialog.lpCustColors = CustomColours().data();
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    // The dialog is modal: the window, and this object with it, may be gone
    // when it returns.
    const std::weak_ptr<bool> alive = lifeToken;
    if (!ChooseColorW(&dialog) || alive.expired() || !handle)
        return;
    SetColour(dialog.rgbResult);
    if (onPicked)
        onPicked(colour);
}

bool ColourPicker::OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_COMMAND)
        return Control::OnParentNotify(message, wParam, lParam, result);
    result = 0;
    if (HIWORD(wParam) == BN_CLICKED && !IsSilenced())
        Pick();
    return true;
}

// --------------------------------------------------------------- ComboBox

bool ComboBox::Create(const ControlRecord& record, HWND parent, int id) {
    ControlRect created = record.rect;
    created.height = std::max(created.height, scale.Pixels(MinimumCreatedHeight));
    if (!CreateChild(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, parent, id, created,
                     nullptr))
        return false;
    SetWindowSubclass(handle, PassWheelToParent, 0, TRUE);
    Silence silence(*this);
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont(record.look.bold, scale)), FALSE);
    // The list's items: one pixel taller than the font gives them.
    if (const HWND list = ListHandle()) {
        const LRESULT itemHeight = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
        if (itemHeight > 0)
            SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight + 1, 0));
    }
    // The closed control as tall as its layout row: the selection field
    // takes up the difference. Measured, not computed: frames differ between
    // themes, and what CB_GETITEMHEIGHT answers for the field is not always
    // what CB_SETITEMHEIGHT took.
    LRESULT fieldHeight = SendMessageW(handle, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 3 && fieldHeight > 0; ++attempt) {
        const int difference = record.rect.height - Bounds().height;
        if (difference == 0 || fieldHeight + difference <= 0)
            break;
        fieldHeight += difference;
        SendMessageW(handle, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), fieldHeight);
    }
    return true;
}

HWND ComboBox::ListHandle() const {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return handle && GetComboBoxInfo(handle, &info) ? info.hwndList : nullptr;
}

void ComboBox::ClearItems() {
    Silence silence(*this);
    SendMessageW(handle, CB_RESETCONTENT, 0, 0);
}

void ComboBox::AddItem(std::string_view text) {
    Silence silence(*this);
    const std::wstring wide = MultiByteToWide(text, GbkCodePage);
    SendMessageW(handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void ComboBox::AddWideItem(std::wstring_view text) {
    Silence silence(*this);
    const std::wstring item(text);
    SendMessageW(handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int ComboBox::ItemCount() const {
    return static_cast<int>(SendMessageW(handle, CB_GETCOUNT, 0, 0));
}

std::string ComboBox::ItemText(int index) const {
    const LRESULT length = SendMessageW(handle, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(handle, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return WideToMultiByte(text, GbkCodePage);
}

void ComboBox::SetCurrentIndex(int index) {
    Silence silence(*this);
    SendMessageW(handle, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ComboBox::CurrentIndex() const {
    return static_cast<int>(SendMessageW(handle, CB_GETCURSEL, 0, 0));
}

std::string ComboBox::CurrentText() const {
    const int index = CurrentIndex();
    return index < 0 ? std::string() : ItemText(index);
}

bool ComboBox::OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE && !IsSilenced() && onPicked)
            onPicked(CurrentIndex());
        if ((HIWORD(wParam) == CBN_SETFOCUS || HIWORD(wParam) == CBN_DROPDOWN) && !IsSilenced() && onReached)
            onReached();
        result = 0;
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        result = PaintBlackOnWhite(wParam);
        return true;
    default:
        return Control::OnParentNotify(message, wParam, lParam, result);
    }
}

// ----------------------------------------------------------------- Button

bool Button::Create(const ControlRecord& record, HWND parent, int id) {
    if (!CreateChild(WC_BUTTONW, BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP, 0, parent, id,
                     record.rect, nullptr))
        return false;
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont(record.look.bold, scale)), FALSE);
    SetCaption(record.look.caption);
    return true;
}

bool Button::OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_COMMAND)
        return Control::OnParentNotify(message, wParam, lParam, result);
    if (HIWORD(wParam) == BN_CLICKED && !IsSilenced() && onClicked)
        onClicked();
    result = 0;
    return true;
}

// ---------------------------------------------------------------- TextBox

namespace {

constexpr UINT_PTR TextBoxSubclassId = 1;
constexpr UINT_PTR NoticeTimerId = 0x544B;
// As long as the field's own balloon stays.
constexpr UINT NoticeMilliseconds = 6000;

} // namespace

TextBox::~TextBox() {
    if (handle)
        RemoveWindowSubclass(handle, Procedure, TextBoxSubclassId);
}

bool TextBox::Create(const ControlRecord& record, HWND parent, int id) {
    if (!CreateChild(WC_EDITW, ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP, WS_EX_CLIENTEDGE, parent, id,
                     record.rect, nullptr))
        return false;
    SetWindowSubclass(handle, PassWheelToParent, 0, FALSE);
    SetWindowSubclass(handle, Procedure, TextBoxSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont(record.look.bold, scale)), FALSE);
    SendMessageW(handle, EM_SETLIMITTEXT, MaximumLength, 0);
    SetCaption(record.look.caption);
    return true;
}

LRESULT CALLBACK TextBox::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
    auto& box = *reinterpret_cast<TextBox*>(self);
    switch (message) {
    case WM_CHAR:
        if (!box.TakesTyped(static_cast<wchar_t>(wParam)))
            return 0;
        break;
    case WM_TIMER:
        if (wParam != NoticeTimerId)
            break;
        box.HideNotice();
        return 0;
    case WM_KILLFOCUS:
        box.HideNotice();
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, Procedure, TextBoxSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// A character GBK lacks is refused before the field sees it, a pair of
// surrogates as one: half a pair would show as a box until the other came.
bool TextBox::TakesTyped(wchar_t unit) {
    if (IS_HIGH_SURROGATE(unit)) {
        highSurrogate = unit;
        return false;
    }
    std::wstring character(1, unit);
    if (IS_LOW_SURROGATE(unit) && highSurrogate)
        character.insert(character.begin(), highSurrogate);
    highSurrogate = 0;
    // Backspace, Ctrl+V and the other controls go on: they type nothing.
    if (unit < L' ' || GbkHolds(character)) {
        HideNotice();
        return true;
    }
    Tell(std::move(character));
    return false;
}

// What reached the field whole (a paste, a set text, an input method's
// string) loses the characters GBK lacks; the caret and the selection stay
// by the characters they were by.
void TextBox::KeepOnlyGbk() {
    const int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(0, GetWindowTextW(handle, text.data(), length + 1))));
    GbkParts parts = PartByGbk(text);
    if (parts.refused.empty())
        return;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto kept = [&](DWORD at) {
        return static_cast<WPARAM>(
            PartByGbk(std::wstring_view(text).substr(0, std::min<std::size_t>(at, text.size()))).kept.size());
    };
    {
        Silence silence(*this);
        SetWindowTextW(handle, parts.kept.c_str());
        SendMessageW(handle, EM_SETSEL, kept(start), static_cast<LPARAM>(kept(end)));
        SendMessageW(handle, EM_SCROLLCARET, 0, 0);
    }
    Tell(std::move(parts.refused));
}

// The field's own balloon where it has one; else a beep and a balloon
// tooltip of the same look under the caret.
void TextBox::Tell(std::wstring characters) {
    refused = std::move(characters);
    noticeText = WideText(IDS_NOT_GBK_TEXT) + L"\n" + refused;
    const std::wstring title = WideText(IDS_NOT_GBK_TITLE);
    EDITBALLOONTIP balloon{static_cast<DWORD>(sizeof balloon), title.c_str(), noticeText.c_str(),
                           TTI_WARNING};
    if (SendMessageW(handle, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&balloon)))
        return;
    MessageBeep(MB_ICONWARNING);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = handle;
    tool.uId = 1;
    tool.lpszText = noticeText.data();
    if (!notice.get() || !IsWindow(notice.get())) {
        EnsureCommonControls();
        notice.reset(CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetAncestor(handle, GA_ROOT), nullptr,
            GetModuleHandleW(nullptr), nullptr));
        if (!notice.get())
            return;
        SendMessageW(notice.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(notice.get(), TTM_SETMAXTIPWIDTH, 0, scale.Pixels(300));
    }
    SendMessageW(notice.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(notice.get(), TTM_SETTITLEW, TTI_WARNING, reinterpret_cast<LPARAM>(title.c_str()));
    // The stem at the caret, on the field's bottom edge.
    POINT caret{};
    GetCaretPos(&caret);
    RECT client{};
    GetClientRect(handle, &client);
    POINT stem{std::clamp<LONG>(caret.x, 0, client.right), client.bottom};
    ClientToScreen(handle, &stem);
    SendMessageW(notice.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(stem.x, stem.y));
    SendMessageW(notice.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(handle, NoticeTimerId, NoticeMilliseconds, nullptr);
}

void TextBox::HideNotice() {
    if (!notice.get())
        return;
    KillTimer(handle, NoticeTimerId);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = handle;
    tool.uId = 1;
    SendMessageW(notice.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

bool TextBox::OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE && !IsSilenced()) {
            KeepOnlyGbk();
            if (onEdited)
                onEdited(Caption());
        }
        result = 0;
        return true;
    case WM_CTLCOLOREDIT:
        result = PaintBlackOnWhite(wParam);
        return true;
    default:
        return Control::OnParentNotify(message, wParam, lParam, result);
    }
}

void ComboBox::FitListToItems() {
    const HDC dc = GetDC(handle);
    if (!dc)
        return;
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)));
    int widest = 0;
    std::wstring text;
    for (int index = 0; index < ItemCount(); ++index) {
        text.resize(
            static_cast<std::size_t>(std::max<LRESULT>(0, SendMessageW(handle, CB_GETLBTEXTLEN, index, 0))));
        SendMessageW(handle, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max<int>(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(handle, dc);
    // The item's margins and the list's scroll bar, 17 units wide.
    const int room = widest + scale.Pixels(8 + 17);
    SendMessageW(handle, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(std::max(room, Bounds().width)), 0);
}

int ComboBox::ListWidth() const {
    return static_cast<int>(SendMessageW(handle, CB_GETDROPPEDWIDTH, 0, 0));
}

// ---------------------------------------------------------------- Builder

void EnsureCommonControls() {
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)initialised;
}

std::unique_ptr<Control> BuildControl(const ControlRecord& layoutRecord, HWND parent, int id,
                                      DisplayScale scale) {
    const ControlRecord record = ScaledRecord(layoutRecord, scale);
    EnsureCommonControls();
    std::unique_ptr<Control> control;
    switch (record.kind) {
    case ControlKind::ShapeBox:
        control = std::make_unique<ShapeBox>(record);
        break;
    case ControlKind::Label:
        control = std::make_unique<Label>(record);
        break;
    case ControlKind::CheckBox:
        control = std::make_unique<CheckBox>(record);
        break;
    case ControlKind::RadioButton:
        control = std::make_unique<RadioButton>(record);
        break;
    case ControlKind::Slider:
        control = std::make_unique<Slider>(record);
        break;
    case ControlKind::ColourPicker:
        control = std::make_unique<ColourPicker>(record);
        break;
    case ControlKind::ComboBox:
        control = std::make_unique<ComboBox>(record);
        break;
    case ControlKind::Button:
        control = std::make_unique<Button>(record);
        break;
    case ControlKind::TextBox:
        control = std::make_unique<TextBox>(record);
        break;
    case ControlKind::ScrollBar:
        control = std::make_unique<ScrollBar>(record);
        break;
    }
    if (!control)
        return nullptr;
    control->scale = scale;
    if (!control->Create(record, parent, id))
        return nullptr;
    return control;
}

bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        break;
    default:
        return false;
    }
    const auto child = reinterpret_cast<HWND>(lParam);
    if (!child)
        return false; // menus, accelerators, scroll bars of the window itself
    const Window* window = Window::FromHandle(GetAncestor(parent, GA_ROOT));
    if (!window)
        return false;
    Control* control = window->FindControl(child);
    if (!control && message == WM_CTLCOLORLISTBOX) {
        // A combo box's dropped list speaks for its combo box.
        for (const auto& candidate : window->Controls())
            if (candidate && candidate->Kind() == ControlKind::ComboBox &&
                static_cast<const ComboBox&>(*candidate).ListHandle() == child)
                control = candidate.get();
    }
    return control && control->OnParentNotify(message, wParam, lParam, result);
}
