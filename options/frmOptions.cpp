#include "options/frmOptions.h"

#include <algorithm>

#include "applets/catalogue.h"
#include "core/basIni.h"
#include "options/basReg.h"
#include "resources/resource.h"

namespace options {

namespace {

using forms::MakeControl;

std::string Lower(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

}  // namespace

forms::FormDesign OptionsDesign() {
    using forms::Kind;
    forms::FormDesign design;
    design.name = "frmOptions";
    design.caption = "Options";
    design.border = forms::Border::FixedSingle;
    design.controlBox = true;
    design.showInTaskbar = true;
    design.clientWidth = 4185;
    design.clientHeight = 4320;
    design.icon = IDI_OPTIONS;
    auto& c = design.controls;
    c.push_back(MakeControl("Label1", Kind::Label, "Vornkit Options:", "", 120, 120, 2535, 375, 0));
    c.back().font.points = 12.0f;
    c.back().font.bold = true;
    c.push_back(
        MakeControl("Frame1", Kind::Frame, "Run these tray applets", "", 120, 600, 3975, 2655, 1));
    // The six applet boxes, top to bottom in the order the dialog applies them.
    const int widths[] = {1215, 1215, 1695, 1455, 1455, 1335};
    int row = 0;
    for (std::string_view code : applets::kOptionsOrder) {
        const applets::Applet& a = *applets::ByCode(code);
        c.push_back(MakeControl(std::string(a.enableKey), Kind::CheckBox,
                                std::string(a.displayName), "Frame1", 240, 360 + 360 * row,
                                widths[row], 255, 4 + row));
        ++row;
    }
    c.push_back(MakeControl("Picture2", Kind::PictureBox, "", "Frame1", 2880, 600, 495, 495, 10));
    c.back().picture = IDI_PROGRAM;
    c.back().backColour = 0x00C0C0C0;
    c.push_back(MakeControl("cmdCancel", Kind::CommandButton, "Cancel", "Frame1", 2640, 1560, 975,
                            375, 12));
    c.push_back(
        MakeControl("cmdOK", Kind::CommandButton, "OK", "Frame1", 2640, 2040, 975, 375, 11));
    c.push_back(MakeControl("Frame2", Kind::Frame, "Startup", "", 120, 3360, 3975, 855, 2));
    c.push_back(MakeControl("StartupCheck", Kind::CheckBox,
                            "Load Vornkit when your computer starts up", "Frame2", 240, 360, 3615,
                            255, 3));
    return design;
}

std::string StartupCommand(const std::string& appPath, const std::string& exeName) {
    const std::string path = Lower(appPath) + "\\" + Lower(exeName) + ".exe";
    if (path.find(' ') != std::string::npos)
        return "\"" + path + "\"";
    return path;
}

frmOptions::frmOptions(core::Program& program)
    : Form(program.Forms(), OptionsDesign()), program_(program) {
    On("cmdOK", forms::Event::Click, [this] { cmdOK_Click(); });
    On("cmdCancel", forms::Event::Click, [this] { cmdCancel_Click(); });
}

void frmOptions::Topmost(bool on) {
    Api().SetWindowPos(WindowHandle(), on ? platform::kHwndTopmost : platform::kHwndNoTopmost, 0, 0,
                       0, 0, platform::kSwpNoMove | platform::kSwpNoSize);
}

void frmOptions::Form_Load() {
    Move(static_cast<int>((Api().ScreenWidthTwips() - Width()) / 2.0),
         static_cast<int>((Api().ScreenHeightTwips() - Height()) / 2.0));
    Topmost(true);
    // A box is ticked only for "1", the one value that makes an applet run; anything else a
    // hand-edited file may hold shows as cleared, which is what the program does with it.
    for (auto& [key, field] : program_.Settings().Fields())
        SetValueQuietly(key, *field == "1" ? 1 : 0);
}

void frmOptions::cmdOK_Click() {
    core::GeneralSettings& settings = program_.Settings();
    const std::string file = basIni::kSettingsFile;

    // Start with Windows: stored on every OK, before anything is checked.
    const bool startup = (*this)["StartupCheck"].Value() == 1;
    basReg::SetRegistryValue(Api(), basReg::kRunKey, basReg::kRunValue,
                             startup ? StartupCommand(Api().AppPath(), Api().AppExeName()) : "");
    basIni::WriteIniString(Api(), core::kGeneralSection, "StartupCheck", startup ? "1" : "0", file);
    settings.StartupCheck = startup ? "1" : "0";
    // A registry error message runs its own message loop; if the dialog was opened afresh
    // meanwhile, these boxes were discarded and nothing more is applied from them.
    if (Forms().Find(Name()) != this)
        return;

    const bool none = std::all_of(applets::kOptionsOrder.begin(), applets::kOptionsOrder.end(),
                                  [&](std::string_view code) {
                                      return (*this)[applets::ByCode(code)->enableKey].Value() == 0;
                                  });
    if (none) {
        Topmost(false);  // so that the message comes in front of the dialog
        Api().MsgBox(kNoAppletLeft, 16, core::kAppTitle);
        Topmost(true);
        return;
    }

    for (std::string_view code : applets::kOptionsOrder) {
        const applets::Applet& a = *applets::ByCode(code);
        std::string& field = *settings.Field(a.enableKey);
        const int box = (*this)[a.enableKey].Value();
        // An applet runs exactly when its field is "1", so that is what is compared with.
        if (box == 1 && field != "1") {
            field = "1";
            Forms().Load(std::string(a.window));
        } else if (box == 0 && field != "0") {
            field = "0";
            Forms().Unload(std::string(a.window));
        }
    }
    for (std::string_view code : applets::kOptionsOrder) {
        const applets::Applet& a = *applets::ByCode(code);
        basIni::WriteIniString(Api(), core::kGeneralSection, std::string(a.enableKey),
                               *settings.Field(a.enableKey) == "0" ? "0" : "1", file);
    }
    cmdCancel_Click();
}

void frmOptions::cmdCancel_Click() {
    Topmost(false);
    Forms().Unload(*this);
}

}  // namespace options
