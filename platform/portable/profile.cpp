#include "platform/portable/profile.h"

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

namespace platform::portable {

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

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

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
        const std::size_t nl = content.find('\n', pos);
        if (nl == std::string::npos) {
            lines.push_back({content.substr(pos), ""});
            break;
        }
        const bool crlf = nl > pos && content[nl - 1] == '\r';
        const std::size_t textEnd = crlf ? nl - 1 : nl;
        lines.push_back({content.substr(pos, textEnd - pos), crlf ? "\r\n" : "\n"});
        pos = nl + 1;
    }
    return lines;
}

namespace {

// The line end of the file's first line; CRLF for files without one, as Windows writes them.
std::string LineEndOf(const std::vector<Line>& lines) {
    return lines.empty() || lines.front().end.empty() ? "\r\n" : lines.front().end;
}

// "[name]" (blanks allowed around the name and before the bracket) gives the name.
std::optional<std::string_view> SectionName(std::string_view text) {
    text = Trim(text);
    if (text.empty() || text.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = text.find(']');
    if (close == kNone) {
        return std::nullopt;
    }
    return Trim(text.substr(1, close - 1));
}

// "name=value" gives the position of the '='. Comment lines (';'), bracket lines and lines
// without '=' are not keys: they are never matched and a write leaves them alone.
std::size_t EqualsSign(std::string_view text) {
    const std::string_view t = Trim(text);
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
        if (name && SameName(*name, section)) {
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
        if (at.key == kNone && SameName(Trim(text.substr(0, eq)), key)) {
            at.key = i;
        }
    }
    return at;
}

// The value as a read returns it: blanks trimmed, then one pair of enclosing quotes removed.
std::string_view ReadableValue(std::string_view raw) {
    std::string_view v = Trim(raw);
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
    bool ok = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
            out.flush();
            ok = out.good();
            out.close();
            ok = ok && !out.fail();
        }
    }
    if (ok) {
        // Keep the old file's permissions; a freshly created file gets the default ones.
        const auto old = std::filesystem::status(path, ec);
        if (!ec && std::filesystem::exists(old)) {
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
    std::string_view result = def;
    std::vector<Line> lines;  // outlives `result`, which may point into it
    if (const auto content = Load(PathOf(file))) {
        lines = SplitProfileLines(*content);
        const Location at = Find(lines, Trim(section), Trim(key));
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
        const std::string_view sectionName = Trim(OneLine(section));
        const std::string_view keyName = Trim(OneLine(key));
        const std::string_view newValue = OneLine(value);

        std::vector<Line> lines = SplitProfileLines(*content);
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
            if (insertAt > 0 && lines[insertAt - 1].end.empty()) {
                // A last line that ends in a lone CR keeps it as text: a bare LF after it
                // would turn the pair into a line end and change what the line reads.
                Line& last = lines[insertAt - 1];
                last.end = !last.text.empty() && last.text.back() == '\r' ? "\r\n" : end;
            }
            std::vector<Line> added;
            if (at.section == kNone) {
                added.push_back({"[" + std::string(sectionName) + "]", end});
            }
            added.push_back({std::string(keyName) + "=" + std::string(newValue), end});
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(),
                         added.end());
        }

        std::string out;
        for (const Line& line : lines) {
            out += line.text;
            out += line.end;
        }
        return ReplaceFile(path, out);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace platform::portable
