// The only access to the settings file: one value per call.
#pragma once

#include <string>

#include "platform/system.h"

namespace basIni {

inline constexpr const char* kSettingsFile = "vornkit.ini";

// The stored value, or "" when the file, section or key is missing or the value is empty.
// At most 254 characters.
std::string ReadIniString(platform::System& system, const std::string& section,
                          const std::string& key, const std::string& file);

// Stores the value unchanged (not trimmed, not quoted). A failure is not reported.
void WriteIniString(platform::System& system, const std::string& section, const std::string& key,
                    const std::string& value, const std::string& file);

}  // namespace basIni
