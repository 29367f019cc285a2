// The controls of a form's window: the window class and styles of each kind of control, their
// fonts and pictures, and the keyboard focus.
#include <windows.h>
// The header below needs windows.h first.
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>

#include "hosts/win32/win32_system.h"
#include "hosts/win32/win32_window_host.h"

namespace hosts::win32 {

namespace {

using platform::Handle;

constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL: Enter and Esc press nothing
constexpr int kCircleOnly = 300;      // twips: an option button this narrow shows its circle alone
// Captions are UTF-8, and the controls are made as UTF-16 windows (Wide), so that a character
// beyond the ANSI code page (the About box's copyright sign) shows as itself under any code page.

// How each kind of control is made. A kind without a class (the shape) is drawn by the form
// itself and takes no clicks.
struct KindInfo {
    const char* windowClass;
    DWORD style;  // beyond WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    bool drawsText;  // needs a font (and the common controls)
};

KindInfo InfoOf(forms::Kind kind) {
    switch (kind) {
        case forms::Kind::Label:
            // Without SS_NOTIFY a label lets the mouse through to its form, which takes a click
            // on it when the button comes up (WM_LBUTTONUP), as it does on its background.
            return {"STATIC", SS_LEFT, 0, true};
        case forms::Kind::Frame:
            return {"BUTTON", BS_GROUPBOX, 0, true};
        case forms::Kind::CheckBox:
            return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, true};
        case forms::Kind::OptionButton:
            return {"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, true};
        case forms::Kind::CommandButton:
            return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, true};
        case forms::Kind::TextBox:
            return {"EDIT", ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP, WS_EX_CLIENTEDGE, true};
        case forms::Kind::PictureBox:
        case forms::Kind::Image:
            return {kPictureClass, 0, 0, false};
        case forms::Kind::Shape:
            break;
    }
    return {nullptr, 0, 0, false};
}

// The visual styles of the common controls, loaded when the first window with controls is made
// rather than at start-up, which needs none.
void LoadCommonControls() {
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (HMODULE dll = LoadSystemLibrary("comctl32.dll")) {
        if (auto init = ProcAddress<Init>(dll, "InitCommonControlsEx")) {
            INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES};
            init(&icc);
        }
    }
}

// True when the system has the face itself, not a substitute the font mapper picks for it.
bool FaceInstalled(const char* face) {
    LOGFONTA lf = {};
    lf.lfHeight = -12;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    OwnedFont font(CreateFontIndirectA(&lf));
    if (!font)
        return false;
    ScreenDC dc;
    char chosen[LF_FACESIZE] = {};
    {
        Selected selected(dc.get(), font.get());
        GetTextFaceA(dc.get(), LF_FACESIZE, chosen);
    }
    return lstrcmpiA(chosen, face) == 0;
}

}  // namespace

// Asked once per face: the answer does not change while the program runs.
bool Win32WindowHost::HasFace(const char* face) {
    for (const auto& [name, installed] : faces_)
        if (name == face)
            return installed;
    faces_.emplace_back(face, FaceInstalled(face));
    return faces_.back().second;
}

OwnedIcon Win32WindowHost::LoadSmallIcon(int resource) {
    return LoadIconAt(resource, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
}

OwnedIcon Win32WindowHost::LoadIconAt(int resource, int width, int height) {
    return OwnedIcon(static_cast<HICON>(
        LoadImageA(instance_, MAKEINTRESOURCEA(resource), IMAGE_ICON, width, height, 0)));
}

HFONT Win32WindowHost::FontFor(FormWindow& w, const forms::Font& font) {
    for (auto& [f, h] : w.fonts)
        if (f.face == font.face && f.points == font.points && f.bold == font.bold)
            return h.get();
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(static_cast<int>(font.points * 100.0f + 0.5f), Dpi(), 7200);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, font.face.c_str(), LF_FACESIZE);
    // MS Sans Serif is a bitmap face made for a few sizes at 96 dpi, where the dialogs use it as
    // designed. On a scaled display it loses its bold and its spacing: there its TrueType twin,
    // which Windows ships for this very purpose, is used where it exists, and otherwise Arial
    // (or what the font mapper puts in its place), an outline face that scales with its bold.
    if (font.face == "MS Sans Serif" && Dpi() != 96)
        lstrcpynA(lf.lfFaceName, HasFace("Microsoft Sans Serif") ? "Microsoft Sans Serif" : "Arial",
                  LF_FACESIZE);
    w.fonts.emplace_back(font, OwnedFont(CreateFontIndirectA(&lf)));
    return w.fonts.back().second.get();
}

void Win32WindowHost::CreateControls(FormWindow& w) {
    w.controlsCreated = true;
    // Pictures are the program's own windows and show no text: a window holding only those
    // (an applet window's icon target) needs neither the common controls nor a font.
    const auto drawsText = [](const forms::Control& c) {
        return InfoOf(c.Design().kind).drawsText;
    };
    if (std::any_of(w.form->Controls().begin(), w.form->Controls().end(), drawsText))
        LoadCommonControls();
    // Windows created in tab order give the Tab key that order; a label that names a control
    // is made just before it, which changes no tab stop.
    const std::vector<forms::Control*> order = w.form->InZOrder();
    // Absolute origins of the frames (frames sit on the form itself).
    for (forms::Control* c : order)
        if (c->Design().kind == forms::Kind::Frame)
            w.origins[c->Name()] = {ToPixels(c->Design().left), ToPixels(c->Design().top)};

    // The frames whose option group has a button selected: there only that button is a tab stop,
    // as a click leaves it, and Tab never lands on another button of the group.
    std::set<std::string> selectedIn;
    for (const forms::Control* c : order)
        if (c->Design().kind == forms::Kind::OptionButton && c->Value() != 0)
            selectedIn.insert(c->Design().container);

    int id = kFirstControlId;
    const forms::Control* previous = nullptr;
    for (forms::Control* c : order) {
        const forms::ControlDesign& s = c->Design();
        const KindInfo kind = InfoOf(s.kind);
        if (!kind.windowClass)
            continue;
        POINT origin = {0, 0};
        if (!s.container.empty())
            origin = w.origins[s.container];
        const int x = origin.x + ToPixels(s.left), y = origin.y + ToPixels(s.top);
        const int cx = ToPixels(s.width), cy = ToPixels(s.height);
        DWORD style = WS_CHILD | WS_VISIBLE | kind.style;
        if (s.receivesNotices)
            style &= ~WS_VISIBLE;
        // Option buttons that follow each other in one frame form one group.
        const bool continuesGroup = s.kind == forms::Kind::OptionButton && previous &&
                                    previous->Design().kind == forms::Kind::OptionButton &&
                                    previous->Design().container == s.container;
        if (!continuesGroup)
            style |= WS_GROUP;
        if (s.kind == forms::Kind::OptionButton && c->Value() == 0 && selectedIn.count(s.container))
            style &= ~WS_TABSTOP;
        previous = c;
        // An option button only as wide as its circle never shows its caption; at higher scales
        // the circle stays small and the first letters would peep out, so none is drawn. Its
        // caption is its accessible name instead.
        const bool captionShown = s.kind != forms::Kind::OptionButton || s.width > kCircleOnly;
        HWND h = CreateWindowExW(kind.exStyle, Wide(kind.windowClass).c_str(),
                                 captionShown ? Wide(s.caption).c_str() : L"", style, x, y, cx, cy,
                                 w.hwnd.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
                                 instance_, nullptr);
        counting::Created(counting::kWindow, h != nullptr);  // destroyed with its form's window
        if (!h)
            continue;
        if (kind.windowClass == kPictureClass)
            SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&w));
        if (!captionShown)
            GiveAccessibleName(h, Wide(s.caption));
        if (kind.drawsText)
            SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(w, s.font)), FALSE);
        if (s.kind == forms::Kind::TextBox)
            SendMessageA(h, EM_SETLIMITTEXT, 0, 0);
        if (s.picture) {
            const int size = MulDiv(32, Dpi(), 96);
            w.pictures[s.name] = LoadIconAt(s.picture, size, size);
        }
        c->SetWindowHandle(reinterpret_cast<Handle>(h));
        w.controls[h] = c;
        // A window starts cleared; only a state to show is pushed. Clearing a radio button
        // would also take its tab stop, and a group with none selected could not be reached
        // with the keyboard.
        if (c->Value() != 0 || !c->Text().empty())
            UpdateControl(*w.form, *c);
    }
}

void Win32WindowHost::UpdateControl(forms::Form& form, forms::Control& control) {
    FormWindow* w = WindowOf(form);
    HWND h = reinterpret_cast<HWND>(control.WindowHandle());
    if (!w || !h)
        return;
    ++w->updating;
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
    --w->updating;
}

void Win32WindowHost::FocusFirst(FormWindow& w) {
    HWND first = GetNextDlgTabItem(w.hwnd.get(), nullptr, FALSE);
    HWND target = w.lastFocus && IsWindow(w.lastFocus) ? w.lastFocus : first;
    if (!target)
        return;
    ++w.quietFocus;
    SetFocus(target);
    --w.quietFocus;
}

}  // namespace hosts::win32
