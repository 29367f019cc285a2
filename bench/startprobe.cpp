// Start-up timer for the benchmark, run inside Wine on the virtual desktop:
//
//   startprobe TARGET RESULT [--go FILE] [--hold FILE] [--arg ARGUMENT]
//
// records the performance counter, starts TARGET, then copies the tray strip of the screen into
// a memory bitmap about every millisecond until the six rightmost 16 x 16 icon slots all hold
// icon pixels (not one uniform colour). The elapsed milliseconds go to the file RESULT as
// "<ms> <screen copies taken> <target's process id> <counter at the start> <counter at the sixth
// icon> <counter's frequency>" (the performance counter is the machine's: the target's own
// timestamps compare with it), or "timeout ..." when no six icons
// showed within 30 s. With --go, nothing starts before the file GO exists (the caller waits
// for the desktop to settle first); with --hold, the target keeps running until the file HOLD
// exists (so that its memory can be read). Then the target is terminated. With --arg, the
// target's command line carries ARGUMENT after its quoted name.
// Built by CMake as a helper of the Windows builds (target "startprobe").
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kSlots = 6;
constexpr int kIconSize = 16;
constexpr int kPitch = 20;         // from one icon's left edge to the next one's
constexpr int kRightMargin = 18;   // the first icon's left edge, from the screen's right edge
constexpr int kBottomMargin = 18;  // the icon row's top, from the screen's bottom edge
constexpr DWORD kDeadlineMs = 30000;
constexpr DWORD kGoDeadlineMs = 60000;
constexpr DWORD kHoldDeadlineMs = 120000;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

// True when the 16 x 16 square at column `left` of the strip is not all one colour.
bool HoldsIcon(const DWORD* strip, int stripWidth, int left) {
    const DWORD first = strip[left] & 0xFFFFFF;
    for (int y = 0; y < kIconSize; ++y)
        for (int x = left; x < left + kIconSize; ++x)
            if ((strip[y * stripWidth + x] & 0xFFFFFF) != first)
                return true;
    return false;
}

// Waits until the file exists; false when it did not appear within `deadlineMs`. The wait
// blocks on a change to the file's folder (re-checked every 100 ms should a change go unseen):
// polling would keep the prefix busy while the benchmark waits for it to go quiet.
bool WaitForFile(const char* path, DWORD deadlineMs) {
    char folder[MAX_PATH] = {};
    lstrcpynA(folder, path, MAX_PATH);
    if (char* slash = std::strrchr(folder, '\\'))
        *slash = '\0';
    HANDLE change = FindFirstChangeNotificationA(folder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    const DWORD start = GetTickCount();
    bool found = false;
    while (!(found = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= deadlineMs)
            break;
        const DWORD slice = deadlineMs - elapsed < 100 ? deadlineMs - elapsed : 100;
        if (change == INVALID_HANDLE_VALUE)
            Sleep(slice);
        else if (WaitForSingleObject(change, slice) == WAIT_OBJECT_0)
            FindNextChangeNotification(change);
    }
    if (change != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(change);
    return found;
}

bool WriteResult(const char* path, const char* text) {
    FILE* f = std::fopen(path, "w");
    if (!f)
        return false;
    const bool ok = std::fputs(text, f) >= 0;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const char* target = argv[1];
    const char* result = argv[2];
    const char* go = nullptr;
    const char* hold = nullptr;
    const char* argument = nullptr;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--go") == 0)
            go = argv[i + 1];
        else if (std::strcmp(argv[i], "--hold") == 0)
            hold = argv[i + 1];
        else if (std::strcmp(argv[i], "--arg") == 0)
            argument = argv[i + 1];
        else
            return 2;
    }

    // The strip: from the sixth slot's left edge to the first slot's right edge.
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    const int firstLeft = screenW - kRightMargin;
    const int stripLeft = firstLeft - (kSlots - 1) * kPitch;
    const int stripWidth = firstLeft + kIconSize - stripLeft;
    const int stripTop = screenH - kBottomMargin;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = stripWidth;
    bi.bmiHeader.biHeight = -kIconSize;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!screen || !memory || !dib || !bits)
        return 3;
    HGDIOBJ old = SelectObject(memory, dib);
    const auto* strip = static_cast<const DWORD*>(bits);

    if (go && !WaitForFile(go, kGoDeadlineMs)) {
        WriteResult(result, "no-go\n");
        return 5;
    }
    char line[2 * MAX_PATH + 8];
    if (argument)
        std::snprintf(line, sizeof line, "\"%s\" %s", target, argument);
    else
        std::snprintf(line, sizeof line, "\"%s\"", target);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WriteResult(result, "cannot-start\n");
        return 1;
    }

    bool found = false;
    long polls = 0;
    for (;;) {
        BitBlt(memory, 0, 0, stripWidth, kIconSize, screen, stripLeft, stripTop, SRCCOPY);
        GdiFlush();
        QueryPerformanceCounter(&now);
        ++polls;
        int drawn = 0;
        for (int slot = 0; slot < kSlots; ++slot)
            drawn += HoldsIcon(strip, stripWidth, (kSlots - 1 - slot) * kPitch) ? 1 : 0;
        if (drawn == kSlots) {
            found = true;
            break;
        }
        if (Milliseconds(start, now, frequency) > kDeadlineMs)
            break;
        Sleep(1);
    }
    if (found)
        std::snprintf(line, sizeof line, "%.3f %ld %lu %lld %lld %lld\n",
                      Milliseconds(start, now, frequency), polls,
                      static_cast<unsigned long>(pi.dwProcessId), start.QuadPart, now.QuadPart,
                      frequency.QuadPart);
    else
        std::snprintf(line, sizeof line, "timeout %ld %lu\n", polls,
                      static_cast<unsigned long>(pi.dwProcessId));
    WriteResult(result, line);

    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    if (hold)
        WaitForFile(hold, kHoldDeadlineMs);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return found ? 0 : 4;
}
