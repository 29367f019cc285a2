#include "applets/launch.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "applets/program_search.h"
#include "core/ascii.h"
#include "core/basIni.h"

namespace applets {

namespace {

std::optional<std::int32_t> FromRadix(std::string_view digits, int base) {
    if (digits.size() > (base == 16 ? 8u : 11u))
        return std::nullopt;
    std::uint64_t v{};
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
    if (ec != std::errc() || end != digits.data() + digits.size() || v > 0xFFFFFFFFull)
        return std::nullopt;
    // &H and &O literals are 32-bit patterns: &HFFFFFFFF is -1.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// A decimal number as written: [sign] digits [. digits] [E|D [sign] digits], kept as its digits
// so that its value is worked out exactly, with no binary floating point ("2.5" and
// "2.50000000000000000001" round as they read).
struct Decimal {
    bool negative = false;
    std::string digits;        // every mantissa digit, the point left out
    long long pointAfter = 0;  // how many of them stand before the point, the exponent added
};

bool IsDigit(std::string_view text, std::size_t at) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

// Reads an optional sign at `i`; true for a minus.
bool ScanSign(std::string_view text, std::size_t& i) {
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return text[i++] == '-';
    return false;
}

std::optional<Decimal> ScanDecimal(std::string_view text) {
    Decimal d;
    std::size_t i = 0;
    d.negative = ScanSign(text, i);
    while (IsDigit(text, i))
        d.digits += text[i++], ++d.pointAfter;
    if (i < text.size() && text[i] == '.')
        for (++i; IsDigit(text, i);)
            d.digits += text[i++];
    if (d.digits.empty())
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        ++i;
        const bool negativeExponent = ScanSign(text, i);
        if (!IsDigit(text, i))
            return std::nullopt;
        long long exponent = 0;
        while (IsDigit(text, i))
            exponent = std::min(exponent * 10 + (text[i++] - '0'), 100000LL);
        d.pointAfter += negativeExponent ? -exponent : exponent;
    }
    if (i != text.size())
        return std::nullopt;
    return d;
}

// The decimal's value rounded half to even: .5 exactly goes to the even neighbour, anything
// above .5 up. Nothing for a value beyond 32 bits.
std::optional<std::int32_t> RoundHalfToEven(Decimal d) {
    // Leading zeros carry nothing; an all-zero mantissa is zero whatever the exponent.
    const std::size_t first = d.digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    d.digits.erase(0, first);
    const long long whole = d.pointAfter - static_cast<long long>(first);
    if (whole > 10)
        return std::nullopt;  // ten digits or more before the point: beyond 32 bits
    // Split into the whole part and what follows the point.
    std::string integerPart, fraction;
    if (whole <= 0) {
        fraction = std::string(static_cast<std::size_t>(std::min(-whole, 12LL)), '0') + d.digits;
    } else {
        const auto n = static_cast<std::size_t>(whole);
        integerPart = d.digits.substr(0, std::min(d.digits.size(), n));
        integerPart.resize(n, '0');
        if (d.digits.size() > n)
            fraction = d.digits.substr(n);
    }
    long long value = 0;
    for (char c : integerPart)
        value = value * 10 + (c - '0');
    if (!fraction.empty() && fraction[0] >= '5') {
        const bool above =
            fraction[0] > '5' || fraction.find_first_not_of('0', 1) != std::string::npos;
        if (above || value % 2 == 1)
            ++value;
    }
    if (d.negative)
        value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::int32_t> ToWindowStyle(std::string_view text) {
    text = ascii::TrimBlanks(text);
    if (text.size() > 2 && text[0] == '&') {
        if (text[1] == 'H' || text[1] == 'h')
            return FromRadix(text.substr(2), 16);
        if (text[1] == 'O' || text[1] == 'o')
            return FromRadix(text.substr(2), 8);
        return std::nullopt;
    }
    const std::optional<Decimal> decimal = ScanDecimal(text);
    return decimal ? RoundHalfToEven(*decimal) : std::nullopt;
}

std::string CommandLine(const Applet& applet, const std::string& parameters,
                        const std::string& windowsDir) {
    switch (applet.launch) {
        case Launch::WindowsDirectory:
            return windowsDir + std::string(applet.program);
        case Launch::BareOnly:
            return std::string(applet.program);
        case Launch::BareWithParameters:
            break;
    }
    if (parameters.empty())
        return std::string(applet.program);
    return std::string(applet.program) + " " + parameters;
}

void LaunchApplet(const Applet& applet, platform::System& system, const std::string& windowsDir) {
    const auto started = [&]() -> bool {
        if (applet.launch == Launch::WindowsDirectory) {
            // Without the Windows directory the path would name a file at the current root.
            if (windowsDir.empty())
                return false;
            return system.StartProgram("", CommandLine(applet, "", windowsDir), 1);
        }
        const std::string section(applet.section);
        std::string parameters;
        if (applet.launch == Launch::BareWithParameters)
            parameters =
                basIni::ReadIniString(system, section, "parameters", basIni::kSettingsFile);
        const std::string commandLine = CommandLine(applet, parameters, windowsDir);
        const auto style =
            ToWindowStyle(basIni::ReadIniString(system, section, "runmode", basIni::kSettingsFile));
        if (!style || !IsAcceptedWindowStyle(*style))
            return false;
        // Started from where it was found; its command line still names it as always.
        const std::string program = FindProgram(system, applet.program);
        return !program.empty() && system.StartProgram(program, commandLine, *style);
    }();
    if (started)
        return;
    system.Beep();
    system.MsgBox(kLaunchFailure, kLaunchFailureStyle, kLaunchFailureTitle);
}

}  // namespace applets
