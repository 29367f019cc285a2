// The display's measures and colours, asked of the system when first needed.
#include "hosts/win32/display.h"

#include "core/forms.h"
#include "hosts/win32/handles.h"

namespace hosts::win32 {

bool SystemHighContrast() {
    HIGHCONTRASTA hc = {};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
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

int Display::ToPixels(int twips) {
    return MulDiv(twips, Dpi(), 1440);
}

float Display::TwipsPerPixel() {
    return 1440.0f / static_cast<float>(Dpi());
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
