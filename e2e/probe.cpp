// Looks at the running desktop for the end-to-end tests, from inside the same Wine prefix: the
// window state that pixels cannot give. Captions come from GetWindowTextA, which for another
// process's window returns the stored text without sending that window a message.
//
//   probe windows        one line per visible top-level window
//   probe all-windows    one line per top-level window, hidden ones too
//   probe window HWND    the line of one window, visible or not; nothing once it is gone
//   probe foreground     the line of the window in front (the one the keyboard reaches)
//   probe children HWND  one line per child window of HWND (a message box's text and buttons, a
//                        dialog's controls); an edit control's text is what it answers to
//                        WM_GETTEXT, a button's check state what it answers to BM_GETCHECK
//   probe text HWND      the text a window reports when asked (WM_GETTEXT): a tooltip's tip
//   probe accname HWND   the name a screen reader reads for the window (its accessible object's
//                        name, through Active Accessibility, from this process), in UTF-8;
//                        "failed" when no object or name came
//   probe taskbar        the handle of each window that has a button showing in the taskbar
//                        (Wine's taskbar buttons are children of the tray window whose control
//                        id is the handle of the window they stand for)
//   probe regvalue KEY NAME  a registry value as stored: its type TAB its size in bytes TAB
//                        the bytes in hex (strings are stored in UTF-16); nothing when there is
//                        no such value. KEY is a full path: HKEY_LOCAL_MACHINE\SOFTWARE\...
//   probe idle NAME MS   one line per running process whose file is NAME: its id TAB the result
//                        of WaitForInputIdle (0 once it waits in its message loop, 258 on
//                        timeout, anything else on failure)
//   probe send HWND MSG WPARAM LPARAM  sends a message and prints the answer ("failed N" when
//                        none came within 5 s); numbers in decimal or 0x hex
//   probe post HWND MSG WPARAM LPARAM  posts a message; prints 1, or 0 when it could not
//   probe dpi-changed HWND DPI  moves a window to a monitor of DPI as Windows does: asks it the
//                        size it wants there (WM_GETDPISCALEDSIZE), then tells it the DPI and
//                        the rectangle to take (WM_DPICHANGED), both in the window's own
//                        memory; prints the size asked for and the answer, or "failed"
//   probe refuse-icons MS [FILE]  for MS milliseconds, or until FILE exists, a window of the
//                        tray's class, in front of the real tray, refuses every icon; prints
//                        "ready", then "refused N"
//   probe blank-icon MS  shows a fully transparent tray icon for MS milliseconds: the taskbar
//                        (shown only while the tray holds an icon) with nothing drawn in it
//
// Window lines: hwnd TAB class TAB caption TAB left TAB top TAB right TAB bottom TAB control id
// (0 for top-level windows) TAB visible (0/1) TAB style TAB extended style TAB owner TAB check
// state (BM_GETCHECK for a button, -1 for any other class); styles in decimal; control
// characters in captions are shown as blanks.
#include <windows.h>
// The headers below need windows.h first.
#include <oleacc.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT kAnswerWithin = 2000;  // ms a window is given to answer a message

bool IsClass(HWND hwnd, const char* name) {
    char cls[256] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    return lstrcmpiA(cls, name) == 0;
}

// What the window answers to WM_GETTEXT; false if it did not answer in time.
bool AskText(HWND hwnd, char* text, int size) {
    DWORD_PTR copied = 0;
    text[0] = '\0';
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, kAnswerWithin, &copied))
        return false;
    text[size - 1] = '\0';
    return true;
}

// With ask, an edit control's text and a button's check state are asked of the window itself.
void PrintWindow(HWND hwnd, bool ask = false) {
    char cls[256] = {};
    char text[1024] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (ask && IsClass(hwnd, "Edit"))
        AskText(hwnd, text, sizeof(text));
    else
        GetWindowTextA(hwnd, text, sizeof(text));
    for (char* p = text; *p; ++p) {
        if (static_cast<unsigned char>(*p) < 0x20)
            *p = ' ';
    }
    RECT r = {};
    GetWindowRect(hwnd, &r);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    const LONG ex_style = GetWindowLongA(hwnd, GWL_EXSTYLE);
    long id = (style & WS_CHILD) ? GetDlgCtrlID(hwnd) : 0;
    long check = -1;
    DWORD_PTR state = 0;
    if (ask && IsClass(hwnd, "Button") &&
        SendMessageTimeoutA(hwnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kAnswerWithin, &state))
        check = static_cast<long>(state);
    std::printf(
        "%llu\t%s\t%s\t%ld\t%ld\t%ld\t%ld\t%ld\t%d\t%lu\t%lu\t%llu\t%ld\n",
        static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(hwnd)), cls, text, r.left,
        r.top, r.right, r.bottom, id, IsWindowVisible(hwnd) ? 1 : 0,
        static_cast<unsigned long>(style), static_cast<unsigned long>(ex_style),
        static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(GetWindow(hwnd, GW_OWNER))),
        check);
}

BOOL CALLBACK PrintAny(HWND hwnd, LPARAM) {
    PrintWindow(hwnd);
    return TRUE;
}

BOOL CALLBACK PrintIfVisible(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd))
        PrintWindow(hwnd);
    return TRUE;
}

BOOL CALLBACK PrintIfChildOf(HWND hwnd, LPARAM parent) {
    if (GetParent(hwnd) == reinterpret_cast<HWND>(parent))
        PrintWindow(hwnd, true);
    return TRUE;
}

void PrintText(HWND hwnd) {
    char text[1024] = {};
    if (AskText(hwnd, text, sizeof(text)))
        std::printf("%s\n", text);
}

// Active Accessibility's DLLs are loaded for this command alone: every other command starts
// without them.
void PrintAccessibleName(HWND hwnd) {
    using Initialize = HRESULT(WINAPI*)(void*);
    using Uninitialize = void(WINAPI*)();
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    using FreeString = void(WINAPI*)(BSTR);
    HMODULE ole32 = LoadLibraryA("ole32.dll");
    HMODULE oleacc = LoadLibraryA("oleacc.dll");
    HMODULE oleaut32 = LoadLibraryA("oleaut32.dll");
    auto find = [](HMODULE dll, const char* name) {
        return dll ? reinterpret_cast<void*>(GetProcAddress(dll, name)) : nullptr;
    };
    auto init = reinterpret_cast<Initialize>(find(ole32, "CoInitialize"));
    auto uninit = reinterpret_cast<Uninitialize>(find(ole32, "CoUninitialize"));
    auto fromWindow = reinterpret_cast<FromWindow>(find(oleacc, "AccessibleObjectFromWindow"));
    auto freeString = reinterpret_cast<FreeString>(find(oleaut32, "SysFreeString"));
    if (!init || !uninit || !fromWindow || !freeString) {
        std::printf("failed (no Active Accessibility)\n");
        return;
    }
    // IID_IAccessible, spelt out so that nothing is linked for it.
    const GUID iidAccessible = {
        0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    init(nullptr);
    IAccessible* object = nullptr;
    BSTR name = nullptr;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const HRESULT got = fromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), iidAccessible,
                                   reinterpret_cast<void**>(&object));
    if (FAILED(got) || !object) {
        std::printf("failed (no object: 0x%08lx)\n", static_cast<unsigned long>(got));
    } else if (FAILED(object->get_accName(self, &name)) || !name) {
        std::printf("failed (no name)\n");
    } else {
        char text[1024] = {};
        WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof(text) - 1, nullptr, nullptr);
        std::printf("%s\n", text);
    }
    if (name)
        freeString(name);
    if (object)
        object->Release();
    uninit();
}

BOOL CALLBACK PrintTaskbarButton(HWND button, LPARAM tray) {
    if (GetParent(button) == reinterpret_cast<HWND>(tray) && IsClass(button, "Button") &&
        IsWindowVisible(button)) {
        const LONG_PTR id = GetWindowLongPtrA(button, GWLP_ID);
        if (id)
            std::printf("%llu\n", static_cast<unsigned long long>(id));  // 0: the start button
    }
    return TRUE;
}

void PrintTaskbar() {
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    if (tray)
        EnumChildWindows(tray, PrintTaskbarButton, reinterpret_cast<LPARAM>(tray));
}

void PrintRegistryValue(const char* path, const char* name) {
    static const struct {
        const char* name;
        HKEY key;
    } kRoots[] = {{"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                  {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                  {"HKEY_USERS", HKEY_USERS}};
    const char* slash = std::strchr(path, '\\');
    const size_t root_length = slash ? static_cast<size_t>(slash - path) : std::strlen(path);
    HKEY root = nullptr;
    for (const auto& r : kRoots) {
        if (std::strlen(r.name) == root_length && _strnicmp(path, r.name, root_length) == 0)
            root = r.key;
    }
    if (!root)
        return;
    wchar_t sub_key[1024] = {};
    wchar_t value_name[256] = {};
    MultiByteToWideChar(CP_ACP, 0, slash ? slash + 1 : "", -1, sub_key, 1024);
    MultiByteToWideChar(CP_ACP, 0, name, -1, value_name, 256);
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, sub_key, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    static BYTE data[65536];
    DWORD type = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key, value_name, nullptr, &type, data, &size) == ERROR_SUCCESS) {
        std::printf("%lu\t%lu\t", static_cast<unsigned long>(type),
                    static_cast<unsigned long>(size));
        for (DWORD i = 0; i < size; ++i)
            std::printf("%02x", data[i]);
        std::printf("\n");
    }
    RegCloseKey(key);
}

void PrintIdle(const char* exe_name, DWORD timeout_ms) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exe_name) != 0)
            continue;
        HANDLE process =
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
        DWORD result = process ? WaitForInputIdle(process, timeout_ms) : WAIT_FAILED;
        if (process)
            CloseHandle(process);
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

// A stand-in for a shell that is not ready yet: for MS milliseconds a window of the tray's class,
// in front of the real one, refuses every icon the programs of the desktop hand it. Prints
// "ready" once it is up and, at the end, how many icon calls it refused.
LONG refused = 0;

LRESULT CALLBACK RefusingTray(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA) {
        ++refused;
        return FALSE;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RefuseIcons(DWORD ms, const char* until) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RefusingTray;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&wc);
    HWND tray = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0,
                                0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    std::printf("ready\n");
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms &&
           (!until || GetFileAttributesA(until) == INVALID_FILE_ATTRIBUTES)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    DestroyWindow(tray);
    std::printf("refused %ld\n", refused);
}

// Takes every Vornkit icon out of the notification area from outside, as a shell that
// restarted would have lost them: each applet window's picture box owns its icon, with id 1.
BOOL CALLBACK DropIconsOf(HWND hwnd, LPARAM) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "VornkitForm") != 0)
        return TRUE;
    HWND child = nullptr;
    while ((child = FindWindowExA(hwnd, child, "VornkitPicture", nullptr)) != nullptr) {
        NOTIFYICONDATAA icon = {};
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = child;
        icon.uID = 1;
        if (Shell_NotifyIconA(NIM_DELETE, &icon))
            std::printf("dropped %llu\n",
                        static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(child)));
    }
    return TRUE;
}

// Tells every top-level window that the taskbar was created anew.
void BroadcastTaskbarCreated() {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, 5000, &result);
}

// Sends (and waits up to 5 s for the answer, which it prints) or posts one message to a window,
// as another program (an installer's restart manager, Windows ending the session) does.
void SendTo(const char* how, char** args) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(args[0], nullptr, 10)));
    const UINT message = static_cast<UINT>(std::strtoul(args[1], nullptr, 0));
    const WPARAM wParam = static_cast<WPARAM>(std::strtoull(args[2], nullptr, 0));
    const LPARAM lParam = static_cast<LPARAM>(std::strtoll(args[3], nullptr, 0));
    if (std::strcmp(how, "post") == 0) {
        std::printf("%d\n", PostMessageA(hwnd, message, wParam, lParam) ? 1 : 0);
        return;
    }
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        std::printf("%llu\n", static_cast<unsigned long long>(result));
    else
        std::printf("failed %lu\n", GetLastError());
}

// What Windows hands a window with the messages of a change of DPI lives in the window's own
// process: it is written there, and read back from there.
void ChangeDpi(HWND hwnd, UINT dpi) {
    constexpr UINT kWmDpiChanged = 0x02E0, kWmGetDpiScaledSize = 0x02E4;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    void* remote = process ? VirtualAllocEx(process, nullptr, sizeof(RECT),
                                            MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                           : nullptr;
    RECT r = {};
    DWORD_PTR asked = 0, answer = 0;
    SIZE size = {};
    bool done = remote && GetWindowRect(hwnd, &r);
    if (done) {
        size = {r.right - r.left, r.bottom - r.top};  // kept where the window answers nothing
        done = WriteProcessMemory(process, remote, &size, sizeof size, nullptr) &&
               SendMessageTimeoutA(hwnd, kWmGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(remote),
                                   SMTO_ABORTIFHUNG, 5000, &asked) &&
               ReadProcessMemory(process, remote, &size, sizeof size, nullptr);
    }
    if (done) {
        const RECT suggested = {r.left, r.top, r.left + size.cx, r.top + size.cy};
        done =
            WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr) &&
            SendMessageTimeoutA(hwnd, kWmDpiChanged, MAKEWPARAM(dpi, dpi),
                                reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &answer);
    }
    if (done)
        std::printf("%ld %ld %llu\n", size.cx, size.cy, static_cast<unsigned long long>(asked));
    else
        std::printf("failed %lu\n", GetLastError());
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (process)
        CloseHandle(process);
}

// Runs one command; false when it is unknown or lacks its arguments.
bool Run(int argc, char** argv) {
    const char* command = argc >= 2 ? argv[1] : "";
    if (std::strcmp(command, "windows") == 0) {
        EnumWindows(PrintIfVisible, 0);
        return true;
    }
    if (std::strcmp(command, "all-windows") == 0) {
        EnumWindows(PrintAny, 0);
        return true;
    }
    if (std::strcmp(command, "window") == 0 && argc >= 3) {
        HWND hwnd =
            reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 10)));
        if (IsWindow(hwnd))
            PrintWindow(hwnd);
        return true;
    }
    if (std::strcmp(command, "foreground") == 0) {
        if (HWND front = GetForegroundWindow())
            PrintWindow(front);
        return true;
    }
    if (std::strcmp(command, "taskbar") == 0) {
        PrintTaskbar();
        return true;
    }
    if (std::strcmp(command, "children") == 0 && argc >= 3) {
        HWND parent =
            reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 10)));
        EnumChildWindows(parent, PrintIfChildOf, reinterpret_cast<LPARAM>(parent));
        return true;
    }
    if (std::strcmp(command, "text") == 0 && argc >= 3) {
        PrintText(
            reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 10))));
        return true;
    }
    if (std::strcmp(command, "accname") == 0 && argc >= 3) {
        PrintAccessibleName(
            reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 10))));
        return true;
    }
    if (std::strcmp(command, "regvalue") == 0 && argc >= 4) {
        PrintRegistryValue(argv[2], argv[3]);
        return true;
    }
    if (std::strcmp(command, "idle") == 0 && argc >= 4) {
        PrintIdle(argv[2], std::strtoul(argv[3], nullptr, 10));
        return true;
    }
    if (std::strcmp(command, "drop-icons") == 0) {
        EnumWindows(DropIconsOf, 0);
        return true;
    }
    if (std::strcmp(command, "taskbar-created") == 0) {
        BroadcastTaskbarCreated();
        return true;
    }
    if ((std::strcmp(command, "send") == 0 || std::strcmp(command, "post") == 0) && argc >= 6) {
        SendTo(command, argv + 2);
        return true;
    }
    if (std::strcmp(command, "dpi-changed") == 0 && argc >= 4) {
        ChangeDpi(
            reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 10))),
            static_cast<UINT>(std::strtoul(argv[3], nullptr, 10)));
        return true;
    }
    if (std::strcmp(command, "refuse-icons") == 0 && argc >= 3) {
        RefuseIcons(std::strtoul(argv[2], nullptr, 10), argc >= 4 ? argv[3] : nullptr);
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
        std::fprintf(
            stderr,
            "usage: probe windows | all-windows | window HWND | children HWND | "
            "text HWND | taskbar | regvalue KEY NAME | idle NAME MS | drop-icons | "
            "taskbar-created | send|post HWND MSG WPARAM LPARAM | refuse-icons MS [FILE] | "
            "blank-icon MS\n");
        return 2;
    }
    return 0;
}
