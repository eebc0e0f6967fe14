#pragma once
// The control kinds of the layouts: shape box, label, check box, slider,
// colour picker, combo box, button and text box (timers are WindowTimer, Window.h).
//
// Conventions:
// - Each control is a child window built from its ControlRecord by the
//   window that owns it, and lives exactly as long as that window.
// - Labels and shape boxes are small custom windows; the others are the
//   platform's own controls, whose notifications the parent hands back to
//   the control object (ReflectToControl).
// - Events fire on user action only. Every setter runs silenced, so a
//   notification the platform sends while code changes a control is never
//   taken for the user's.
// - The wheel goes to the container: no control turns it into a value.
// - Texts are GBK byte strings; they reach Windows through the wide API,
//   converted with code page 936 whatever the system code page is (a combo
//   box's items may be told another code page).
// - A control is built at one display scale: its record arrives scaled, and
//   its font and inner measures follow the same scale.
#include "framework/ControlRecord.h"
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

// Key state of the mouse events: 1 Ctrl, 2 Shift, 4 Alt.
inline constexpr int KeyCtrl = 1;
inline constexpr int KeyShift = 2;
inline constexpr int KeyAlt = 4;
int MouseKeyState(WPARAM mouseFlags, bool altDown);
// Whole wheel notches, truncated toward zero; positive away from the user.
constexpr int WheelNotches(int wheelDelta) {
    return wheelDelta / WHEEL_DELTA;
}

// The colour a layout colour stands for: DefaultColour is the button face.
COLORREF ResolveColour(COLORREF colour);

class Control {
public:
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name; }
    ControlKind Kind() const { return kind; }
    HWND Handle() const { return handle; }
    DisplayScale Scale() const { return scale; }

    // The rectangle in the parent's client area, as Windows has it now.
    ControlRect Bounds() const;
    // Moves the control within its parent, keeping its size.
    void Move(int left, int top);
    // Gives the control the keyboard focus (a shape box takes it too, so
    // that the wheel reaches it).
    void TakeFocus();

    // The window text, for the kinds that show one.
    void SetCaption(std::string_view text);
    std::string Caption() const;

    // A notification this control sent to its parent; true when handled.
    virtual bool OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    Control(const ControlRecord& record);
    // Creates the child window; lpParam reaches WM_NCCREATE.
    bool CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, int id,
                     const ControlRect& rect, void* createParam);

    // Setters hold one of these: while it lives, notifications raise no event.
    class Silence {
    public:
        explicit Silence(Control& control) : control(control) { ++control.silence; }
        ~Silence() { --control.silence; }
        Silence(const Silence&) = delete;
        Silence& operator=(const Silence&) = delete;

    private:
        Control& control;
    };
    bool IsSilenced() const { return silence != 0; }

    HWND handle = nullptr;
    DisplayScale scale{};
    // Expires with the object: code that runs a modal loop checks it after.
    std::shared_ptr<bool> lifeToken = std::make_shared<bool>(true);

private:
    friend class Window;
    friend std::unique_ptr<Control> BuildControl(const ControlRecord&, HWND, int, DisplayScale);
    virtual bool Create(const ControlRecord& record, HWND parent, int id) = 0;

    std::string name;
    ControlKind kind;
    int silence = 0;
};

// A rectangle with a background, an optional fill and an optional outline
// drawn inside its frame; it contains and clips child controls.
class ShapeBox : public Control {
public:
    static constexpr ControlKind kind = ControlKind::ShapeBox;
    explicit ShapeBox(const ControlRecord& record);

    void SetBackColour(COLORREF colour);
    COLORREF BackColour() const { return backColour; }
    void SetFillColour(COLORREF colour); // DefaultColour = no fill
    COLORREF FillColour() const { return fillColour; }
    void SetOutline(int width, COLORREF colour); // width 0 = none
    int OutlineWidth() const { return outlineWidth; }
    COLORREF OutlineColour() const { return outlineColour; }

    // Cursor position in client coordinates, key state.
    std::function<void(int x, int y, int keys)> onMouseMoved;
    // Whole notches, key state. Without a handler the wheel goes to the parent.
    std::function<void(int notches, int keys)> onMouseWheel;
    // The wheel delta as delivered (WHEEL_DELTA per notch), for a handler
    // that adds up fractions of a notch; when set, onMouseWheel is not called.
    std::function<void(int wheelDelta, int keys)> onMouseWheelDelta;

private:
    bool Create(const ControlRecord& record, HWND parent, int id) override;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc) const;

    COLORREF backColour;
    COLORREF fillColour;
    int outlineWidth;
    COLORREF outlineColour;
};

// One line of text, vertically centred, left-aligned or centred, on its own
// background colour.
class Label : public Control {
public:
    static constexpr ControlKind kind = ControlKind::Label;
    explicit Label(const ControlRecord& record);

    void SetTextColour(COLORREF colour);
    COLORREF TextColour() const { return textColour; }
    void SetBackColour(COLORREF colour);
    COLORREF BackColour() const { return backColour; }
    void SetBold(bool bold);
    bool IsBold() const { return bold; }
    void SetAlignment(TextAlign alignment);
    TextAlign Alignment() const { return align; }

    // Cursor position in client coordinates (negative outside while the
    // label holds the capture), key state.
    std::function<void(int x, int y, int keys)> onMouseMoved;
    std::function<void(int x, int y, int keys)> onLeftButtonUp;

private:
    bool Create(const ControlRecord& record, HWND parent, int id) override;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc) const;

    COLORREF textColour;
    COLORREF backColour;
    bool bold;
    TextAlign align;
};

// The platform's check box: caption right of the box, black text on the
// default colour.
class CheckBox : public Control {
public:
    static constexpr ControlKind kind = ControlKind::CheckBox;
    explicit CheckBox(const ControlRecord& record) : Control(record) {}

    void SetChecked(bool checked);
    bool IsChecked() const;

    std::function<void(bool checked)> onToggled;

    bool OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool Create(const ControlRecord& record, HWND parent, int id) override;
};

// The platform's radio button, a check box's round kin: a click reports
// itself (onToggled) and checks nothing, the program shows the choice.
class RadioButton : public CheckBox {
public:
    static constexpr ControlKind kind = ControlKind::RadioButton;
    explicit RadioButton(const ControlRecord& record) : CheckBox(record) {}
};

// The platform's trackbar: page 5, line 1, no ticks, no selection range.
// A vertical slider has its minimum at the top.
class Slider : public Control {
public:
    static constexpr ControlKind kind = ControlKind::Slider;
    explicit Slider(const ControlRecord& record) : Control(record) {}

    void SetRange(int minimum, int maximum);
    int Minimum() const;
    int Maximum() const;
    // Clamped to the range.
    void SetPosition(int position);
    int Position() const;
    bool IsVertical() const;
    int PageSize() const;
    int LineSize() const;

    // Every scroll notification but the one that ends the tracking, so that
    // a dragged thumb reports each move.
    std::function<void(int position)> onMoved;

    bool OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool Create(const ControlRecord& record, HWND parent, int id) override;
};

// The platform's vertical scroll bar over a view of a taller content: its
// range is the content's height, its page the view's, its position the
// content's top row in view.
class ScrollBar : public Control {
public:
    static constexpr ControlKind kind = ControlKind::ScrollBar;
    explicit ScrollBar(const ControlRecord& record) : Control(record) {}

    void SetContent(int contentHeight, int viewHeight);
    // Clamped to the range the content leaves.
    void SetPosition(int position);
    int Position() const;
    int PageSize() const;

    // The user moved it: a request (an SB_ code) and, while the thumb is
    // dragged, where the thumb is (up to 65535).
    std::function<void(int request, int thumbPosition)> onScrolled;

    bool OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool Create(const ControlRecord& record, HWND parent, int id) override;
};

// A push button showing a swatch of its colour; a click opens the system
// colour dialog, which offers any 24-bit colour.
class ColourPicker : public Control {
public:
    static constexpr ControlKind kind = ControlKind::ColourPicker;
    explicit ColourPicker(const ControlRecord& record) : Control(record) {}

    void SetColour(COLORREF colour);
    COLORREF Colour() const { return colour; }

    // Each colour the user confirms in the dialog, changed or not.
    std::function<void(COLORREF colour)> onPicked;

    bool OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool Create(const ControlRecord& record, HWND parent, int id) override;
    void UpdateSwatch();
    void Pick();

    COLORREF colour = 0;
    unique_hbitmap swatch;
};

// The platform's drop-down list: no edit field, no sorting, black on white,
// list items one pixel taller than the font's default item height.
class ComboBox : public Control {
public:
    static constexpr ControlKind kind = ControlKind::ComboBox;
    // The created window covers the selection field and the dropped list.
    static constexpr int MinimumCreatedHeight = 160;
    explicit ComboBox(const ControlRecord& record) : Control(record) {}

    // The items' texts are GBK, as every text of the program.
    void ClearItems();
    void AddItem(std::string_view text);
    // An item Windows wrote (a zone's display name): any language, as it is.
    void AddWideItem(std::wstring_view text);
    int ItemCount() const;
    std::string ItemText(int index) const;
    // -1 = no current item.
    void SetCurrentIndex(int index);
    int CurrentIndex() const;
    std::string CurrentText() const;
    HWND ListHandle() const;
    // The dropped list as wide as its widest item, never narrower than the box.
    void FitListToItems();
    int ListWidth() const;

    std::function<void(int index)> onPicked;
    // The user reaches the list: it takes the focus, or drops down.
    std::function<void()> onReached;

    bool OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool Create(const ControlRecord& record, HWND parent, int id) override;
};

class Button : public Control {
public:
    static constexpr ControlKind kind = ControlKind::Button;
    explicit Button(const ControlRecord& record) : Control(record) {}

    std::function<void()> onClicked;

    bool OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool Create(const ControlRecord& record, HWND parent, int id) override;
};

// The platform's one-line edit field, black on white. Its text is the
// control's caption (GBK); every change the user makes is reported.
// It keeps only what GBK holds, as the settings file must: a character
// beyond it, typed, pasted or set, is taken out where it came in, the caret
// stays where the user was, and a balloon names what was left out.
class TextBox : public Control {
public:
    static constexpr ControlKind kind = ControlKind::TextBox;
    // Longer texts are not taken: the field keeps a name, not a note.
    static constexpr int MaximumLength = 64;
    explicit TextBox(const ControlRecord& record) : Control(record) {}
    ~TextBox() override;

    // The text as the field keeps it, never with a character GBK lacks.
    std::function<void(const std::string& text)> onEdited;

    // The characters the field left out last, as the balloon names them.
    const std::wstring& Refused() const { return refused; }
    // The field's own balloon needs the common controls 6; elsewhere a
    // tooltip of its own stands in, made at its first refusal.
    HWND NoticeHandle() const { return notice.get(); }

    bool OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool Create(const ControlRecord& record, HWND parent, int id) override;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self);
    // Whether a typed UTF-16 unit goes on to the field.
    bool TakesTyped(wchar_t unit);
    void KeepOnlyGbk();
    void Tell(std::wstring characters);
    void HideNotice();

    std::wstring refused;
    std::wstring noticeText;
    wchar_t highSurrogate = 0;
    unique_hwnd notice;
};

// Makes the control a record describes as a child of parent, its lengths at
// the display scale; nullptr for a timer record or when the window cannot be
// made.
std::unique_ptr<Control> BuildControl(const ControlRecord& record, HWND parent, int id,
                                      DisplayScale scale = {});

// Hands a notification that a standard control sent to its parent window
// (WM_COMMAND, WM_HSCROLL, WM_VSCROLL, WM_CTLCOLOR*) to the control object;
// true when the control handled it and result holds the answer.
bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Registers the common control classes the program uses (buttons, trackbars,
// tooltips), once.
void EnsureCommonControls();
