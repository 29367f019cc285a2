#include "program/frmMain.h"

#include "applets/catalogue.h"
#include "core/basIni.h"
#include "core/window_names.h"

namespace program {

namespace {

forms::FormDesign MainDesign() {
    return {.name = window_names::kMain,
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
    for (const applets::Applet* applet : applets::kStartupOrder)
        if (*settings_.Field(applet->enableKey) == "1")
            Forms().Load(std::string(applet->window));
}

}  // namespace program
