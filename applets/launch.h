// Starting an applet's program: the command line, the window style and the failure path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "applets/catalogue.h"
#include "platform/system.h"

namespace applets {

inline constexpr const char* kLaunchFailure =
    "This applet will not work on your system; please uncheck it from the Vornkit options menu.";
inline constexpr int kLaunchFailureStyle =
    platform::kMbOk | platform::kMbIconExclamation | platform::kMbSystemModal;
inline constexpr const char* kLaunchFailureTitle = "Error";

// Converts a stored run mode to a show-window code the way the settings have always been read:
// blanks around the number are allowed, decimal numbers (with a fraction or an exponent) round
// half to even, &H and &O prefixes give hexadecimal and octal. Empty text, anything that is
// not a number and numbers outside 32 bits give nothing.
std::optional<std::int32_t> ToWindowStyle(std::string_view runmode);

// The show-window codes the start operation accepts (SW_SHOWNORMAL to SW_FORCEMINIMIZE).
// SW_HIDE is refused: a program started hidden could not even be closed by the user.
constexpr bool IsAcceptedWindowStyle(std::int32_t style) {
    return style >= 1 && style <= 11;
}

// The command line handed to the start operation. `parameters` goes after one blank, unchanged,
// unless it is empty; `windowsDir` is used only by the applets started from the Windows
// directory.
std::string CommandLine(const Applet& applet, const std::string& parameters,
                        const std::string& windowsDir);

// Reads the applet's settings anew, starts its program and returns without waiting for it.
// Every failure gives the default beep and the same message box. `windowsDir` is the Windows
// directory, or "" when it could not be had.
void LaunchApplet(const Applet& applet, platform::System& system, const std::string& windowsDir);

}  // namespace applets
