// The benchmark's build of the program: the same start as the product's entry, run on a system
// and a window host that time every step of the start-up (step_timing.h). "--steps FILE" writes
// those steps to FILE once the start-up is done; "--cycles N" then runs the leak cycles
// (cycles.h) and ends the program.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include "bench/cycles.h"
#include "bench/step_timing.h"
#include "program/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::optional<bench::Timed> entry(std::in_place, "WinMain to start-up done");
    std::optional<bench::Timed> dlls(std::in_place, "DLL search restricted");
    hosts::win32::RestrictDllSearchToSystemFolder();
    dlls.reset();
    bench::StepSystem system;
    std::optional<bench::Timed> made(std::in_place, "window host made");
    bench::StepHost host(instance);
    made.reset();
    program::Program program(system, host);
    host.SetRuntime(&program.Forms());
    program.Start();
    entry.reset();
    if (const char* file = std::strstr(GetCommandLineA(), "--steps "))
        bench::WriteSteps(file + 8);
    if (const char* cycles = std::strstr(GetCommandLineA(), "--cycles "))
        return bench::RunCycles(host, program, std::atoi(cycles + 9));

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        host.Deliver(msg);
    return 0;
}
