// The leak benchmark's run ("--cycles N" on the benchmark's build of the program): every dialog
// opened and closed N times and the Notepad applet's program started N times, through the real
// windows; what that left behind is written to <exe name>.txt next to the exe.
#pragma once

#include "hosts/win32/win32_window_host.h"
#include "program/program.h"

namespace bench {

// Runs the cycles on the started program and returns the process's exit code: 0 when the
// report was written, 2 when the Notepad applet's window is not loaded, 3 when the report could
// not be written.
int RunCycles(hosts::win32::Win32WindowHost& host, program::Program& program, int n);

}  // namespace bench
