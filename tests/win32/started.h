// The whole program started on the real window system, as WinMain starts it, for tests that
// drive its windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "hosts/win32/win32_system.h"
#include "hosts/win32/win32_window_host.h"
#include "program/program.h"

namespace testing_support {

struct Started {
    explicit Started(platform::win32::MessageFilter filter = {nullptr, nullptr})
        : host(GetModuleHandleA(nullptr), filter), program(system, host) {
        host.SetRuntime(&program.Forms());
        program.Start();
    }
    std::vector<HWND> AppletWindows() {
        std::vector<HWND> found;
        for (const char* name :
             {"frmTAIcon", "frmTCIcon", "frmTDIcon", "frmTEIcon", "frmTNIcon", "frmTPIcon"})
            if (forms::Form* form = program.Forms().Find(name))
                found.push_back(reinterpret_cast<HWND>(form->WindowHandle()));
        return found;
    }
    // Every message waiting, through the program's own loop.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            host.Deliver(msg);
    }
    platform::win32::Win32System system;
    platform::win32::Win32WindowHost host;
    program::Program program;
};

}  // namespace testing_support
