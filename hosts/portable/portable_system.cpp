#include "hosts/portable/portable_system.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "core/ascii.h"

namespace hosts::portable {

namespace {

using ascii::ToUpper;
using platform::Handle;
using platform::kErrorFileNotFound;
using platform::kHkeyClassesRoot;
using platform::kHkeyDynData;
using platform::kNimAdd;
using platform::kNimDelete;
using platform::kNimModify;
using platform::kRegSz;
using platform::kRootKeyNames;
using platform::NotifyIconData;

}  // namespace

PortableSystem::PortableSystem(std::filesystem::path dir)
    : windowsDir(dir), profiles_(std::move(dir)) {
    for (std::string_view name : kRootKeyNames)
        registry_[std::string(name)];
}

std::uint32_t PortableSystem::GetPrivateProfileStringA(const std::string& section,
                                                       const std::string& key,
                                                       const std::string& def, char* buffer,
                                                       std::uint32_t size,
                                                       const std::string& file) {
    return profiles_.GetPrivateProfileString(section, key, def, buffer, size, file);
}

bool PortableSystem::WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                                const std::string& value, const std::string& file) {
    return profiles_.WritePrivateProfileString(section, key, value, file);
}

std::uint32_t PortableSystem::GetWindowsDirectoryA(char* buffer, std::uint32_t size) {
    const std::string dir = windowsDir.string();
    const auto n = static_cast<std::uint32_t>(dir.size());
    if (n + 1 > size)
        return n + 1;  // too small: nothing written, the size needed returned
    std::memcpy(buffer, dir.c_str(), n + 1);
    return n;
}

void PortableSystem::CreateRegistryKey(const std::string& path) {
    registry_[ToUpper(path)];
}

const std::string* PortableSystem::RegistryValue(const std::string& path,
                                                 const std::string& name) const {
    auto key = registry_.find(ToUpper(path));
    if (key == registry_.end())
        return nullptr;
    auto value = key->second.find(ToUpper(name));
    return value == key->second.end() ? nullptr : &value->second;
}

std::int32_t PortableSystem::RegOpenKeyExA(Handle key, const std::string& subKey, std::uint32_t,
                                           std::uint32_t, Handle* result) {
    if (key < kHkeyClassesRoot || key > kHkeyDynData)
        return 6;  // ERROR_INVALID_HANDLE
    std::string path(kRootKeyNames[key - kHkeyClassesRoot]);
    if (!subKey.empty())
        path += "\\" + subKey;
    if (registry_.count(ToUpper(path)) == 0)
        return 2;  // keys are opened, never created
    *result = nextKey_++;
    openKeys_[*result] = ToUpper(path);
    return 0;
}

std::int32_t PortableSystem::RegSetValueExW(Handle key, const std::string& valueName, std::uint32_t,
                                            std::uint32_t, const std::string& data,
                                            std::uint32_t length) {
    auto open = openKeys_.find(key);
    if (open == openKeys_.end())
        return 6;
    registry_[open->second][ToUpper(valueName)] =
        data.substr(0, std::min<std::size_t>(length, data.size()));
    return 0;
}

std::int32_t PortableSystem::RegQueryValueExW(Handle key, const std::string& valueName,
                                              std::uint32_t* type, std::string* data) {
    auto open = openKeys_.find(key);
    if (open == openKeys_.end())
        return 6;
    const auto& values = registry_[open->second];
    auto value = values.find(ToUpper(valueName));
    if (value == values.end())
        return kErrorFileNotFound;
    *type = kRegSz;  // the only kind of value written here
    *data = value->second;
    return 0;
}

std::int32_t PortableSystem::RegCloseKey(Handle key) {
    return openKeys_.erase(key) ? 0 : 6;
}

std::string PortableSystem::LowerCase(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // One character: its code point from one or two bytes; longer ones are kept as they are.
        if (byte < 0x80) {
            out += ascii::ToLower(text[i]);
            ++i;
            continue;
        }
        if ((byte & 0xE0) != 0xC0 || i + 1 >= text.size()) {
            out += text[i++];
            continue;
        }
        char32_t c = ((byte & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
        if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
            (c >= 0x410 && c <= 0x42F))
            c += 0x20;
        else if (c >= 0x400 && c <= 0x40F)
            c += 0x50;
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
        i += 2;
    }
    return out;
}

bool PortableSystem::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& record) {
    const auto id = std::make_pair(record.hWnd, record.uID);
    if (message == kNimAdd)
        return icons.insert(id).second;
    if (message == kNimModify)
        return icons.count(id) != 0;
    if (message == kNimDelete)
        return icons.erase(id) != 0;
    if (message == platform::kNimSetFocus)
        return icons.count(id) != 0;
    return false;
}

bool PortableSystem::StartProgram(const std::string&, const std::string&, std::int32_t) {
    return false;  // none of the applets' programs exists here
}

std::string PortableSystem::GetEnvironmentVariableW(const std::string& name) {
    auto it = environment.find(name);
    return it == environment.end() ? std::string() : it->second;
}

void PortableSystem::MsgBox(const std::string& prompt, int, const std::string& title) {
    std::cerr << title << ": " << prompt << '\n';
}

}  // namespace hosts::portable
