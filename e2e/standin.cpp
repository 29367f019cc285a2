// Stand-in for the programs the tray icons start. It records how it was started by appending one
// line to C:\standin.log, then ends at once:
//   <own file name> TAB <command line exactly as received> TAB <show code or -1> TAB <own folder>
//   CRLF, names lower case.
// As explorer.exe in the system folder it also stands in for Wine's, which runs Wine's desktop: a
// start of the desktop ("explorer /desktop=...") goes on to Wine's placeholder in the Windows
// folder, which Wine runs as its own (explorer.exe is taken native where it can be, else builtin).
// Built by CMake as a helper of the Windows builds (target "standin").
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// This program's own folder and file name, lower case.
void OwnPath(char* folder, char* name, size_t size) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    CharLowerA(path);
    char* slash = std::strrchr(path, '\\');
    lstrcpynA(name, slash ? slash + 1 : path, static_cast<int>(size));
    *(slash ? slash : path) = '\0';
    lstrcpynA(folder, path, static_cast<int>(size));
}

// Runs Wine's own explorer.exe with this command line and ends when it ends.
int RunWineExplorer(char* commandLine) {
    static const char kWineExplorer[] = "C:\\windows\\explorer.exe";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(kWineExplorer, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return 1;
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

// The show code the starting program asked for, -1 when it asked for none.
int ShowCode() {
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    GetStartupInfoA(&si);
    return (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char folder[MAX_PATH], name[MAX_PATH];
    OwnPath(folder, name, sizeof(name));
    char* command_line = GetCommandLineA();
    if (lstrcmpA(name, "explorer.exe") == 0 && lstrcmpA(folder, "c:\\windows") != 0 &&
        std::strstr(command_line, "/desktop"))
        return RunWineExplorer(command_line);
    char show[16];
    std::snprintf(show, sizeof(show), "%d", ShowCode());

    size_t size =
        std::strlen(name) + std::strlen(command_line) + std::strlen(show) + std::strlen(folder) + 6;
    char* line = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!line)
        return 1;
    int length = std::snprintf(line, size, "%s\t%s\t%s\t%s\r\n", name, command_line, show, folder);

    // Append-only access puts every write at the end of the file as it is then, and the line
    // goes out in one write, so stand-ins started at the same moment never lose a line.
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && log == INVALID_HANDLE_VALUE; ++attempt) {
        log = CreateFileA("C:\\standin.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE)
            Sleep(20);  // a passing sharing clash: try again
    }
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(log, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(log);
    return ok && written == static_cast<DWORD>(length) ? 0 : 1;
}
