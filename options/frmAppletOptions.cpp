#include "options/frmAppletOptions.h"

#include <algorithm>
#include <string>

#include "core/basIni.h"
#include "options/dialog_colours.h"

namespace options {

namespace {

// What differs between the four applets' dialogs beyond their controls.
struct AppletDialog {
    std::string_view code, title, frameCaption, prompt;
    int clientWidth, clientHeight;  // twips
};

constexpr AppletDialog kDialogs[] = {
    {"TD", "Vorn DOS Options:", "Run MS DOS", "Run MS DOS with the following parameters:", 3390,
     2640},
    {"TE", "Vorn Explore Options:", "Run Windows Explorer",
     "Run Windows Explorer with the following parameters:", 3390, 2985},
    {"TC", "Vorn Control Panel Options:", "Open Control Panel", "", 3390, 1815},
    {"TN", "Vorn Notepad Options:", "Run Notepad", "", 3390, 1770},
};

const forms::Font kHeading{.points = 9.75f, .bold = true};
const forms::Font kBold{.points = 8.25f, .bold = true};

}  // namespace

forms::FormDesign AppletOptionsDesign(const applets::Applet& applet) {
    using forms::Kind;
    const AppletDialog& d =
        *std::find_if(std::begin(kDialogs), std::end(kDialogs),
                      [&](const AppletDialog& x) { return x.code == applet.code; });
    forms::FormDesign design{.name = std::string(applet.optionsDialog),
                             .caption = "Options",
                             .border = forms::Border::FixedSingle,
                             .controlBox = true,
                             .showInTaskbar = false,
                             .clientWidth = d.clientWidth,
                             .clientHeight = d.clientHeight,
                             .icon = applet.icon};

    // The Explorer dialog is the fullest; the others differ from it as below. An option button is
    // as wide as its circle and shows no caption: the bold label beside it carries the word, and
    // the button's own caption, the same word, is the name screen readers give it.
    std::vector<forms::ControlDesign> c = {
        {.name = "Label1",
         .kind = Kind::Label,
         .caption = std::string(d.title),
         .left = 120,
         .top = 120,
         .width = 2415,
         .height = 255,
         .tabIndex = 9,
         .font = kHeading},
        {.name = "Picture1",
         .kind = Kind::PictureBox,
         .left = 2640,
         .top = 120,
         .width = 615,
         .height = 495,
         .tabIndex = 8,
         .picture = applet.picture,
         .backColour = kGrey},
        {.name = "Frame1",
         .kind = Kind::Frame,
         .caption = std::string(d.frameCaption),
         .left = 120,
         .top = 480,
         .width = 2295,
         .height = 1215,
         .tabIndex = 3},
        {.name = "optNorm",
         .kind = Kind::OptionButton,
         .caption = "Normal",
         .container = "Frame1",
         .left = 240,
         .top = 360,
         .width = 255,
         .height = 255,
         .tabIndex = 0},
        {.name = "optMin",
         .kind = Kind::OptionButton,
         .caption = "Minimized",
         .container = "Frame1",
         .left = 240,
         .top = 600,
         .width = 255,
         .height = 255,
         .tabIndex = 1},
        {.name = "optMax",
         .kind = Kind::OptionButton,
         .caption = "Maximized",
         .container = "Frame1",
         .left = 240,
         .top = 840,
         .width = 255,
         .height = 255,
         .tabIndex = 2},
        {.name = "Label2",
         .kind = Kind::Label,
         .caption = "Normal",
         .container = "Frame1",
         .left = 600,
         .top = 360,
         .width = 855,
         .height = 255,
         .tabIndex = 4,
         .font = kBold},
        {.name = "Label4",
         .kind = Kind::Label,
         .caption = "Minimized",
         .container = "Frame1",
         .left = 600,
         .top = 600,
         .width = 855,
         .height = 255,
         .tabIndex = 6,
         .font = kBold},
        {.name = "Label3",
         .kind = Kind::Label,
         .caption = "Maximized",
         .container = "Frame1",
         .left = 600,
         .top = 840,
         .width = 975,
         .height = 255,
         .tabIndex = 5,
         .font = kBold},
        {.name = "cmdOK",
         .kind = Kind::CommandButton,
         .caption = "OK",
         .left = 2520,
         .top = 960,
         .width = 735,
         .height = 375,
         .tabIndex = 7},
        {.name = "Frame3",
         .kind = Kind::Frame,
         .caption = "Parameters",
         .left = 120,
         .top = 1800,
         .width = 3135,
         .height = 1095,
         .tabIndex = 10},
        {.name = "Label6",
         .kind = Kind::Label,
         .caption = std::string(d.prompt),
         .container = "Frame3",
         .left = 120,
         .top = 240,
         .width = 2895,
         .height = 495,
         .tabIndex = 12,
         .font = kBold,
         .labelFor = "txtParam"},
        {.name = "txtParam",
         .kind = Kind::TextBox,
         .container = "Frame3",
         .left = 120,
         .top = 720,
         .width = 2895,
         .height = 285,
         .tabIndex = 11},
    };
    auto at = [&](std::string_view name) -> forms::ControlDesign& {
        return *std::find_if(c.begin(), c.end(), [&](auto& x) { return x.name == name; });
    };
    auto drop = [&](std::initializer_list<std::string_view> names) {
        c.erase(std::remove_if(c.begin(), c.end(),
                               [&](auto& x) {
                                   return std::find(names.begin(), names.end(), x.name) !=
                                          names.end();
                               }),
                c.end());
    };
    if (applet.code == "TD") {
        drop({"optNorm", "Label2"});
        auto place = [&](std::string_view name, int left, int top, int tab) {
            at(name).left = left, at(name).top = top, at(name).tabIndex = tab;
        };
        place("optMin", 240, 240, 0);
        place("Label4", 600, 240, 4);
        place("optMax", 240, 480, 1);
        place("Label3", 600, 480, 3);
        at("Frame1").height = 855, at("Frame1").tabIndex = 2;
        place("cmdOK", 2520, 840, 5);
        at("Picture1").tabIndex = 6;
        at("Label1").tabIndex = 7;
        place("Frame3", 120, 1440, 8);
        at("txtParam").tabIndex = 9;
        at("Label6").tabIndex = 10;
    } else if (applet.code == "TC") {
        drop({"Frame3", "Label6", "txtParam"});
        at("cmdOK").top = 1200;
        at("Picture1").top = 480;
        at("Label1").width = 3015;
    } else if (applet.code == "TN") {
        drop({"Frame3", "Label6", "txtParam"});
    }
    design.controls = std::move(c);
    return design;
}

frmAppletOptions::frmAppletOptions(forms::Runtime& runtime, const applets::Applet& applet)
    : Form(runtime, AppletOptionsDesign(applet)), applet_(applet) {
    if (Find("optNorm"))
        On("optNorm", forms::Event::Click, [this] { optNorm_Click(); });
    On("optMin", forms::Event::Click, [this] { optMin_Click(); });
    On("optMax", forms::Event::Click, [this] { optMax_Click(); });
    if (Find("txtParam"))
        On("txtParam", forms::Event::Change, [this] { txtParam_Change(); });
    On("cmdOK", forms::Event::Click, [this] { cmdOK_Click(); });
}

void frmAppletOptions::WriteSetting(const char* key, const std::string& value) {
    basIni::WriteIniString(System(), std::string(applet_.section), key, value,
                           basIni::kSettingsFile);
}

void frmAppletOptions::Form_Load() {
    SetTopmost(true);
    CentreOnScreen();
    // The controls show what is stored without writing it back: a hand-edited value (too long,
    // quoted, with blanks at its ends) stays as it is until the user changes it.
    const std::string section(applet_.section);
    const std::string v =
        basIni::ReadIniString(System(), section, "runmode", basIni::kSettingsFile);
    if (const std::string_view button = applets::RunModeButton(applet_, v); !button.empty())
        SetValueQuietly(button, 1);
    if (HasParameters())
        SetTextQuietly("txtParam", basIni::ReadIniString(System(), section, "parameters",
                                                         basIni::kSettingsFile));
}

void frmAppletOptions::Form_LostFocus() {
    Host().BringToFront(*this);
}

void frmAppletOptions::optNorm_Click() {
    WriteSetting("runmode", "1");
}
void frmAppletOptions::optMin_Click() {
    WriteSetting("runmode", "2");
}
void frmAppletOptions::optMax_Click() {
    WriteSetting("runmode", "3");
}
void frmAppletOptions::txtParam_Change() {
    WriteSetting("parameters", (*this)["txtParam"].Text());
}

void frmAppletOptions::cmdOK_Click() {
    SetTopmost(false);
    Forms().Unload(*this);
}

}  // namespace options
