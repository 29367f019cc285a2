// The reports of the Windows layer's handle owners and window code, counted for the leak
// benchmark. Linked into the benchmark's build of the program only, whose Windows layer
// (VORNKIT_BENCH) reports here.
#include "bench/leak_counters.h"

#include <windows.h>

#include <vector>

namespace bench {

Counters& Counts() {
    static Counters counters;
    return counters;
}

}  // namespace bench

namespace hosts::win32::counting {

void Created(Kind kind, bool made) {
    if (made)
        ++bench::Counts().created[kind];
}

void Released(Kind kind, bool freed) {
    if (freed)
        ++bench::Counts().released[kind];
}

namespace {

BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

}  // namespace

BOOL DestroyWindowCounted(HWND hwnd) {
    std::vector<HWND> tree{hwnd};
    EnumChildWindows(hwnd, Collect, reinterpret_cast<LPARAM>(&tree));
    const BOOL result = DestroyWindow(hwnd);
    for (HWND h : tree)
        if (!IsWindow(h))
            ++bench::Counts().released[kWindow];
    return result;
}

}  // namespace hosts::win32::counting
