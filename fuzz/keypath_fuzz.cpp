// Registry key paths as the platform or a caller may hand them in: arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "hosts/portable/portable_system.h"
#include "options/basReg.h"

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// The portable platform without the messages on stderr; it counts them instead.
class SilentSystem : public hosts::portable::PortableSystem {
public:
    SilentSystem() : PortableSystem(std::filesystem::temp_directory_path()) {}
    void MsgBox(const std::string&, int, const std::string&) override { ++messages; }
    int messages = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);

    SilentSystem api;
    platform::Handle mainKey = 12345;
    std::string subKey = "stale";
    basReg::ParseKeyPath(api, path, mainKey, subKey);
    Check(mainKey == 0 ||
          (mainKey >= platform::kHkeyClassesRoot && mainKey <= platform::kHkeyDynData));
    Check(api.messages == (mainKey == 0 ? 1 : 0));
    if (mainKey != 0) {
        Check(path.rfind("HKEY_", 0) == 0);
        Check(path.back() != '\\');
        // The main key's name, then the subkey after the first backslash.
        const std::size_t slash = path.find('\\');
        Check(basReg::GetMainKeyHandle(path.substr(0, slash)) == mainKey);
        Check(subKey == (slash == std::string::npos ? "" : path.substr(slash + 1)));
    }

    // Only the main keys exist at first; once the key exists the write succeeds for every
    // path the parse accepts, and the value reads back.
    SilentSystem fresh;
    const bool mainOnly = mainKey != 0 && subKey.empty();
    Check(basReg::SetRegistryValue(fresh, path, "Vornkit", path) == mainOnly);
    Check(fresh.messages == (mainOnly ? 0 : 1));
    fresh.CreateRegistryKey(path);
    fresh.messages = 0;
    const bool written = basReg::SetRegistryValue(fresh, path, "Vornkit", path);
    Check(written == (mainKey != 0));
    Check(fresh.messages == (written ? 0 : 1));
    if (written) {
        const std::string* stored = fresh.RegistryValue(path, "Vornkit");
        Check(stored != nullptr && *stored == path);
    }
    return 0;
}
