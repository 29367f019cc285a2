// The windows of one form's controls: made in the order the window system stacks them, each
// known by its window, showing its control's state and turning what the user does to it into the
// form's handlers. The pictures are drawn here too.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "core/forms.h"
#include "hosts/win32/controls.h"
#include "hosts/win32/fonts.h"
#include "hosts/win32/handles.h"

namespace hosts::win32 {

class FormWindow;

class ControlWindows {
public:
    explicit ControlWindows(FormWindow& window) : window_(window) {}
    ControlWindows(const ControlWindows&) = delete;
    ControlWindows& operator=(const ControlWindows&) = delete;

    // Places every control's window in the form's window for `dpi`, with its font and picture
    // made at that DPI: the first layout makes the windows, in the order the window system
    // stacks them; a later one moves them and gives them the new fonts, and nothing the user
    // typed, checked, selected or focused changes.
    void LayOut(int dpi);
    bool Empty() const { return controls_.empty(); }

    // Shows the control's state in its window; the window's notifications meanwhile are not the
    // user's.
    void Update(forms::Control& control);

    // The focus goes back where the user left it, or to the first tab stop.
    void FocusFirst();
    void RememberFocus();

    // A control's notification (WM_COMMAND) as the form's handler; false when `from` is none of
    // the controls.
    bool Notice(HWND from, WORD code);
    // The brush a label, frame or button is drawn on, its colours set into `dc`; nullptr for the
    // window system's own colours.
    HBRUSH Colours(HWND control, HDC dc);
    // The name of the label under `screen` (a point on the screen), or "Form".
    std::string LabelAt(POINT screen) const;

    static LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    struct Layout;  // what placing one control takes from the others
    Layout LayoutAt(const std::vector<forms::Control*>& order, int dpi) const;
    CreateArgs ArgsFor(const forms::Control& control, const forms::Control* previous, int id,
                       const Layout& layout, Fonts& fonts);
    void Adopt(forms::Control& control, HWND hwnd);
    static void Replace(HWND hwnd, const CreateArgs& args);
    LRESULT HandlePicture(forms::Control& c, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void PaintPicture(const forms::Control& c, HWND hwnd);

    FormWindow& window_;
    std::map<HWND, forms::Control*> controls_;
    std::map<std::string, OwnedIcon> pictures_;  // by control name
    Fonts fonts_;
    HWND lastFocus_ = nullptr;
    int updating_ = 0;  // a change made by code: the window's own notifications are not the user's
    int quietFocus_ = 0;  // focus moved by the program: a radio button must not select itself
};

}  // namespace hosts::win32
