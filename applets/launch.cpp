#include "applets/launch.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/basIni.h"

namespace applets {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::optional<std::int32_t> FromRadix(std::string_view digits, int base) {
    if (digits.empty() || digits.size() > (base == 16 ? 8u : 11u))
        return std::nullopt;
    std::uint64_t v = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
    if (ec != std::errc() || end != digits.data() + digits.size() || v > 0xFFFFFFFFull)
        return std::nullopt;
    // &H and &O literals are 32-bit patterns: &HFFFFFFFF is -1.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

}  // namespace

std::optional<std::int32_t> ToWindowStyle(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.size() > 2 && text[0] == '&') {
        if (text[1] == 'H' || text[1] == 'h')
            return FromRadix(text.substr(2), 16);
        if (text[1] == 'O' || text[1] == 'o')
            return FromRadix(text.substr(2), 8);
        return std::nullopt;
    }
    // [sign] digits [. digits] [E|D [sign] digits], at least one mantissa digit.
    std::string number;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number += text[i++];
    bool mantissa = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        number += text[i++], mantissa = true;
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            number += text[i++], mantissa = true;
    }
    if (!mantissa)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        number += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            number += text[i++];
        bool exponent = false;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            number += text[i++], exponent = true;
        if (!exponent)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    const char* first = number.c_str();
    if (*first == '+')
        ++first;  // from_chars takes no plus sign
    double value = 0;
    auto [end, ec] = std::from_chars(first, number.c_str() + number.size(), value);
    if (ec != std::errc() || end != number.c_str() + number.size())
        return std::nullopt;
    const double rounded = std::nearbyint(value);  // half to even
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
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

void LaunchApplet(const Applet& applet, platform::Api& api, const std::string& windowsDir) {
    const auto started = [&]() -> bool {
        if (applet.launch == Launch::WindowsDirectory) {
            // Without the Windows directory the path would name a file at the current root.
            if (windowsDir.empty())
                return false;
            return api.StartProgram(CommandLine(applet, "", windowsDir), 1);
        }
        const std::string section(applet.section);
        std::string parameters;
        if (applet.launch == Launch::BareWithParameters)
            parameters = basIni::ReadIniString(api, section, "parameters", basIni::kSettingsFile);
        const std::string commandLine = CommandLine(applet, parameters, windowsDir);
        const auto style =
            ToWindowStyle(basIni::ReadIniString(api, section, "runmode", basIni::kSettingsFile));
        if (!style || !IsAcceptedWindowStyle(*style))
            return false;
        return api.StartProgram(commandLine, *style);
    }();
    if (started)
        return;
    api.Beep();
    api.MsgBox(kLaunchFailure, kLaunchFailureStyle, kLaunchFailureTitle);
}

}  // namespace applets
