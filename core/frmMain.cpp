#include "core/frmMain.h"

#include "applets/catalogue.h"
#include "core/basIni.h"

namespace core {

namespace {

forms::FormDesign MainDesign() {
    forms::FormDesign design;
    design.name = "frmMain";
    design.caption = "Form1";
    design.neverShown = true;
    design.border = forms::Border::None;
    design.controlBox = false;
    design.showInTaskbar = false;
    return design;
}

}  // namespace

frmMain::frmMain(Program& program) : Form(program.Forms(), MainDesign()), program_(program) {}

void frmMain::Form_Load() {
    GeneralSettings& settings = program_.Settings();
    // Fields() gives the keys in their reading order, StartupCheck last.
    for (auto& [key, field] : settings.Fields())
        *field =
            basIni::ReadIniString(Api(), kGeneralSection, std::string(key), basIni::kSettingsFile);
    // Defaults live in memory only: a missing or empty key means "on".
    for (auto& [key, field] : settings.Fields())
        if (field->empty())
            *field = "1";
    // An applet runs only when its key is exactly "1"; "01", "1.0" or " 1" do not count.
    for (std::string_view code : applets::kStartupOrder) {
        const applets::Applet& applet = *applets::ByCode(code);
        if (*settings.Field(applet.enableKey) == "1")
            Forms().Load(std::string(applet.window));
    }
}

}  // namespace core
