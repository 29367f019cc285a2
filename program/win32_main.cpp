// Vornkit's entry on Windows: the program on the real platform. The hidden start-up window
// does the rest.
#include <windows.h>

#include "hosts/win32/win32_system.h"
#include "hosts/win32/win32_window_host.h"
#include "program/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    hosts::win32::RestrictDllSearchToSystemFolder();
    hosts::win32::Win32System system;
    hosts::win32::Win32WindowHost host(instance);
    program::Program program(system, host);
    host.SetRuntime(&program.Forms());
    program.Start();

    // Nothing posts WM_QUIT: the program ends through its exit command, which ends the process
    // from inside a handler. GetMessage fails (-1) only for an invalid window or message
    // pointer, which this loop never passes.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        host.Deliver(msg);
    return 0;
}
