#include "options/basReg.h"

#include "core/forms.h"

namespace basReg {

platform::Handle GetMainKeyHandle(const std::string& name) {
    for (std::size_t i = 0; i < platform::kRootKeyNames.size(); ++i)
        if (platform::kRootKeyNames[i] == name)
            return platform::PredefinedKey(0x80000000u + static_cast<std::uint32_t>(i));
    return 0;
}

void ParseKeyPath(platform::System& system, const std::string& keyPath, platform::Handle& mainKey,
                  std::string& subKey) {
    mainKey = 0;
    subKey.clear();
    if (keyPath.compare(0, 5, "HKEY_") != 0 || keyPath.back() == '\\') {
        system.MsgBox("Incorrect Format:\r\n\r\n" + keyPath, platform::kMbOk, forms::kAppTitle);
        return;
    }
    const std::size_t slash = keyPath.find('\\');
    const std::string name = slash == std::string::npos ? keyPath : keyPath.substr(0, slash);
    if (slash != std::string::npos)
        subKey = keyPath.substr(slash + 1);
    mainKey = GetMainKeyHandle(name);
    if (mainKey < platform::kHkeyClassesRoot || mainKey > platform::kHkeyDynData) {
        system.MsgBox("Not a valid main key handle", platform::kMbOk, forms::kAppTitle);
        mainKey = 0;
    }
}

bool ValueAlreadySays(platform::System& system, platform::Handle mainKey, const std::string& subKey,
                      const std::string& name, const std::string& data) {
    platform::Handle key = 0;
    const std::int32_t opened =
        system.RegOpenKeyExA(mainKey, subKey, 0, platform::kKeyQueryValue, &key);
    if (opened != 0)
        return opened == platform::kErrorFileNotFound && data.empty();  // no key, so no value
    std::uint32_t type = 0;
    std::string stored;
    const std::int32_t read = system.RegQueryValueExW(key, name, &type, &stored);
    (void)system.RegCloseKey(key);
    if (read != 0)
        return read == platform::kErrorFileNotFound && data.empty();
    return type == platform::kRegSz && stored == data;
}

bool SetRegistryValue(platform::System& system, const std::string& keyPath, const std::string& name,
                      const std::string& data, WhenRefused whenRefused) {
    platform::Handle mainKey = 0;
    std::string subKey;
    ParseKeyPath(system, keyPath, mainKey, subKey);
    if (mainKey == 0)
        return false;  // the parse has shown its message

    // A standard user may not write where an administrator put the value; when it already says
    // what the user chose, nothing the user asked for has failed.
    const auto report = [&](std::int32_t code, const char* title) {
        if (whenRefused == WhenRefused::QuietIfAlreadySo &&
            ValueAlreadySays(system, mainKey, subKey, name, data))
            return;
        system.MsgBox(GetRegistryErrorText(code), platform::kMbIconStop, title);
    };
    platform::Handle key = 0;
    const std::int32_t opened = system.RegOpenKeyExA(mainKey, subKey, 0, platform::kKeyWrite, &key);
    if (opened != 0) {
        report(opened, "Registry Open Error");
        return false;
    }
    // The length counts the characters of the data, not a terminating NUL.
    const std::int32_t written = system.RegSetValueExW(key, name, 0, platform::kRegSz, data,
                                                       static_cast<std::uint32_t>(data.size()));
    if (written != 0)
        report(written, "Registry Write Error");
    (void)system.RegCloseKey(key);  // closed after a failed write too
    return written == 0;
}

std::string GetRegistryErrorText(std::int32_t code) {
    switch (code) {
        case 2:
        case 1010:
            return "Bad Key Name";
        case 4:
        case 1012:
            return "Can't Read Key";
        case 5:
            return "Access to this key is denied";
        case 8:
        case 14:
            return "Out of memory";
        case 87:
            return "Invalid Parameter";
        case 234:
            return "There is more data than the buffer has been allocated to hold.";
        case 1009:
        case 1015:
            return "The Registry Database is corrupt!";
        case 1011:
            return "Can't Open Key";
        case 1013:
            return "Can't Write Key";
        default:
            // A number is written with a leading blank where a minus sign would stand.
            return "Undefined Error Code:  " + std::string(code < 0 ? "" : " ") +
                   std::to_string(code);
    }
}

void UnloadAllAndEnd(forms::Runtime& runtime) {
    // The program registers each of its windows by name, the applet table's and the dialogs',
    // so the registered names are every window there is, and they come in alphabetical order.
    for (const std::string& name : runtime.RegisteredNames())
        runtime.Unload(name);
    runtime.System().EndProgram();
}

}  // namespace basReg
