// The six applets: every per-applet constant in one table that the rest of the program reads.
#pragma once

#include <array>
#include <string_view>

namespace applets {

// A program given by bare name is found where Windows keeps its own (program_search.h), and its
// command line names it by that bare name.
enum class Launch {
    BareWithParameters,  // program by bare name, "parameters" appended when not empty
    BareOnly,            // program by bare name alone; "parameters" is never read
    WindowsDirectory,    // Windows directory + program, always window style 1
};

struct Applet {
    std::string_view code;            // "TD"
    std::string_view window;          // "frmTDIcon"
    std::string_view displayName;     // icon tooltip
    std::string_view enableKey;       // key in "VORNKIT"
    std::string_view section;         // own section, empty for none
    std::string_view optionsDialog;   // "frmTDOpt", empty for none
    std::string_view optionsCaption;  // popup item that opens the options dialog
    std::string_view program;         // bare name, or "\name.exe" after the Windows directory
    Launch launch;
    bool offersNormal;  // its options dialog has the Normal choice (run mode "1")
    int icon;           // 16 x 16 icon resource
    int picture;        // 32 x 32 options dialog picture resource, 0 for none

    bool HasOptions() const { return !optionsDialog.empty(); }
};

extern const std::array<Applet, 6> kApplets;

// The option button of the applet's options dialog that shows a stored run mode ("1" normal,
// "2" minimized, "3" maximized); empty for a mode the dialog does not offer, Normal among them
// where the applet has no such choice.
std::string_view RunModeButton(const Applet& applet, std::string_view runmode);

// Looks an applet up by its code ("TD"); nullptr for an unknown code.
const Applet* ByCode(std::string_view code);

// Start-up loads the enabled applets' windows in this order.
inline constexpr std::array<std::string_view, 6> kStartupOrder = {"TA", "TC", "TD",
                                                                  "TE", "TN", "TP"};
// The general options dialog lists, applies and stores the applets in this order.
inline constexpr std::array<std::string_view, 6> kOptionsOrder = {"TE", "TD", "TC",
                                                                  "TP", "TA", "TN"};

}  // namespace applets
