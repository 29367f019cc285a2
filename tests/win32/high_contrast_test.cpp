// High contrast on the real windows: the About box and an applet dialog drawn in the system's
// colours while it is on, in their designed ones once it is off again, repainted at each change.
// Wine always reports high contrast off; the host is handed the test's answer instead, and the
// system colours are set to a high-contrast scheme as Windows sets them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hosts/win32/win32_system.h"
#include "hosts/win32/win32_window_host.h"
#include "program/program.h"

namespace {

bool highContrast = false;
bool TestHighContrast() {
    return highContrast;
}

constexpr COLORREF kPaleBlue = RGB(192, 192, 255);
constexpr COLORREF kGrey = RGB(192, 192, 192);

struct Shown {
    platform::win32::Win32System system;
    platform::win32::Win32WindowHost host{
        GetModuleHandleA(nullptr), {nullptr, nullptr}, TestHighContrast};
    program::Program program{system, host};
    Shown() {
        host.SetRuntime(&program.Forms());
        program.Start();
    }
    HWND Open(const char* name) {
        program.Forms().Reopen(name);
        Pump();
        return reinterpret_cast<HWND>(program.Forms().Find(name)->WindowHandle());
    }
    HWND Control(const char* form, const char* control) {
        return reinterpret_cast<HWND>((*program.Forms().Find(form))[control].WindowHandle());
    }
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            host.Deliver(msg);
    }
};

// The colour drawn at a point of a window's client area, once everything waiting is painted.
COLORREF At(HWND hwnd, int x, int y) {
    RedrawWindow(GetAncestor(hwnd, GA_ROOT), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

// With VORNKIT_SHOTS set to a folder, the window as shown is saved there as a BMP file.
void Save(HWND hwnd, const char* name) {
    const char* folder = std::getenv("VORNKIT_SHOTS");
    if (!folder)
        return;
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetWindowRect(hwnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    const DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + size),
                             0, 0, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader)};
    if (FILE* f = std::fopen((std::string(folder) + "\\" + name).c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
        std::fwrite(bits, size, 1, f);
        std::fclose(f);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
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
    Shown s;
    HWND about = s.Open("frmAbout");
    HWND dialog = s.Open("frmTEOpt");
    // Apart, so that each is seen whole.
    SetWindowPos(about, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND picture = s.Control("frmTEOpt", "Picture1");
    HWND title = s.Control("frmAbout", "Label1");
    RECT aboutClient;
    GetClientRect(about, &aboutClient);
    const int bottom = aboutClient.bottom - 4;  // the bare background, inside the edge
    for (bool on : {false, true, false}) {
        SCOPED_TRACE(on ? "on" : "off");
        TurnHighContrast(on);
        s.Pump();
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(At(about, 4, bottom), on ? face : kPaleBlue);
        EXPECT_EQ(At(title, 0, 0), on ? face : kPaleBlue);  // the title label's own background
        EXPECT_EQ(At(picture, 1, 1), on ? face : kGrey);
        Save(about, on ? "about-high-contrast.bmp" : "about.bmp");
        Save(dialog, on ? "te-options-high-contrast.bmp" : "te-options.bmp");
    }
    highContrast = false;
}

}  // namespace
