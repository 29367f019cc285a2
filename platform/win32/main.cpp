// Vornkit's entry: the hidden start-up window does the rest.
#include <windows.h>

#include <commctrl.h>

#include "core/program.h"
#include "platform/win32/win32_api.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    platform::win32::Win32Api api(instance);
    core::Program program(api);
    api.SetRuntime(&program.Forms());
    program.Start();

    // The program only ends through its exit command, which ends the process; the loop also
    // ends if the session closes the message queue.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (api.TranslateDialogMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
