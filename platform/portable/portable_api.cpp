#include "platform/portable/portable_api.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "core/forms.h"

namespace platform::portable {

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

const char* const kMainKeyNames[] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

}  // namespace

PortableApi::PortableApi(std::filesystem::path dir) : windowsDir(dir), profiles_(std::move(dir)) {
    for (const char* name : kMainKeyNames)
        registry_[name];
}

std::uint32_t PortableApi::GetPrivateProfileStringA(const std::string& section,
                                                    const std::string& key, const std::string& def,
                                                    char* buffer, std::uint32_t size,
                                                    const std::string& file) {
    return profiles_.GetPrivateProfileString(section, key, def, buffer, size, file);
}

bool PortableApi::WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                             const std::string& value, const std::string& file) {
    return profiles_.WritePrivateProfileString(section, key, value, file);
}

std::uint32_t PortableApi::GetWindowsDirectoryA(char* buffer, std::uint32_t size) {
    const std::string dir = windowsDir.string();
    const auto n = static_cast<std::uint32_t>(dir.size());
    if (n + 1 > size)
        return n + 1;  // too small: nothing written, the size needed returned
    std::memcpy(buffer, dir.c_str(), n + 1);
    return n;
}

void PortableApi::CreateRegistryKey(const std::string& path) {
    registry_[Upper(path)];
}

const std::string* PortableApi::RegistryValue(const std::string& path,
                                              const std::string& name) const {
    auto key = registry_.find(Upper(path));
    if (key == registry_.end())
        return nullptr;
    auto value = key->second.find(Upper(name));
    return value == key->second.end() ? nullptr : &value->second;
}

std::int32_t PortableApi::RegOpenKeyExA(Handle key, const std::string& subKey, std::uint32_t,
                                        std::uint32_t, Handle* result) {
    if (key < kHkeyClassesRoot || key > kHkeyDynData)
        return 6;  // ERROR_INVALID_HANDLE
    std::string path = kMainKeyNames[key - kHkeyClassesRoot];
    if (!subKey.empty())
        path += "\\" + subKey;
    if (registry_.count(Upper(path)) == 0)
        return 2;  // keys are opened, never created
    *result = nextHandle_++;
    openKeys_[*result] = Upper(path);
    return 0;
}

std::int32_t PortableApi::RegSetValueExA(Handle key, const std::string& valueName, std::uint32_t,
                                         std::uint32_t, const std::string& data,
                                         std::uint32_t length) {
    auto open = openKeys_.find(key);
    if (open == openKeys_.end())
        return 6;
    registry_[open->second][Upper(valueName)] =
        data.substr(0, std::min<std::size_t>(length, data.size()));
    return 0;
}

std::int32_t PortableApi::RegCloseKey(Handle key) {
    return openKeys_.erase(key) ? 0 : 6;
}

bool PortableApi::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& record) {
    const auto id = std::make_pair(record.hWnd, record.uID);
    if (message == kNimAdd)
        return icons.insert(id).second;
    if (message == kNimDelete)
        return icons.erase(id) != 0;
    return false;
}

bool PortableApi::StartProgram(const std::string&, std::int32_t) {
    return false;  // none of the applets' programs exists here
}

int PortableApi::MsgBox(const std::string& prompt, int, const std::string& title) {
    std::cerr << title << ": " << prompt << '\n';
    return 1;
}

Handle PortableApi::CreateFormWindow(forms::Form& form) {
    form.SetIconHandle(
        form.Design().icon ? kFirstHandle - 0x100 + static_cast<Handle>(form.Design().icon) : 0);
    for (forms::Control& c : form.Controls())
        c.SetWindowHandle(nextHandle_++);
    return nextHandle_++;
}

void PortableApi::DestroyFormWindow(forms::Form& form) {
    for (forms::Control& c : form.Controls())
        c.SetWindowHandle(0);
}

void PortableApi::FormOuterSize(forms::Form& form, int& widthTwips, int& heightTwips) {
    // A fixed single border adds a 3-pixel frame and a 19-pixel caption, as on Windows 9x.
    const bool framed = form.Design().border != forms::Border::None;
    const auto px = static_cast<int>(twipsPerPixel);
    widthTwips = form.Design().clientWidth + (framed ? 6 * px : 0);
    heightTwips = form.Design().clientHeight + (framed ? 25 * px : 0);
}

}  // namespace platform::portable
