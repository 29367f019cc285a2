// Close requests on the real windows: Alt+F4 on a shown dialog closes it; the dialogs' hidden
// owner, which the user never sees, ignores it, and a WM_CLOSE from another program (taskkill
// without /F, an installer) to that owner ends the program through its exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "started.h"

namespace {

// The real system, but the end of the program is written down instead of ending the tests, with
// the windows still loaded at that moment.
struct RecordingEnd : hosts::win32::Win32System {
    forms::Runtime* forms = nullptr;
    bool ended = false;
    std::vector<std::string> loadedAtEnd;
    void EndProgram() override {
        ended = true;
        for (const std::string& name : forms->RegisteredNames())
            if (forms->IsLoaded(name))
                loadedAtEnd.push_back(name);
    }
};

TEST(Closing, AltF4ClosesADialogAndWmCloseToItsOwnerEndsTheProgram) {
    testing_support::Started<RecordingEnd> s;
    s.system.forms = &s.program.Forms();
    HWND closed = s.Open("frmTNOpt");
    PostMessageA(closed, WM_SYSCOMMAND, SC_CLOSE, 0);
    s.Pump();
    EXPECT_FALSE(s.program.Forms().IsLoaded("frmTNOpt"));
    EXPECT_FALSE(IsWindow(closed));

    HWND dialog = s.Open("frmTEOpt");
    HWND owner = GetWindow(dialog, GW_OWNER);
    ASSERT_TRUE(owner);
    PostMessageA(owner, WM_SYSCOMMAND, SC_CLOSE, 0);
    s.Pump();
    EXPECT_FALSE(s.system.ended);
    EXPECT_TRUE(IsWindow(dialog));
    PostMessageA(owner, WM_CLOSE, 0, 0);
    s.Pump();
    EXPECT_TRUE(s.system.ended);
    EXPECT_EQ(s.system.loadedAtEnd, std::vector<std::string>{});
    EXPECT_FALSE(IsWindow(dialog));
    // The owner lives on: nothing the runtime holds was destroyed behind its back.
    EXPECT_TRUE(IsWindow(owner));
}

// Restore, maximize and minimize, as a stray message or the window menu sends them, leave every
// window the user never sees hidden: the applet windows and the dialogs' owner.
TEST(Closing, SystemCommandsLeaveTheHiddenWindowsHidden) {
    testing_support::Started<RecordingEnd> s;
    s.system.forms = &s.program.Forms();
    std::vector<HWND> hidden;
    for (const char* name :
         {"frmTAIcon", "frmTCIcon", "frmTDIcon", "frmTEIcon", "frmTNIcon", "frmTPIcon"})
        hidden.push_back(s.Window(name));
    HWND owner = GetWindow(s.Open("frmTEOpt"), GW_OWNER);
    hidden.push_back(owner);
    for (HWND window : hidden) {
        ASSERT_TRUE(window);
        for (WPARAM command : {SC_RESTORE, SC_MAXIMIZE, SC_MINIMIZE, SC_CLOSE}) {
            SCOPED_TRACE(std::to_string(reinterpret_cast<std::uintptr_t>(window)) + " command " +
                         std::to_string(command));
            SendMessageA(window, WM_SYSCOMMAND, command, 0);
            s.Pump();
            EXPECT_FALSE(IsWindowVisible(window));
            EXPECT_FALSE(IsIconic(window) || IsZoomed(window));
        }
    }
    EXPECT_FALSE(s.system.ended);
}

}  // namespace
