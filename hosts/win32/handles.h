// Owners of the Windows handles the program makes: each holds one handle, frees it in its
// destructor and can be moved but not copied. They also report what they make and free, which
// the leak benchmark's build counts, so that a leak shows.
#pragma once

#include <windows.h>

#include <utility>

namespace hosts::win32 {

// What the Windows layer reports of each handle it makes and frees, per kind. Only the leak
// benchmark's build (VORNKIT_BENCH) counts the reports: its counters are the benchmark's own
// (bench/leak_counters.h). In the product every report is an empty inline function.
namespace counting {

enum Kind { kWindow, kIcon, kFont, kBrush, kMenu, kHandle, kKinds };

#ifdef VORNKIT_BENCH
// One creation when `made` holds (the call gave a handle).
void Created(Kind kind, bool made);
// One release when `freed` holds (the call succeeded).
void Released(Kind kind, bool freed);
// DestroyWindow, reporting the window and every window inside it that is gone afterwards.
BOOL DestroyWindowCounted(HWND hwnd);
#else
inline void Created(Kind, bool) {}
inline void Released(Kind, bool) {}
inline BOOL DestroyWindowCounted(HWND hwnd) {
    return DestroyWindow(hwnd);
}
#endif

}  // namespace counting

template <class Handle, class Traits>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle h) : h_(h) { counting::Created(Traits::kKind, h != nullptr); }
    ~Owned() { Free(); }
    Owned(Owned&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Free();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Frees the handle now; true when there was one and it was freed. The handle is held until
    // the free has returned, so that a window's last messages still find it.
    bool Free() {
        if (!h_)
            return false;
        const bool freed = Traits::Free(h_);
        h_ = nullptr;
        if (Traits::kCountRelease)
            counting::Released(Traits::kKind, freed);
        return freed;
    }
    // Lets go of a handle that is no longer valid (something else destroyed it) without freeing it.
    void Forget() { h_ = nullptr; }

private:
    Handle h_ = nullptr;
};

// For each kind: what it is counted as, whether the owner counts its release, and how it is
// freed.
template <counting::Kind K>
struct CountedRelease {
    static constexpr counting::Kind kKind = K;
    static constexpr bool kCountRelease = true;
};
struct IconTraits : CountedRelease<counting::kIcon> {
    static bool Free(HICON h) { return DestroyIcon(h) != FALSE; }
};
struct FontTraits : CountedRelease<counting::kFont> {
    static bool Free(HFONT h) { return DeleteObject(h) != FALSE; }
};
struct BrushTraits : CountedRelease<counting::kBrush> {
    static bool Free(HBRUSH h) { return DeleteObject(h) != FALSE; }
};
struct MenuTraits : CountedRelease<counting::kMenu> {
    static bool Free(HMENU h) { return DestroyMenu(h) != FALSE; }
};
struct KernelHandleTraits : CountedRelease<counting::kHandle> {  // a process or thread handle
    static bool Free(HANDLE h) { return CloseHandle(h) != FALSE; }
};
struct WindowTraits {  // a window and, with it, every window inside it
    static constexpr counting::Kind kKind = counting::kWindow;
    static constexpr bool kCountRelease = false;  // the destroy counts every window that went
    static bool Free(HWND h) { return counting::DestroyWindowCounted(h) != FALSE; }
};

using OwnedIcon = Owned<HICON, IconTraits>;
using OwnedFont = Owned<HFONT, FontTraits>;
using OwnedBrush = Owned<HBRUSH, BrushTraits>;
using OwnedMenu = Owned<HMENU, MenuTraits>;
using OwnedKernelHandle = Owned<HANDLE, KernelHandleTraits>;
using OwnedWindow = Owned<HWND, WindowTraits>;

// A registry key the program opened. Closing reports the registry's own result code, which the
// program's registry routine hands on; a key still open when its owner goes is closed then.
class OwnedKey {
public:
    explicit OwnedKey(HKEY key) : key_(key) {}
    ~OwnedKey() { Close(); }
    OwnedKey(OwnedKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    OwnedKey& operator=(OwnedKey&&) = delete;
    OwnedKey(const OwnedKey&) = delete;
    OwnedKey& operator=(const OwnedKey&) = delete;
    LONG Close() { return key_ ? RegCloseKey(std::exchange(key_, nullptr)) : ERROR_INVALID_HANDLE; }

private:
    HKEY key_;
};

// The screen's device context, for measuring.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A window's device context for painting, between BeginPaint and EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintDC() { EndPaint(hwnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// An object selected into a device context until the end of the scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace hosts::win32
