// The window host: its window classes, the forms' windows by form, the hidden owner and the
// message-only parent, the popup menu, and the screen's measures in twips.
#include "hosts/win32/win32_window_host.h"

#include <cassert>

#include "hosts/win32/control_windows.h"
#include "hosts/win32/controls.h"
#include "hosts/win32/win32_system.h"
#include "resources/resource.h"

namespace hosts::win32 {

namespace {

// A class that cannot be registered is a programming error, which debug builds stop at. One
// already registered (by an earlier host in the same process) is as good as a new one.
void RegisterClassOnce(const WNDCLASSEXA& wc) {
    [[maybe_unused]] const ATOM atom = RegisterClassExA(&wc);
    assert(atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
}

}  // namespace

Win32WindowHost::Win32WindowHost(HINSTANCE instance, MessageFilter filter,
                                 HighContrastQuery highContrast, DpiQuery dpi)
    : instance_(instance), filter_(filter), display_(highContrast, dpi) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassOnce(wc);
    wc.lpfnWndProc = ControlWindows::PictureProc;
    wc.lpszClassName = kPictureClass;
    wc.hbrBackground = nullptr;
    RegisterClassOnce(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kMessageOnlyClass;
    wc.hCursor = nullptr;
    RegisterClassOnce(wc);
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
}

// The forms' windows go first: the owner and the message-only window are their parents. By now
// the runtime and its forms may be gone: the windows' last messages must not reach them.
Win32WindowHost::~Win32WindowHost() {
    runtime_ = nullptr;
    for (auto& [form, w] : windows_)
        w->Orphan();
    windows_.clear();
}

FormWindow* Win32WindowHost::WindowOf(forms::Form& form) {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

platform::Handle Win32WindowHost::CreateFormWindow(forms::Form& form) {
    auto owned = std::make_unique<FormWindow>(*this, form);
    FormWindow& w = *owned;
    windows_[&form] = std::move(owned);
    return w.Open();
}

void Win32WindowHost::DestroyFormWindow(forms::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    if (it->second->Hwnd() && !form.Design().neverShown)
        display_.ForgetScreen();  // read afresh for the next dialog
    it->second->Destroy();
    windows_.erase(it);  // the fonts, brushes and icons the window drew with
    for (forms::Control& c : form.Controls())
        c.SetWindowHandle(0);
}

void Win32WindowHost::ShowFormWindow(forms::Form& form, bool visible) {
    if (FormWindow* w = WindowOf(form))
        w->Show(visible);
}

void Win32WindowHost::MoveFormWindow(forms::Form& form, int leftTwips, int topTwips) {
    if (FormWindow* w = WindowOf(form))
        w->Move({display_.ToPixels(leftTwips), display_.ToPixels(topTwips)});
}

forms::Size Win32WindowHost::FormOuterSize(forms::Form& form) {
    FormWindow* w = WindowOf(form);
    if (!w)
        return {};
    const SIZE size = w->OuterSize();
    return {MulDiv(size.cx, 1440, display_.Dpi()), MulDiv(size.cy, 1440, display_.Dpi())};
}

void Win32WindowHost::UpdateControl(forms::Form& form, forms::Control& control) {
    if (FormWindow* w = WindowOf(form))
        w->Controls().Update(control);
}

void Win32WindowHost::SetTopmost(forms::Form& form, bool on) {
    if (FormWindow* w = WindowOf(form))
        w->SetBand(on ? HWND_TOPMOST : HWND_NOTOPMOST);
}

void Win32WindowHost::StartTimer(forms::Form& form, int id, unsigned milliseconds) {
    if (FormWindow* w = WindowOf(form); w && w->Hwnd())
        SetTimer(w->Hwnd(), static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void Win32WindowHost::StopTimer(forms::Form& form, int id) {
    if (FormWindow* w = WindowOf(form); w && w->Hwnd())
        KillTimer(w->Hwnd(), static_cast<UINT_PTR>(id));
}

void Win32WindowHost::BringToFront(forms::Form& form) {
    FormWindow* w = WindowOf(form);
    if (!w || !w->Hwnd())
        return;
    // To the front of its band without activating it: the focus stays where the user put it.
    ::SetWindowPos(w->Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

namespace {

// Shell_NotifyIconGetRect's record (Windows 7 and later), declared here for older headers.
struct IconIdentifier {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    GUID guidItem;
};

// Where the shell draws a notification icon, in screen pixels; false where it cannot tell
// (before Windows 7, or an icon it does not show).
bool IconRect(HWND window, UINT id, RECT& rect) {
    using GetRect = HRESULT(WINAPI*)(const IconIdentifier*, RECT*);
    static GetRect getRect = nullptr;  // plain statics: no thread guard (see display.cpp)
    static bool found = false;
    if (!found) {
        found = true;
        HMODULE shell32 = GetModuleHandleA("shell32.dll");
        getRect = shell32 ? ProcAddress<GetRect>(shell32, "Shell_NotifyIconGetRect") : nullptr;
    }
    const IconIdentifier icon = {sizeof icon, window, id, {}};
    return getRect && SUCCEEDED(getRect(&icon, &rect));
}

}  // namespace

int Win32WindowHost::TrackPopupMenu(forms::Form& form, const std::vector<forms::MenuItem>& items,
                                    const forms::MenuPlacement& placement) {
    FormWindow* w = WindowOf(form);
    if (!w)
        return -1;
    HWND hwnd = w->Hwnd();
    OwnedMenu menu(CreatePopupMenu());
    if (!menu)
        return -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].IsSeparator())
            AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu.get(), MF_STRING, i + 1, items[i].caption.c_str());
    }
    if (placement.defaultItem >= 0)
        SetMenuDefaultItem(menu.get(), static_cast<UINT>(placement.defaultItem + 1), FALSE);
    // Menus drop to the side the system says (right-handed tablets drop them to the left).
    UINT flags = TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY |
                 (GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
    POINT at;
    GetCursorPos(&at);
    TPMPARAMS keepClear = {sizeof keepClear, {}};
    const bool atIcon =
        placement.iconWindow && IconRect(reinterpret_cast<HWND>(placement.iconWindow),
                                         placement.iconId, keepClear.rcExclude);
    if (atIcon) {
        // Above the icon, at its edge, and clear of it wherever the taskbar stands.
        at = {flags & TPM_RIGHTALIGN ? keepClear.rcExclude.right : keepClear.rcExclude.left,
              keepClear.rcExclude.top};
        flags |= TPM_BOTTOMALIGN | TPM_VERTICAL;
    }
    // The window must be in front while the menu is up, or the menu would not close when the
    // user clicks elsewhere; the posted message lets the menu's loop end cleanly. A menu the
    // keyboard opened shows its first item selected, so that the keys work in it at once.
    SetForegroundWindow(hwnd);
    if (placement.iconWindow)
        PostMessageA(hwnd, WM_KEYDOWN, VK_DOWN, 0);
    const int chosen = static_cast<int>(
        ::TrackPopupMenuEx(menu.get(), flags, at.x, at.y, hwnd, atIcon ? &keepClear : nullptr));
    PostMessageA(hwnd, WM_NULL, 0, 0);
    return chosen - 1;
}

// The physical buttons, whichever of them the user has made the primary one.
bool Win32WindowHost::MouseButtonDown() {
    return ((GetAsyncKeyState(VK_LBUTTON) | GetAsyncKeyState(VK_RBUTTON)) & 0x8000) != 0;
}

void Win32WindowHost::Deliver(MSG& msg) {
    if (HWND active = GetActiveWindow())
        for (auto& [form, w] : windows_)
            if (w->Hwnd() == active && !w->Controls().Empty()) {
                if (IsDialogMessageA(active, &msg))
                    return;
                break;
            }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

OwnedIcon Win32WindowHost::LoadIconAt(int resource, int width, int height) const {
    return OwnedIcon(static_cast<HICON>(
        LoadImageA(instance_, MAKEINTRESOURCEA(resource), IMAGE_ICON, width, height, 0)));
}

// ---- The host's own windows -----------------------------------------------------------------

// The parent of every placeholder, made with the first.
HWND Win32WindowHost::MessageOnlyParent() {
    if (!messageOnly_)
        messageOnly_ = OwnedWindow(CreateWindowExA(0, kMessageOnlyClass, "", 0, 0, 0, 0, 0,
                                                   HWND_MESSAGE, nullptr, instance_, nullptr));
    return messageOnly_.get();
}

// The hidden owner of the windows kept out of the taskbar, made with the first of them; its
// class carries the program's icon.
HWND Win32WindowHost::Owner() {
    // Made again should anything have closed it.
    if (owner_ && IsWindow(owner_.get()))
        return owner_.get();
    owner_.Forget();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = instance_;
    wc.lpszClassName = kOwnerClass;
    wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_PROGRAM));  // shared: never destroyed
    RegisterClassOnce(wc);
    owner_ = OwnedWindow(CreateWindowExA(0, kOwnerClass, "Vornkit", WS_POPUP, 0, 0, 0, 0, nullptr,
                                         nullptr, instance_, this));
    return owner_.get();
}

// The hidden owner of the dialogs kept out of the taskbar. The user never sees it: no system
// command meant for a window does anything there, and a close request from another program (an
// installer, taskkill without /F) ends the program as its exit command does, unloading every window
// through the runtime rather than leaving the window system to destroy the dialogs it owns.
LRESULT CALLBACK Win32WindowHost::OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* host = reinterpret_cast<Win32WindowHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_SYSCOMMAND &&
        forms::TakesSystemCommandWhenNeverShown(static_cast<std::uint32_t>(wParam)))
        return 0;
    if (msg == WM_CLOSE) {
        if (host && host->runtime_)
            host->runtime_->Dispatch([&] { host->runtime_->Exit(); });
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- The screen -----------------------------------------------------------------------------

float Win32WindowHost::TwipsPerPixelX() {
    return display_.TwipsPerPixel();
}
float Win32WindowHost::TwipsPerPixelY() {
    return display_.TwipsPerPixel();
}
int Win32WindowHost::ScreenWidthTwips() {
    return static_cast<int>(static_cast<float>(display_.Screen().cx) * TwipsPerPixelX());
}
int Win32WindowHost::ScreenHeightTwips() {
    return static_cast<int>(static_cast<float>(display_.Screen().cy) * TwipsPerPixelY());
}

}  // namespace hosts::win32
