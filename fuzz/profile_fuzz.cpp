// The settings file as the user may have edited it: arbitrary bytes, then reads and one write.
// Section, key and value names come from the file's own lines (picked by the input's last bytes)
// or from the names the program uses, so that reads and writes hit what the file holds.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "hosts/portable/profile.h"

namespace fs = std::filesystem;
using hosts::portable::DecodeProfile;
using hosts::portable::EncodeProfile;
using hosts::portable::ProfileFiles;
using hosts::portable::ProfileLine;
using hosts::portable::ProfileText;
using hosts::portable::SplitProfileLines;

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

struct TempFolder {
    TempFolder()
        : path(fs::temp_directory_path() / ("vornkit-profile-fuzz-" + std::to_string(::getpid()))) {
        fs::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

const TempFolder& Folder() {
    static const TempFolder folder;
    return folder;
}

constexpr const char* kFile = "vornkit.ini";

void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check(static_cast<bool>(out));
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsBlankOrQuote(char c) {
    return c == ' ' || c == '\t' || c == '"' || c == '\'';
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Names a write can store so that a read finds them again: one line, a section name without
// ']', a key without '=' that does not look like a comment or a section.
bool StorableSection(std::string_view s) {
    return !HasLineBreakOrNul(s) && s.find(']') == std::string_view::npos;
}
bool StorableKey(std::string_view k) {
    const std::string_view t = Trimmed(k);
    return !HasLineBreakOrNul(k) && k.find('=') == std::string_view::npos &&
           (t.empty() || (t.front() != ';' && t.front() != '['));
}
bool StorableValue(std::string_view v) {
    return !HasLineBreakOrNul(v) &&
           (v.empty() || (!IsBlankOrQuote(v.front()) && !IsBlankOrQuote(v.back())));
}

// Reads with a heap buffer of exactly `size` bytes, so that any write past it is caught.
std::string Read(const ProfileFiles& profile, const std::string& section, const std::string& key,
                 const std::string& def, std::uint32_t size) {
    const auto buffer = std::make_unique<char[]>(size);
    const std::uint32_t n =
        profile.GetPrivateProfileString(section, key, def, buffer.get(), size, kFile);
    Check(n < size);
    Check(buffer[n] == '\0');
    return std::string(buffer.get(), n);
}

// Spellings of a name as the program or the user might pass it: as is, other case, blanks.
std::string Variant(std::string name, std::uint8_t how) {
    if (how & 1)
        for (char& c : name)
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                c ^= 0x20;
    if (how & 2)
        name = " " + name + "\t";
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path dir = Folder().path;
    const std::string content(reinterpret_cast<const char*>(data), size);
    Put(dir / kFile, content);
    const ProfileFiles profile(dir);
    // The file's text: its bytes again when nothing had to be replaced.
    const ProfileText decoded = DecodeProfile(content);
    if (decoded.lossless)
        Check(EncodeProfile(decoded.form, decoded.text) == content);
    const std::vector<ProfileLine> before = SplitProfileLines(decoded.text);
    // The lines, ends included, are the text again: nothing is lost or made up by the split.
    std::string joined;
    for (const ProfileLine& line : before) {
        Check(line.text.find_first_of("\r\n") == std::string::npos);
        Check(&line == &before.back() || !line.end.empty());
        joined += line.text + line.end;
    }
    Check(joined == decoded.text);

    // Candidate names: the program's own, and the bracketed / left-of-'=' / right-of-'=' parts
    // of the file's lines.
    std::vector<std::string> sections = {"VORNKIT", "VORNDOS", "vornexp", ""};
    std::vector<std::string> keys = {"runmode", "parameters", "TDCheck", ""};
    std::vector<std::string> values = {"3", "/k dir", "a \"b\" c", ""};
    for (const ProfileLine& line : before) {
        const std::string& t = line.text;
        const std::size_t open = t.find('['), close = t.find(']');
        if (open != std::string::npos && close != std::string::npos && close > open)
            sections.push_back(t.substr(open + 1, close - open - 1));
        const std::size_t eq = t.find('=');
        if (eq != std::string::npos) {
            keys.push_back(t.substr(0, eq));
            values.push_back(t.substr(eq + 1));
        }
    }
    // The choices come from the end of the input, the file is the whole input.
    FuzzedDataProvider pick(data, size);
    auto choose = [&](const std::vector<std::string>& from) {
        return Variant(from[pick.ConsumeIntegralInRange<std::size_t>(0, from.size() - 1)],
                       pick.ConsumeIntegral<std::uint8_t>());
    };

    for (int i = 0; i < 3; ++i) {
        const std::string section = choose(sections), key = choose(keys);
        const std::string full = Read(profile, section, key, "dflt", 255);
        for (std::uint32_t small : {1u, 2u, pick.ConsumeIntegralInRange<std::uint32_t>(1, 300)}) {
            const std::string part = Read(profile, section, key, "dflt", small);
            // The same value, cut to the smaller of the two buffers.
            Check(part.substr(0, 254) == full.substr(0, small - 1));
        }
    }

    const std::string section = choose(sections), key = choose(keys);
    std::string value = values[pick.ConsumeIntegralInRange<std::size_t>(0, values.size() - 1)];
    if (pick.ConsumeBool())
        value += std::string(pick.ConsumeIntegralInRange<std::size_t>(0, 300), 'v');
    const bool stored = profile.WritePrivateProfileString(section, key, value, kFile);
    const std::string written = Bytes(dir / kFile);
    // A file whose text cannot carry all it holds is not written: it stays byte for byte.
    Check(stored == decoded.lossless);
    if (!stored) {
        Check(written == content);
        return 0;
    }
    Check(!written.empty());
    Check(DecodeProfile(written).form == decoded.form);
    if (StorableSection(section) && StorableKey(key) && StorableValue(value))
        Check(Read(profile, section, key, "dflt", 255) == value.substr(0, 254));

    // Every line the write did not change is still there, byte for byte: either one line's
    // text was replaced, or new lines went in at one place (the line before them gaining the
    // line end it lacked at the end of the file).
    const std::vector<ProfileLine> after = SplitProfileLines(DecodeProfile(written).text);
    Check(after.size() >= before.size() && after.size() <= before.size() + 2);
    if (after.size() == before.size()) {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i) {
            Check(after[i].end == before[i].end);
            changed += after[i].text != before[i].text;
        }
        Check(changed <= 1);
    } else {
        std::size_t p = 0;
        while (p < before.size() && after[p] == before[p])
            ++p;
        const std::size_t added = after.size() - before.size();
        if (p < before.size() && before[p].end.empty() && p + 1 == before.size() &&
            after[p].text == before[p].text) {
            ++p;  // the old last line, now ended
        }
        for (std::size_t i = p; i < before.size(); ++i)
            Check(after[i + added] == before[i]);
    }
    return 0;
}
