// One form's window on the real platform: the top-level window (or, while a dialog loaded hidden
// has not been shown, the placeholder that stands for it), its icons, brushes and control
// windows, and the window procedure that turns what the user does to it into the form's handlers.
#pragma once

#include <windows.h>

#include <map>

#include "core/forms.h"
#include "hosts/win32/control_windows.h"
#include "hosts/win32/handles.h"

namespace hosts::win32 {

class Win32WindowHost;

// The window class of the forms' windows.
inline constexpr char kFormClass[] = "VornkitForm";

class FormWindow {
public:
    FormWindow(Win32WindowHost& host, forms::Form& form) : host_(host), form_(&form) {}
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    Win32WindowHost& Host() const { return host_; }
    // The form, or nullptr once the host is going and the forms may be gone: the window's last
    // messages must not reach them.
    forms::Form* Form() const { return form_; }
    void Orphan() { form_ = nullptr; }
    // The window; nullptr while only the placeholder stands for it.
    HWND Hwnd() const { return hwnd_.get(); }
    ControlWindows& Controls() { return controls_; }

    // Makes what stands for the form's window when it is loaded, and returns its handle.
    platform::Handle Open();
    // Destroys the window, or the placeholder, while the host still knows it.
    void Destroy();
    void Show(bool visible);
    void Move(POINT pixels);
    // The outer size in pixels, frame and caption included.
    SIZE OuterSize();
    // Puts the window into a band (HWND_TOPMOST or HWND_NOTOPMOST), at once when it is shown,
    // else when it next is.
    void SetBand(HWND band);
    HBRUSH Brush(COLORREF colour);

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    bool MakeWindow();
    void ShowFirstTime();
    RECT OuterRect();
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void LabelClicked(HWND hwnd, LPARAM lParam);
    void Activated(WPARAM wParam);
    bool SystemCommand(WPARAM command);
    void SettingsChanged(HWND hwnd);
    bool EraseBackground(HWND hwnd, HDC dc);
    void PaintShapes(HWND hwnd);

    Win32WindowHost& host_;
    forms::Form* form_;
    OwnedIcon smallIcon_;
    OwnedIcon bigIcon_;
    std::map<COLORREF, OwnedBrush> brushes_;
    POINT position_ = {0, 0};  // where the window is to be made, pixels
    bool moved_ = false;
    HWND pendingBand_ = nullptr;  // HWND_TOPMOST or HWND_NOTOPMOST asked for while hidden
    OwnedWindow placeholder_;     // stands for the window until it is made
    ControlWindows controls_{*this};
    // Declared last, the window is destroyed first: the fonts, brushes and icons its controls
    // draw with outlive it, and the controls' last messages still find what they belong to.
    OwnedWindow hwnd_;
};

}  // namespace hosts::win32
