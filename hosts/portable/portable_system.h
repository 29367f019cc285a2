// The system calls for systems without Win32: its own profile files and an in-memory registry.
// The unit tests' double builds on it.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "hosts/portable/profile.h"
#include "platform/system.h"

namespace hosts::portable {

// Handles are handed out from the top quarter of the handle's range, so that a handle cut to 32
// bits anywhere in a 64-bit build no longer matches its window or key.
inline constexpr platform::Handle kFirstHandle =
    (platform::Handle{1} << (sizeof(platform::Handle) * 8 - 2)) + 0x100;

// Where the settings file lives on a system without a Windows directory.
inline constexpr const char* kDefaultWindowsDir = "/var/lib/vornkit";

class PortableSystem : public platform::System {
public:
    explicit PortableSystem(std::filesystem::path windowsDir = kDefaultWindowsDir);

    std::uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                           const std::string& def, char* buffer, std::uint32_t size,
                                           const std::string& file) override;
    bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& file) override;
    std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) override;

    std::int32_t RegOpenKeyExA(platform::Handle key, const std::string& subKey,
                               std::uint32_t options, std::uint32_t access,
                               platform::Handle* result) override;
    std::int32_t RegSetValueExW(platform::Handle key, const std::string& valueName,
                                std::uint32_t reserved, std::uint32_t type, const std::string& data,
                                std::uint32_t length) override;
    std::int32_t RegQueryValueExW(platform::Handle key, const std::string& valueName,
                                  std::uint32_t* type, std::string* data) override;
    std::int32_t RegCloseKey(platform::Handle key) override;

    bool Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconData& record) override;
    bool StartProgram(const std::string& program, const std::string& commandLine,
                      std::int32_t windowStyle) override;
    std::string GetSystemDirectoryW() override { return systemDir; }
    std::string GetSystemWindowsDirectoryW() override { return systemWindowsDir; }
    bool IsWow64Process() override { return wow64; }
    std::string GetEnvironmentVariableW(const std::string& name) override;
    bool IsFile(const std::string& path) override { return files.count(path) != 0; }
    void Beep() override {}
    void MsgBox(const std::string& prompt, int style, const std::string& title) override;
    std::string AppPath() override { return appPath; }
    std::string AppExeName() override { return exeName; }
    // Windows's lower case for the letters of the Latin-1, Greek and Cyrillic blocks.
    std::string LowerCase(const std::string& text) override;
    void EndProgram() override { ended = true; }

    // Creates a key in the in-memory registry ("HKEY_LOCAL_MACHINE\\SOFTWARE\\...").
    void CreateRegistryKey(const std::string& path);
    // The value under a key path, or nullptr.
    const std::string* RegistryValue(const std::string& path, const std::string& name) const;

    std::string appPath = "/opt/vornkit";
    std::string exeName = "vornkit";
    bool ended = false;
    std::set<std::pair<platform::Handle, std::uint32_t>> icons;  // (hWnd, uID) of the icons shown
    std::filesystem::path windowsDir;
    // Where programs are looked for: no such folders here unless they are set, and the files
    // that exist in them, by full path.
    std::string systemDir, systemWindowsDir;
    bool wow64 = false;
    std::map<std::string, std::string> environment;
    std::set<std::string> files;

private:
    ProfileFiles profiles_;
    std::map<std::string, std::map<std::string, std::string>> registry_;  // upper-case paths
    std::map<platform::Handle, std::string> openKeys_;
    platform::Handle nextKey_ = kFirstHandle;
};

}  // namespace hosts::portable
