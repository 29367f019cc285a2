#include "core/basIni.h"

#include <cstdint>

namespace basIni {

std::string ReadIniString(platform::System& system, const std::string& section,
                          const std::string& key, const std::string& file) {
    char buffer[255] = {};
    const std::uint32_t copied =
        system.GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, file);
    // The count is kept as a 16-bit number; with a 255-character buffer it never exceeds 254,
    // and anything outside the buffer is not trusted.
    std::int16_t n = static_cast<std::int16_t>(copied);
    if (n < 0 || n > 254)
        n = 0;
    return std::string(buffer, static_cast<std::size_t>(n));
}

void WriteIniString(platform::System& system, const std::string& section, const std::string& key,
                    const std::string& value, const std::string& file) {
    // The result is ignored on purpose: a write that fails leaves the old value in force.
    (void)system.WritePrivateProfileStringA(section, key, value, file);
}

}  // namespace basIni
