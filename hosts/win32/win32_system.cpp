#include "hosts/win32/win32_system.h"

#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <vector>

// The program's handles carry every bit of the platform's, in the 32-bit and the 64-bit build.
static_assert(sizeof(platform::Handle) == sizeof(HWND) && sizeof(platform::Handle) == sizeof(HKEY));
// The icon record is the platform's own single-byte record in its original layout: 88 bytes in
// the 32-bit build, 104 in the 64-bit one, field for field where the shell looks for them.
static_assert(platform::kNotifyIconDataSize == NOTIFYICONDATAA_V1_SIZE);
static_assert(sizeof(void*) != 4 || platform::kNotifyIconDataSize == 88);
static_assert(offsetof(platform::NotifyIconData, hWnd) == offsetof(NOTIFYICONDATAA, hWnd));
static_assert(offsetof(platform::NotifyIconData, uCallbackMessage) ==
              offsetof(NOTIFYICONDATAA, uCallbackMessage));
static_assert(offsetof(platform::NotifyIconData, hIcon) == offsetof(NOTIFYICONDATAA, hIcon));
static_assert(offsetof(platform::NotifyIconData, szTip) == offsetof(NOTIFYICONDATAA, szTip));
static_assert(platform::kNimSetFocus == NIM_SETFOCUS);
static_assert(platform::kNifMessage == NIF_MESSAGE && platform::kNifIcon == NIF_ICON &&
              platform::kNifTip == NIF_TIP);
static_assert(platform::kRegSz == REG_SZ && platform::kKeyWrite == KEY_WRITE &&
              platform::kKeyQueryValue == KEY_QUERY_VALUE &&
              platform::kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(platform::kMbIconStop == MB_ICONSTOP &&
              platform::kMbIconExclamation == MB_ICONEXCLAMATION &&
              platform::kMbSystemModal == MB_SYSTEMMODAL);

namespace hosts::win32 {

namespace {

using platform::Handle;
using platform::NotifyIconData;

constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

HKEY ToKey(Handle h) {
    return reinterpret_cast<HKEY>(h);
}

std::string Utf8(const wchar_t* wide, int length) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

// Text in a code page as the wide forms take it.
std::wstring Widen(UINT codePage, const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
    return wide;
}

// Text the program holds in the ANSI code page (what the settings file's reader gives), as the
// wide forms take it: the conversion the single-byte forms make.
std::wstring FromAnsi(const std::string& text) {
    return Widen(CP_ACP, text);
}

// The text a wide call writes into a buffer, in UTF-8; `call(buffer, size)` returns the length
// written, or the size needed (terminating NUL included) when the buffer is too small, 0 for
// nothing to give.
template <class Call>
std::string WideText(Call call) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size())
            return Utf8(buffer.data(), static_cast<int>(n));
        if (buffer.size() >= 65536)
            return {};  // longer than any path or variable Windows allows
        buffer.resize(std::max<std::size_t>(n, buffer.size() + 1));
    }
}

// The running program's file, as Windows reports it, in UTF-8. The wide form: the single-byte
// one gives "?" for every character outside the ANSI code page.
std::string ModuleFileName() {
    std::vector<wchar_t> path(MAX_PATH + 1);
    DWORD n = 0;
    // A path longer than the buffer is cut and reported as the whole buffer: try a larger one.
    while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
               path.size() &&
           path.size() < 32768)
        path.resize(path.size() * 2);
    return Utf8(path.data(), static_cast<int>(n));
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
    return Widen(CP_UTF8, utf8);
}

void RestrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel32 = GetModuleHandleA("kernel32.dll"))
        if (auto set = ProcAddress<SetDefaultDllDirectories>(kernel32, "SetDefaultDllDirectories"))
            set(kLoadLibrarySearchSystem32);
}

HMODULE LoadSystemLibrary(const char* name) {
    if (HMODULE dll = LoadLibraryExA(name, nullptr, kLoadLibrarySearchSystem32))
        return dll;
    // Windows without the search flags refuses them as an invalid parameter.
    return GetLastError() == ERROR_INVALID_PARAMETER ? LoadLibraryA(name) : nullptr;
}

std::uint32_t Win32System::GetPrivateProfileStringA(const std::string& section,
                                                    const std::string& key, const std::string& def,
                                                    char* buffer, std::uint32_t size,
                                                    const std::string& file) {
    return ::GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer, size,
                                      file.c_str());
}

bool Win32System::WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                             const std::string& value, const std::string& file) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        file.c_str()) != FALSE;
}

std::uint32_t Win32System::GetWindowsDirectoryA(char* buffer, std::uint32_t size) {
    return ::GetWindowsDirectoryA(buffer, size);
}

std::int32_t Win32System::RegOpenKeyExA(Handle key, const std::string& subKey,
                                        std::uint32_t options, std::uint32_t access,
                                        Handle* result) {
    HKEY opened = nullptr;
    const LONG r = ::RegOpenKeyExA(ToKey(key), subKey.c_str(), options, access, &opened);
    *result = 0;
    if (r == ERROR_SUCCESS) {
        *result = reinterpret_cast<Handle>(opened);
        openKeys_.try_emplace(*result, opened);  // a key opened twice is closed once
    }
    return r;
}

std::int32_t Win32System::RegSetValueExW(Handle key, const std::string& valueName,
                                         std::uint32_t reserved, std::uint32_t type,
                                         const std::string& data, std::uint32_t length) {
    const std::wstring name = Wide(valueName);
    // The program counts the bytes of a string value's text; the registry stores exactly the
    // bytes it is given, so the terminating NUL goes with the UTF-16 text. Without it an empty
    // value would be stored with no data at all, and readers would get an unterminated string.
    if (type == REG_SZ) {
        const std::wstring text = Wide(data.substr(0, std::min<std::size_t>(length, data.size())));
        return ::RegSetValueExW(ToKey(key), name.c_str(), reserved, type,
                                reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    return ::RegSetValueExW(ToKey(key), name.c_str(), reserved, type,
                            reinterpret_cast<const BYTE*>(data.c_str()), length);
}

std::int32_t Win32System::RegQueryValueExW(Handle key, const std::string& valueName,
                                           std::uint32_t* type, std::string* data) {
    const std::wstring name = Wide(valueName);
    std::vector<BYTE> bytes(64);
    DWORD kind = 0;
    LONG r = ERROR_MORE_DATA;
    for (int tries = 0; r == ERROR_MORE_DATA && tries < 4; ++tries) {
        DWORD size = static_cast<DWORD>(bytes.size());
        r = ::RegQueryValueExW(ToKey(key), name.c_str(), nullptr, &kind, bytes.data(), &size);
        if (r == ERROR_MORE_DATA)
            bytes.resize(size + sizeof(wchar_t));  // the value may grow meanwhile: try again
        else if (r == ERROR_SUCCESS)
            bytes.resize(size);
    }
    if (r != ERROR_SUCCESS)
        return r;
    *type = kind;
    data->clear();
    if (kind == REG_SZ || kind == REG_EXPAND_SZ) {
        // A string value's text ends at its first NUL, or with its data if it has none.
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
        text.resize(std::wcslen(text.c_str()));
        *data = Utf8(text.data(), static_cast<int>(text.size()));
    }
    return ERROR_SUCCESS;
}

std::int32_t Win32System::RegCloseKey(Handle key) {
    auto open = openKeys_.find(key);
    if (open == openKeys_.end())
        return ::RegCloseKey(ToKey(key));  // not one the program opened: the registry answers
    const LONG r = open->second.Close();
    openKeys_.erase(open);
    return r;
}

bool Win32System::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& record) {
    NOTIFYICONDATAA nid;
    std::memset(&nid, 0, sizeof nid);
    nid.cbSize = record.cbSize;  // the original single-byte layout's size
    nid.hWnd = reinterpret_cast<HWND>(record.hWnd);
    nid.uID = record.uID;
    nid.uFlags = record.uFlags;
    nid.uCallbackMessage = record.uCallbackMessage;
    nid.hIcon = reinterpret_cast<HICON>(record.hIcon);
    std::memcpy(nid.szTip, record.szTip, sizeof record.szTip);
    return ::Shell_NotifyIconA(message, &nid) != FALSE;
}

bool Win32System::StartProgram(const std::string& program, const std::string& commandLine,
                               std::int32_t windowStyle) {
    STARTUPINFOW si;
    std::memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION pi;
    std::memset(&pi, 0, sizeof pi);
    const std::wstring path = Wide(program);
    std::wstring line = FromAnsi(commandLine);
    // Made suspended, so that it may come to the front before it makes its first window: the
    // click reached the program while the taskbar was the foreground process, and the right to
    // set the foreground the shell passed on with it goes on to this process alone. Where the
    // program holds no such right the call is refused, and nothing changes.
    if (!CreateProcessW(program.empty() ? nullptr : path.c_str(), line.data(), nullptr, nullptr,
                        FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
        return false;
    // The program runs on its own; nothing of it is kept.
    OwnedKernelHandle thread(pi.hThread);
    OwnedKernelHandle process(pi.hProcess);
    AllowSetForegroundWindow(pi.dwProcessId);
    if (ResumeThread(pi.hThread) != static_cast<DWORD>(-1))
        return true;
    TerminateProcess(pi.hProcess, 1);  // a process that cannot run would wait for ever
    return false;
}

std::string Win32System::GetSystemDirectoryW() {
    return WideText([](wchar_t* b, DWORD n) { return ::GetSystemDirectoryW(b, n); });
}

std::string Win32System::GetSystemWindowsDirectoryW() {
    return WideText([](wchar_t* b, DWORD n) { return ::GetSystemWindowsDirectoryW(b, n); });
}

bool Win32System::IsWow64Process() {
    // Found at run time: Windows XP before its second service pack lacks it, and is never 64-bit.
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    BOOL wow64 = FALSE;
    if (HMODULE kernel32 = GetModuleHandleA("kernel32.dll"))
        if (auto isWow64 = ProcAddress<IsWow64>(kernel32, "IsWow64Process"))
            return isWow64(GetCurrentProcess(), &wow64) && wow64;
    return false;
}

std::string Win32System::GetEnvironmentVariableW(const std::string& name) {
    const std::wstring wide = Wide(name);
    return WideText(
        [&](wchar_t* b, DWORD n) { return ::GetEnvironmentVariableW(wide.c_str(), b, n); });
}

bool Win32System::IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Win32System::Beep() {
    MessageBeep(MB_OK);
}

void Win32System::MsgBox(const std::string& prompt, int style, const std::string& title) {
    // Owned by the program's active window, as a message of that window: it stands in front
    // of it even when that window is topmost, and the window takes no input until it is closed.
    MessageBoxA(GetActiveWindow(), prompt.c_str(), title.c_str(), static_cast<UINT>(style));
}

std::string Win32System::AppPath() {
    std::string p = ModuleFileName();
    const std::size_t slash = p.find_last_of('\\');
    if (slash == std::string::npos)
        return p;
    p.resize(slash);
    if (p.size() == 2 && p[1] == ':')
        p += '\\';  // a drive's root keeps its backslash
    return p;
}

std::string Win32System::AppExeName() {
    std::string p = ModuleFileName();
    const std::size_t slash = p.find_last_of('\\');
    if (slash != std::string::npos)
        p.erase(0, slash + 1);
    const std::size_t dot = p.find_last_of('.');
    if (dot != std::string::npos)
        p.resize(dot);
    return p;
}

std::string Win32System::LowerCase(const std::string& text) {
    std::wstring wide = Wide(text);
    if (!wide.empty())
        CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return Utf8(wide.data(), static_cast<int>(wide.size()));
}

void Win32System::EndProgram() {
    ExitProcess(0);
}

}  // namespace hosts::win32
