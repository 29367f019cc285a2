// The window system behind the forms runtime. A form's window and its controls are created
// hidden; the form's control objects keep their state, the window shows it. Implemented on real
// windows (Win32), headless (portable), and by the recording double of the unit tests.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/system.h"

namespace forms {

class Form;
class Control;
struct MenuItem;

using platform::Handle;

// How a popup menu opens: at the notification icon it belongs to (its window and id), where the
// shell can tell where that is, else at the mouse pointer; and which item is its default, drawn
// bold (-1 for none).
struct MenuPlacement {
    Handle iconWindow = 0;  // 0: at the pointer
    std::uint32_t iconId = 0;
    int defaultItem = -1;
};

// A window's outer size, frame and caption included.
struct Size {
    int width{};  // twips
    int height{};
};

class WindowHost {
public:
    virtual ~WindowHost() = default;

    virtual Handle CreateFormWindow(Form& form) = 0;
    virtual void DestroyFormWindow(Form& form) = 0;
    virtual void ShowFormWindow(Form& form, bool visible) = 0;
    virtual void MoveFormWindow(Form& form, int leftTwips, int topTwips) = 0;
    virtual Size FormOuterSize(Form& form) = 0;
    virtual void UpdateControl(Form& form, Control& control) = 0;
    virtual void BringToFront(Form& form) = 0;
    // Shows a popup menu and returns the index of the chosen item, or -1 when the menu closed
    // without a choice.
    virtual int TrackPopupMenu(Form& form, const std::vector<MenuItem>& items,
                               const MenuPlacement& placement) = 0;
    // Whether a physical mouse button is down at this moment.
    virtual bool MouseButtonDown() = 0;
    // Puts the form's window into the topmost band, or takes it out, where it is and at its size.
    virtual void SetTopmost(Form& form, bool on) = 0;
    // A timer of the form's window: Form_Timer(id) runs every `milliseconds` until it is stopped
    // or the window goes. Starting a running timer starts it afresh.
    virtual void StartTimer(Form& form, int id, unsigned milliseconds) = 0;
    virtual void StopTimer(Form& form, int id) = 0;

    // The screen.
    virtual float TwipsPerPixelX() = 0;
    virtual float TwipsPerPixelY() = 0;
    virtual int ScreenWidthTwips() = 0;
    virtual int ScreenHeightTwips() = 0;
};

}  // namespace forms
