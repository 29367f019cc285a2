// High contrast on the real windows: the About box and an applet dialog drawn in the system's
// colours while it is on, in their designed ones once it is off again, repainted at each change.
// Wine always reports high contrast off; the host is handed the test's answer instead, and the
// system colours are set to a high-contrast scheme as Windows sets them.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "started.h"

namespace {

bool highContrast = false;

// The colour drawn at a point of a window's client area, once everything waiting is painted.
COLORREF At(HWND hwnd, int x, int y) {
    RedrawWindow(GetAncestor(hwnd, GA_ROOT), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

// Turns high contrast on or off as Windows does: the system colours change (to High Contrast
// Black while it is on) and every window hears of it.
void TurnHighContrast(bool on) {
    static const int kElements[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_WINDOWTEXT,
                                    COLOR_3DFACE};
    static std::vector<COLORREF> saved;
    if (saved.empty())
        for (int e : kElements)
            saved.push_back(GetSysColor(e));
    const COLORREF black[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255),
                              RGB(0, 0, 0)};
    highContrast = on;
    SetSysColors(5, kElements, on ? black : saved.data());
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_BLOCK, 2000,
                        nullptr);
}

TEST(HighContrast, DesignedColoursGiveWayWhileItIsOnAndComeBackWhenItIsOff) {
    constexpr COLORREF kPaleBlue = RGB(192, 192, 255), kGrey = RGB(192, 192, 192);
    testing_support::Started<> s({nullptr, nullptr}, [] { return highContrast; });
    HWND about = s.Open("frmAbout");
    s.Open("frmTEOpt");
    // Apart, so that each is seen whole.
    SetWindowPos(about, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(about, &client);
    for (bool on : {false, true, false}) {
        SCOPED_TRACE(on ? "on" : "off");
        TurnHighContrast(on);
        s.Pump();
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(At(about, 4, client.bottom - 4), on ? face : kPaleBlue);  // the bare background
        EXPECT_EQ(At(s.Window("frmAbout", "Label1"), 0, 0), on ? face : kPaleBlue);  // the title's
        EXPECT_EQ(At(s.Window("frmTEOpt", "Picture1"), 1, 1), on ? face : kGrey);
    }
    highContrast = false;
}

}  // namespace
