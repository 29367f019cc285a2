#include "program/frmMain.h"

#include "applets/catalogue.h"
#include "core/basIni.h"

namespace program {

namespace {

forms::FormDesign MainDesign() {
    return {.name = "frmMain",
            .caption = "Form1",
            .border = forms::Border::None,
            .controlBox = false,
            .showInTaskbar = false,
            .neverShown = true};
}

}  // namespace

frmMain::frmMain(forms::Runtime& runtime, options::GeneralSettings& settings)
    : Form(runtime, MainDesign()), settings_(settings) {}

void frmMain::Form_Load() {
    // Fields() gives the keys in their reading order, StartupCheck last.
    for (auto& [key, field] : settings_.Fields())
        *field = basIni::ReadIniString(System(), options::kGeneralSection, std::string(key),
                                       basIni::kSettingsFile);
    // Defaults live in memory only: a missing or empty key means "on".
    for (auto& [key, field] : settings_.Fields())
        if (field->empty())
            *field = "1";
    // An applet runs only when its key is exactly "1"; "01", "1.0" or " 1" do not count.
    for (std::string_view code : applets::kStartupOrder) {
        const applets::Applet& applet = *applets::ByCode(code);
        if (*settings_.Field(applet.enableKey) == "1")
            Forms().Load(std::string(applet.window));
    }
}

}  // namespace program
