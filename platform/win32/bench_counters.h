// Resource counting for the leak benchmark. Only the vornkit_bench build (VORNKIT_BENCH) counts:
// there the hooks below tally what the Win32 layer creates and releases, per kind. In the
// product every hook is the bare call it wraps, so the product carries nothing of it.
//
//   VK_BENCH_CREATED(kind, call)        call, counted once when it returns a non-null result
//   VK_BENCH_CREATED_N(kind, n, call)   the same, counted n times (a process and its thread)
//   VK_BENCH_RELEASED(kind, call)       call, counted once when it reports success
//   VK_BENCH_DESTROY_WINDOW(hwnd)       DestroyWindow(hwnd), counting the window and every
//                                       window inside it that is gone afterwards
#pragma once

#ifdef VORNKIT_BENCH

#include <windows.h>

#include <vector>

namespace platform::win32::bench {

enum Kind { kWindow, kIcon, kFont, kBrush, kMenu, kHandle, kKinds };
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

template <class T>
T Created(Kind kind, long n, T result) {
    if (result)
        Counts().created[kind] += n;
    return result;
}

template <class T>
T Released(Kind kind, T result) {
    if (result)
        ++Counts().released[kind];
    return result;
}

inline BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

inline BOOL DestroyWindowCounted(HWND hwnd) {
    std::vector<HWND> tree{hwnd};
    EnumChildWindows(hwnd, Collect, reinterpret_cast<LPARAM>(&tree));
    const BOOL result = DestroyWindow(hwnd);
    for (HWND h : tree)
        if (!IsWindow(h))
            ++Counts().released[kWindow];
    return result;
}

}  // namespace platform::win32::bench

#define VK_BENCH_CREATED(kind, call) \
    ::platform::win32::bench::Created(::platform::win32::bench::kind, 1, call)
#define VK_BENCH_CREATED_N(kind, n, call) \
    ::platform::win32::bench::Created(::platform::win32::bench::kind, n, call)
#define VK_BENCH_RELEASED(kind, call) \
    ::platform::win32::bench::Released(::platform::win32::bench::kind, call)
#define VK_BENCH_DESTROY_WINDOW(hwnd) ::platform::win32::bench::DestroyWindowCounted(hwnd)

#else

#define VK_BENCH_CREATED(kind, call) (call)
#define VK_BENCH_CREATED_N(kind, n, call) (call)
#define VK_BENCH_RELEASED(kind, call) (call)
#define VK_BENCH_DESTROY_WINDOW(hwnd) DestroyWindow(hwnd)

#endif
