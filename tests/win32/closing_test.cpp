// Close requests on the real windows: Alt+F4 on a window the user never sees, and WM_CLOSE from
// another program (taskkill without /F, an installer) to the hidden owner of the dialogs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts/win32/win32_system.h"
#include "hosts/win32/win32_window_host.h"
#include "program/program.h"

namespace {

// The real system, but the end of the program is written down instead of ending the tests, with
// the windows still loaded at that moment.
struct RecordingEnd : platform::win32::Win32System {
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

struct Running {
    RecordingEnd system;
    platform::win32::Win32WindowHost host{GetModuleHandleA(nullptr), {nullptr, nullptr}};
    program::Program program{system, host};
    Running() {
        system.forms = &program.Forms();
        host.SetRuntime(&program.Forms());
        program.Start();
        Pump();
    }
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            host.Deliver(msg);
    }
    HWND WindowOf(const char* name) {
        forms::Form* form = program.Forms().Find(name);
        return form ? reinterpret_cast<HWND>(form->WindowHandle()) : nullptr;
    }
};

const char* const kAppletWindows[] = {"frmTAIcon", "frmTCIcon", "frmTDIcon",
                                      "frmTEIcon", "frmTNIcon", "frmTPIcon"};

TEST(Closing, AltF4OnAWindowTheUserNeverSeesChangesNothing) {
    Running r;
    for (const char* name : kAppletWindows) {
        SCOPED_TRACE(name);
        HWND hwnd = r.WindowOf(name);
        ASSERT_TRUE(hwnd);
        PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        r.Pump();
        EXPECT_FALSE(r.system.ended);
        EXPECT_TRUE(IsWindow(hwnd));
        EXPECT_EQ(r.WindowOf(name), hwnd);
    }
}

TEST(Closing, AltF4OnAShownDialogClosesIt) {
    Running r;
    r.program.Forms().Reopen("frmTNOpt");
    r.Pump();
    HWND dialog = r.WindowOf("frmTNOpt");
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    r.Pump();
    EXPECT_FALSE(r.program.Forms().IsLoaded("frmTNOpt"));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(r.system.ended);
}

TEST(Closing, WmCloseToTheDialogsOwnerEndsTheProgramThroughItsExit) {
    Running r;
    r.program.Forms().Reopen("frmTEOpt");
    r.Pump();
    HWND dialog = r.WindowOf("frmTEOpt");
    HWND owner = GetWindow(dialog, GW_OWNER);
    ASSERT_TRUE(owner);
    PostMessageA(owner, WM_SYSCOMMAND, SC_CLOSE, 0);  // the user never sees it either
    r.Pump();
    EXPECT_FALSE(r.system.ended);
    EXPECT_TRUE(IsWindow(dialog));
    PostMessageA(owner, WM_CLOSE, 0, 0);
    r.Pump();
    EXPECT_TRUE(r.system.ended);
    EXPECT_EQ(r.system.loadedAtEnd, std::vector<std::string>{});
    EXPECT_FALSE(IsWindow(dialog));
    // The owner lives on: nothing the runtime holds was destroyed behind its back.
    EXPECT_TRUE(IsWindow(owner));
}

}  // namespace
