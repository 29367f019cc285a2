// The display as the program's windows see it: the system's resolution, the screen's size and
// whether high contrast is on, each asked of the system once and again after the system says it
// changed; the resolution of each window's own monitor, and the window system's measures there;
// and the system's colours, which stand in for a design's default ones.
#pragma once

#include <windows.h>

#include <cstdint>

namespace hosts::win32 {

// Whether high contrast is on (SPI_GETHIGHCONTRAST). Tests hand the host their own answer: Wine
// always reports it off.
using HighContrastQuery = bool (*)();
bool SystemHighContrast();

// The DPI of the monitor a window is on (GetDpiForWindow, Windows 10 1607 and later), or 0 where
// Windows cannot tell, and the system's stands. Tests hand the host their own answer: under Wine
// a window's DPI is the system's and never changes.
using DpiQuery = int (*)(HWND window);
int MonitorDpi(HWND window);

// Windows messages of the per-monitor DPI, which older headers lack.
inline constexpr UINT kWmDpiChanged = 0x02E0;
inline constexpr UINT kWmGetDpiScaledSize = 0x02E4;

// A length in twips as pixels at `dpi`.
inline int ToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

// A designed colour, or the system's colour `sysColour` where the design keeps the default.
COLORREF SystemOr(std::uint32_t colour, int sysColour);

class Display {
public:
    Display(HighContrastQuery highContrast, DpiQuery dpi)
        : highContrastQuery_(highContrast), dpiQuery_(dpi) {}

    // The system's DPI, which Windows tells every program once for the session: the one scale of
    // the screen's size, of where windows are moved and of the icons' notices in twips.
    int Dpi();
    int ToPixels(int twips) { return win32::ToPixels(twips, Dpi()); }
    float TwipsPerPixel();
    SIZE Screen();  // pixels
    bool HighContrast();

    // The DPI a window is laid out for: its monitor's, where Windows tells it.
    int DpiOf(HWND window);
    // A measure of the window system (SM_CXSMICON, …) at `dpi`, and the outer rectangle of a
    // window of that style and client rectangle `r` at `dpi`. Windows before 10 has no such
    // measures for any DPI but the system's: the measure is scaled from it, and the frame is
    // the system's, which is the one such a Windows draws.
    int Metric(int index, int dpi);
    void AddFrame(RECT& r, DWORD style, DWORD exStyle, int dpi);

    // Asked afresh the next time: the screen's size once a dialog has closed or the display has
    // changed, high contrast once the system's settings or colours have changed.
    void ForgetScreen() { screen_ = {0, 0}; }
    void ForgetHighContrast() { highContrast_ = -1; }

private:
    HighContrastQuery highContrastQuery_;
    DpiQuery dpiQuery_;
    int dpi_ = 0;
    int highContrast_ = -1;  // on (1) or off (0); -1 until asked for
    SIZE screen_ = {0, 0};   // 0 until asked for
};

}  // namespace hosts::win32
