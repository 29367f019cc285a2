// Profile (INI) files for systems without the Win32 private-profile functions. Reproduces the
// behaviour Vornkit relies on from GetPrivateProfileStringA / WritePrivateProfileStringA.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hosts::portable {

// One line of a profile file: its text and the line end that followed it ("\r\n", "\n", "\r",
// or "" for a last line without one). Lines a write does not touch are written back from these
// unchanged.
struct ProfileLine {
    std::string text;
    std::string end;
    bool operator==(const ProfileLine&) const = default;
};

// A file's text as lines, the way Windows reads a profile: a line ends at LF, at CR LF, and at a
// CR alone.
std::vector<ProfileLine> SplitProfileLines(const std::string& content);

// A profile file's bytes as the single-byte text the "A" functions see. A file saved as UTF-16
// (with its byte-order mark, as Notepad's "Unicode" writes it) is read as Windows reads it; a
// UTF-8 byte-order mark is passed over. Characters outside the first 256 become '?' (the
// portable build has no code page), and such a file is not written: see Encode.
struct ProfileText {
    enum class Form { Bytes, Utf8WithMark, Utf16Le, Utf16Be };
    Form form = Form::Bytes;
    std::string text;
    bool lossless = true;  // Encode(text) gives the file's bytes back
};
ProfileText DecodeProfile(const std::string& bytes);
// The file's bytes for `text` in the form the file was in.
std::string EncodeProfile(ProfileText::Form form, const std::string& text);

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

    // Stores `value` under `key` in `section`, creating file, section and key as needed, in the
    // file's own form (single-byte, UTF-8 or UTF-16). Returns false when the file cannot be
    // written, or is UTF-16 holding characters the single-byte text cannot carry; the old file
    // is then left as it was, byte for byte.
    bool WritePrivateProfileString(const std::string& section, const std::string& key,
                                   const std::string& value, const std::string& file) const;

    std::filesystem::path PathOf(const std::string& file) const;

private:
    std::filesystem::path windowsDir_;
};

}  // namespace hosts::portable
