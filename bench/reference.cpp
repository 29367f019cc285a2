// The benchmark's yardstick: the least a six-icon tray program can do. It creates six hidden
// windows, adds one notification icon for each and waits for messages; nothing else.
#include <windows.h>

#include <shellapi.h>

#include "resources/resource.h"

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "ReferenceTray";
    RegisterClassA(&wc);
    const int icons[] = {IDI_TA, IDI_TC, IDI_TD, IDI_TE, IDI_TN, IDI_TP};
    for (int id : icons) {
        HWND hwnd = CreateWindowExA(0, "ReferenceTray", "Icon", WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, instance, nullptr);
        NOTIFYICONDATAA nid = {};
        // The original record: 88 bytes in the 32-bit build, 104 in the 64-bit one.
        nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
        nid.hWnd = hwnd;
        nid.uID = 1;
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = WM_MOUSEMOVE;
        nid.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0));
        lstrcpynA(nid.szTip, "Reference", sizeof nid.szTip);
        Shell_NotifyIconA(NIM_ADD, &nid);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
