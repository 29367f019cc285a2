// The benchmark's yardstick: the least a six-icon tray program can do. It creates six hidden
// windows, adds one notification icon for each and waits for messages; nothing else.
//
// Its step-timing variant (vornkit_reference_bench, VORNKIT_BENCH) times each of those calls and
// with "--steps FILE" writes them as vornkit_bench.exe writes its own (bench/step_timing.h), so
// that the benchmark can set the two start-ups side by side.
#include <windows.h>

#include <shellapi.h>

#ifdef VORNKIT_BENCH
#include <cstdio>
#include <cstring>
#include <optional>

#include "bench/step_timing.h"
#define STEP(what, detail) bench::Timed step_(what, detail)
#else
#define STEP(what, detail)
#endif

#include "resources/resource.h"

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef VORNKIT_BENCH
    std::optional<bench::Timed> entry(std::in_place, "WinMain to start-up done");
#endif
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "ReferenceTray";
    {
        STEP("window host made", "");
        RegisterClassA(&wc);
    }
    const int icons[] = {IDI_TA, IDI_TC, IDI_TD, IDI_TE, IDI_TN, IDI_TP};
    for (int id : icons) {
        STEP("window made", "Icon");  // the window and its icon, until the icon is added
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
#ifdef VORNKIT_BENCH
        bench::Timed add("icon call", "0");
#endif
        Shell_NotifyIconA(NIM_ADD, &nid);
    }
#ifdef VORNKIT_BENCH
    entry.reset();
    if (const char* steps = std::strstr(GetCommandLineA(), "--steps "))
        bench::WriteSteps(steps + 8);
#endif
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
