// The display as the program's windows see it: its resolution, the screen's size and whether high
// contrast is on, each asked of the system once and again after the system says it changed; and
// the system's colours, which stand in for a design's default ones.
#pragma once

#include <windows.h>

#include <cstdint>

namespace hosts::win32 {

// Whether high contrast is on (SPI_GETHIGHCONTRAST). Tests hand the host their own answer: Wine
// always reports it off.
using HighContrastQuery = bool (*)();
bool SystemHighContrast();

// A designed colour, or the system's colour `sysColour` where the design keeps the default.
COLORREF SystemOr(std::uint32_t colour, int sysColour);

class Display {
public:
    explicit Display(HighContrastQuery highContrast) : highContrastQuery_(highContrast) {}

    int Dpi();
    int ToPixels(int twips);
    float TwipsPerPixel();
    SIZE Screen();  // pixels
    bool HighContrast();

    // Asked afresh the next time: the screen's size once a dialog has closed or the display has
    // changed, high contrast once the system's settings or colours have changed.
    void ForgetScreen() { screen_ = {0, 0}; }
    void ForgetHighContrast() { highContrast_ = -1; }

private:
    HighContrastQuery highContrastQuery_;
    int dpi_ = 0;
    int highContrast_ = -1;  // on (1) or off (0); -1 until asked for
    SIZE screen_ = {0, 0};   // 0 until asked for
};

}  // namespace hosts::win32
