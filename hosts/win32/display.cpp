// The display's measures and colours, asked of the system when first needed.
#include "hosts/win32/display.h"

#include "core/forms.h"
#include "hosts/win32/handles.h"
#include "hosts/win32/win32_system.h"

namespace hosts::win32 {

namespace {

// The functions of the per-monitor DPI, found once: Windows 10 (1607) and later have them. Each
// answers from the calling process, with no round trip to the window system. Found on the one
// thread of the windows, into plain statics: a static initialised on first use would bring in
// the C++ runtime's thread guard and its exception support, a fifth of the program's size.
struct DpiFunctions {
    UINT(WINAPI* forWindow)(HWND);
    int(WINAPI* metric)(int, UINT);
    BOOL(WINAPI* addFrame)(RECT*, DWORD, BOOL, DWORD, UINT);
};

const DpiFunctions& Dpis() {
    static DpiFunctions functions = {};
    static bool found = false;
    if (!found) {
        found = true;
        HMODULE user32 = GetModuleHandleA("user32.dll");
        functions = {ProcAddress<UINT(WINAPI*)(HWND)>(user32, "GetDpiForWindow"),
                     ProcAddress<int(WINAPI*)(int, UINT)>(user32, "GetSystemMetricsForDpi"),
                     ProcAddress<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>(
                         user32, "AdjustWindowRectExForDpi")};
    }
    return functions;
}

}  // namespace

bool SystemHighContrast() {
    HIGHCONTRASTA hc = {};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

int MonitorDpi(HWND window) {
    return Dpis().forWindow ? static_cast<int>(Dpis().forWindow(window)) : 0;
}

COLORREF SystemOr(std::uint32_t colour, int sysColour) {
    return colour == forms::kDefaultColour ? GetSysColor(sysColour) : static_cast<COLORREF>(colour);
}

int Display::Dpi() {
    if (dpi_ == 0) {
        ScreenDC dc;
        dpi_ = GetDeviceCaps(dc.get(), LOGPIXELSX);
        if (dpi_ <= 0)
            dpi_ = 96;
    }
    return dpi_;
}

float Display::TwipsPerPixel() {
    return 1440.0f / static_cast<float>(Dpi());
}

int Display::DpiOf(HWND window) {
    const int dpi = dpiQuery_(window);
    return dpi > 0 ? dpi : Dpi();
}

int Display::Metric(int index, int dpi) {
    if (Dpis().metric)
        return Dpis().metric(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, Dpi());
}

void Display::AddFrame(RECT& r, DWORD style, DWORD exStyle, int dpi) {
    if (!Dpis().addFrame || !Dpis().addFrame(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

// The screen's size is asked for on every dialog load; each question costs Wine a round trip.
// It is kept while hidden dialogs load in a row (at start-up) and read afresh once a dialog has
// been closed or the display changes.
SIZE Display::Screen() {
    if (screen_.cx <= 0 || screen_.cy <= 0)
        screen_ = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return screen_;
}

// Asked once, and again after each change of the system's settings or colours.
bool Display::HighContrast() {
    if (highContrast_ < 0)
        highContrast_ = highContrastQuery_() ? 1 : 0;
    return highContrast_ == 1;
}

}  // namespace hosts::win32
