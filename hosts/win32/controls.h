// The makers of the controls' windows, one per kind of control: each makes the child window of
// its kind from the same arguments (CreateArgs) and gives it what that kind needs.
#pragma once

#include <windows.h>

#include "core/forms.h"

namespace hosts::win32 {

// The window class of the picture boxes and images, the program's own.
inline constexpr char kPictureClass[] = "VornkitPicture";

// Where and how one control's window is made.
struct CreateArgs {
    const forms::ControlDesign& design;
    HWND parent;  // the form's window
    HINSTANCE instance;
    int id;
    RECT bounds;       // pixels, in the form's client area
    HFONT font;        // for the kinds that show text
    bool startsGroup;  // false for an option button that follows one of the same frame
    bool tabStop;      // for the kinds the Tab key visits
    void* windowData;  // what a window of the program's own class finds in GWLP_USERDATA
};

using Maker = HWND (*)(const CreateArgs& args);

// What the form's window needs to know of a kind of control.
struct KindInfo {
    // nullptr for a kind drawn by the form itself (the shape), which takes no clicks
    Maker make;
    bool showsText;  // needs a font, and the common controls
};
KindInfo InfoOf(forms::Kind kind);

// The visual styles of the common controls, loaded when the first window with controls that show
// text is made rather than at start-up, which needs none.
void LoadCommonControls();

}  // namespace hosts::win32
