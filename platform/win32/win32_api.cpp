#include "platform/win32/win32_api.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/win32/bench_counters.h"
#include "resources/resource.h"

// The program's handles carry every bit of the platform's, in the 32-bit and the 64-bit build.
static_assert(sizeof(platform::Handle) == sizeof(HWND) && sizeof(platform::Handle) == sizeof(HKEY));
// The icon record is the platform's own single-byte record in its original layout: 88 bytes in
// the 32-bit build, 104 in the 64-bit one, field for field where the shell looks for them.
static_assert(platform::kNotifyIconDataSize == NOTIFYICONDATAA_V1_SIZE);
static_assert(sizeof(void*) != 4 || platform::kNotifyIconDataSize == 88);
static_assert(offsetof(platform::NotifyIconData, hWnd) == offsetof(NOTIFYICONDATAA, hWnd));
static_assert(offsetof(platform::NotifyIconData, uCallbackMessage) ==
              offsetof(NOTIFYICONDATAA, uCallbackMessage));
static_assert(offsetof(platform::NotifyIconData, hIcon) == offsetof(NOTIFYICONDATAA, hIcon));
static_assert(offsetof(platform::NotifyIconData, szTip) == offsetof(NOTIFYICONDATAA, szTip));

namespace platform::win32 {

namespace {

const char kFormClass[] = "VornkitForm";
const char kPictureClass[] = "VornkitPicture";
const char kOwnerClass[] = "VornkitOwner";
const char kParkingClass[] = "VornkitParking";
constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL: Enter and Esc press nothing

HWND ToHwnd(Handle h) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(h));
}
Handle FromHwnd(HWND h) {
    return static_cast<Handle>(reinterpret_cast<UINT_PTR>(h));
}

COLORREF SystemOr(std::uint32_t colour, int sysColour) {
    return colour == forms::kDefaultColour ? GetSysColor(sysColour) : static_cast<COLORREF>(colour);
}

}  // namespace

struct Win32Api::FormWindow {
    forms::Form* form = nullptr;
    HWND hwnd = nullptr;
    HICON smallIcon = nullptr;
    HICON bigIcon = nullptr;
    std::map<HWND, forms::Control*> controls;
    std::map<std::string, HICON> pictures;
    std::vector<std::pair<forms::Font, HFONT>> fonts;
    std::map<COLORREF, HBRUSH> brushes;
    HWND lastFocus = nullptr;
    bool controlsCreated = false;
    HWND placeholder = nullptr;  // stands for the window until it is made
    POINT position = {0, 0};     // where the window is to be made, pixels
    bool moved = false;
    int band = 0;        // topmost band asked for while hidden, applied when shown (0: none)
    int updating = 0;    // a change made by code: the window's own notifications are not the user's
    int quietFocus = 0;  // focus moved by the program: a radio button must not select itself
    std::map<std::string, POINT> origins;  // absolute client position of each container, pixels

    HBRUSH Brush(COLORREF c) {
        auto it = brushes.find(c);
        if (it != brushes.end())
            return it->second;
        return brushes[c] = VK_BENCH_CREATED(kBrush, CreateSolidBrush(c));
    }
};

Win32Api::Win32Api(HINSTANCE instance) : instance_(instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = PictureProc;
    wc.lpszClassName = kPictureClass;
    wc.hbrBackground = nullptr;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kParkingClass;
    wc.hCursor = nullptr;
    RegisterClassExA(&wc);
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
}

Win32Api::~Win32Api() {
    if (owner_)
        VK_BENCH_DESTROY_WINDOW(owner_);
    if (parking_)
        VK_BENCH_DESTROY_WINDOW(parking_);
}

template <class F>
void Win32Api::Dispatch(F&& f) {
    if (runtime_)
        runtime_->Dispatch(std::forward<F>(f));
    else
        f();
}

// ---- Profile files, Windows directory, registry ------------------------------------------

std::uint32_t Win32Api::GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                                 const std::string& def, char* buffer,
                                                 std::uint32_t size, const std::string& file) {
    return ::GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer, size,
                                      file.c_str());
}

bool Win32Api::WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                          const std::string& value, const std::string& file) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        file.c_str()) != FALSE;
}

std::uint32_t Win32Api::GetWindowsDirectoryA(char* buffer, std::uint32_t size) {
    return ::GetWindowsDirectoryA(buffer, size);
}

std::int32_t Win32Api::RegOpenKeyExA(Handle key, const std::string& subKey, std::uint32_t options,
                                     std::uint32_t access, Handle* result) {
    HKEY opened = nullptr;
    const LONG r = ::RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<UINT_PTR>(key)),
                                   subKey.c_str(), options, access, &opened);
    *result = r == ERROR_SUCCESS ? static_cast<Handle>(reinterpret_cast<UINT_PTR>(opened)) : 0;
    return r;
}

std::int32_t Win32Api::RegSetValueExA(Handle key, const std::string& valueName,
                                      std::uint32_t reserved, std::uint32_t type,
                                      const std::string& data, std::uint32_t length) {
    // The program counts the characters of a string value; the registry stores exactly the
    // bytes it is given, so the terminating NUL goes with them. Without it an empty value would
    // be stored with no data at all, and readers would get an unterminated string.
    if (type == REG_SZ) {
        const std::string text = data.substr(0, std::min<std::size_t>(length, data.size()));
        return ::RegSetValueExA(
            reinterpret_cast<HKEY>(static_cast<UINT_PTR>(key)), valueName.c_str(), reserved, type,
            reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
    }
    return ::RegSetValueExA(reinterpret_cast<HKEY>(static_cast<UINT_PTR>(key)), valueName.c_str(),
                            reserved, type, reinterpret_cast<const BYTE*>(data.c_str()), length);
}

std::int32_t Win32Api::RegCloseKey(Handle key) {
    return ::RegCloseKey(reinterpret_cast<HKEY>(static_cast<UINT_PTR>(key)));
}

// ---- Notification area, programs, messages -----------------------------------------------

bool Win32Api::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& record) {
    NOTIFYICONDATAA nid;
    std::memset(&nid, 0, sizeof nid);
    nid.cbSize = record.cbSize;  // the original single-byte layout's size
    nid.hWnd = ToHwnd(record.hWnd);
    nid.uID = record.uID;
    nid.uFlags = record.uFlags;
    nid.uCallbackMessage = record.uCallbackMessage;
    nid.hIcon = reinterpret_cast<HICON>(static_cast<UINT_PTR>(record.hIcon));
    std::memcpy(nid.szTip, record.szTip, sizeof record.szTip);
    return ::Shell_NotifyIconA(message, &nid) != FALSE;
}

bool Win32Api::StartProgram(const std::string& commandLine, std::int32_t windowStyle) {
    STARTUPINFOA si;
    std::memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION pi;
    std::memset(&pi, 0, sizeof pi);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!VK_BENCH_CREATED_N(kHandle, 2,
                            CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0,
                                           nullptr, nullptr, &si, &pi)))
        return false;
    // The program runs on its own; nothing of it is kept.
    VK_BENCH_RELEASED(kHandle, CloseHandle(pi.hThread));
    VK_BENCH_RELEASED(kHandle, CloseHandle(pi.hProcess));
    return true;
}

void Win32Api::Beep() {
    MessageBeep(MB_OK);
}

int Win32Api::MsgBox(const std::string& prompt, int style, const std::string& title) {
    // Owned by the program's active window, as a message of that window: it stands in front
    // of it even when that window is topmost, and the window takes no input until it is closed.
    return MessageBoxA(GetActiveWindow(), prompt.c_str(), title.c_str(), static_cast<UINT>(style));
}

void Win32Api::SetWindowPos(Handle window, int insertAfter, int x, int y, int cx, int cy,
                            std::uint32_t flags) {
    HWND hwnd = ToHwnd(window);
    // A window loaded hidden (an applet's options dialog at start-up) only keeps its band until
    // it is shown; Wine builds the whole window surface for a band change, which would cost
    // every hidden dialog megabytes.
    const bool bandOnly = (flags & (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE) &&
                          (insertAfter == kHwndTopmost || insertAfter == kHwndNoTopmost);
    for (auto& [form, w] : windows_) {
        if (!hwnd || (w->hwnd != hwnd && w->placeholder != hwnd))
            continue;
        if (w->placeholder == hwnd) {
            // Not made yet: the band and the position wait for it.
            if (bandOnly)
                w->band = insertAfter;
            if (!(flags & SWP_NOMOVE)) {
                w->position = {x, y};
                w->moved = true;
            }
            return;
        }
        if (bandOnly && !IsWindowVisible(hwnd)) {
            w->band = insertAfter;
            return;
        }
        break;
    }
    ::SetWindowPos(hwnd, reinterpret_cast<HWND>(static_cast<INT_PTR>(insertAfter)), x, y, cx, cy,
                   flags);
}

int Win32Api::Dpi() {
    if (dpi_ == 0) {
        HDC dc = GetDC(nullptr);
        dpi_ = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(nullptr, dc);
        if (dpi_ <= 0)
            dpi_ = 96;
    }
    return dpi_;
}

int Win32Api::ToPixels(int twips) {
    return MulDiv(twips, Dpi(), 1440);
}
float Win32Api::TwipsPerPixelX() {
    return 1440.0f / static_cast<float>(Dpi());
}
float Win32Api::TwipsPerPixelY() {
    return 1440.0f / static_cast<float>(Dpi());
}
// The screen's size is asked for on every dialog load; each question costs Wine a round trip.
// It is kept while hidden dialogs load in a row (at start-up) and read afresh once a dialog has
// been closed or the display changes.
SIZE Win32Api::Screen() {
    if (screen_.cx <= 0 || screen_.cy <= 0)
        screen_ = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return screen_;
}
int Win32Api::ScreenWidthTwips() {
    return static_cast<int>(static_cast<float>(Screen().cx) * TwipsPerPixelX());
}
int Win32Api::ScreenHeightTwips() {
    return static_cast<int>(static_cast<float>(Screen().cy) * TwipsPerPixelY());
}

std::string Win32Api::AppPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    const std::size_t slash = p.find_last_of('\\');
    if (slash == std::string::npos)
        return p;
    p.resize(slash);
    if (p.size() == 2 && p[1] == ':')
        p += '\\';  // a drive's root keeps its backslash
    return p;
}

std::string Win32Api::AppExeName() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    const std::size_t slash = p.find_last_of('\\');
    if (slash != std::string::npos)
        p.erase(0, slash + 1);
    const std::size_t dot = p.find_last_of('.');
    if (dot != std::string::npos)
        p.resize(dot);
    return p;
}

void Win32Api::EndProgram() {
    ExitProcess(0);
}

// ---- Windows -------------------------------------------------------------------------------

Handle Win32Api::CreateFormWindow(forms::Form& form) {
    const forms::FormDesign& design = form.Design();
    auto owned = std::make_unique<FormWindow>();
    FormWindow& w = *owned;
    w.form = &form;
    windows_[&form] = std::move(owned);
    if (!design.neverShown) {
        // A window that may be shown is made when it first is. One loaded hidden (an applet's
        // options dialog at start-up) meanwhile costs only a placeholder, whose handle stands
        // for it: a child of one message-only window, far cheaper than a top-level window. It
        // is of the program's own class: a system control class would load the common controls.
        w.placeholder = VK_BENCH_CREATED(
            kWindow, CreateWindowExA(WS_EX_NOPARENTNOTIFY, kParkingClass, "", WS_CHILD, 0, 0, 0, 0,
                                     Parking(), nullptr, instance_, nullptr));
        return FromHwnd(w.placeholder);
    }
    if (!MakeWindow(w))
        return 0;
    // The small icon of a window never shown is the one the notification area shows.
    if (design.icon)
        w.smallIcon = static_cast<HICON>(VK_BENCH_CREATED(
            kIcon, LoadImageA(instance_, MAKEINTRESOURCEA(design.icon), IMAGE_ICON,
                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    form.SetIconHandle(FromHwnd(reinterpret_cast<HWND>(w.smallIcon)));
    CreateControls(w);
    return FromHwnd(w.hwnd);
}

namespace {

DWORD FormStyle(const forms::FormDesign& design) {
    if (design.border == forms::Border::None || design.neverShown)
        return WS_POPUP;
    return WS_CAPTION | (design.controlBox ? WS_SYSMENU : 0);
}

DWORD FormExStyle(const forms::FormDesign& design) {
    return design.showInTaskbar ? WS_EX_APPWINDOW : 0;
}

}  // namespace

RECT Win32Api::OuterRect(const forms::FormDesign& design) {
    RECT r = {0, 0, ToPixels(design.clientWidth), ToPixels(design.clientHeight)};
    AdjustWindowRectEx(&r, FormStyle(design), FALSE, FormExStyle(design));
    return r;
}

// The parent of every placeholder, made with the first.
HWND Win32Api::Parking() {
    if (!parking_)
        parking_ =
            VK_BENCH_CREATED(kWindow, CreateWindowExA(0, kParkingClass, "", 0, 0, 0, 0, 0,
                                                      HWND_MESSAGE, nullptr, instance_, nullptr));
    return parking_;
}

// The hidden owner of the windows kept out of the taskbar, made with the first of them; its
// class carries the program's icon.
HWND Win32Api::Owner() {
    // Made again should anything have closed it.
    if (owner_ && IsWindow(owner_))
        return owner_;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance_;
    wc.lpszClassName = kOwnerClass;
    wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_PROGRAM));
    RegisterClassExA(&wc);
    owner_ = VK_BENCH_CREATED(kWindow, CreateWindowExA(0, kOwnerClass, "Vornkit", WS_POPUP, 0, 0, 0,
                                                       0, nullptr, nullptr, instance_, nullptr));
    return owner_;
}

bool Win32Api::MakeWindow(FormWindow& w) {
    const forms::FormDesign& design = w.form->Design();
    // A window never shown (the start-up window, an applet's icon window) is a bare popup: it
    // needs no frame, size or owner, and each of those costs Wine time at start-up. One that is
    // also empty (the start-up window) hears from nothing but the program, so it is a child of
    // the message-only window, cheaper still. One that is shown but kept out of the taskbar is
    // owned by the program's hidden window.
    const RECT r = design.neverShown ? RECT{0, 0, 0, 0} : OuterRect(design);
    const bool child = design.neverShown && design.controls.empty();
    HWND parent = child ? Parking() : design.showInTaskbar || design.neverShown ? nullptr : Owner();
    w.hwnd = VK_BENCH_CREATED(
        kWindow, CreateWindowExA(child ? WS_EX_NOPARENTNOTIFY : FormExStyle(design), kFormClass,
                                 design.caption.c_str(), child ? WS_CHILD : FormStyle(design),
                                 w.moved ? w.position.x : CW_USEDEFAULT,
                                 w.moved ? w.position.y : CW_USEDEFAULT, r.right - r.left,
                                 r.bottom - r.top, parent, nullptr, instance_, &w));
    if (!w.hwnd)
        return false;
    if (w.placeholder) {
        VK_BENCH_DESTROY_WINDOW(w.placeholder);
        w.placeholder = nullptr;
    }
    w.form->SetWindowHandle(FromHwnd(w.hwnd));
    return true;
}

// The visual styles of the common controls, loaded when the first window with controls is made
// rather than at start-up, which needs none.
void Win32Api::LoadCommonControls() {
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (HMODULE dll = LoadLibraryA("comctl32.dll")) {
        if (auto init = reinterpret_cast<Init>(
                reinterpret_cast<void*>(GetProcAddress(dll, "InitCommonControlsEx")))) {
            INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES};
            init(&icc);
        }
    }
}

// True when the system has the face itself, not a substitute the font mapper picks for it.
// Asked once per face: the answer does not change while the program runs.
bool Win32Api::HasFace(const char* face) {
    for (const auto& [name, installed] : faces_)
        if (name == face)
            return installed;
    faces_.emplace_back(face, FaceInstalled(face));
    return faces_.back().second;
}

bool Win32Api::FaceInstalled(const char* face) {
    LOGFONTA lf = {};
    lf.lfHeight = -12;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&lf);
    if (!font)
        return false;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    char chosen[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, chosen);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return lstrcmpiA(chosen, face) == 0;
}

HFONT Win32Api::FontFor(FormWindow& w, const forms::Font& font) {
    for (auto& [f, h] : w.fonts)
        if (f.face == font.face && f.points == font.points && f.bold == font.bold)
            return h;
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(static_cast<int>(font.points * 100.0f + 0.5f), Dpi(), 7200);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, font.face.c_str(), LF_FACESIZE);
    // MS Sans Serif is a bitmap face made for a few sizes at 96 dpi; at other sizes and scales it
    // loses its bold and its spacing. Its TrueType twin, which Windows ships for this very
    // purpose, is used where it exists; without it, a scaled display gets Arial (or what the
    // font mapper puts in its place), an outline face that scales with its bold.
    if (font.face == "MS Sans Serif") {
        if (HasFace("Microsoft Sans Serif"))
            lstrcpynA(lf.lfFaceName, "Microsoft Sans Serif", LF_FACESIZE);
        else if (Dpi() != 96)
            lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    }
    HFONT h = VK_BENCH_CREATED(kFont, CreateFontIndirectA(&lf));
    w.fonts.emplace_back(font, h);
    return h;
}

void Win32Api::CreateControls(FormWindow& w) {
    w.controlsCreated = true;
    // Pictures are the program's own windows and show no text: a window holding only those
    // (an applet window's pichook) needs neither the common controls nor a font.
    const auto drawsText = [](const forms::Control& c) {
        const forms::Kind k = c.Design().kind;
        return k != forms::Kind::PictureBox && k != forms::Kind::Image && k != forms::Kind::Shape;
    };
    if (std::any_of(w.form->Controls().begin(), w.form->Controls().end(), drawsText))
        LoadCommonControls();
    std::vector<forms::Control*> order;
    for (forms::Control& c : w.form->Controls())
        order.push_back(&c);
    // Windows created in tab order give the Tab key that order.
    std::stable_sort(order.begin(), order.end(), [](forms::Control* a, forms::Control* b) {
        return a->Design().tabIndex < b->Design().tabIndex;
    });
    // Absolute origins of the frames (frames sit on the form itself).
    for (forms::Control* c : order)
        if (c->Design().kind == forms::Kind::Frame)
            w.origins[c->Name()] = {ToPixels(c->Design().left), ToPixels(c->Design().top)};

    int id = kFirstControlId;
    const forms::Control* previous = nullptr;
    for (forms::Control* c : order) {
        const forms::ControlDesign& s = c->Design();
        POINT origin = {0, 0};
        if (!s.container.empty())
            origin = w.origins[s.container];
        const int x = origin.x + ToPixels(s.left), y = origin.y + ToPixels(s.top);
        const int cx = ToPixels(s.width), cy = ToPixels(s.height);
        const char* cls = "STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        switch (s.kind) {
            case forms::Kind::Label:
                style |= SS_LEFT | SS_NOTIFY;
                break;
            case forms::Kind::Frame:
                cls = "BUTTON";
                style |= BS_GROUPBOX;
                break;
            case forms::Kind::CheckBox:
                cls = "BUTTON";
                style |= BS_AUTOCHECKBOX | WS_TABSTOP;
                break;
            case forms::Kind::OptionButton:
                cls = "BUTTON";
                style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
                break;
            case forms::Kind::CommandButton:
                cls = "BUTTON";
                style |= BS_PUSHBUTTON | WS_TABSTOP;
                break;
            case forms::Kind::TextBox:
                cls = "EDIT";
                style |= ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP;
                exStyle |= WS_EX_CLIENTEDGE;
                break;
            case forms::Kind::PictureBox:
            case forms::Kind::Image:
                cls = kPictureClass;
                if (s.name == "pichook")
                    style &= ~WS_VISIBLE;
                break;
            case forms::Kind::Shape:
                continue;  // drawn by the form itself; it takes no clicks
        }
        // Option buttons that follow each other in one frame form one group.
        const bool continuesGroup = s.kind == forms::Kind::OptionButton && previous &&
                                    previous->Design().kind == forms::Kind::OptionButton &&
                                    previous->Design().container == s.container;
        if (!continuesGroup)
            style |= WS_GROUP;
        previous = c;
        // An option button only as wide as its circle never shows its caption; at higher scales
        // the circle stays small and the first letters would peep out, so none is drawn.
        const bool captionShown = s.kind != forms::Kind::OptionButton || s.width > 300;
        HWND h = VK_BENCH_CREATED(
            kWindow,
            CreateWindowExA(exStyle, cls, captionShown ? s.caption.c_str() : "", style, x, y, cx,
                            cy, w.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
                            instance_, nullptr));
        if (!h)
            continue;
        if (cls == kPictureClass)
            SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&w));
        if (drawsText(*c))
            SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(w, s.font)), FALSE);
        if (s.kind == forms::Kind::TextBox)
            SendMessageA(h, EM_SETLIMITTEXT, 0, 0);
        if (s.picture) {
            const int size = MulDiv(32, Dpi(), 96);
            w.pictures[s.name] = static_cast<HICON>(VK_BENCH_CREATED(
                kIcon,
                LoadImageA(instance_, MAKEINTRESOURCEA(s.picture), IMAGE_ICON, size, size, 0)));
        }
        c->SetWindowHandle(FromHwnd(h));
        w.controls[h] = c;
        // A window starts cleared; only a state to show is pushed. Clearing a radio button
        // would also take its tab stop, and a group with none selected could not be reached
        // with the keyboard.
        if (c->Value() != 0 || !c->Text().empty())
            UpdateControl(*w.form, *c);
    }
}

void Win32Api::DestroyFormWindow(forms::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    FormWindow& w = *it->second;
    if (w.hwnd) {
        VK_BENCH_DESTROY_WINDOW(w.hwnd);
        if (!form.Design().neverShown)
            screen_ = {0, 0};
    }
    if (w.placeholder)
        VK_BENCH_DESTROY_WINDOW(w.placeholder);
    for (auto& [f, h] : w.fonts)
        VK_BENCH_RELEASED(kFont, DeleteObject(h));
    for (auto& [c, b] : w.brushes)
        VK_BENCH_RELEASED(kBrush, DeleteObject(b));
    for (auto& [n, i] : w.pictures)
        if (i)
            VK_BENCH_RELEASED(kIcon, DestroyIcon(i));
    if (w.smallIcon)
        VK_BENCH_RELEASED(kIcon, DestroyIcon(w.smallIcon));
    if (w.bigIcon)
        VK_BENCH_RELEASED(kIcon, DestroyIcon(w.bigIcon));
    for (forms::Control& c : form.Controls())
        c.SetWindowHandle(0);
    windows_.erase(it);
}

void Win32Api::FocusFirst(FormWindow& w) {
    HWND first = GetNextDlgTabItem(w.hwnd, nullptr, FALSE);
    HWND target = w.lastFocus && IsWindow(w.lastFocus) ? w.lastFocus : first;
    if (!target)
        return;
    ++w.quietFocus;
    SetFocus(target);
    --w.quietFocus;
}

void Win32Api::ShowFormWindow(forms::Form& form, bool visible) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    FormWindow& w = *it->second;
    if (!w.hwnd && (!visible || !MakeWindow(w)))
        return;
    if (!visible) {
        ShowWindow(w.hwnd, SW_HIDE);
        return;
    }
    if (!w.controlsCreated) {
        const int icon = form.Design().icon;
        if (icon) {
            w.smallIcon = static_cast<HICON>(VK_BENCH_CREATED(
                kIcon,
                LoadImageA(instance_, MAKEINTRESOURCEA(icon), IMAGE_ICON,
                           GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
            w.bigIcon = static_cast<HICON>(VK_BENCH_CREATED(
                kIcon, LoadImageA(instance_, MAKEINTRESOURCEA(icon), IMAGE_ICON,
                                  GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
            SendMessageA(w.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(w.smallIcon));
            SendMessageA(w.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(w.bigIcon));
            form.SetIconHandle(FromHwnd(reinterpret_cast<HWND>(w.smallIcon)));
        }
        CreateControls(w);
    }
    if (w.band != 0)
        ::SetWindowPos(w.hwnd, reinterpret_cast<HWND>(static_cast<INT_PTR>(w.band)), 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    w.band = 0;
    ShowWindow(w.hwnd, SW_SHOW);
    SetForegroundWindow(w.hwnd);
    FocusFirst(w);
}

void Win32Api::MoveFormWindow(forms::Form& form, int leftTwips, int topTwips) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    FormWindow& w = *it->second;
    if (!w.hwnd) {
        w.position = {ToPixels(leftTwips), ToPixels(topTwips)};
        w.moved = true;
        return;
    }
    ::SetWindowPos(w.hwnd, nullptr, ToPixels(leftTwips), ToPixels(topTwips), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Api::FormOuterSize(forms::Form& form, int& widthTwips, int& heightTwips) {
    widthTwips = heightTwips = 0;
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    RECT r = {};
    if (!it->second->hwnd)
        r = OuterRect(form.Design());
    else if (!GetWindowRect(it->second->hwnd, &r))
        return;
    widthTwips = MulDiv(r.right - r.left, 1440, Dpi());
    heightTwips = MulDiv(r.bottom - r.top, 1440, Dpi());
}

void Win32Api::UpdateControl(forms::Form& form, forms::Control& control) {
    auto it = windows_.find(&form);
    HWND h = ToHwnd(control.WindowHandle());
    if (it == windows_.end() || !h)
        return;
    FormWindow& w = *it->second;
    ++w.updating;
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
    --w.updating;
}

void Win32Api::BringToFront(forms::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end() || !it->second->hwnd)
        return;
    // To the front of its band without activating it: the focus stays where the user put it.
    ::SetWindowPos(it->second->hwnd, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int Win32Api::TrackPopupMenu(forms::Form& form, const std::vector<forms::MenuItem>& items) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return -1;
    HWND hwnd = it->second->hwnd;
    HMENU menu = VK_BENCH_CREATED(kMenu, CreatePopupMenu());
    if (!menu)
        return -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].IsSeparator())
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING, i + 1, items[i].caption.c_str());
    }
    POINT pt;
    GetCursorPos(&pt);
    // The window must be in front while the menu is up, or the menu would not close when the
    // user clicks elsewhere; the posted message lets the menu's loop end cleanly.
    SetForegroundWindow(hwnd);
    const int chosen = static_cast<int>(
        ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, pt.x,
                         pt.y, 0, hwnd, nullptr));
    PostMessageA(hwnd, WM_NULL, 0, 0);
    VK_BENCH_RELEASED(kMenu, DestroyMenu(menu));
    return chosen - 1;
}

bool Win32Api::TranslateDialogMessage(MSG& msg) {
    HWND active = GetActiveWindow();
    if (!active)
        return false;
    for (auto& [form, w] : windows_)
        if (w->hwnd == active && !w->controls.empty())
            return IsDialogMessageA(active, &msg) != FALSE;
    return false;
}

// ---- Window procedures -----------------------------------------------------------------------

LRESULT CALLBACK Win32Api::FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* w = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (!w || !w->form || msg == WM_NCDESTROY)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    auto& api = static_cast<Win32Api&>(w->form->Api());
    return api.HandleForm(*w, hwnd, msg, wParam, lParam);
}

LRESULT Win32Api::HandleForm(FormWindow& w, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    forms::Form& form = *w.form;
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        Dispatch([&] { form.TaskbarCreated(); });
        return 0;
    }
    switch (msg) {
        case WM_DISPLAYCHANGE:
            screen_ = {0, 0};
            break;
        case WM_COMMAND: {
            HWND from = reinterpret_cast<HWND>(lParam);
            auto c = w.controls.find(from);
            if (c == w.controls.end())
                break;
            const std::string name = c->second->Name();
            const WORD code = HIWORD(wParam);
            switch (c->second->Design().kind) {
                case forms::Kind::CheckBox:
                    if (code == BN_CLICKED && !w.updating) {
                        const int v = static_cast<int>(SendMessageA(from, BM_GETCHECK, 0, 0));
                        Dispatch([&] { form.UserClicked(name, v); });
                    }
                    break;
                case forms::Kind::OptionButton:
                    // A radio button also reports a click when it merely receives the focus;
                    // only the user's selection counts.
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
                        text.resize(
                            static_cast<std::size_t>(GetWindowTextA(from, text.data(), n + 1)));
                        Dispatch([&] { form.UserChangedText(name, text); });
                    }
                    break;
                case forms::Kind::Label:
                    if (code == STN_CLICKED)
                        Dispatch([&] { form.UserClickedButton(name); });
                    break;
                default:
                    break;
            }
            return 0;
        }
        case WM_LBUTTONUP:
            Dispatch([&] { form.UserClickedButton("Form"); });
            return 0;
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
            // The close box unloads the window, as the program's own unload does.
            Dispatch([&] { form.Forms().Unload(form.Name()); });
            return 0;
        case WM_ERASEBKGND:
            if (form.Design().backColour != forms::kDefaultColour) {
                RECT r;
                GetClientRect(hwnd, &r);
                FillRect(reinterpret_cast<HDC>(wParam), &r,
                         w.Brush(static_cast<COLORREF>(form.Design().backColour)));
                return 1;
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            for (forms::Control& c : form.Controls()) {
                if (c.Design().kind != forms::Kind::Shape)
                    continue;
                const forms::ControlDesign& s = c.Design();
                HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
                HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
                Rectangle(dc, ToPixels(s.left), ToPixels(s.top), ToPixels(s.left + s.width),
                          ToPixels(s.top + s.height));
                SelectObject(dc, oldBrush);
                SelectObject(dc, oldPen);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            auto c = w.controls.find(reinterpret_cast<HWND>(lParam));
            if (c == w.controls.end())
                break;
            const forms::ControlDesign& s = c->second->Design();
            const std::uint32_t back =
                s.backColour != forms::kDefaultColour ? s.backColour : form.Design().backColour;
            if (back == forms::kDefaultColour && s.foreColour == forms::kDefaultColour)
                break;
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, SystemOr(s.foreColour, COLOR_BTNTEXT));
            SetBkColor(dc, SystemOr(back, COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(w.Brush(SystemOr(back, COLOR_BTNFACE)));
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Win32Api::PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* w = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!w || !w->form)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    auto c = w->controls.find(hwnd);
    if (c == w->controls.end())
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    auto& api = static_cast<Win32Api&>(w->form->Api());
    return api.HandlePicture(*w, *c->second, hwnd, msg, wParam, lParam);
}

LRESULT Win32Api::HandlePicture(FormWindow& w, forms::Control& c, HWND hwnd, UINT msg,
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
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            const std::uint32_t back = c.Design().backColour != forms::kDefaultColour
                                           ? c.Design().backColour
                                           : form.Design().backColour;
            FillRect(dc, &r, w.Brush(SystemOr(back, COLOR_BTNFACE)));
            auto icon = w.pictures.find(c.Name());
            if (icon != w.pictures.end() && icon->second)
                DrawIconEx(dc, 0, 0, icon->second, 0, 0, 0, nullptr, DI_NORMAL);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace platform::win32
