// Vornkit's entry on Windows: the program on the real platform. The hidden start-up window
// does the rest.
#include <windows.h>

#include "platform/win32/system.h"
#include "platform/win32/window_host.h"
#include "program/program.h"

#ifdef VORNKIT_BENCH
// The benchmark's build: "--steps FILE" writes the timed steps of the start-up to FILE (see
// bench_steps.h); "--cycles N" opens and closes every dialog N times and starts the
// Notepad applet's program N times through the real windows, writes what that left behind to
// <exe name>.txt next to the exe and ends the program.
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/win32/bench_counters.h"
#include "platform/win32/bench_steps.h"

namespace {

namespace bench = platform::win32::bench;

void Pump(platform::win32::Win32WindowHost& host) {
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
    bench::Counters counts;
};

Usage Measure() {
    Usage u = {};
    u.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    u.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    u.handlesKnown = GetProcessHandleCount(GetCurrentProcess(), &u.handles);
    EnumThreadWindows(GetCurrentThreadId(), CountWindowTree, reinterpret_cast<LPARAM>(&u.windows));
    u.counts = bench::Counts();
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

void Cycle(platform::win32::Win32WindowHost& host, program::Program& program, HWND hook, int n) {
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

int RunCycles(platform::win32::Win32WindowHost& host, program::Program& program, int n) {
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
    for (int k = 0; k < bench::kKinds; ++k)
        std::fprintf(f, "layer %s\t%ld\t%ld\t%ld\t%ld\n", bench::kKindNames[k],
                     before.counts.created[k] - before.counts.released[k],
                     after.counts.created[k] - after.counts.released[k],
                     after.counts.created[k] - before.counts.created[k],
                     after.counts.released[k] - before.counts.released[k]);
    return std::fclose(f) == 0 ? 0 : 3;
}

}  // namespace
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef VORNKIT_BENCH
    // The start-up's steps, timed: see bench_steps.h.
    std::optional<bench::Timed> entry(std::in_place, "WinMain to start-up done");
    std::optional<bench::Timed> dlls(std::in_place, "DLL search restricted");
    platform::win32::RestrictDllSearchToSystemFolder();
    dlls.reset();
    bench::StepSystem system;
    std::optional<bench::Timed> made(std::in_place, "window host made");
    bench::StepHost host(instance);
    made.reset();
#else
    platform::win32::RestrictDllSearchToSystemFolder();
    platform::win32::Win32System system;
    platform::win32::Win32WindowHost host(instance);
#endif
    program::Program program(system, host);
    host.SetRuntime(&program.Forms());
    program.Start();
#ifdef VORNKIT_BENCH
    entry.reset();
    if (const char* steps = std::strstr(GetCommandLineA(), "--steps "))
        bench::WriteSteps(steps + 8);
    if (const char* cycles = std::strstr(GetCommandLineA(), "--cycles "))
        return RunCycles(host, program, std::atoi(cycles + 9));
#endif

    // Nothing posts WM_QUIT: the program ends through its exit command, which ends the process
    // from inside a handler. GetMessage fails (-1) only for an invalid window or message
    // pointer, which this loop never passes.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        host.Deliver(msg);
    return 0;
}
