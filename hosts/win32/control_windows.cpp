// The control windows of a form's window: made in z-order by the maker of each kind, kept by
// window, and the way back from them to the form's handlers.
#include "hosts/win32/control_windows.h"

#include <algorithm>
#include <set>

#include "hosts/win32/form_window.h"
#include "hosts/win32/win32_window_host.h"

namespace hosts::win32 {

namespace {

constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL: Enter and Esc press nothing

}  // namespace

struct ControlWindows::Layout {
    int dpi = 96;
    std::map<std::string, POINT> origins{};  // absolute client position of each frame, pixels
    // The frames whose option group has a button selected: there only that button is a tab stop,
    // as a click leaves it, and Tab never lands on another button of the group.
    std::set<std::string> selectedIn{};
};

void ControlWindows::LayOut(int dpi) {
    forms::Form& form = *window_.Form();
    // Pictures are the program's own windows and show no text: a window holding only those (an
    // applet window's icon target) needs neither the common controls nor a font.
    if (std::any_of(form.Controls().begin(), form.Controls().end(),
                    [](const forms::Control& c) { return InfoOf(c.Design().kind).showsText; }))
        LoadCommonControls();
    // Windows created in tab order give the Tab key that order; a label that names a control
    // is made just before it, which changes no tab stop.
    const std::vector<forms::Control*> order = form.InZOrder();
    const Layout layout = LayoutAt(order, dpi);
    Fonts fonts;  // the previous DPI's fonts are freed once no control draws with them
    int id = kFirstControlId;
    const forms::Control* previous = nullptr;
    for (forms::Control* c : order) {
        const Maker make = InfoOf(c->Design().kind).make;
        if (!make)
            continue;
        const CreateArgs args = ArgsFor(*c, previous, id++, layout, fonts);
        previous = c;
        if (HWND h = reinterpret_cast<HWND>(c->WindowHandle()))
            Replace(h, args);
        else if (HWND made = make(args))
            Adopt(*c, made);
        if (const int picture = c->Design().picture) {
            const int size = MulDiv(32, dpi, 96);
            pictures_[c->Name()] = window_.Host().LoadIconAt(picture, size, size);
        }
    }
    fonts_ = std::move(fonts);
}

ControlWindows::Layout ControlWindows::LayoutAt(const std::vector<forms::Control*>& order,
                                                int dpi) const {
    Layout layout{.dpi = dpi};
    for (const forms::Control* c : order) {
        const forms::ControlDesign& s = c->Design();
        if (s.kind == forms::Kind::Frame)  // frames sit on the form itself
            layout.origins[s.name] = {ToPixels(s.left, dpi), ToPixels(s.top, dpi)};
        if (s.kind == forms::Kind::OptionButton && c->Value() != 0)
            layout.selectedIn.insert(s.container);
    }
    return layout;
}

CreateArgs ControlWindows::ArgsFor(const forms::Control& c, const forms::Control* previous, int id,
                                   const Layout& layout, Fonts& fonts) {
    const forms::ControlDesign& s = c.Design();
    Win32WindowHost& host = window_.Host();
    const int dpi = layout.dpi;
    POINT origin = {0, 0};
    if (auto frame = layout.origins.find(s.container); frame != layout.origins.end())
        origin = frame->second;
    const int x = origin.x + ToPixels(s.left, dpi), y = origin.y + ToPixels(s.top, dpi);
    const bool option = s.kind == forms::Kind::OptionButton;
    // Option buttons that follow each other in one frame form one group.
    const bool continuesGroup = option && previous &&
                                previous->Design().kind == forms::Kind::OptionButton &&
                                previous->Design().container == s.container;
    return {.design = s,
            .parent = window_.Hwnd(),
            .instance = host.Instance(),
            .id = id,
            .bounds = {x, y, x + ToPixels(s.width, dpi), y + ToPixels(s.height, dpi)},
            .font = InfoOf(s.kind).showsText ? fonts.For(s.font, dpi, host.Faces()) : nullptr,
            .startsGroup = !continuesGroup,
            .tabStop = !(option && c.Value() == 0 && layout.selectedIn.count(s.container)),
            .windowData = this};
}

void ControlWindows::Adopt(forms::Control& c, HWND h) {
    c.SetWindowHandle(reinterpret_cast<platform::Handle>(h));
    controls_[h] = &c;
    // A window starts cleared; only a state to show is pushed. Clearing a radio button would
    // also take its tab stop, and a group with none selected could not be reached with the
    // keyboard.
    if (c.Value() != 0 || !c.Text().empty())
        Update(c);
}

// A control's window moved to its place at a new DPI and given its font there; the form's window
// draws everything afresh afterwards.
void ControlWindows::Replace(HWND h, const CreateArgs& a) {
    ::SetWindowPos(h, nullptr, a.bounds.left, a.bounds.top, a.bounds.right - a.bounds.left,
                   a.bounds.bottom - a.bounds.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if (a.font)
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(a.font), FALSE);
}

void ControlWindows::Update(forms::Control& control) {
    HWND h = reinterpret_cast<HWND>(control.WindowHandle());
    if (!h)
        return;
    ++updating_;
    switch (control.Design().kind) {
        case forms::Kind::CheckBox:
        case forms::Kind::OptionButton:
            SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(control.Value()), 0);
            break;
        case forms::Kind::TextBox:
            SetWindowTextA(h, control.Text().c_str());
            break;
        default:
            break;
    }
    --updating_;
}

void ControlWindows::FocusFirst() {
    HWND first = GetNextDlgTabItem(window_.Hwnd(), nullptr, FALSE);
    HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : first;
    if (!target)
        return;
    ++quietFocus_;
    SetFocus(target);
    --quietFocus_;
}

void ControlWindows::RememberFocus() {
    HWND focus = GetFocus();
    if (focus && IsChild(window_.Hwnd(), focus))
        lastFocus_ = focus;
}

bool ControlWindows::Notice(HWND from, WORD code) {
    auto c = controls_.find(from);
    if (c == controls_.end())
        return false;
    forms::Form& form = *window_.Form();
    Win32WindowHost& host = window_.Host();
    const std::string name = c->second->Name();
    switch (c->second->Design().kind) {
        case forms::Kind::CheckBox:
            if (code == BN_CLICKED && !updating_) {
                const int v = static_cast<int>(SendMessageA(from, BM_GETCHECK, 0, 0));
                host.Dispatch([&] { form.UserClicked(name, v); });
            }
            break;
        case forms::Kind::OptionButton:
            // A radio button also reports a click when it merely receives the focus; only the
            // user's selection counts.
            if (code == BN_CLICKED && !updating_ && !quietFocus_ &&
                SendMessageA(from, BM_GETCHECK, 0, 0) == BST_CHECKED)
                host.Dispatch([&] { form.UserClicked(name, 1); });
            break;
        case forms::Kind::CommandButton:
            if (code == BN_CLICKED)
                host.Dispatch([&] { form.UserClickedButton(name); });
            break;
        case forms::Kind::TextBox:
            if (code == EN_CHANGE && !updating_) {
                const int n = GetWindowTextLengthA(from);
                std::string text(static_cast<std::size_t>(n) + 1, '\0');
                text.resize(static_cast<std::size_t>(GetWindowTextA(from, text.data(), n + 1)));
                host.Dispatch([&] { form.UserChangedText(name, text); });
            }
            break;
        default:
            break;
    }
    return true;
}

HBRUSH ControlWindows::Colours(HWND control, HDC dc) {
    auto c = controls_.find(control);
    if (c == controls_.end())
        return nullptr;
    const forms::Colours colours =
        window_.Form()->ControlColours(*c->second, window_.Host().TheDisplay().HighContrast());
    if (colours.back == forms::kDefaultColour && colours.fore == forms::kDefaultColour)
        return nullptr;
    SetTextColor(dc, SystemOr(colours.fore, COLOR_BTNTEXT));
    SetBkColor(dc, SystemOr(colours.back, COLOR_BTNFACE));
    return window_.Brush(SystemOr(colours.back, COLOR_BTNFACE));
}

std::string ControlWindows::LabelAt(POINT screen) const {
    std::string name = "Form";
    for (const auto& [child, control] : controls_) {
        RECT r;
        if (control->Design().kind == forms::Kind::Label && IsWindowVisible(child) &&
            GetWindowRect(child, &r) && PtInRect(&r, screen))
            name = control->Name();
    }
    return name;
}

// ---- The pictures ---------------------------------------------------------------------------

LRESULT CALLBACK ControlWindows::PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* controls = reinterpret_cast<ControlWindows*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!controls || !controls->window_.Form())
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    auto c = controls->controls_.find(hwnd);
    if (c == controls->controls_.end())
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return controls->HandlePicture(*c->second, hwnd, msg, wParam, lParam);
}

LRESULT ControlWindows::HandlePicture(forms::Control& c, HWND hwnd, UINT msg, WPARAM wParam,
                                      LPARAM lParam) {
    forms::Form& form = *window_.Form();
    Win32WindowHost& host = window_.Host();
    const std::string name = c.Name();
    switch (msg) {
        case WM_MOUSEMOVE: {
            // The notification area's callback arrives here as a mouse move whose horizontal
            // coordinate is the mouse message on the icon. It is put into twips with the very
            // factor the form takes it back with: the host's, the system's, whatever the DPI
            // of the window's monitor, so that no scale changes which message a click means.
            forms::MouseArgs a;
            a.button = (wParam & MK_LBUTTON ? 1 : 0) | (wParam & MK_RBUTTON ? 2 : 0) |
                       (wParam & MK_MBUTTON ? 4 : 0);
            a.shift = (wParam & MK_SHIFT ? 1 : 0) | (wParam & MK_CONTROL ? 2 : 0);
            a.x = static_cast<float>(static_cast<short>(LOWORD(lParam))) * host.TwipsPerPixelX();
            a.y = static_cast<float>(static_cast<short>(HIWORD(lParam))) * host.TwipsPerPixelY();
            host.Dispatch([&] { form.MouseMoved(name, a); });
            return 0;
        }
        case WM_LBUTTONUP:
            host.Dispatch([&] { form.UserClickedButton(name); });
            return 0;
        case WM_PAINT:
            PaintPicture(c, hwnd);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void ControlWindows::PaintPicture(const forms::Control& c, HWND hwnd) {
    PaintDC dc(hwnd);
    RECT r;
    GetClientRect(hwnd, &r);
    const std::uint32_t back =
        window_.Form()->ControlColours(c, window_.Host().TheDisplay().HighContrast()).back;
    FillRect(dc.get(), &r, window_.Brush(SystemOr(back, COLOR_BTNFACE)));
    auto icon = pictures_.find(c.Name());
    if (icon != pictures_.end() && icon->second)
        DrawIconEx(dc.get(), 0, 0, icon->second.get(), 0, 0, 0, nullptr, DI_NORMAL);
}

}  // namespace hosts::win32
