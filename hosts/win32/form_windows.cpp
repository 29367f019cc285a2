// The form windows: classes, the hidden owner, the message-only parent, making, showing,
// moving and destroying windows, the popup menu, and the screen's measures.
#include <windows.h>

#include <cassert>

#include "hosts/win32/win32_system.h"
#include "hosts/win32/win32_window_host.h"
#include "resources/resource.h"

namespace hosts::win32 {

namespace {

using platform::Handle;

Handle FromHwnd(HWND h) {
    return reinterpret_cast<Handle>(h);
}

DWORD FormStyle(const forms::FormDesign& design) {
    if (design.border == forms::Border::None || design.neverShown)
        return WS_POPUP;
    return WS_CAPTION | (design.controlBox ? WS_SYSMENU : 0);
}

DWORD FormExStyle(const forms::FormDesign& design) {
    return design.showInTaskbar ? WS_EX_APPWINDOW : 0;
}

// A class that cannot be registered is a programming error, which debug builds stop at. One
// already registered (by an earlier host in the same process) is as good as a new one.
void RegisterClassOnce(const WNDCLASSEXA& wc) {
    [[maybe_unused]] const ATOM atom = RegisterClassExA(&wc);
    assert(atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
}

}  // namespace

COLORREF SystemOr(std::uint32_t colour, int sysColour) {
    return colour == forms::kDefaultColour ? GetSysColor(sysColour) : static_cast<COLORREF>(colour);
}

HBRUSH FormWindow::Brush(COLORREF colour) {
    auto it = brushes.find(colour);
    if (it == brushes.end())
        it = brushes.emplace(colour, OwnedBrush(CreateSolidBrush(colour))).first;
    return it->second.get();
}

MessageFilter MessageFilter::OfSystem() {
    MessageFilter filter;
    if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
        filter.forWindow = ProcAddress<ForWindow>(user32, "ChangeWindowMessageFilterEx");
        filter.forProcess = ProcAddress<ForProcess>(user32, "ChangeWindowMessageFilter");
    }
    return filter;
}

void MessageFilter::Allow(HWND hwnd, UINT message) const {
    constexpr DWORD kMsgfltAllow = 1;  // MSGFLT_ALLOW
    constexpr DWORD kMsgfltAdd = 1;    // MSGFLT_ADD
    if (forWindow)
        forWindow(hwnd, message, kMsgfltAllow, nullptr);
    else if (forProcess)
        forProcess(message, kMsgfltAdd);
}

Win32WindowHost::Win32WindowHost(HINSTANCE instance, MessageFilter filter,
                                 HighContrastQuery highContrast)
    : instance_(instance), filter_(filter), highContrastQuery_(highContrast) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassOnce(wc);
    wc.lpfnWndProc = PictureProc;
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
        w->form = nullptr;
    windows_.clear();
}

FormWindow* Win32WindowHost::WindowOf(forms::Form& form) {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

Handle Win32WindowHost::CreateFormWindow(forms::Form& form) {
    const forms::FormDesign& design = form.Design();
    auto owned = std::make_unique<FormWindow>();
    FormWindow& w = *owned;
    w.form = &form;
    windows_[&form] = std::move(owned);
    if (!design.neverShown) {
        // A window that may be shown is made when it first is. One loaded hidden (an applet's
        // options dialog at start-up) meanwhile costs only a placeholder, whose handle stands
        // for it: a child of the message-only window, far cheaper than a top-level window. It
        // is of the program's own class: a system control class would load the common controls.
        w.placeholder =
            OwnedWindow(CreateWindowExA(WS_EX_NOPARENTNOTIFY, kMessageOnlyClass, "", WS_CHILD, 0, 0,
                                        0, 0, MessageOnlyParent(), nullptr, instance_, nullptr));
        assert(w.placeholder);  // debug builds stop at a window that cannot be made
        return FromHwnd(w.placeholder.get());
    }
    if (!MakeWindow(w))
        return 0;
    // A window never shown that has controls is an applet's icon window: it must hear the
    // shell's "TaskbarCreated" even when the program runs elevated.
    if (!design.controls.empty())
        filter_.Allow(w.hwnd.get(), taskbarCreated_);
    // The small icon of a window never shown is the one the notification area shows.
    if (design.icon)
        w.smallIcon = LoadSmallIcon(design.icon);
    form.SetIconHandle(reinterpret_cast<Handle>(w.smallIcon.get()));
    CreateControls(w);
    return FromHwnd(w.hwnd.get());
}

RECT Win32WindowHost::OuterRect(const forms::FormDesign& design) {
    RECT r = {0, 0, ToPixels(design.clientWidth), ToPixels(design.clientHeight)};
    AdjustWindowRectEx(&r, FormStyle(design), FALSE, FormExStyle(design));
    return r;
}

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

bool Win32WindowHost::MakeWindow(FormWindow& w) {
    const forms::FormDesign& design = w.form->Design();
    // A window never shown (the start-up window, an applet's icon window) is a bare popup: it
    // needs no frame, size or owner, and each of those costs Wine time at start-up. One that is
    // also empty (the start-up window) hears from nothing but the program, so it is a child of
    // the message-only window, cheaper still. One that is shown but kept out of the taskbar is
    // owned by the program's hidden window.
    const RECT r = design.neverShown ? RECT{0, 0, 0, 0} : OuterRect(design);
    const bool child = design.neverShown && design.controls.empty();
    HWND parent = child                                       ? MessageOnlyParent()
                  : design.showInTaskbar || design.neverShown ? nullptr
                                                              : Owner();
    w.hwnd = OwnedWindow(CreateWindowExA(
        child ? WS_EX_NOPARENTNOTIFY : FormExStyle(design), kFormClass, design.caption.c_str(),
        child ? WS_CHILD : FormStyle(design), w.moved ? w.position.x : CW_USEDEFAULT,
        w.moved ? w.position.y : CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, parent, nullptr,
        instance_, &w));
    assert(w.hwnd);  // debug builds stop at a window that cannot be made
    if (!w.hwnd)
        return false;
    w.placeholder.Free();
    w.form->SetWindowHandle(FromHwnd(w.hwnd.get()));
    return true;
}

void Win32WindowHost::DestroyFormWindow(forms::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    FormWindow& w = *it->second;
    if (w.hwnd && !form.Design().neverShown)
        screen_ = {0, 0};  // read afresh for the next dialog
    w.hwnd.Free();
    w.placeholder.Free();
    windows_.erase(it);  // the fonts, brushes and icons the window drew with
    for (forms::Control& c : form.Controls())
        c.SetWindowHandle(0);
}

void Win32WindowHost::ShowFormWindow(forms::Form& form, bool visible) {
    FormWindow* found = WindowOf(form);
    if (!found)
        return;
    FormWindow& w = *found;
    if (!w.hwnd && (!visible || !MakeWindow(w)))
        return;
    HWND hwnd = w.hwnd.get();
    if (!visible) {
        ShowWindow(hwnd, SW_HIDE);
        return;
    }
    if (!w.controlsCreated) {
        if (const int icon = form.Design().icon) {
            w.smallIcon = LoadSmallIcon(icon);
            w.bigIcon = LoadIconAt(icon, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
            SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(w.smallIcon.get()));
            SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(w.bigIcon.get()));
            form.SetIconHandle(reinterpret_cast<Handle>(w.smallIcon.get()));
        }
        CreateControls(w);
    }
    if (w.pendingBand)
        ::SetWindowPos(hwnd, w.pendingBand, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    w.pendingBand = nullptr;
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    FocusFirst(w);
}

void Win32WindowHost::MoveFormWindow(forms::Form& form, int leftTwips, int topTwips) {
    FormWindow* w = WindowOf(form);
    if (!w)
        return;
    if (!w->hwnd) {
        w->position = {ToPixels(leftTwips), ToPixels(topTwips)};
        w->moved = true;
        return;
    }
    ::SetWindowPos(w->hwnd.get(), nullptr, ToPixels(leftTwips), ToPixels(topTwips), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

forms::Size Win32WindowHost::FormOuterSize(forms::Form& form) {
    FormWindow* w = WindowOf(form);
    if (!w)
        return {};
    RECT r = {};
    if (!w->hwnd)
        r = OuterRect(form.Design());
    else if (!GetWindowRect(w->hwnd.get(), &r))
        return {};
    return {MulDiv(r.right - r.left, 1440, Dpi()), MulDiv(r.bottom - r.top, 1440, Dpi())};
}

void Win32WindowHost::SetTopmost(forms::Form& form, bool on) {
    FormWindow* w = WindowOf(form);
    if (!w)
        return;
    HWND band = on ? HWND_TOPMOST : HWND_NOTOPMOST;
    // A window loaded hidden (an applet's options dialog at start-up) only keeps its band until
    // it is shown; Wine builds the whole window surface for a band change, which would cost
    // every hidden dialog megabytes.
    if (!w->hwnd || !IsWindowVisible(w->hwnd.get())) {
        w->pendingBand = band;
        return;
    }
    ::SetWindowPos(w->hwnd.get(), band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32WindowHost::StartTimer(forms::Form& form, int id, unsigned milliseconds) {
    if (FormWindow* w = WindowOf(form); w && w->hwnd)
        SetTimer(w->hwnd.get(), static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void Win32WindowHost::StopTimer(forms::Form& form, int id) {
    if (FormWindow* w = WindowOf(form); w && w->hwnd)
        KillTimer(w->hwnd.get(), static_cast<UINT_PTR>(id));
}

void Win32WindowHost::BringToFront(forms::Form& form) {
    FormWindow* w = WindowOf(form);
    if (!w || !w->hwnd)
        return;
    // To the front of its band without activating it: the focus stays where the user put it.
    ::SetWindowPos(w->hwnd.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int Win32WindowHost::TrackPopupMenu(forms::Form& form, const std::vector<forms::MenuItem>& items) {
    FormWindow* w = WindowOf(form);
    if (!w)
        return -1;
    HWND hwnd = w->hwnd.get();
    OwnedMenu menu(CreatePopupMenu());
    if (!menu)
        return -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].IsSeparator())
            AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu.get(), MF_STRING, i + 1, items[i].caption.c_str());
    }
    POINT pt;
    GetCursorPos(&pt);
    // The window must be in front while the menu is up, or the menu would not close when the
    // user clicks elsewhere; the posted message lets the menu's loop end cleanly.
    SetForegroundWindow(hwnd);
    const int chosen = static_cast<int>(
        ::TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                         pt.x, pt.y, 0, hwnd, nullptr));
    PostMessageA(hwnd, WM_NULL, 0, 0);
    return chosen - 1;
}

void Win32WindowHost::Deliver(MSG& msg) {
    if (HWND active = GetActiveWindow())
        for (auto& [form, w] : windows_)
            if (w->hwnd.get() == active && !w->controls.empty()) {
                if (IsDialogMessageA(active, &msg))
                    return;
                break;
            }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

// ---- The screen ----------------------------------------------------------------------------

int Win32WindowHost::Dpi() {
    if (dpi_ == 0) {
        ScreenDC dc;
        dpi_ = GetDeviceCaps(dc.get(), LOGPIXELSX);
        if (dpi_ <= 0)
            dpi_ = 96;
    }
    return dpi_;
}

bool SystemHighContrast() {
    HIGHCONTRASTA hc = {};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

// Asked once, and again after each change of the system's settings or colours.
bool Win32WindowHost::HighContrast() {
    if (highContrast_ < 0)
        highContrast_ = highContrastQuery_() ? 1 : 0;
    return highContrast_ == 1;
}

int Win32WindowHost::ToPixels(int twips) {
    return MulDiv(twips, Dpi(), 1440);
}
float Win32WindowHost::TwipsPerPixelX() {
    return 1440.0f / static_cast<float>(Dpi());
}
float Win32WindowHost::TwipsPerPixelY() {
    return 1440.0f / static_cast<float>(Dpi());
}
// The screen's size is asked for on every dialog load; each question costs Wine a round trip.
// It is kept while hidden dialogs load in a row (at start-up) and read afresh once a dialog has
// been closed or the display changes.
SIZE Win32WindowHost::Screen() {
    if (screen_.cx <= 0 || screen_.cy <= 0)
        screen_ = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return screen_;
}
int Win32WindowHost::ScreenWidthTwips() {
    return static_cast<int>(static_cast<float>(Screen().cx) * TwipsPerPixelX());
}
int Win32WindowHost::ScreenHeightTwips() {
    return static_cast<int>(static_cast<float>(Screen().cy) * TwipsPerPixelY());
}

}  // namespace hosts::win32
