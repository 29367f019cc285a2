// The whole program started on the real window system, as WinMain starts it, for tests that
// drive its windows.
#pragma once

#include <windows.h>

#include "hosts/win32/win32_system.h"
#include "hosts/win32/win32_window_host.h"
#include "program/program.h"

namespace testing_support {

template <class System = hosts::win32::Win32System>
struct Started {
    explicit Started(
        hosts::win32::MessageFilter filter = {nullptr, nullptr},
        hosts::win32::HighContrastQuery highContrast = hosts::win32::SystemHighContrast,
        hosts::win32::DpiQuery dpi = hosts::win32::MonitorDpi)
        : host(GetModuleHandleA(nullptr), filter, highContrast, dpi), program(system, host) {
        host.SetRuntime(&program.Forms());
        program.Start();
    }
    // A form's window, or one of its controls'; nullptr while the form is not loaded.
    HWND Window(const char* form, const char* control = nullptr) {
        forms::Form* f = program.Forms().Find(form);
        if (!f)
            return nullptr;
        return reinterpret_cast<HWND>(control ? (*f)[control].WindowHandle() : f->WindowHandle());
    }
    // The form shown, everything its showing caused handled.
    HWND Open(const char* form) {
        program.Forms().Reopen(form);
        Pump();
        return Window(form);
    }
    // Every message waiting, through the program's own loop.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            host.Deliver(msg);
    }
    System system;
    hosts::win32::Win32WindowHost host;
    program::Program program;
};

}  // namespace testing_support
