// The forms runtime's windows on the real platform: one window per form, with child windows for
// its controls, made in the host's window classes; the hidden owner of the dialogs kept out of
// the taskbar and the message-only parent; the popup menu; the screen's measures; and the
// delivery of each message the program's loop takes.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "core/forms.h"
#include "core/window_host.h"
#include "hosts/win32/display.h"
#include "hosts/win32/fonts.h"
#include "hosts/win32/form_window.h"
#include "hosts/win32/handles.h"
#include "hosts/win32/message_filter.h"

namespace hosts::win32 {

// The window classes the host registers beside those of the forms and the pictures.
inline constexpr char kOwnerClass[] = "VornkitOwner";
inline constexpr char kMessageOnlyClass[] = "VornkitMessageOnly";

class Win32WindowHost : public forms::WindowHost {
public:
    explicit Win32WindowHost(HINSTANCE instance, MessageFilter filter = MessageFilter::OfSystem(),
                             HighContrastQuery highContrast = SystemHighContrast,
                             DpiQuery dpi = MonitorDpi);
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
    int TrackPopupMenu(forms::Form& form, const std::vector<forms::MenuItem>& items,
                       const forms::MenuPlacement& placement) override;
    bool MouseButtonDown() override;
    void SetTopmost(forms::Form& form, bool on) override;
    void StartTimer(forms::Form& form, int id, unsigned milliseconds) override;
    void StopTimer(forms::Form& form, int id) override;
    float TwipsPerPixelX() override;
    float TwipsPerPixelY() override;
    int ScreenWidthTwips() override;
    int ScreenHeightTwips() override;

    // What the forms' windows take from their host.
    // Runs a form's handler through the runtime, so that forms unloaded inside it are freed only
    // once it has returned.
    template <class F>
    void Dispatch(F&& f) {
        if (runtime_)
            runtime_->Dispatch(std::forward<F>(f));
        else
            f();
    }
    HINSTANCE Instance() const { return instance_; }
    Display& TheDisplay() { return display_; }
    InstalledFaces& Faces() { return faces_; }
    UINT TaskbarCreatedMessage() const { return taskbarCreated_; }
    // Lets the shell's "TaskbarCreated" reach the window even when the program runs elevated.
    void LetTaskbarCreatedThrough(HWND hwnd) const { filter_.Allow(hwnd, taskbarCreated_); }
    HWND Owner();
    HWND MessageOnlyParent();
    OwnedIcon LoadIconAt(int resource, int width, int height) const;

private:
    FormWindow* WindowOf(forms::Form& form);
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    MessageFilter filter_;
    Display display_;
    InstalledFaces faces_;
    forms::Runtime* runtime_ = nullptr;
    UINT taskbarCreated_ = 0;
    std::map<forms::Form*, std::unique_ptr<FormWindow>> windows_;
    OwnedWindow owner_;        // hidden owner of the windows that stay out of the taskbar
    OwnedWindow messageOnly_;  // message-only parent of the placeholders and the start-up window
};

}  // namespace hosts::win32
