// The system calls on the real platform: the Win32 API in its single-byte "A" forms.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "hosts/win32/handles.h"
#include "platform/system.h"

namespace hosts::win32 {

// The DLLs that Windows loads on the program's behalf come from the system folder only, never
// from the program's own folder, where someone may have planted one (a Downloads folder). The
// function that sets this is found at run time: Windows 8 has it, 7 and Vista with their 2011
// update. How the program starts other programs does not change.
void RestrictDllSearchToSystemFolder();

// UTF-8 text, the program's own, as the wide forms of the system calls take it.
std::wstring Wide(const std::string& utf8);

// Loads a system DLL from the system folder (side-by-side redirection, as for comctl32 with the
// program's manifest, still applies), or by name where Windows cannot be told the folder.
HMODULE LoadSystemLibrary(const char* name);

// A function of a loaded DLL, as the pointer type F; null when the DLL has none of that name.
template <class F>
F ProcAddress(HMODULE dll, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

class Win32System : public platform::System {
public:
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
    std::string GetSystemDirectoryW() override;
    std::string GetSystemWindowsDirectoryW() override;
    bool IsWow64Process() override;
    std::string GetEnvironmentVariableW(const std::string& name) override;
    bool IsFile(const std::string& path) override;
    void Beep() override;
    void MsgBox(const std::string& prompt, int style, const std::string& title) override;
    std::string AppPath() override;
    std::string AppExeName() override;
    std::string LowerCase(const std::string& text) override;
    void EndProgram() override;

private:
    std::map<platform::Handle, OwnedKey> openKeys_;  // the keys opened and not yet closed
};

}  // namespace hosts::win32
