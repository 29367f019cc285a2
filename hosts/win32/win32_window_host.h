// The forms runtime's windows on the real platform: one top-level window per form, child
// windows for its controls, and the window procedures that turn the user's actions into the
// form's handlers.
//
// The code is in rooms along its seams: form_windows.cpp (window classes, the hidden owner, the
// message-only parent, making, showing, moving and destroying windows, the screen), controls.cpp
// (the control kinds, fonts, pictures) and window_procs.cpp (the window procedures).
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/forms.h"
#include "core/window_host.h"
#include "hosts/win32/handles.h"

namespace hosts::win32 {

// What the platform keeps for one form's window. The window itself is declared last, so that it
// is destroyed first, before the fonts, brushes and icons its controls draw with.
struct FormWindow {
    forms::Form* form = nullptr;
    OwnedIcon smallIcon;
    OwnedIcon bigIcon;
    std::map<std::string, OwnedIcon> pictures;  // by control name
    std::vector<std::pair<forms::Font, OwnedFont>> fonts;
    std::map<COLORREF, OwnedBrush> brushes;
    std::map<HWND, forms::Control*> controls;
    HWND lastFocus = nullptr;
    bool controlsCreated = false;
    POINT position = {0, 0};  // where the window is to be made, pixels
    bool moved = false;
    HWND pendingBand = nullptr;  // HWND_TOPMOST or HWND_NOTOPMOST asked for while hidden
    int updating = 0;    // a change made by code: the window's own notifications are not the user's
    int quietFocus = 0;  // focus moved by the program: a radio button must not select itself
    std::map<std::string, POINT> origins;  // absolute client position of each frame, pixels
    OwnedWindow placeholder;               // stands for the window until it is made
    OwnedWindow hwnd;

    HBRUSH Brush(COLORREF colour);
};

// The message filter of User Interface Privilege Isolation (Windows Vista and later). An elevated
// program gets no registered message from the lower-integrity shell, "TaskbarCreated" among them,
// unless it lets that message through. Both functions are found at run time, so that the program
// still starts where neither exists.
struct MessageFilter {
    using ForWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);  // ChangeWindowMessageFilterEx (7)
    using ForProcess = BOOL(WINAPI*)(UINT, DWORD);              // ChangeWindowMessageFilter (Vista)
    ForWindow forWindow = nullptr;
    ForProcess forProcess = nullptr;

    static MessageFilter OfSystem();
    // Lets `message` through to `hwnd`: for the window alone where Windows can, else for the
    // whole process.
    void Allow(HWND hwnd, UINT message) const;
};

// Whether high contrast is on (SPI_GETHIGHCONTRAST). Tests hand the host their own answer: Wine
// always reports it off.
using HighContrastQuery = bool (*)();
bool SystemHighContrast();

class Win32WindowHost : public forms::WindowHost {
public:
    explicit Win32WindowHost(HINSTANCE instance, MessageFilter filter = MessageFilter::OfSystem(),
                             HighContrastQuery highContrast = SystemHighContrast);
    ~Win32WindowHost() override;
    void SetRuntime(forms::Runtime* runtime) { runtime_ = runtime; }

    // One message as the program's loop handles it: the active form's keyboard handling (Tab
    // and the arrow keys between controls) first, then the window it is for.
    void Deliver(MSG& msg);

    platform::Handle CreateFormWindow(forms::Form& form) override;
    void DestroyFormWindow(forms::Form& form) override;
    void ShowFormWindow(forms::Form& form, bool visible) override;
    void MoveFormWindow(forms::Form& form, int leftTwips, int topTwips) override;
    forms::Size FormOuterSize(forms::Form& form) override;
    void UpdateControl(forms::Form& form, forms::Control& control) override;
    void BringToFront(forms::Form& form) override;
    int TrackPopupMenu(forms::Form& form, const std::vector<forms::MenuItem>& items) override;
    void SetTopmost(forms::Form& form, bool on) override;
    void StartTimer(forms::Form& form, int id, unsigned milliseconds) override;
    void StopTimer(forms::Form& form, int id) override;
    float TwipsPerPixelX() override;
    float TwipsPerPixelY() override;
    int ScreenWidthTwips() override;
    int ScreenHeightTwips() override;

private:
    // form_windows.cpp
    FormWindow* WindowOf(forms::Form& form);
    bool MakeWindow(FormWindow& w);
    HWND Owner();
    HWND MessageOnlyParent();
    SIZE Screen();
    RECT OuterRect(const forms::FormDesign& design);
    int Dpi();
    int ToPixels(int twips);
    bool HighContrast();
    template <class F>
    void Dispatch(F&& f) {
        if (runtime_)
            runtime_->Dispatch(std::forward<F>(f));
        else
            f();
    }

    // controls.cpp
    void CreateControls(FormWindow& w);
    void FocusFirst(FormWindow& w);
    OwnedIcon LoadIconAt(int resource, int width, int height);
    OwnedIcon LoadSmallIcon(int resource);  // at the size of a caption's or the tray's icon
    HFONT FontFor(FormWindow& w, const forms::Font& font);
    bool HasFace(const char* face);

    // window_procs.cpp
    static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleForm(FormWindow& w, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePicture(FormWindow& w, forms::Control& c, HWND hwnd, UINT msg, WPARAM wParam,
                          LPARAM lParam);
    bool HandleCommand(FormWindow& w, HWND from, WORD code);  // false: not a control's
    void PaintShapes(FormWindow& w, HWND hwnd);

    HINSTANCE instance_;
    MessageFilter filter_;
    HighContrastQuery highContrastQuery_;
    forms::Runtime* runtime_ = nullptr;
    UINT taskbarCreated_ = 0;
    std::map<forms::Form*, std::unique_ptr<FormWindow>> windows_;
    std::vector<std::pair<std::string, bool>> faces_;  // font faces asked for: installed or not
    int dpi_ = 0;
    int highContrast_ = -1;    // high contrast on (1) or off (0); -1 until asked for
    SIZE screen_ = {0, 0};     // the screen's size in pixels, 0 until asked for
    OwnedWindow owner_;        // hidden owner of the windows that stay out of the taskbar
    OwnedWindow messageOnly_;  // message-only parent of the placeholders and the start-up window
};

// The window classes the host registers.
inline constexpr char kFormClass[] = "VornkitForm";
inline constexpr char kPictureClass[] = "VornkitPicture";
inline constexpr char kOwnerClass[] = "VornkitOwner";
inline constexpr char kMessageOnlyClass[] = "VornkitMessageOnly";

COLORREF SystemOr(std::uint32_t colour, int sysColour);

// Gives a control that shows no text (its window text stays empty) an accessible name: screen
// readers asking the window for its object get the system's own under this name.
void GiveAccessibleName(HWND hwnd, const std::wstring& name);

}  // namespace hosts::win32
