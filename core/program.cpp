#include "core/program.h"

#include "about/frmAbout.h"
#include "applets/AppletWindow.h"
#include "applets/catalogue.h"
#include "core/frmMain.h"
#include "options/frmAppletOptions.h"
#include "options/frmOptions.h"
#include "resources/resource.h"

namespace core {

Program::Program(platform::Api& api) : forms_(api) {
    forms_.Register("frmMain",
                    [this](forms::Runtime&) { return std::make_unique<frmMain>(*this); });
    forms_.Register("frmOptions", [this](forms::Runtime&) {
        return std::make_unique<options::frmOptions>(*this);
    });
    forms_.Register("frmAbout",
                    [](forms::Runtime& r) { return std::make_unique<about::frmAbout>(r); });
    // The icon holder only carries the program's icon; the program never loads it.
    forms_.Register("frmIco", [](forms::Runtime& r) {
        forms::FormDesign design;
        design.name = "frmIco";
        design.icon = IDI_PROGRAM;
        design.neverShown = true;
        return std::make_unique<forms::Form>(r, design);
    });
    for (const applets::Applet& a : applets::kApplets) {
        forms_.Register(std::string(a.window), [&a](forms::Runtime& r) {
            return std::make_unique<applets::AppletWindow>(r, a);
        });
        if (a.HasOptions())
            forms_.Register(std::string(a.optionsDialog), [&a](forms::Runtime& r) {
                return std::make_unique<options::frmAppletOptions>(r, a);
            });
    }
}

void Program::Start() {
    forms_.Load("frmMain");
}

}  // namespace core
