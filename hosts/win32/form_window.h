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
    // Lays the window out for `dpi`, every length from the design's twips: its frame (the
    // rectangle Windows suggests, or else the designed client area's at that DPI about the
    // window's centre), its icons and its controls. The first layout and every change of DPI
    // take this one path, so that a window moved to another DPI is the window opened there.
    void LayOut(int dpi, const RECT* suggested);
    void PlaceFrame(int dpi, const RECT* suggested);
    void LoadIcons();
    bool ScaledSize(int dpi, SIZE* size);
    void DpiChanged(int dpi, const RECT* suggested);
    RECT OuterRect(int dpi);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT ShellRestarted(HWND hwnd);
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
    int dpi_ = 0;              // the DPI the window is laid out for; 0 before its first layout
    bool moved_ = false;
    HWND pendingBand_ = nullptr;  // HWND_TOPMOST or HWND_NOTOPMOST asked for while hidden
    OwnedWindow placeholder_;     // stands for the window until it is made
    ControlWindows controls_{*this};
    // Declared last, the window is destroyed first: the fonts, brushes and icons its controls
    // draw with outlive it, and the controls' last messages still find what they belong to.
    OwnedWindow hwnd_;
};

}  // namespace hosts::win32
