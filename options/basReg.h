// The program's only access to the registry (one string value written at a full textual key
// path, every failure reported to the user by a message box), and its one way out.
#pragma once

#include <cstdint>
#include <string>

#include "core/forms.h"
#include "platform/system.h"

namespace basReg {

inline constexpr const char* kRunKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValue = "Vornkit";

// What a write the registry refuses shows the user.
enum class WhenRefused {
    Report,            // the error's message, always
    QuietIfAlreadySo,  // nothing when the value already says what was to be written
};

// Writes `data` as a string value; true when it was written. Empty data writes an empty value.
bool SetRegistryValue(platform::System& system, const std::string& keyPath, const std::string& name,
                      const std::string& data, WhenRefused whenRefused = WhenRefused::Report);

// Whether the value already says `data`: a string value of exactly that text, or, for empty data,
// an empty string value or no value at all. A value that cannot be read says nothing.
bool ValueAlreadySays(platform::System& system, platform::Handle mainKey, const std::string& subKey,
                      const std::string& name, const std::string& data);

// Splits "HKEY_...\sub\key" into the main key's handle and the subkey. Shows a message and
// gives handle 0 for a path that is not of that form or names no main key.
void ParseKeyPath(platform::System& system, const std::string& keyPath, platform::Handle& mainKey,
                  std::string& subKey);

// The handle of one of the seven main keys, 0 for any other name (exact, case-sensitive).
platform::Handle GetMainKeyHandle(const std::string& name);

std::string GetRegistryErrorText(std::int32_t code);

// Unloads every window of the program in the alphabetical order of their names (each applet
// window deletes its icon on the way) and ends the process. Nothing is saved: every setting was
// stored when it was made.
void UnloadAllAndEnd(forms::Runtime& runtime);

}  // namespace basReg
