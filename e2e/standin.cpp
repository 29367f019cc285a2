// Stand-in for the programs the tray icons start. It records how it was started by appending one
// line to C:\standin.log, then ends at once:
//   <own file name, lower case> TAB <command line exactly as received> TAB <show code or -1> CRLF
// Built by CMake as a helper of the Windows builds (target "standin").
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// The base name of this program's own file, lower case.
void OwnBaseName(char* out, size_t size) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* base = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/')
            base = p + 1;
    }
    lstrcpynA(out, base, static_cast<int>(size));
    CharLowerA(out);
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
    char name[MAX_PATH];
    OwnBaseName(name, sizeof(name));
    char show[16];
    std::snprintf(show, sizeof(show), "%d", ShowCode());
    const char* command_line = GetCommandLineA();

    size_t size = std::strlen(name) + std::strlen(command_line) + std::strlen(show) + 5;
    char* line = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!line)
        return 1;
    int length = std::snprintf(line, size, "%s\t%s\t%s\r\n", name, command_line, show);

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
