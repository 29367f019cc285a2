#include "hosts/portable/profile.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "core/ascii.h"

namespace hosts::portable {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

using Line = ProfileLine;

// Where a section and a key were found: line indexes, kNone when absent. `insertAt` is the
// line a new key for the section goes before: after the section's last key line, or right
// after the header when it has no keys, so blank lines trailing the section stay below it.
struct Location {
    std::size_t section = kNone;
    std::size_t key = kNone;
    std::size_t insertAt = kNone;
};

// Text written to the file is cut at the first CR, LF or NUL: anything after it would turn
// into lines of its own (or garbage) and change the meaning of the rest of the file.
std::string_view OneLine(std::string_view s) {
    return s.substr(0, std::min(s.size(), s.find_first_of(std::string_view("\r\n\0", 3))));
}

}  // namespace

std::vector<ProfileLine> SplitProfileLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t at = content.find_first_of("\r\n", pos);
        if (at == std::string::npos) {
            lines.push_back({content.substr(pos), ""});
            break;
        }
        const bool crlf = content[at] == '\r' && at + 1 < content.size() && content[at + 1] == '\n';
        const std::string end = crlf ? "\r\n" : std::string(1, content[at]);
        lines.push_back({content.substr(pos, at - pos), end});
        pos = at + end.size();
    }
    return lines;
}

ProfileText DecodeProfile(const std::string& bytes) {
    ProfileText decoded;
    const auto starts = [&](std::string_view mark) { return bytes.rfind(mark, 0) == 0; };
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        decoded.form = starts("\xFF\xFE") ? ProfileText::Form::Utf16Le : ProfileText::Form::Utf16Be;
        const bool little = decoded.form == ProfileText::Form::Utf16Le;
        decoded.lossless = bytes.size() % 2 == 0;  // an odd last byte is no character
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
            const auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
            if (hi != 0) {
                decoded.text += '?';
                decoded.lossless = false;
            } else {
                decoded.text += static_cast<char>(lo);
            }
        }
    } else if (starts("\xEF\xBB\xBF")) {
        decoded.form = ProfileText::Form::Utf8WithMark;
        decoded.text = bytes.substr(3);
    } else {
        decoded.text = bytes;
    }
    return decoded;
}

std::string EncodeProfile(ProfileText::Form form, const std::string& text) {
    switch (form) {
        case ProfileText::Form::Bytes:
            return text;
        case ProfileText::Form::Utf8WithMark:
            return "\xEF\xBB\xBF" + text;
        case ProfileText::Form::Utf16Le:
        case ProfileText::Form::Utf16Be:
            break;
    }
    const bool little = form == ProfileText::Form::Utf16Le;
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : text) {
        bytes += little ? c : '\0';
        bytes += little ? '\0' : c;
    }
    return bytes;
}

namespace {

// The line end of the file's first line; CRLF for files without one, as Windows writes them.
std::string LineEndOf(const std::vector<Line>& lines) {
    return lines.empty() || lines.front().end.empty() ? "\r\n" : lines.front().end;
}

// "[name]" (blanks allowed around the name and before the bracket) gives the name.
std::optional<std::string_view> SectionName(std::string_view text) {
    text = ascii::TrimBlanks(text);
    if (text.empty() || text.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = text.find(']');
    if (close == kNone) {
        return std::nullopt;
    }
    return ascii::TrimBlanks(text.substr(1, close - 1));
}

// "name=value" gives the position of the '='. Comment lines (';'), bracket lines and lines
// without '=' are not keys: they are never matched and a write leaves them alone.
std::size_t EqualsSign(std::string_view text) {
    const std::string_view t = ascii::TrimBlanks(text);
    if (t.empty() || t.front() == ';' || t.front() == '[') {
        return kNone;
    }
    return text.find('=');
}

// The first section named `section`, and in it the first key named `key`; later duplicates
// are ignored, as Windows does.
Location Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location at;
    std::size_t i = 0;
    for (; i < lines.size() && at.section == kNone; ++i) {
        const auto name = SectionName(lines[i].text);
        if (name && ascii::EqualIgnoringCase(*name, section)) {
            at.section = i;
            at.insertAt = i + 1;
        }
    }
    for (; at.section != kNone && i < lines.size() && !SectionName(lines[i].text); ++i) {
        const std::string_view text = lines[i].text;
        const std::size_t eq = EqualsSign(text);
        if (eq == kNone) {
            continue;
        }
        at.insertAt = i + 1;
        if (at.key == kNone &&
            ascii::EqualIgnoringCase(ascii::TrimBlanks(text.substr(0, eq)), key)) {
            at.key = i;
        }
    }
    return at;
}

// The value as a read returns it: blanks trimmed, then one pair of enclosing quotes removed.
std::string_view ReadableValue(std::string_view raw) {
    std::string_view v = ascii::TrimBlanks(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return v;
}

// The whole file; "" when it does not exist, nullopt when it exists but cannot be read.
std::optional<std::string> Load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::error_code ec;
        const bool exists = std::filesystem::exists(path, ec);
        return exists || ec ? std::nullopt : std::optional<std::string>(std::string());
    }
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    return content;
}

std::filesystem::path TempPathBeside(const std::filesystem::path& path) {
    std::random_device random;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto tag =
        static_cast<unsigned long long>(random()) ^ static_cast<unsigned long long>(now);
    std::filesystem::path temp = path;
    temp += ".tmp" + std::to_string(tag);
    return temp;
}

// Writes `content` to a temporary file in the same folder and renames it over `path`, so the
// settings file is either the old one or the complete new one, never a partial write. The
// standard library has no fsync; closing the stream and checking it is as far as we can go.
bool ReplaceFile(const std::filesystem::path& path, const std::string& content) {
    const std::filesystem::path temp = TempPathBeside(path);
    std::error_code ec;
    if (std::filesystem::exists(temp, ec) || ec) {
        return false;
    }
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();  // a failed open, write or close leaves the stream failed
    bool ok = !out.fail();
    if (ok) {
        // Keep the old file's permissions; a freshly created file gets the default ones.
        const auto old = std::filesystem::status(path, ec);
        if (std::filesystem::exists(old)) {  // a failed status reads as no file
            std::filesystem::permissions(temp, old.permissions(), ec);
        }
        std::filesystem::rename(temp, path, ec);
        ok = !ec;
    }
    if (!ok) {
        std::filesystem::remove(temp, ec);
    }
    return ok;
}

}  // namespace

ProfileFiles::ProfileFiles(std::filesystem::path windowsDir) : windowsDir_(std::move(windowsDir)) {}

std::filesystem::path ProfileFiles::PathOf(const std::string& file) const {
    std::filesystem::path path(file);
    return path.has_parent_path() ? path : windowsDir_ / path;
}

std::uint32_t ProfileFiles::GetPrivateProfileString(const std::string& section,
                                                    const std::string& key, const std::string& def,
                                                    char* buffer, std::uint32_t size,
                                                    const std::string& file) const {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    // The default loses its trailing spaces, as Windows takes it.
    std::string_view result = def;
    while (!result.empty() && result.back() == ' ')
        result.remove_suffix(1);
    std::vector<Line> lines;  // outlives `result`, which may point into it
    if (const auto content = Load(PathOf(file))) {
        lines = SplitProfileLines(DecodeProfile(*content).text);
        const Location at = Find(lines, ascii::TrimBlanks(section), ascii::TrimBlanks(key));
        if (at.key != kNone) {
            const std::string_view text = lines[at.key].text;
            result = ReadableValue(text.substr(EqualsSign(text) + 1));
        }
    }
    const std::size_t count = std::min<std::size_t>(result.size(), size - 1);
    std::memcpy(buffer, result.data(), count);
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

bool ProfileFiles::WritePrivateProfileString(const std::string& section, const std::string& key,
                                             const std::string& value,
                                             const std::string& file) const {
    try {
        const std::filesystem::path path = PathOf(file);
        const auto content = Load(path);
        if (!content) {
            return false;
        }
        const ProfileText decoded = DecodeProfile(*content);
        if (!decoded.lossless) {
            return false;  // written back, the file would lose what the text cannot carry
        }
        const std::string_view sectionName = ascii::TrimBlanks(OneLine(section));
        const std::string_view keyName = ascii::TrimBlanks(OneLine(key));
        const std::string_view newValue = OneLine(value);

        std::vector<Line> lines = SplitProfileLines(decoded.text);
        const std::string end = LineEndOf(lines);
        const Location at = Find(lines, sectionName, keyName);

        if (at.key != kNone) {
            // Keep the key as spelled in the file, including any indentation before it.
            std::string& text = lines[at.key].text;
            const std::size_t eq = EqualsSign(text);
            const std::size_t last = eq == 0 ? kNone : text.find_last_not_of(" \t", eq - 1);
            text = text.substr(0, last == kNone ? 0 : last + 1) + "=" + std::string(newValue);
        } else {
            const std::size_t insertAt = at.section != kNone ? at.insertAt : lines.size();
            if (insertAt > 0 && lines[insertAt - 1].end.empty())
                lines[insertAt - 1].end = end;  // the old last line gets its end
            std::vector<Line> added;
            if (at.section == kNone) {
                added.push_back({"[" + std::string(sectionName) + "]", end});
            }
            added.push_back({std::string(keyName) + "=" + std::string(newValue), end});
            // A lone CR ending the new lines must not pair with an LF that starts the next line.
            if (insertAt < lines.size() && added.back().end == "\r" &&
                lines[insertAt].text.empty() && lines[insertAt].end == "\n")
                added.back().end = "\r\n";
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(),
                         added.end());
        }

        std::string out;
        for (const Line& line : lines) {
            out += line.text;
            out += line.end;
        }
        return ReplaceFile(path, EncodeProfile(decoded.form, out));
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace hosts::portable
