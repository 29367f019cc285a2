#include "applets/catalogue.h"

namespace applets {

std::string_view RunModeButton(const Applet& applet, std::string_view runmode) {
    if (runmode == "1")
        return applet.offersNormal ? "optNorm" : "";
    if (runmode == "2")
        return "optMin";
    if (runmode == "3")
        return "optMax";
    return {};
}

}  // namespace applets
