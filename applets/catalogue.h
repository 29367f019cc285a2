// The six applets: every constant of an applet itself in one table that the rest of the program
// reads. How the four options dialogs differ in their layout is the options dialogs' own table.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "resources/resource.h"

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

    constexpr bool HasOptions() const { return !optionsDialog.empty(); }
};

inline constexpr std::array kApplets = {
    Applet{"TD", "frmTDIcon", "Vorn DOS", "TDCheck", "VORNDOS", "frmTDOpt", "Vorn DOS &Options",
           "command.com", Launch::BareWithParameters, false, IDI_TD, IDI_TD_PICTURE},
    Applet{"TE", "frmTEIcon", "Vorn Explore", "TECheck", "VORNEXP", "frmTEOpt",
           "Vorn Explore &Options", "explorer.exe", Launch::BareWithParameters, true, IDI_TE,
           IDI_TE_PICTURE},
    Applet{"TC", "frmTCIcon", "Vorn Control Panel", "TCCheck", "VORNCON", "frmTCOpt",
           "Vorn Control &Options", "control.exe", Launch::BareOnly, true, IDI_TC, IDI_TC_PICTURE},
    Applet{"TN", "frmTNIcon", "Vorn Notepad", "TNCheck", "VORNNOT", "frmTNOpt",
           "Vorn Notepad &Options", "notepad.exe", Launch::BareWithParameters, true, IDI_TN,
           IDI_TN_PICTURE},
    Applet{"TP", "frmTPIcon", "Vorn CD Player", "TPCheck", "", "", "", "\\cdplayer.exe",
           Launch::WindowsDirectory, false, IDI_TP, 0},
    Applet{"TA", "frmTAIcon", "Vorn Calculator", "TACheck", "", "", "", "\\calc.exe",
           Launch::WindowsDirectory, false, IDI_TA, 0},
};
inline constexpr std::size_t kAppletCount = kApplets.size();

// The applet of a code ("TD"); nullptr for an unknown code. Every lookup by code comes here.
constexpr const Applet* ByCode(std::string_view code) {
    for (const Applet& a : kApplets)
        if (a.code == code)
            return &a;
    return nullptr;
}

// The applets in an order given by their codes; a code the table lacks stops the build.
using Order = std::array<const Applet*, kAppletCount>;
constexpr Order InOrder(const std::array<std::string_view, kAppletCount>& codes) {
    Order order{};
    for (std::size_t i = 0; i < kAppletCount; ++i)
        order[i] = &*ByCode(codes[i]);
    return order;
}

// Start-up loads the enabled applets' windows in this order. Each hands its icon to the shell as
// it loads; their run modes and hidden options dialogs follow once every icon is in (the applet
// window's load).
inline constexpr Order kStartupOrder = InOrder({"TA", "TC", "TD", "TE", "TN", "TP"});
// The general options dialog lists, applies and stores the applets in this order.
inline constexpr Order kOptionsOrder = InOrder({"TE", "TD", "TC", "TP", "TA", "TN"});

// The option button of the applet's options dialog that shows a stored run mode ("1" normal,
// "2" minimized, "3" maximized); empty for a mode the dialog does not offer, Normal among them
// where the applet has no such choice.
std::string_view RunModeButton(const Applet& applet, std::string_view runmode);

}  // namespace applets
