// The window procedures: what the user does to a form's window or its controls becomes the
// form's handlers, each run through the runtime's Dispatch.
#include <windows.h>

#include <string>

#include "hosts/win32/win32_window_host.h"

static_assert(forms::kScSize == SC_SIZE && forms::kScMove == SC_MOVE &&
              forms::kScMinimize == SC_MINIMIZE && forms::kScMaximize == SC_MAXIMIZE &&
              forms::kScClose == SC_CLOSE && forms::kScKeyMenu == SC_KEYMENU &&
              forms::kScRestore == SC_RESTORE && forms::kScTaskList == SC_TASKLIST &&
              forms::kScScreenSave == SC_SCREENSAVE && forms::kScMonitorPower == SC_MONITORPOWER);

namespace hosts::win32 {

LRESULT CALLBACK Win32WindowHost::FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* w = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (!w || !w->form || msg == WM_NCDESTROY)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    auto& host = static_cast<Win32WindowHost&>(w->form->Host());
    return host.HandleForm(*w, hwnd, msg, wParam, lParam);
}

bool Win32WindowHost::HandleCommand(FormWindow& w, HWND from, WORD code) {
    auto c = w.controls.find(from);
    if (c == w.controls.end())
        return false;
    forms::Form& form = *w.form;
    const std::string name = c->second->Name();
    switch (c->second->Design().kind) {
        case forms::Kind::CheckBox:
            if (code == BN_CLICKED && !w.updating) {
                const int v = static_cast<int>(SendMessageA(from, BM_GETCHECK, 0, 0));
                Dispatch([&] { form.UserClicked(name, v); });
            }
            break;
        case forms::Kind::OptionButton:
            // A radio button also reports a click when it merely receives the focus; only the
            // user's selection counts.
            if (code == BN_CLICKED && !w.updating && !w.quietFocus &&
                SendMessageA(from, BM_GETCHECK, 0, 0) == BST_CHECKED)
                Dispatch([&] { form.UserClicked(name, 1); });
            break;
        case forms::Kind::CommandButton:
            if (code == BN_CLICKED)
                Dispatch([&] { form.UserClickedButton(name); });
            break;
        case forms::Kind::TextBox:
            if (code == EN_CHANGE && !w.updating) {
                const int n = GetWindowTextLengthA(from);
                std::string text(static_cast<std::size_t>(n) + 1, '\0');
                text.resize(static_cast<std::size_t>(GetWindowTextA(from, text.data(), n + 1)));
                Dispatch([&] { form.UserChangedText(name, text); });
            }
            break;
        default:
            break;
    }
    return true;
}

// The rectangles of the form's shapes, drawn in black on its background, or in the system's
// text colour under high contrast.
void Win32WindowHost::PaintShapes(FormWindow& w, HWND hwnd) {
    PaintDC dc(hwnd);
    const bool highContrast = HighContrast();
    for (forms::Control& c : w.form->Controls()) {
        if (c.Design().kind != forms::Kind::Shape)
            continue;
        const forms::ControlDesign& s = c.Design();
        Selected pen(dc.get(), GetStockObject(highContrast ? DC_PEN : BLACK_PEN));
        if (highContrast)
            SetDCPenColor(dc.get(), GetSysColor(COLOR_BTNTEXT));
        Selected brush(dc.get(), GetStockObject(NULL_BRUSH));
        Rectangle(dc.get(), ToPixels(s.left), ToPixels(s.top), ToPixels(s.left + s.width),
                  ToPixels(s.top + s.height));
    }
}

LRESULT Win32WindowHost::HandleForm(FormWindow& w, HWND hwnd, UINT msg, WPARAM wParam,
                                    LPARAM lParam) {
    forms::Form& form = *w.form;
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        Dispatch([&] { form.TaskbarCreated(); });
        return 0;
    }
    switch (msg) {
        case WM_DISPLAYCHANGE:
            screen_ = {0, 0};
            break;
        case WM_COMMAND:
            if (!HandleCommand(w, reinterpret_cast<HWND>(lParam), HIWORD(wParam)))
                break;
            return 0;
        case WM_LBUTTONUP: {
            // A click on a label arrives here (labels let the mouse through): it is the label's.
            POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(hwnd, &at);
            std::string name = "Form";
            for (const auto& [child, control] : w.controls) {
                RECT r;
                if (control->Design().kind == forms::Kind::Label && IsWindowVisible(child) &&
                    GetWindowRect(child, &r) && PtInRect(&r, at))
                    name = control->Name();
            }
            Dispatch([&] { form.UserClickedButton(name); });
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd, focus))
                    w.lastFocus = focus;
                Dispatch([&] { form.Form_LostFocus(); });
            } else if (!w.controls.empty()) {
                FocusFirst(w);
            }
            return 0;
        case WM_CLOSE:
            Dispatch([&] { form.CloseRequested(); });
            return 0;
        case WM_SYSCOMMAND: {
            bool taken = false;
            Dispatch([&] { taken = form.SystemCommand(static_cast<std::uint32_t>(wParam)); });
            if (!taken)
                break;
            return 0;
        }
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            // High contrast may have been turned on or off: read again, drawn again.
            highContrast_ = -1;
            RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            break;
        case WM_ENDSESSION:
            Dispatch([&] { form.Forms().SessionEnded(wParam != FALSE); });
            return 0;
        case WM_TIMER:
            Dispatch([&] { form.Form_Timer(static_cast<int>(wParam)); });
            return 0;
        case WM_ERASEBKGND:
            if (const std::uint32_t back = form.FormColours(HighContrast()).back;
                back != forms::kDefaultColour) {
                RECT r;
                GetClientRect(hwnd, &r);
                FillRect(reinterpret_cast<HDC>(wParam), &r, w.Brush(static_cast<COLORREF>(back)));
                return 1;
            }
            break;
        case WM_PAINT:
            PaintShapes(w, hwnd);
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            auto c = w.controls.find(reinterpret_cast<HWND>(lParam));
            if (c == w.controls.end())
                break;
            const forms::Colours colours = form.ControlColours(*c->second, HighContrast());
            if (colours.back == forms::kDefaultColour && colours.fore == forms::kDefaultColour)
                break;
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, SystemOr(colours.fore, COLOR_BTNTEXT));
            SetBkColor(dc, SystemOr(colours.back, COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(w.Brush(SystemOr(colours.back, COLOR_BTNFACE)));
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
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

LRESULT CALLBACK Win32WindowHost::PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* w = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!w || !w->form)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    auto c = w->controls.find(hwnd);
    if (c == w->controls.end())
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    auto& host = static_cast<Win32WindowHost&>(w->form->Host());
    return host.HandlePicture(*w, *c->second, hwnd, msg, wParam, lParam);
}

LRESULT Win32WindowHost::HandlePicture(FormWindow& w, forms::Control& c, HWND hwnd, UINT msg,
                                       WPARAM wParam, LPARAM lParam) {
    forms::Form& form = *w.form;
    switch (msg) {
        case WM_MOUSEMOVE: {
            // The notification area's callback arrives here as a mouse move whose horizontal
            // coordinate is the mouse message on the icon.
            forms::MouseArgs a;
            a.button = (wParam & MK_LBUTTON ? 1 : 0) | (wParam & MK_RBUTTON ? 2 : 0) |
                       (wParam & MK_MBUTTON ? 4 : 0);
            a.shift = (wParam & MK_SHIFT ? 1 : 0) | (wParam & MK_CONTROL ? 2 : 0);
            a.x = static_cast<float>(static_cast<short>(LOWORD(lParam))) * TwipsPerPixelX();
            a.y = static_cast<float>(static_cast<short>(HIWORD(lParam))) * TwipsPerPixelY();
            const std::string name = c.Name();
            Dispatch([&] { form.MouseMoved(name, a); });
            return 0;
        }
        case WM_LBUTTONUP: {
            const std::string name = c.Name();
            Dispatch([&] { form.UserClickedButton(name); });
            return 0;
        }
        case WM_PAINT: {
            PaintDC dc(hwnd);
            RECT r;
            GetClientRect(hwnd, &r);
            const std::uint32_t back = form.ControlColours(c, HighContrast()).back;
            FillRect(dc.get(), &r, w.Brush(SystemOr(back, COLOR_BTNFACE)));
            auto icon = w.pictures.find(c.Name());
            if (icon != w.pictures.end() && icon->second)
                DrawIconEx(dc.get(), 0, 0, icon->second.get(), 0, 0, 0, nullptr, DI_NORMAL);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace hosts::win32
