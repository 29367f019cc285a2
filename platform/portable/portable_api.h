// The platform for systems without Win32: its own profile files, an in-memory registry and
// headless windows. The unit tests' doubles build on it.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/api.h"
#include "platform/portable/profile.h"

namespace platform::portable {

// Where the settings file lives on a system without a Windows directory.
inline constexpr const char* kDefaultWindowsDir = "/var/lib/vornkit";

class PortableApi : public Api {
public:
    explicit PortableApi(std::filesystem::path windowsDir = kDefaultWindowsDir);

    std::uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                           const std::string& def, char* buffer, std::uint32_t size,
                                           const std::string& file) override;
    bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& file) override;
    std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) override;

    std::int32_t RegOpenKeyExA(Handle key, const std::string& subKey, std::uint32_t options,
                               std::uint32_t access, Handle* result) override;
    std::int32_t RegSetValueExA(Handle key, const std::string& valueName, std::uint32_t reserved,
                                std::uint32_t type, const std::string& data,
                                std::uint32_t length) override;
    std::int32_t RegCloseKey(Handle key) override;

    bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& record) override;
    bool StartProgram(const std::string& commandLine, std::int32_t windowStyle) override;
    void Beep() override {}
    int MsgBox(const std::string& prompt, int style, const std::string& title) override;
    void SetWindowPos(Handle, int, int, int, int, int, std::uint32_t) override {}

    float TwipsPerPixelX() override { return twipsPerPixel; }
    float TwipsPerPixelY() override { return twipsPerPixel; }
    int ScreenWidthTwips() override { return static_cast<int>(800 * twipsPerPixel); }
    int ScreenHeightTwips() override { return static_cast<int>(600 * twipsPerPixel); }
    std::string AppPath() override { return appPath; }
    std::string AppExeName() override { return exeName; }
    void EndProgram() override { ended = true; }

    Handle CreateFormWindow(forms::Form& form) override;
    void DestroyFormWindow(forms::Form& form) override;
    void ShowFormWindow(forms::Form&, bool) override {}
    void MoveFormWindow(forms::Form&, int, int) override {}
    void FormOuterSize(forms::Form& form, int& widthTwips, int& heightTwips) override;
    void UpdateControl(forms::Form&, forms::Control&) override {}
    void BringToFront(forms::Form&) override {}
    int TrackPopupMenu(forms::Form&, const std::vector<forms::MenuItem>&) override { return -1; }

    // Creates a key in the in-memory registry ("HKEY_LOCAL_MACHINE\\SOFTWARE\\...").
    void CreateRegistryKey(const std::string& path);
    // The value under a key path, or nullptr.
    const std::string* RegistryValue(const std::string& path, const std::string& name) const;

    float twipsPerPixel = 15.0f;
    std::string appPath = "/opt/vornkit";
    std::string exeName = "vornkit";
    bool ended = false;
    std::set<std::pair<Handle, std::uint32_t>> icons;  // (hWnd, uID) of the icons shown
    std::filesystem::path windowsDir;

private:
    ProfileFiles profiles_;
    std::map<std::string, std::map<std::string, std::string>> registry_;  // upper-case paths
    std::map<Handle, std::string> openKeys_;
    // Handles are handed out from the top quarter of the handle's range, so that a handle cut to
    // 32 bits anywhere in a 64-bit build no longer matches its window or key.
    static constexpr Handle kFirstHandle = (Handle{1} << (sizeof(Handle) * 8 - 2)) + 0x100;
    Handle nextHandle_ = kFirstHandle;
};

}  // namespace platform::portable
