// A form's window: made when the form is loaded (or, for a dialog loaded hidden, when it is first
// shown), shown, moved and put into its band, and the handling of its messages.
#include "hosts/win32/form_window.h"

#include <cassert>

#include "hosts/win32/win32_window_host.h"

static_assert(forms::kScSize == SC_SIZE && forms::kScMove == SC_MOVE &&
              forms::kScMinimize == SC_MINIMIZE && forms::kScMaximize == SC_MAXIMIZE &&
              forms::kScClose == SC_CLOSE && forms::kScKeyMenu == SC_KEYMENU &&
              forms::kScRestore == SC_RESTORE && forms::kScTaskList == SC_TASKLIST &&
              forms::kScScreenSave == SC_SCREENSAVE && forms::kScMonitorPower == SC_MONITORPOWER);

namespace hosts::win32 {

namespace {

platform::Handle FromHwnd(HWND h) {
    return reinterpret_cast<platform::Handle>(h);
}

DWORD FormStyle(const forms::FormDesign& design) {
    if (design.border == forms::Border::None || design.neverShown)
        return WS_POPUP;
    return WS_CAPTION | (design.controlBox ? WS_SYSMENU : 0);
}

DWORD FormExStyle(const forms::FormDesign& design) {
    return design.showInTaskbar ? WS_EX_APPWINDOW : 0;
}

}  // namespace

platform::Handle FormWindow::Open() {
    const forms::FormDesign& design = form_->Design();
    if (!design.neverShown) {
        // A window that may be shown is made when it first is. One loaded hidden (an applet's
        // options dialog at start-up) meanwhile costs only a placeholder, whose handle stands
        // for it: a child of the message-only window, far cheaper than a top-level window. It
        // is of the program's own class: a system control class would load the common controls.
        placeholder_ = OwnedWindow(CreateWindowExA(WS_EX_NOPARENTNOTIFY, kMessageOnlyClass, "",
                                                   WS_CHILD, 0, 0, 0, 0, host_.MessageOnlyParent(),
                                                   nullptr, host_.Instance(), nullptr));
        assert(placeholder_);  // debug builds stop at a window that cannot be made
        return FromHwnd(placeholder_.get());
    }
    if (!MakeWindow())
        return 0;
    // A window never shown that has controls is an applet's icon window: it must hear the
    // shell's "TaskbarCreated" even when the program runs elevated.
    if (!design.controls.empty())
        host_.LetTaskbarCreatedThrough(hwnd_.get());
    LayOut(host_.TheDisplay().DpiOf(hwnd_.get()), nullptr);
    return FromHwnd(hwnd_.get());
}

RECT FormWindow::OuterRect(int dpi) {
    const forms::FormDesign& design = form_->Design();
    RECT r = {0, 0, ToPixels(design.clientWidth, dpi), ToPixels(design.clientHeight, dpi)};
    host_.TheDisplay().AddFrame(r, FormStyle(design), FormExStyle(design), dpi);
    return r;
}

bool FormWindow::MakeWindow() {
    const forms::FormDesign& design = form_->Design();
    // A window never shown (the start-up window, an applet's icon window) is a bare popup: it
    // needs no frame, size or owner, and each of those costs Wine time at start-up. One that is
    // also empty (the start-up window) hears from nothing but the program, so it is a child of
    // the message-only window, cheaper still. One that is shown but kept out of the taskbar is
    // owned by the program's hidden window.
    // Its DPI is known once it is made: it is made for the system's, and laid out for its own.
    const RECT r = design.neverShown ? RECT{0, 0, 0, 0} : OuterRect(host_.TheDisplay().Dpi());
    const bool child = design.neverShown && design.controls.empty();
    HWND parent = child                                       ? host_.MessageOnlyParent()
                  : design.showInTaskbar || design.neverShown ? nullptr
                                                              : host_.Owner();
    hwnd_ = OwnedWindow(CreateWindowExA(
        child ? WS_EX_NOPARENTNOTIFY : FormExStyle(design), kFormClass, design.caption.c_str(),
        child ? WS_CHILD : FormStyle(design), moved_ ? position_.x : CW_USEDEFAULT,
        moved_ ? position_.y : CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, parent, nullptr,
        host_.Instance(), this));
    assert(hwnd_);  // debug builds stop at a window that cannot be made
    if (!hwnd_)
        return false;
    placeholder_.Free();
    form_->SetWindowHandle(FromHwnd(hwnd_.get()));
    return true;
}

void FormWindow::Destroy() {
    hwnd_.Free();
    placeholder_.Free();
}

void FormWindow::Show(bool visible) {
    if (!hwnd_ && (!visible || !MakeWindow()))
        return;
    HWND hwnd = hwnd_.get();
    if (!visible) {
        ShowWindow(hwnd, SW_HIDE);
        return;
    }
    if (dpi_ == 0)
        LayOut(host_.TheDisplay().DpiOf(hwnd), nullptr);
    if (pendingBand_)
        ::SetWindowPos(hwnd, pendingBand_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    pendingBand_ = nullptr;
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    controls_.FocusFirst();
}

// A dialog gets its icons and its controls when it is first shown; a window never shown, when
// it is made.
void FormWindow::LayOut(int dpi, const RECT* suggested) {
    if (dpi <= 0 || (dpi == dpi_ && !suggested))
        return;
    const bool first = dpi_ == 0;
    if (!form_->Design().neverShown)
        PlaceFrame(dpi, suggested);
    dpi_ = dpi;
    LoadIcons();
    controls_.LayOut(dpi);
    if (!first)
        RedrawWindow(hwnd_.get(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void FormWindow::PlaceFrame(int dpi, const RECT* suggested) {
    RECT now;
    if (!GetWindowRect(hwnd_.get(), &now))
        return;
    const RECT outer = OuterRect(dpi);
    const SIZE size = {outer.right - outer.left, outer.bottom - outer.top};
    RECT to = suggested ? *suggested : now;
    if (!suggested) {
        if (size.cx == now.right - now.left && size.cy == now.bottom - now.top)
            return;  // made at the size its DPI needs, which the system's usually is
        to.left = (now.left + now.right - size.cx) / 2;
        to.top = (now.top + now.bottom - size.cy) / 2;
        to.right = to.left + size.cx;
        to.bottom = to.top + size.cy;
    }
    ::SetWindowPos(hwnd_.get(), nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// The small icon (the caption's, or for a window never shown the notification area's) and the
// big one (Alt+Tab's) at the sizes of the window's DPI. The window lets go of the old ones first.
void FormWindow::LoadIcons() {
    const forms::FormDesign& design = form_->Design();
    if (!design.icon)
        return;
    Display& display = host_.TheDisplay();
    OwnedIcon small = host_.LoadIconAt(design.icon, display.Metric(SM_CXSMICON, dpi_),
                                       display.Metric(SM_CYSMICON, dpi_));
    form_->SetIconHandle(reinterpret_cast<platform::Handle>(small.get()));
    if (!design.neverShown) {
        OwnedIcon big = host_.LoadIconAt(design.icon, display.Metric(SM_CXICON, dpi_),
                                         display.Metric(SM_CYICON, dpi_));
        SendMessageA(hwnd_.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
        SendMessageA(hwnd_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
        bigIcon_ = std::move(big);
    }
    smallIcon_ = std::move(small);
}

// The outer size Windows is to suggest when it moves the window to a monitor of `dpi`: the one
// the window has when opened there. False for a window never shown, which has no size.
bool FormWindow::ScaledSize(int dpi, SIZE* size) {
    if (form_->Design().neverShown || dpi <= 0)
        return false;
    const RECT r = OuterRect(dpi);
    *size = {r.right - r.left, r.bottom - r.top};
    return true;
}

// Windows moved the window to a monitor of another DPI, or that monitor's scale changed: laid
// out afresh, and the form hands its new icon on where it shows it.
void FormWindow::DpiChanged(int dpi, const RECT* suggested) {
    LayOut(dpi, suggested);
    forms::Form& form = *form_;
    if (form.Design().icon)
        host_.Dispatch([&] { form.IconChanged(); });
}

void FormWindow::Move(POINT pixels) {
    if (!hwnd_) {
        position_ = pixels;
        moved_ = true;
        return;
    }
    ::SetWindowPos(hwnd_.get(), nullptr, pixels.x, pixels.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE FormWindow::OuterSize() {
    RECT r = {};
    if (!hwnd_)
        r = OuterRect(host_.TheDisplay().Dpi());
    else if (!GetWindowRect(hwnd_.get(), &r))
        return {0, 0};
    return {r.right - r.left, r.bottom - r.top};
}

void FormWindow::SetBand(HWND band) {
    // A window loaded hidden (an applet's options dialog at start-up) only keeps its band until
    // it is shown; Wine builds the whole window surface for a band change, which would cost
    // every hidden dialog megabytes.
    if (!hwnd_ || !IsWindowVisible(hwnd_.get())) {
        pendingBand_ = band;
        return;
    }
    ::SetWindowPos(hwnd_.get(), band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

HBRUSH FormWindow::Brush(COLORREF colour) {
    auto it = brushes_.find(colour);
    if (it == brushes_.end())
        it = brushes_.emplace(colour, OwnedBrush(CreateSolidBrush(colour))).first;
    return it->second.get();
}

// ---- Messages -------------------------------------------------------------------------------

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* w = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (!w || !w->form_ || msg == WM_NCDESTROY)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return w->HandleMessage(hwnd, msg, wParam, lParam);
}

// Each handler that runs the form's code does so last: the form may unload itself, and this
// window with it.
LRESULT FormWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    forms::Form& form = *form_;
    Win32WindowHost& host = host_;
    if (msg == host.TaskbarCreatedMessage() && msg != 0)
        return ShellRestarted(hwnd);
    switch (msg) {
        case WM_COMMAND:
            if (!controls_.Notice(reinterpret_cast<HWND>(lParam), HIWORD(wParam)))
                break;
            return 0;
        case WM_LBUTTONUP:
            LabelClicked(hwnd, lParam);
            return 0;
        case WM_ACTIVATE:
            Activated(wParam);
            return 0;
        case WM_CLOSE:
            host.Dispatch([&] { form.CloseRequested(); });
            return 0;
        case WM_SYSCOMMAND:
            if (!SystemCommand(wParam))
                break;
            return 0;
        case kWmGetDpiScaledSize:
            if (!ScaledSize(LOWORD(wParam), reinterpret_cast<SIZE*>(lParam)))
                break;
            return TRUE;
        case kWmDpiChanged:
            DpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DISPLAYCHANGE:
            host.TheDisplay().ForgetScreen();
            break;
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            SettingsChanged(hwnd);
            break;
        case WM_ENDSESSION:
            host.Dispatch([&] { form.Forms().SessionEnded(wParam != FALSE); });
            return 0;
        case WM_TIMER:
            host.Dispatch([&] { form.Form_Timer(static_cast<int>(wParam)); });
            return 0;
        case WM_ERASEBKGND:
            if (!EraseBackground(hwnd, reinterpret_cast<HDC>(wParam)))
                break;
            return 1;
        case WM_PAINT:
            PaintShapes(hwnd);
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (HBRUSH brush = controls_.Colours(reinterpret_cast<HWND>(lParam),
                                                 reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The shell comes back after a change of scale too: the icons are made for the DPI the window
// has now before they are added again.
LRESULT FormWindow::ShellRestarted(HWND hwnd) {
    LayOut(host_.TheDisplay().DpiOf(hwnd), nullptr);
    forms::Form& form = *form_;
    host_.Dispatch([&] { form.TaskbarCreated(); });
    return 0;
}

// A click on a label arrives here (labels let the mouse through): it is the label's.
void FormWindow::LabelClicked(HWND hwnd, LPARAM lParam) {
    POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(hwnd, &at);
    const std::string name = controls_.LabelAt(at);
    forms::Form& form = *form_;
    host_.Dispatch([&] { form.UserClickedButton(name); });
}

void FormWindow::Activated(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        controls_.RememberFocus();
        forms::Form& form = *form_;
        host_.Dispatch([&] { form.Form_LostFocus(); });
    } else if (!controls_.Empty()) {
        controls_.FocusFirst();
    }
}

// True when the form took the command; false when the window system is to carry it out.
bool FormWindow::SystemCommand(WPARAM command) {
    bool taken = false;
    forms::Form& form = *form_;
    host_.Dispatch([&] { taken = form.SystemCommand(static_cast<std::uint32_t>(command)); });
    return taken;
}

// High contrast may have been turned on or off: read again, drawn again.
void FormWindow::SettingsChanged(HWND hwnd) {
    host_.TheDisplay().ForgetHighContrast();
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The form's designed background; false where the window system's own is drawn.
bool FormWindow::EraseBackground(HWND hwnd, HDC dc) {
    const std::uint32_t back = form_->FormColours(host_.TheDisplay().HighContrast()).back;
    if (back == forms::kDefaultColour)
        return false;
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, Brush(static_cast<COLORREF>(back)));
    return true;
}

// The rectangles of the form's shapes, drawn in black on its background, or in the system's
// text colour under high contrast.
void FormWindow::PaintShapes(HWND hwnd) {
    PaintDC dc(hwnd);
    const bool highContrast = host_.TheDisplay().HighContrast();
    for (forms::Control& c : form_->Controls()) {
        if (c.Design().kind != forms::Kind::Shape)
            continue;
        const forms::ControlDesign& s = c.Design();
        Selected pen(dc.get(), GetStockObject(highContrast ? DC_PEN : BLACK_PEN));
        if (highContrast)
            SetDCPenColor(dc.get(), GetSysColor(COLOR_BTNTEXT));
        Selected brush(dc.get(), GetStockObject(NULL_BRUSH));
        Rectangle(dc.get(), ToPixels(s.left, dpi_), ToPixels(s.top, dpi_),
                  ToPixels(s.left + s.width, dpi_), ToPixels(s.top + s.height, dpi_));
    }
}

}  // namespace hosts::win32
