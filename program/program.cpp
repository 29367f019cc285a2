#include "program/program.h"

#include "about/frmAbout.h"
#include "applets/applet_window.h"
#include "applets/catalogue.h"
#include "options/basReg.h"
#include "options/frmAppletOptions.h"
#include "options/frmOptions.h"
#include "program/frmMain.h"
#include "resources/resource.h"

namespace program {

Program::Program(platform::System& system, forms::WindowHost& host) : forms_(system, host) {
    forms_.SetExitRoutine([this] { basReg::UnloadAllAndEnd(forms_); });
    forms_.Register("frmMain",
                    [this](forms::Runtime& r) { return std::make_unique<frmMain>(r, settings_); });
    forms_.Register("frmOptions", [this](forms::Runtime& r) {
        return std::make_unique<options::frmOptions>(r, settings_);
    });
    forms_.Register("frmAbout",
                    [](forms::Runtime& r) { return std::make_unique<about::frmAbout>(r); });
    // The icon holder only carries the program's icon; the program never loads it.
    forms_.Register("frmIco", [](forms::Runtime& r) {
        return std::make_unique<forms::Form>(
            r, forms::FormDesign{.name = "frmIco", .icon = IDI_PROGRAM, .neverShown = true});
    });
    for (const applets::Applet& a : applets::kApplets) {
        forms_.Register(std::string(a.window), [this, &a](forms::Runtime& r) {
            return std::make_unique<applets::AppletWindow>(r, a, starting_);
        });
        if (a.HasOptions())
            forms_.Register(std::string(a.optionsDialog), [&a](forms::Runtime& r) {
                return std::make_unique<options::frmAppletOptions>(r, a);
            });
    }
}

// Every icon is handed to the shell before any applet reads or writes its run mode or loads its
// options dialog: the shell draws the icons meanwhile, and the user sees them sooner.
void Program::Start() {
    starting_ = true;
    forms_.Load("frmMain");
    starting_ = false;
    for (std::string_view code : applets::kStartupOrder)
        if (forms::Form* window = forms_.Find(std::string(applets::ByCode(code)->window)))
            static_cast<applets::AppletWindow*>(window)->LoadOptions();
}

}  // namespace program
