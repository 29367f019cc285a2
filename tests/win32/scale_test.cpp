// A change of scale on the real windows: a dialog moved to a monitor of another DPI is, pixel for
// pixel, the dialog opened there, and keeps what the user did in it; the notification icons are
// made again at the new size, and a click on them still means what it did. Wine gives a window
// the system's DPI for good: the host is handed the test's answer, and the test sends the
// messages Windows sends.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "started.h"

namespace {

using hosts::win32::kWmDpiChanged, hosts::win32::kWmGetDpiScaledSize;
int dpi = 96;  // the DPI of the monitor every window is on

// What a dialog shows: its client size, each control's rectangle (client pixels, in z-order),
// font height (the text metrics' height, 0 for none), check state and text, which control has
// the focus, the caption's small icon's width and the client area as drawn.
struct Look {
    SIZE client{};
    std::vector<std::vector<long>> controls;
    std::string focus, texts;
    int smallIcon = 0;
    std::vector<std::uint32_t> pixels;
};

int IconWidth(HICON icon) {
    ICONINFO info = {};
    BITMAP bitmap = {};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

std::vector<std::uint32_t> Pixels(HWND w, SIZE size) {
    RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.cx * size.cy));
    HDC dc = GetDC(w), memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, size.cx, size.cy);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(w, dc);
    return pixels;
}

Look LookOf(HWND w) {
    Look look;
    RECT client;
    GetClientRect(w, &client);
    look.client = {client.right, client.bottom};
    HDC dc = GetDC(w);
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        TEXTMETRICA tm = {};
        if (auto font = reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0))) {
            HGDIOBJ old = SelectObject(dc, font);
            GetTextMetricsA(dc, &tm);
            SelectObject(dc, old);
        }
        look.controls.push_back({r.left, r.top, r.right, r.bottom, tm.tmHeight});
        char text[64] = {};
        GetWindowTextA(c, text, sizeof text);
        look.texts +=
            std::string(text) + "=" + std::to_string(SendMessageA(c, BM_GETCHECK, 0, 0)) + ";";
        if (GetFocus() == c)
            look.focus = text;
    }
    ReleaseDC(w, dc);
    look.smallIcon = IconWidth(reinterpret_cast<HICON>(SendMessageA(w, WM_GETICON, ICON_SMALL, 0)));
    look.pixels = Pixels(w, look.client);
    return look;
}

// What one dialog stored must not show in the next one, nor in the other tests' dialogs.
void ForgetSettings() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    DeleteFileA((std::string(windows) + "\\vornkit.ini").c_str());
}

// As Windows moves a window to a monitor of `to` dpi: it asks the size the window wants there,
// then tells it the DPI and the rectangle to take.
void MoveTo(testing_support::Started<>& s, HWND w, int to) {
    dpi = to;
    SIZE size = {};
    SendMessageA(w, kWmGetDpiScaledSize, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(&size));
    RECT suggested = {0, 0, size.cx, size.cy};
    SendMessageA(w, kWmDpiChanged, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    s.Pump();
}

TEST(Scale, ADialogMovedToAnotherDpiIsTheDialogOpenedThereWithWhatTheUserDidKept) {
    // What the user does in each dialog: clicks a box or an option, types, and leaves the focus.
    const struct {
        const char *dialog, *clicked, *typed;
    } cases[] = {{"frmOptions", "TDCheck", nullptr}, {"frmTDOpt", "optMin", "/c dir"},
                 {"frmTEOpt", "optNorm", "/e,C:\\"}, {"frmTCOpt", "optMin", nullptr},
                 {"frmTNOpt", "optNorm", nullptr},   {"frmAbout", nullptr, nullptr}};
    testing_support::Started<> s({nullptr, nullptr}, hosts::win32::SystemHighContrast,
                                 [](HWND) { return dpi; });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog);
        const auto open = [&](int at) {
            dpi = at;
            ForgetSettings();
            HWND w = s.Open(c.dialog);
            if (c.clicked) {
                SendMessageA(s.Window(c.dialog, c.clicked), BM_CLICK, 0, 0);
                SetFocus(s.Window(c.dialog, c.clicked));
            }
            for (const char* ch = c.typed; ch && *ch; ++ch)
                PostMessageA(s.Window(c.dialog, "txtParam"), WM_CHAR, static_cast<WPARAM>(*ch), 1);
            s.Pump();
            return w;
        };
        open(144);
        const Look fresh144 = LookOf(s.Window(c.dialog));
        HWND w = open(96);
        const Look fresh96 = LookOf(w);
        for (const Look* fresh : {&fresh144, &fresh96}) {
            const int to = fresh == &fresh144 ? 144 : 96;
            SCOPED_TRACE(to);
            MoveTo(s, w, to);
            const Look moved = LookOf(w);
            EXPECT_EQ(moved.client.cx, fresh->client.cx);
            EXPECT_EQ(moved.client.cy, fresh->client.cy);
            EXPECT_EQ(moved.controls, fresh->controls);
            EXPECT_EQ(moved.texts, fresh->texts);
            EXPECT_EQ(moved.focus, fresh->focus);
            EXPECT_EQ(moved.smallIcon, fresh->smallIcon);
            EXPECT_TRUE(moved.pixels == fresh->pixels) << "the client areas differ";
        }
        EXPECT_EQ(fresh144.client.cx,
                  MulDiv(s.program.Forms().Find(c.dialog)->Design().clientWidth, 144, 1440));
    }
    ForgetSettings();
    dpi = 96;
}

// Every icon handed to the shell, and every program started, none of them really.
struct RecordingShell : hosts::win32::Win32System {
    std::vector<HICON> icons;
    int started = 0;
    bool Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconData& r) override {
        icons.push_back(reinterpret_cast<HICON>(r.hIcon));
        return Win32System::Shell_NotifyIconA(message, r);
    }
    bool StartProgram(const std::string&, const std::string&, std::int32_t) override {
        ++started;
        return true;
    }
    bool IsFile(const std::string&) override { return true; }  // every program is there
};

// Told of a new DPI, or hearing the shell come back at one, each applet window hands the shell
// its icon at the new small size; a left click's notice then still starts its program.
TEST(Scale, TheIconsAreMadeAgainAtTheNewSizeAndClicksKeepTheirMeaning) {
    dpi = 96;
    testing_support::Started<RecordingShell> s({nullptr, nullptr}, hosts::win32::SystemHighContrast,
                                               [](HWND) { return dpi; });
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    for (const char* name :
         {"frmTAIcon", "frmTCIcon", "frmTDIcon", "frmTEIcon", "frmTNIcon", "frmTPIcon"}) {
        SCOPED_TRACE(name);
        HWND w = s.Window(name);
        ASSERT_TRUE(w);
        dpi = 144;
        RECT none = {};
        SendMessageA(w, kWmDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&none));
        ASSERT_FALSE(s.system.icons.empty());
        EXPECT_EQ(IconWidth(s.system.icons.back()), 24);
        dpi = 120;
        SendMessageA(w, taskbarCreated, 0, 0);
        EXPECT_EQ(IconWidth(s.system.icons.back()), 20);
        const int started = s.system.started;
        PostMessageA(s.Window(name, "pichook"), WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDOWN, 0));
        s.Pump();
        EXPECT_EQ(s.system.started, started + 1);
    }
    dpi = 96;
}

}  // namespace
