// The makers of the controls' windows. Captions are UTF-8, and the controls are made as UTF-16
// windows (Wide), so that a character beyond the ANSI code page (the About box's copyright sign)
// shows as itself under any code page.
#include "hosts/win32/controls.h"

// The header below needs windows.h first.
#include <commctrl.h>

#include <string>

#include "hosts/win32/accessible_name.h"
#include "hosts/win32/handles.h"
#include "hosts/win32/win32_system.h"

namespace hosts::win32 {

namespace {

constexpr int kCircleOnly = 300;  // twips: an option button this narrow shows its circle alone

// The child window every maker makes, at the control's place, with its font. A control that
// receives the form's notices is never seen.
HWND Child(const CreateArgs& a, const char* windowClass, DWORD style, DWORD exStyle,
           const std::wstring& text) {
    style |=
        WS_CHILD | (a.design.receivesNotices ? 0 : WS_VISIBLE) | (a.startsGroup ? WS_GROUP : 0);
    HWND h = CreateWindowExW(
        exStyle, Wide(windowClass).c_str(), text.c_str(), style, a.bounds.left, a.bounds.top,
        a.bounds.right - a.bounds.left, a.bounds.bottom - a.bounds.top, a.parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(a.id)), a.instance, nullptr);
    counting::Created(counting::kWindow, h != nullptr);  // destroyed with its form's window
    if (h && a.font)
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(a.font), FALSE);
    return h;
}

HWND Captioned(const CreateArgs& a, const char* windowClass, DWORD style, DWORD exStyle = 0) {
    return Child(a, windowClass, style, exStyle, Wide(a.design.caption));
}

DWORD TabStop(const CreateArgs& a) {
    return a.tabStop ? WS_TABSTOP : 0;
}

HWND MakeLabel(const CreateArgs& a) {
    // Without SS_NOTIFY a label lets the mouse through to its form, which takes a click on it
    // when the button comes up (WM_LBUTTONUP), as it does on its background.
    return Captioned(a, "STATIC", SS_LEFT);
}

HWND MakeFrame(const CreateArgs& a) {
    return Captioned(a, "BUTTON", BS_GROUPBOX);
}

HWND MakeCheckBox(const CreateArgs& a) {
    return Captioned(a, "BUTTON", BS_AUTOCHECKBOX | TabStop(a));
}

HWND MakeOptionButton(const CreateArgs& a) {
    const DWORD style = BS_AUTORADIOBUTTON | TabStop(a);
    if (a.design.width > kCircleOnly)
        return Captioned(a, "BUTTON", style);
    // An option button only as wide as its circle never shows its caption; at higher scales the
    // circle stays small and the first letters would peep out, so none is drawn. Its caption is
    // its accessible name instead.
    HWND h = Child(a, "BUTTON", style, 0, L"");
    if (h)
        GiveAccessibleName(h, Wide(a.design.caption));
    return h;
}

HWND MakeCommandButton(const CreateArgs& a) {
    return Captioned(a, "BUTTON", BS_PUSHBUTTON | TabStop(a));
}

HWND MakeTextBox(const CreateArgs& a) {
    HWND h = Captioned(a, "EDIT", ES_AUTOHSCROLL | ES_LEFT | TabStop(a), WS_EX_CLIENTEDGE);
    if (h)
        SendMessageA(h, EM_SETLIMITTEXT, 0, 0);
    return h;
}

HWND MakePicture(const CreateArgs& a) {
    HWND h = Captioned(a, kPictureClass, 0);
    if (h)
        SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(a.windowData));
    return h;
}

}  // namespace

KindInfo InfoOf(forms::Kind kind) {
    switch (kind) {
        case forms::Kind::Label:
            return {MakeLabel, true};
        case forms::Kind::Frame:
            return {MakeFrame, true};
        case forms::Kind::CheckBox:
            return {MakeCheckBox, true};
        case forms::Kind::OptionButton:
            return {MakeOptionButton, true};
        case forms::Kind::CommandButton:
            return {MakeCommandButton, true};
        case forms::Kind::TextBox:
            return {MakeTextBox, true};
        case forms::Kind::PictureBox:
        case forms::Kind::Image:
            return {MakePicture, false};
        case forms::Kind::Shape:
            break;
    }
    return {nullptr, false};
}

void LoadCommonControls() {
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (HMODULE dll = LoadSystemLibrary("comctl32.dll")) {
        if (auto init = ProcAddress<Init>(dll, "InitCommonControlsEx")) {
            INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES};
            init(&icc);
        }
    }
}

}  // namespace hosts::win32
