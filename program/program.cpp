#include "program/program.h"

#include "about/frmAbout.h"
#include "applets/applet_window.h"
#include "applets/catalogue.h"
#include "core/window_names.h"
#include "options/basReg.h"
#include "options/frmAppletOptions.h"
#include "options/frmOptions.h"
#include "program/frmMain.h"
#include "resources/resource.h"

namespace program {

Program::Program(platform::System& system, forms::WindowHost& host) : forms_(system, host) {
    using namespace window_names;
    forms_.SetExitRoutine([this] { basReg::UnloadAllAndEnd(forms_); });
    forms_.Register(kMain,
                    [this](forms::Runtime& r) { return std::make_unique<frmMain>(r, settings_); });
    forms_.Register(kOptions, [this](forms::Runtime& r) {
        return std::make_unique<options::frmOptions>(r, settings_);
    });
    forms_.Register(kAbout, [](forms::Runtime& r) { return std::make_unique<about::frmAbout>(r); });
    // The icon holder only carries the program's icon; the program never loads it.
    forms_.Register(kIco, [](forms::Runtime& r) {
        return std::make_unique<forms::Form>(
            r, forms::FormDesign{.name = kIco, .icon = IDI_PROGRAM, .neverShown = true});
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
    forms_.Load(window_names::kMain);
}

}  // namespace program
