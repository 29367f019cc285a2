// The Windows operations Vornkit calls, with the arguments the program passes. Three
// implementations: the real Win32 API, a portable one for systems without Win32, and the
// recording doubles of the unit tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace forms {
class Form;
class Control;
struct MenuItem;
}  // namespace forms

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

constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimDelete = 2;
constexpr int kHwndTopmost = -1;
constexpr int kHwndNoTopmost = -2;
constexpr std::uint32_t kSwpNoSize = 1;
constexpr std::uint32_t kSwpNoMove = 2;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kKeyWrite = 0x20006;

class Api {
public:
    virtual ~Api() = default;

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
    virtual std::int32_t RegSetValueExA(Handle key, const std::string& valueName,
                                        std::uint32_t reserved, std::uint32_t type,
                                        const std::string& data, std::uint32_t length) = 0;
    virtual std::int32_t RegCloseKey(Handle key) = 0;

    // Notification area.
    virtual bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& record) = 0;

    // Starts a program from a command line with a show-window code, without waiting for it.
    // False when it cannot be started (not found, not a program, style refused).
    virtual bool StartProgram(const std::string& commandLine, std::int32_t windowStyle) = 0;
    virtual void Beep() = 0;
    virtual int MsgBox(const std::string& prompt, int style, const std::string& title) = 0;
    virtual void SetWindowPos(Handle window, int insertAfter, int x, int y, int cx, int cy,
                              std::uint32_t flags) = 0;

    // The screen and the running program.
    virtual float TwipsPerPixelX() = 0;
    virtual float TwipsPerPixelY() = 0;
    virtual int ScreenWidthTwips() = 0;
    virtual int ScreenHeightTwips() = 0;
    virtual std::string AppPath() = 0;     // folder of the running program, as reported
    virtual std::string AppExeName() = 0;  // file name without its extension
    virtual void EndProgram() = 0;         // the real one does not return

    // The window system behind the forms runtime. A form's window and its controls are
    // created hidden; the form's control objects keep their state, the window shows it.
    virtual Handle CreateFormWindow(forms::Form& form) = 0;
    virtual void DestroyFormWindow(forms::Form& form) = 0;
    virtual void ShowFormWindow(forms::Form& form, bool visible) = 0;
    virtual void MoveFormWindow(forms::Form& form, int leftTwips, int topTwips) = 0;
    virtual void FormOuterSize(forms::Form& form, int& widthTwips, int& heightTwips) = 0;
    virtual void UpdateControl(forms::Form& form, forms::Control& control) = 0;
    virtual void BringToFront(forms::Form& form) = 0;
    // Shows a popup menu at the mouse pointer and returns the index of the chosen item, or
    // -1 when the menu closed without a choice.
    virtual int TrackPopupMenu(forms::Form& form, const std::vector<forms::MenuItem>& items) = 0;
};

}  // namespace platform
