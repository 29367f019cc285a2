// Looks at the running desktop for the end-to-end tests, from inside the same Wine prefix: the
// window state that pixels cannot give. Captions come from GetWindowTextA, which for another
// process's window returns the stored text without sending that window a message.
//
//   probe windows        one line per visible top-level window
//   probe children HWND  one line per child window of HWND (a message box's text and buttons)
//   probe text HWND      the text a window reports when asked (WM_GETTEXT): a tooltip's tip
//   probe idle NAME MS   one line per running process whose file is NAME: its id TAB the result
//                        of WaitForInputIdle (0 once it waits in its message loop, 258 on
//                        timeout, anything else on failure)
//   probe blank-icon MS  shows a fully transparent tray icon for MS milliseconds: the taskbar
//                        (shown only while the tray holds an icon) with nothing drawn in it
//
// Window lines: hwnd TAB class TAB caption TAB left TAB top TAB right TAB bottom TAB control id
// (0 for top-level windows); control characters in captions are shown as blanks.
// Built with: i686-w64-mingw32-g++ -O2 -static -mconsole -s probe.cpp -o probe.exe
#include <windows.h>
// The headers below need windows.h first.
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void PrintWindow(HWND hwnd) {
    char cls[256] = {};
    char text[1024] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    GetWindowTextA(hwnd, text, sizeof(text));
    for (char* p = text; *p; ++p) {
        if (static_cast<unsigned char>(*p) < 0x20) *p = ' ';
    }
    RECT r = {};
    GetWindowRect(hwnd, &r);
    long id = (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) ? GetDlgCtrlID(hwnd) : 0;
    std::printf("%lu\t%s\t%s\t%ld\t%ld\t%ld\t%ld\t%ld\n",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(hwnd)), cls, text, r.left,
                r.top, r.right, r.bottom, id);
}

BOOL CALLBACK PrintIfVisible(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd)) PrintWindow(hwnd);
    return TRUE;
}

BOOL CALLBACK PrintIfChildOf(HWND hwnd, LPARAM parent) {
    if (GetParent(hwnd) == reinterpret_cast<HWND>(parent)) PrintWindow(hwnd);
    return TRUE;
}

void PrintText(HWND hwnd) {
    char text[1024] = {};
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, &copied)) {
        std::printf("%s\n", text);
    }
}

void PrintIdle(const char* exe_name, DWORD timeout_ms) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exe_name) != 0) continue;
        HANDLE process =
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
        DWORD result = process ? WaitForInputIdle(process, timeout_ms) : WAIT_FAILED;
        if (process) CloseHandle(process);
        std::printf("%lu\t%lu\n", static_cast<unsigned long>(entry.th32ProcessID),
                    static_cast<unsigned long>(result));
    }
    CloseHandle(snapshot);
}

void ShowBlankIcon(DWORD ms) {
    BYTE and_mask[16 * 16 / 8];
    BYTE xor_mask[16 * 16 / 8] = {};
    std::memset(and_mask, 0xFF, sizeof(and_mask));  // every pixel shows what lies beneath
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    icon.uID = 1;
    icon.uFlags = NIF_ICON;
    icon.hIcon = CreateIcon(GetModuleHandleA(nullptr), 16, 16, 1, 1, and_mask, xor_mask);
    Shell_NotifyIconA(NIM_ADD, &icon);
    Sleep(ms);
    Shell_NotifyIconA(NIM_DELETE, &icon);
}

// Runs one command; false when it is unknown or lacks its arguments.
bool Run(int argc, char** argv) {
    const char* command = argc >= 2 ? argv[1] : "";
    if (std::strcmp(command, "windows") == 0) {
        EnumWindows(PrintIfVisible, 0);
        return true;
    }
    if (std::strcmp(command, "children") == 0 && argc >= 3) {
        HWND parent = reinterpret_cast<HWND>(std::strtoul(argv[2], nullptr, 10));
        EnumChildWindows(parent, PrintIfChildOf, reinterpret_cast<LPARAM>(parent));
        return true;
    }
    if (std::strcmp(command, "text") == 0 && argc >= 3) {
        PrintText(reinterpret_cast<HWND>(std::strtoul(argv[2], nullptr, 10)));
        return true;
    }
    if (std::strcmp(command, "idle") == 0 && argc >= 4) {
        PrintIdle(argv[2], std::strtoul(argv[3], nullptr, 10));
        return true;
    }
    if (std::strcmp(command, "blank-icon") == 0 && argc >= 3) {
        ShowBlankIcon(std::strtoul(argv[2], nullptr, 10));
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!Run(argc, argv)) {
        std::fprintf(stderr, "usage: probe windows | children HWND | text HWND | idle NAME MS | "
                             "blank-icon MS\n");
        return 2;
    }
    return 0;
}
