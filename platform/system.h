// The system calls Vornkit makes (profile files, registry, notification area, starting a program,
// message boxes), with the arguments the program passes. Three implementations: the real Win32
// API, a portable one for systems without Win32, and the recording double of the unit tests.
// The windows themselves go through the forms runtime's window host (core/window_host.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// A window, icon, menu or registry handle as the platform hands it out. It is as wide as a
// pointer, so that a handle keeps every bit in the 64-bit build as well as in the 32-bit one.
using Handle = std::uintptr_t;

// Shell_NotifyIconA's record in its original single-byte layout: 88 bytes in a 32-bit program;
// in a 64-bit one the two handles are 8 bytes wide and aligned, which makes it 104.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    Handle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    Handle hIcon = 0;
    char szTip[64] = {};
};
inline constexpr std::uint32_t kNotifyIconDataSize = sizeof(NotifyIconData);
static_assert(sizeof(Handle) != 4 || kNotifyIconDataSize == 88,
              "the single-byte record of a 32-bit program is 88 bytes");
static_assert(sizeof(Handle) != 8 || kNotifyIconDataSize == 104,
              "the single-byte record of a 64-bit program is 104 bytes");

// A predefined root key of the registry. Windows defines them as 32-bit values (0x80000002 for
// HKEY_LOCAL_MACHINE) made into handles through a signed long, so that a 64-bit program sees
// them sign-extended (0xFFFFFFFF80000002).
constexpr Handle PredefinedKey(std::uint32_t value) {
    return static_cast<Handle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}
inline constexpr Handle kHkeyClassesRoot = PredefinedKey(0x80000000u);  // the first root
inline constexpr Handle kHkeyDynData = PredefinedKey(0x80000006u);      // the last root
// The roots' names, in the order of their values from kHkeyClassesRoot on.
inline constexpr std::array<std::string_view, 7> kRootKeyNames = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

// Shell_NotifyIconA: the messages and the fields of the record that count.
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNimSetFocus = 3;  // focus back to the notification area
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;

// Message box styles.
inline constexpr int kMbOk = 0;                // an OK button, no icon
inline constexpr int kMbIconStop = 16;         // the critical-stop icon
inline constexpr int kMbIconExclamation = 48;  // the exclamation icon
inline constexpr int kMbSystemModal = 4096;    // stays in front of every window

// Registry.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::int32_t kErrorFileNotFound = 2;  // no such key or value

class System {
public:
    virtual ~System() = default;

    // Profile files.
    virtual std::uint32_t GetPrivateProfileStringA(const std::string& section,
                                                   const std::string& key, const std::string& def,
                                                   char* buffer, std::uint32_t size,
                                                   const std::string& file) = 0;
    virtual bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                            const std::string& value, const std::string& file) = 0;
    virtual std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) = 0;

    // Registry.
    virtual std::int32_t RegOpenKeyExA(Handle key, const std::string& subKey, std::uint32_t options,
                                       std::uint32_t access, Handle* result) = 0;
    // The wide form: the value name and data are the program's UTF-8 text, `length` counts the
    // data's bytes, and the registry gets them in UTF-16, so that a path named outside the ANSI
    // code page stays a path.
    virtual std::int32_t RegSetValueExW(Handle key, const std::string& valueName,
                                        std::uint32_t reserved, std::uint32_t type,
                                        const std::string& data, std::uint32_t length) = 0;
    // Reads a string value in the wide form: its type and, for a string, its text in UTF-8.
    virtual std::int32_t RegQueryValueExW(Handle key, const std::string& valueName,
                                          std::uint32_t* type, std::string* data) = 0;
    virtual std::int32_t RegCloseKey(Handle key) = 0;

    // Notification area.
    virtual bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& record) = 0;

    // Starts a program from a command line with a show-window code, without waiting for it, and
    // lets it come to the front. `program` is the full path (UTF-8) of the file to run, or "" for
    // the program the command line names. False when it cannot be started (not found, not a
    // program, style refused).
    virtual bool StartProgram(const std::string& program, const std::string& commandLine,
                              std::int32_t windowStyle) = 0;

    // Where Windows keeps its own programs, in UTF-8 (the wide forms): the system folder as this
    // program sees it, the Windows folder of the system (not a user's own on a terminal server),
    // and whether this is a 32-bit program on 64-bit Windows, whose system folder is the 32-bit
    // one.
    virtual std::string GetSystemDirectoryW() = 0;
    virtual std::string GetSystemWindowsDirectoryW() = 0;
    virtual bool IsWow64Process() = 0;
    virtual std::string GetEnvironmentVariableW(const std::string& name) = 0;  // "" when unset
    virtual bool IsFile(const std::string& path) = 0;  // exists and is not a folder
    virtual void Beep() = 0;
    virtual void MsgBox(const std::string& prompt, int style, const std::string& title) = 0;

    // The running program, in UTF-8, read in the wide form: a folder named outside the ANSI code
    // page keeps every character.
    virtual std::string AppPath() = 0;     // folder of the running program, as reported
    virtual std::string AppExeName() = 0;  // file name without its extension
    // UTF-8 text in lower case, as Windows lower-cases wide text (every script, not only A-Z).
    virtual std::string LowerCase(const std::string& text) = 0;
    virtual void EndProgram() = 0;  // the real one does not return
};

}  // namespace platform
