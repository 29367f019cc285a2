// The leak benchmark's cycles, linked into the benchmark's build of the program only: opens and
// closes every dialog N times and starts the Notepad applet's program N times through the real
// windows, then writes what that left behind to <exe name>.txt next to the exe.
#include "bench/cycles.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/leak_counters.h"

namespace bench {

namespace {

void Pump(hosts::win32::Win32WindowHost& host) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        host.Deliver(msg);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindowTree(HWND hwnd, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(hwnd, CountWindow, count);  // every window inside, at any depth
    return TRUE;
}

struct Usage {
    DWORD gdi, user, handles;
    BOOL handlesKnown;
    long windows;  // top-level windows of this thread and every window inside them
    Counters counts;
};

Usage Measure() {
    Usage u = {};
    u.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    u.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    u.handlesKnown = GetProcessHandleCount(GetCurrentProcess(), &u.handles);
    EnumThreadWindows(GetCurrentThreadId(), CountWindowTree, reinterpret_cast<LPARAM>(&u.windows));
    u.counts = Counts();
    return u;
}

// True while a process runs from the file `exe`.
bool Running(const char* exe) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, exe) == 0;
    CloseHandle(snapshot);
    return found;
}

// Waits (at most 10 s) until the program just started has ended, so that starts never pile up.
void WaitEnded(const char* exe) {
    const DWORD start = GetTickCount();
    while (Running(exe) && GetTickCount() - start < 10000)
        Sleep(1);
}

void Cycle(hosts::win32::Win32WindowHost& host, program::Program& program, HWND hook, int n) {
    const char* dialogs[] = {"frmOptions", "frmTDOpt", "frmTEOpt",
                             "frmTCOpt",   "frmTNOpt", "frmAbout"};
    for (const char* name : dialogs)
        for (int i = 0; i < n; ++i) {
            program.Forms().Reopen(name);
            Pump(host);
            program.Forms().Unload(name);
            Pump(host);
        }
    for (int i = 0; i < n; ++i) {
        // The notification area's callback for a left button press on the icon.
        SendMessageA(hook, WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDOWN, 0));
        WaitEnded("notepad.exe");
        Pump(host);
    }
}

}  // namespace

int RunCycles(hosts::win32::Win32WindowHost& host, program::Program& program, int n) {
    Pump(host);
    forms::Form* icon = program.Forms().Find("frmTNIcon");
    if (!icon)
        return 2;
    HWND hook = reinterpret_cast<HWND>(static_cast<UINT_PTR>((*icon)["pichook"].WindowHandle()));
    Cycle(host, program, hook, 1);  // first use: whatever is made once and kept is made now
    const Usage before = Measure();
    const DWORD start = GetTickCount();
    Cycle(host, program, hook, n);
    const DWORD elapsed = GetTickCount() - start;
    const Usage after = Measure();

    char path[MAX_PATH + 8] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* extension = std::strrchr(path, '.');
    std::strcpy(extension ? extension : path + std::strlen(path), ".txt");
    FILE* f = std::fopen(path, "w");
    if (!f)
        return 3;
    std::fprintf(f, "cycles\t%d\nseconds\t%.1f\n", n, elapsed / 1000.0);
    std::fprintf(f, "gdi objects\t%lu\t%lu\n", before.gdi, after.gdi);
    std::fprintf(f, "user objects\t%lu\t%lu\n", before.user, after.user);
    if (before.handlesKnown && after.handlesKnown)
        std::fprintf(f, "process handles\t%lu\t%lu\n", before.handles, after.handles);
    else
        std::fprintf(f, "process handles\tunavailable\tunavailable\n");
    std::fprintf(f, "thread windows\t%ld\t%ld\n", before.windows, after.windows);
    for (int k = 0; k < kKinds; ++k)
        std::fprintf(f, "layer %s\t%ld\t%ld\t%ld\t%ld\n", kKindNames[k],
                     before.counts.created[k] - before.counts.released[k],
                     after.counts.created[k] - after.counts.released[k],
                     after.counts.created[k] - before.counts.created[k],
                     after.counts.released[k] - before.counts.released[k]);
    return std::fclose(f) == 0 ? 0 : 3;
}

}  // namespace bench
