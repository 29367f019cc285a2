// Profile (INI) files for systems without the Win32 private-profile functions. Reproduces the
// behaviour Vornkit relies on from GetPrivateProfileStringA / WritePrivateProfileStringA.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platform::portable {

// One line of a profile file: its text and the line end that followed it ("\r\n", "\n", or ""
// for a last line without one). Lines a write does not touch are written back from these
// unchanged.
struct ProfileLine {
    std::string text;
    std::string end;
    bool operator==(const ProfileLine&) const = default;
};

// A file's bytes as lines: only LF ends a line, a CR just before it belongs to the line end.
std::vector<ProfileLine> SplitProfileLines(const std::string& content);

class ProfileFiles {
public:
    // A file name without a folder names the file in `windowsDir`.
    explicit ProfileFiles(std::filesystem::path windowsDir);

    // Copies the value (or `def` when the file, section or key is missing; a key with an empty
    // value reads as "") into `buffer`: at most size - 1 characters and a NUL. Returns the count
    // copied.
    std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                          const std::string& def, char* buffer, std::uint32_t size,
                                          const std::string& file) const;

    // Stores `value` under `key` in `section`, creating file, section and key as needed.
    // Returns false when the file cannot be written; the old file is then left as it was.
    bool WritePrivateProfileString(const std::string& section, const std::string& key,
                                   const std::string& value, const std::string& file) const;

    std::filesystem::path PathOf(const std::string& file) const;

private:
    std::filesystem::path windowsDir_;
};

}  // namespace platform::portable
