// The applet windows on the real platform: an elevated program hears the shell's "TaskbarCreated"
// only through the message filter, so every applet window opens it; the window the icon's
// callbacks come to is never seen.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "started.h"

namespace {

struct FilterCall {
    HWND hwnd;  // nullptr for the whole process
    UINT message;
    DWORD action;
    bool operator==(const FilterCall&) const = default;
};
std::vector<FilterCall> calls;

BOOL WINAPI ForWindow(HWND hwnd, UINT message, DWORD action, void*) {
    calls.push_back({hwnd, message, action});
    return TRUE;
}
BOOL WINAPI ForProcess(UINT message, DWORD action) {
    calls.push_back({nullptr, message, action});
    return TRUE;
}

// For each window alone where Windows can, else for the whole process; where Windows has neither
// form, the program still starts.
TEST(AppletWindows, EachLetsTaskbarCreatedThrough) {
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    const hosts::win32::MessageFilter filters[] = {
        {ForWindow, ForProcess}, {nullptr, ForProcess}, {nullptr, nullptr}};
    for (const hosts::win32::MessageFilter& filter : filters) {
        SCOPED_TRACE(filter.forWindow ? "both" : filter.forProcess ? "process" : "neither");
        calls.clear();
        testing_support::Started<> s(filter);
        std::vector<FilterCall> expected;
        for (const char* name :
             {"frmTAIcon", "frmTCIcon", "frmTDIcon", "frmTEIcon", "frmTNIcon", "frmTPIcon"}) {
            HWND window = s.Window(name);
            ASSERT_TRUE(window) << name;
            if (filter.forProcess)
                expected.push_back({filter.forWindow ? window : nullptr, taskbarCreated, 1});
        }
        EXPECT_EQ(calls, expected);  // MSGFLT_ALLOW for a window, MSGFLT_ADD for the process: 1
    }
}

// The picture that the notification area's callbacks come to is made hidden, and stays so; the
// pictures the dialogs show are made visible.
TEST(AppletWindows, TheIconsCallbackTargetIsNeverSeenWhileTheDialogsPicturesAre) {
    testing_support::Started<> s;
    const auto madeVisible = [](HWND h) {
        return (GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0;
    };
    for (const char* name :
         {"frmTAIcon", "frmTCIcon", "frmTDIcon", "frmTEIcon", "frmTNIcon", "frmTPIcon"}) {
        HWND target = s.Window(name, "pichook");
        ASSERT_TRUE(target) << name;
        EXPECT_FALSE(madeVisible(target)) << name;
    }
    s.Open("frmOptions");
    s.Open("frmAbout");
    EXPECT_TRUE(madeVisible(s.Window("frmOptions", "Picture2")));
    EXPECT_TRUE(madeVisible(s.Window("frmAbout", "Image1")));
}

TEST(MessageFilter, TheSystemFunctionsAreFoundWhereWindowsHasThem) {
    const hosts::win32::MessageFilter filter = hosts::win32::MessageFilter::OfSystem();
    HMODULE user32 = GetModuleHandleA("user32.dll");
    EXPECT_EQ(filter.forWindow != nullptr,
              GetProcAddress(user32, "ChangeWindowMessageFilterEx") != nullptr);
    EXPECT_EQ(filter.forProcess != nullptr,
              GetProcAddress(user32, "ChangeWindowMessageFilter") != nullptr);
}

}  // namespace
