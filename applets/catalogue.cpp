#include "applets/catalogue.h"

#include "resources/resource.h"

namespace applets {

const std::array<Applet, 6> kApplets = {{
    {"TD", "frmTDIcon", "Vorn DOS", "TDCheck", "VORNDOS", "frmTDOpt", "Vorn DOS &Options",
     "command.com", Launch::BareWithParameters, false, IDI_TD, IDI_TD_PICTURE},
    {"TE", "frmTEIcon", "Vorn Explore", "TECheck", "VORNEXP", "frmTEOpt", "Vorn Explore &Options",
     "explorer.exe", Launch::BareWithParameters, true, IDI_TE, IDI_TE_PICTURE},
    {"TC", "frmTCIcon", "Vorn Control Panel", "TCCheck", "VORNCON", "frmTCOpt",
     "Vorn Control &Options", "control.exe", Launch::BareOnly, true, IDI_TC, IDI_TC_PICTURE},
    {"TN", "frmTNIcon", "Vorn Notepad", "TNCheck", "VORNNOT", "frmTNOpt", "Vorn Notepad &Options",
     "notepad.exe", Launch::BareWithParameters, true, IDI_TN, IDI_TN_PICTURE},
    {"TP", "frmTPIcon", "Vorn CD Player", "TPCheck", "", "", "", "\\cdplayer.exe",
     Launch::WindowsDirectory, false, IDI_TP, 0},
    {"TA", "frmTAIcon", "Vorn Calculator", "TACheck", "", "", "", "\\calc.exe",
     Launch::WindowsDirectory, false, IDI_TA, 0},
}};

std::string_view RunModeButton(const Applet& applet, std::string_view runmode) {
    if (runmode == "1")
        return applet.offersNormal ? "optNorm" : "";
    if (runmode == "2")
        return "optMin";
    if (runmode == "3")
        return "optMax";
    return {};
}

const Applet* ByCode(std::string_view code) {
    for (const Applet& a : kApplets)
        if (a.code == code)
            return &a;
    return nullptr;
}

}  // namespace applets
