#include "options/frmAppletOptions.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "core/basIni.h"
#include "options/dialog_colours.h"

namespace options {

namespace {

using forms::Kind;

const forms::Font kHeading{.points = 9.75f, .bold = true};
const forms::Font kBold{.points = 8.25f, .bold = true};

// The text a control shows where it differs from one dialog to the next.
enum class Text { Own, Title, FrameCaption, Prompt };

// A control of the dialogs, whatever the dialog: its kind, frame and font, and its caption or
// which of the dialog's texts it shows. Where it stands comes from the dialog's row. An option
// button is as wide as its circle and shows no caption: the bold label beside it carries the
// word, and the button's own caption, the same word, is the name screen readers give it.
struct ControlRow {
    forms::ControlDesign control;
    Text text = Text::Own;
};

const ControlRow kControls[] = {
    {{.name = "Label1", .kind = Kind::Label, .font = kHeading}, Text::Title},
    {{.name = "Picture1", .kind = Kind::PictureBox, .backColour = kGrey}},
    {{.name = "Frame1", .kind = Kind::Frame}, Text::FrameCaption},
    {{.name = "optNorm", .kind = Kind::OptionButton, .caption = "Normal", .container = "Frame1"}},
    {{.name = "optMin", .kind = Kind::OptionButton, .caption = "Minimized", .container = "Frame1"}},
    {{.name = "optMax", .kind = Kind::OptionButton, .caption = "Maximized", .container = "Frame1"}},
    {{.name = "Label2",
      .kind = Kind::Label,
      .caption = "Normal",
      .container = "Frame1",
      .font = kBold}},
    {{.name = "Label4",
      .kind = Kind::Label,
      .caption = "Minimized",
      .container = "Frame1",
      .font = kBold}},
    {{.name = "Label3",
      .kind = Kind::Label,
      .caption = "Maximized",
      .container = "Frame1",
      .font = kBold}},
    {{.name = "cmdOK", .kind = Kind::CommandButton, .caption = "OK"}},
    {{.name = "Frame3", .kind = Kind::Frame, .caption = "Parameters"}},
    {{.name = "Label6",
      .kind = Kind::Label,
      .container = "Frame3",
      .font = kBold,
      .labelFor = "txtParam"},
     Text::Prompt},
    {{.name = "txtParam", .kind = Kind::TextBox, .container = "Frame3"}},
};
constexpr std::size_t kControlCount = std::size(kControls);

// Where a control stands in one dialog, in twips inside its frame or the window, and its place
// in the Tab order.
struct Place {
    int left, top, width, height, tabIndex;
};
constexpr std::optional<Place> kAbsent;

// Everything in which the four dialogs differ: their texts, their size, and where each control
// of kControls stands (in that order), or that the dialog lacks it.
struct DialogRow {
    std::string_view dialog, title, frameCaption, prompt;
    int clientWidth, clientHeight;
    std::array<std::optional<Place>, kControlCount> places;
};

constexpr DialogRow kDialogs[] = {
    {.dialog = "frmTDOpt",
     .title = "Vorn DOS Options:",
     .frameCaption = "Run MS DOS",
     .prompt = "Run MS DOS with the following parameters:",
     .clientWidth = 3390,
     .clientHeight = 2640,
     .places = {{
         Place{120, 120, 2415, 255, 7},    // Label1
         Place{2640, 120, 615, 495, 6},    // Picture1
         Place{120, 480, 2295, 855, 2},    // Frame1
         kAbsent,                          // optNorm
         Place{240, 240, 255, 255, 0},     // optMin
         Place{240, 480, 255, 255, 1},     // optMax
         kAbsent,                          // Label2
         Place{600, 240, 855, 255, 4},     // Label4
         Place{600, 480, 975, 255, 3},     // Label3
         Place{2520, 840, 735, 375, 5},    // cmdOK
         Place{120, 1440, 3135, 1095, 8},  // Frame3
         Place{120, 240, 2895, 495, 10},   // Label6
         Place{120, 720, 2895, 285, 9},    // txtParam
     }}},
    {.dialog = "frmTEOpt",
     .title = "Vorn Explore Options:",
     .frameCaption = "Run Windows Explorer",
     .prompt = "Run Windows Explorer with the following parameters:",
     .clientWidth = 3390,
     .clientHeight = 2985,
     .places = {{
         Place{120, 120, 2415, 255, 9},     // Label1
         Place{2640, 120, 615, 495, 8},     // Picture1
         Place{120, 480, 2295, 1215, 3},    // Frame1
         Place{240, 360, 255, 255, 0},      // optNorm
         Place{240, 600, 255, 255, 1},      // optMin
         Place{240, 840, 255, 255, 2},      // optMax
         Place{600, 360, 855, 255, 4},      // Label2
         Place{600, 600, 855, 255, 6},      // Label4
         Place{600, 840, 975, 255, 5},      // Label3
         Place{2520, 960, 735, 375, 7},     // cmdOK
         Place{120, 1800, 3135, 1095, 10},  // Frame3
         Place{120, 240, 2895, 495, 12},    // Label6
         Place{120, 720, 2895, 285, 11},    // txtParam
     }}},
    {.dialog = "frmTCOpt",
     .title = "Vorn Control Panel Options:",
     .frameCaption = "Open Control Panel",
     .prompt = "",
     .clientWidth = 3390,
     .clientHeight = 1815,
     .places = {{
         Place{120, 120, 3015, 255, 9},   // Label1
         Place{2640, 480, 615, 495, 8},   // Picture1
         Place{120, 480, 2295, 1215, 3},  // Frame1
         Place{240, 360, 255, 255, 0},    // optNorm
         Place{240, 600, 255, 255, 1},    // optMin
         Place{240, 840, 255, 255, 2},    // optMax
         Place{600, 360, 855, 255, 4},    // Label2
         Place{600, 600, 855, 255, 6},    // Label4
         Place{600, 840, 975, 255, 5},    // Label3
         Place{2520, 1200, 735, 375, 7},  // cmdOK
         kAbsent,                         // Frame3
         kAbsent,                         // Label6
         kAbsent,                         // txtParam
     }}},
    {.dialog = "frmTNOpt",
     .title = "Vorn Notepad Options:",
     .frameCaption = "Run Notepad",
     .prompt = "",
     .clientWidth = 3390,
     .clientHeight = 1770,
     .places = {{
         Place{120, 120, 2415, 255, 9},   // Label1
         Place{2640, 120, 615, 495, 8},   // Picture1
         Place{120, 480, 2295, 1215, 3},  // Frame1
         Place{240, 360, 255, 255, 0},    // optNorm
         Place{240, 600, 255, 255, 1},    // optMin
         Place{240, 840, 255, 255, 2},    // optMax
         Place{600, 360, 855, 255, 4},    // Label2
         Place{600, 600, 855, 255, 6},    // Label4
         Place{600, 840, 975, 255, 5},    // Label3
         Place{2520, 960, 735, 375, 7},   // cmdOK
         kAbsent,                         // Frame3
         kAbsent,                         // Label6
         kAbsent,                         // txtParam
     }}},
};

std::string TextOf(const DialogRow& row, const ControlRow& control) {
    switch (control.text) {
        case Text::Title:
            return std::string(row.title);
        case Text::FrameCaption:
            return std::string(row.frameCaption);
        case Text::Prompt:
            return std::string(row.prompt);
        case Text::Own:
            break;
    }
    return control.control.caption;
}

}  // namespace

forms::FormDesign AppletOptionsDesign(const applets::Applet& applet) {
    const DialogRow& row =
        *std::find_if(std::begin(kDialogs), std::end(kDialogs),
                      [&](const DialogRow& d) { return d.dialog == applet.optionsDialog; });
    forms::FormDesign design{.name = std::string(applet.optionsDialog),
                             .caption = "Options",
                             .border = forms::Border::FixedSingle,
                             .controlBox = true,
                             .showInTaskbar = false,
                             .clientWidth = row.clientWidth,
                             .clientHeight = row.clientHeight,
                             .icon = applet.icon};
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const std::optional<Place>& place = row.places[i];
        if (!place)
            continue;
        forms::ControlDesign c = kControls[i].control;
        c.caption = TextOf(row, kControls[i]);
        c.left = place->left, c.top = place->top, c.width = place->width, c.height = place->height;
        c.tabIndex = place->tabIndex;
        if (c.kind == Kind::PictureBox)
            c.picture = applet.picture;
        design.controls.push_back(std::move(c));
    }
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
