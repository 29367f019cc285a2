#include "options/frmOptions.h"

#include <algorithm>

#include "applets/catalogue.h"
#include "core/ascii.h"
#include "core/basIni.h"
#include "core/window_names.h"
#include "options/basReg.h"
#include "options/dialog_colours.h"
#include "resources/resource.h"

namespace options {

namespace {

using forms::Kind;

// The check box of the applet in place `row` of the dialog's order: named after its enable key,
// captioned with its display name.
forms::ControlDesign AppletBox(std::size_t row, int width) {
    const applets::Applet& a = *applets::kOptionsOrder[row];
    return {.name = std::string(a.enableKey),
            .kind = Kind::CheckBox,
            .caption = std::string(a.displayName),
            .container = "Frame1",
            .left = 240,
            .top = 360 + 360 * static_cast<int>(row),
            .width = width,
            .height = 255,
            .tabIndex = 4 + static_cast<int>(row)};
}

}  // namespace

forms::FormDesign OptionsDesign() {
    return {.name = window_names::kOptions,
            .caption = "Options",
            .border = forms::Border::FixedSingle,
            .controlBox = true,
            .showInTaskbar = true,
            .clientWidth = 4185,
            .clientHeight = 4320,
            .icon = IDI_OPTIONS,
            .controls = {
                {.name = "Label1",
                 .kind = Kind::Label,
                 .caption = "Vornkit Options:",
                 .left = 120,
                 .top = 120,
                 .width = 2535,
                 .height = 375,
                 .tabIndex = 0,
                 .font = {.points = 12.0f, .bold = true}},
                {.name = "Frame1",
                 .kind = Kind::Frame,
                 .caption = "Run these tray applets",
                 .left = 120,
                 .top = 600,
                 .width = 3975,
                 .height = 2655,
                 .tabIndex = 1},
                // The six applet boxes, top to bottom in the order the dialog applies them.
                AppletBox(0, 1215),
                AppletBox(1, 1215),
                AppletBox(2, 1695),
                AppletBox(3, 1455),
                AppletBox(4, 1455),
                AppletBox(5, 1335),
                {.name = "Picture2",
                 .kind = Kind::PictureBox,
                 .container = "Frame1",
                 .left = 2880,
                 .top = 600,
                 .width = 495,
                 .height = 495,
                 .tabIndex = 10,
                 .picture = IDI_PROGRAM,
                 .backColour = kGrey},
                {.name = "cmdCancel",
                 .kind = Kind::CommandButton,
                 .caption = "Cancel",
                 .container = "Frame1",
                 .left = 2640,
                 .top = 1560,
                 .width = 975,
                 .height = 375,
                 .tabIndex = 12},
                {.name = "cmdOK",
                 .kind = Kind::CommandButton,
                 .caption = "OK",
                 .container = "Frame1",
                 .left = 2640,
                 .top = 2040,
                 .width = 975,
                 .height = 375,
                 .tabIndex = 11},
                {.name = "Frame2",
                 .kind = Kind::Frame,
                 .caption = "Startup",
                 .left = 120,
                 .top = 3360,
                 .width = 3975,
                 .height = 855,
                 .tabIndex = 2},
                {.name = "StartupCheck",
                 .kind = Kind::CheckBox,
                 .caption = "Load Vornkit when your computer starts up",
                 .container = "Frame2",
                 .left = 240,
                 .top = 360,
                 .width = 3615,
                 .height = 255,
                 .tabIndex = 3},
            }};
}

std::string StartupCommand(platform::System& system, const std::string& appPath,
                           const std::string& exeName) {
    const std::string path = system.LowerCase(appPath + "\\" + exeName + ".exe");
    if (path.find(' ') != std::string::npos)
        return "\"" + path + "\"";
    return path;
}

frmOptions::frmOptions(forms::Runtime& runtime, GeneralSettings& settings)
    : Form(runtime, OptionsDesign()), settings_(settings) {
    On("cmdOK", forms::Event::Click, [this] { cmdOK_Click(); });
    On("cmdCancel", forms::Event::Click, [this] { cmdCancel_Click(); });
}

void frmOptions::Form_Load() {
    CentreOnScreen();
    SetTopmost(true);
    // A box is ticked only for "1", the one value that makes an applet run; anything else a
    // hand-edited file may hold shows as cleared, which is what the program does with it.
    for (auto& [key, field] : settings_.Fields())
        SetValueQuietly(key, *field == "1" ? 1 : 0);
}

void frmOptions::cmdOK_Click() {
    const std::string file = basIni::kSettingsFile;

    // Start with Windows: stored on every OK, before anything is checked. A standard user may
    // not write it; the refusal is shown only when the value says other than the box.
    const bool startup = (*this)["StartupCheck"].Value() == 1;
    basReg::SetRegistryValue(
        System(), basReg::kRunKey, basReg::kRunValue,
        startup ? StartupCommand(System(), System().AppPath(), System().AppExeName()) : "",
        basReg::WhenRefused::QuietIfAlreadySo);
    basIni::WriteIniString(System(), kGeneralSection, "StartupCheck", startup ? "1" : "0", file);
    settings_.StartupCheck = startup ? "1" : "0";
    // A registry error message runs its own message loop; if the dialog was opened afresh
    // meanwhile, these boxes were discarded and nothing more is applied from them.
    if (Forms().Find(Name()) != this)
        return;

    const bool none =
        std::all_of(applets::kOptionsOrder.begin(), applets::kOptionsOrder.end(),
                    [&](const applets::Applet* a) { return (*this)[a->enableKey].Value() == 0; });
    if (none) {
        SetTopmost(false);  // so that the message comes in front of the dialog
        System().MsgBox(kNoAppletLeft, platform::kMbIconStop, forms::kAppTitle);
        SetTopmost(true);
        return;
    }

    for (const applets::Applet* a : applets::kOptionsOrder) {
        std::string& field = *settings_.Field(a->enableKey);
        const int box = (*this)[a->enableKey].Value();
        // An applet runs exactly when its field is "1", so that is what is compared with.
        if (box == 1 && field != "1") {
            field = "1";
            Forms().Load(std::string(a->window));
        } else if (box == 0 && field != "0") {
            field = "0";
            Forms().Unload(std::string(a->window));
        }
    }
    for (const applets::Applet* a : applets::kOptionsOrder)
        basIni::WriteIniString(System(), kGeneralSection, std::string(a->enableKey),
                               *settings_.Field(a->enableKey) == "0" ? "0" : "1", file);
    cmdCancel_Click();
}

void frmOptions::cmdCancel_Click() {
    SetTopmost(false);
    Forms().Unload(*this);
}

}  // namespace options
