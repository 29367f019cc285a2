#include "options/frmAppletOptions.h"

#include <algorithm>
#include <string>

#include "core/basIni.h"

namespace options {

namespace {

struct DialogText {
    std::string_view code, title, frame, prompt;
    int width, height;  // client area, twips
};

constexpr DialogText kTexts[] = {
    {"TD", "Vorn DOS Options:", "Run MS DOS", "Run MS DOS with the following parameters:", 3390,
     2640},
    {"TE", "Vorn Explore Options:", "Run Windows Explorer",
     "Run Windows Explorer with the following parameters:", 3390, 2985},
    {"TC", "Vorn Control Panel Options:", "Open Control Panel", "", 3390, 1815},
    {"TN", "Vorn Notepad Options:", "Run Notepad", "", 3390, 1770},
};

constexpr std::uint32_t kGrey = 0x00C0C0C0;

forms::ControlDesign Make(const char* name, forms::Kind kind, std::string caption,
                          const char* container, int left, int top, int width, int height,
                          int tabIndex, float points = 8.0f, bool bold = false) {
    forms::ControlDesign c = forms::MakeControl(name, kind, std::move(caption), container, left,
                                                top, width, height, tabIndex);
    c.font.points = points;
    c.font.bold = bold;
    return c;
}

}  // namespace

forms::FormDesign AppletOptionsDesign(const applets::Applet& applet) {
    using forms::Kind;
    const DialogText& t = *std::find_if(std::begin(kTexts), std::end(kTexts),
                                        [&](const DialogText& d) { return d.code == applet.code; });
    forms::FormDesign design;
    design.name = std::string(applet.optionsDialog);
    design.caption = "Options";
    design.border = forms::Border::FixedSingle;
    design.controlBox = true;
    design.showInTaskbar = false;
    design.icon = applet.icon;
    design.clientWidth = t.width;
    design.clientHeight = t.height;

    // The Explorer dialog is the fullest; the others differ from it as below.
    std::vector<forms::ControlDesign> c = {
        Make("Label1", Kind::Label, std::string(t.title), "", 120, 120, 2415, 255, 9, 9.75f, true),
        Make("Picture1", Kind::PictureBox, "", "", 2640, 120, 615, 495, 8),
        Make("Frame1", Kind::Frame, std::string(t.frame), "", 120, 480, 2295, 1215, 3),
        Make("optNorm", Kind::OptionButton, "Option1", "Frame1", 240, 360, 255, 255, 0),
        Make("optMin", Kind::OptionButton, "Option3", "Frame1", 240, 600, 255, 255, 1),
        Make("optMax", Kind::OptionButton, "Option2", "Frame1", 240, 840, 255, 255, 2),
        Make("Label2", Kind::Label, "Normal", "Frame1", 600, 360, 855, 255, 4, 8.25f, true),
        Make("Label4", Kind::Label, "Minimized", "Frame1", 600, 600, 855, 255, 6, 8.25f, true),
        Make("Label3", Kind::Label, "Maximized", "Frame1", 600, 840, 975, 255, 5, 8.25f, true),
        Make("cmdOK", Kind::CommandButton, "OK", "", 2520, 960, 735, 375, 7),
        Make("Frame3", Kind::Frame, "Parameters", "", 120, 1800, 3135, 1095, 10),
        Make("Label6", Kind::Label, std::string(t.prompt), "Frame3", 120, 240, 2895, 495, 12, 8.25f,
             true),
        Make("txtParam", Kind::TextBox, "", "Frame3", 120, 720, 2895, 285, 11),
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
    at("Picture1").backColour = kGrey;
    at("Picture1").picture = applet.picture;
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

void frmAppletOptions::Store(const char* key, const std::string& value) {
    basIni::WriteIniString(Api(), std::string(applet_.section), key, value, basIni::kSettingsFile);
}

void frmAppletOptions::Form_Load() {
    Api().SetWindowPos(WindowHandle(), platform::kHwndTopmost, 0, 0, 0, 0,
                       platform::kSwpNoMove | platform::kSwpNoSize);
    Move(static_cast<int>((Api().ScreenWidthTwips() - Width()) / 2.0f),
         static_cast<int>((Api().ScreenHeightTwips() - Height()) / 2.0f));
    // The controls show what is stored without writing it back: a hand-edited value (too long,
    // quoted, with blanks at its ends) stays as it is until the user changes it.
    const std::string section(applet_.section);
    const std::string v = basIni::ReadIniString(Api(), section, "runmode", basIni::kSettingsFile);
    if (v == "1" && Find("optNorm"))
        SetValueQuietly("optNorm", 1);
    if (v == "2")
        SetValueQuietly("optMin", 1);
    if (v == "3")
        SetValueQuietly("optMax", 1);
    if (HasParameters())
        SetTextQuietly("txtParam",
                       basIni::ReadIniString(Api(), section, "parameters", basIni::kSettingsFile));
}

void frmAppletOptions::Form_LostFocus() {
    Api().BringToFront(*this);
}

void frmAppletOptions::optNorm_Click() {
    Store("runmode", "1");
}
void frmAppletOptions::optMin_Click() {
    Store("runmode", "2");
}
void frmAppletOptions::optMax_Click() {
    Store("runmode", "3");
}
void frmAppletOptions::txtParam_Change() {
    Store("parameters", (*this)["txtParam"].Text());
}

void frmAppletOptions::cmdOK_Click() {
    Api().SetWindowPos(WindowHandle(), platform::kHwndNoTopmost, 0, 0, 0, 0,
                       platform::kSwpNoMove | platform::kSwpNoSize);
    Forms().Unload(*this);
}

}  // namespace options
