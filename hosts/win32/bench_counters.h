// Resource counting for the leak benchmark. Only the vornkit_bench build (VORNKIT_BENCH) counts:
// there the handle owners (handles.h) and the window code tally what the Windows layer creates
// and releases, per kind. In the product every counter is an empty inline function.
#pragma once

#include <windows.h>

#ifdef VORNKIT_BENCH
#include <vector>
#endif

namespace hosts::win32::bench {

enum Kind { kWindow, kIcon, kFont, kBrush, kMenu, kHandle, kKinds };

#ifdef VORNKIT_BENCH

inline constexpr const char* kKindNames[kKinds] = {"windows", "icons", "fonts",
                                                   "brushes", "menus", "process/thread handles"};

struct Counters {
    long created[kKinds] = {};
    long released[kKinds] = {};
};

inline Counters& Counts() {
    static Counters counters;
    return counters;
}

// Counts one creation when `made` holds (the call gave a handle).
inline void Created(Kind kind, bool made) {
    if (made)
        ++Counts().created[kind];
}

// Counts one release when `freed` holds (the call succeeded).
inline void Released(Kind kind, bool freed) {
    if (freed)
        ++Counts().released[kind];
}

inline BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

// DestroyWindow, counting the window and every window inside it that is gone afterwards.
inline BOOL DestroyWindowCounted(HWND hwnd) {
    std::vector<HWND> tree{hwnd};
    EnumChildWindows(hwnd, Collect, reinterpret_cast<LPARAM>(&tree));
    const BOOL result = DestroyWindow(hwnd);
    for (HWND h : tree)
        if (!IsWindow(h))
            ++Counts().released[kWindow];
    return result;
}

#else

inline void Created(Kind, bool) {}
inline void Released(Kind, bool) {}
inline BOOL DestroyWindowCounted(HWND hwnd) {
    return DestroyWindow(hwnd);
}

#endif

}  // namespace hosts::win32::bench
