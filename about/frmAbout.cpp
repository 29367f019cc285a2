#include "about/frmAbout.h"

#include "core/window_names.h"

#include "resources/resource.h"

namespace about {

namespace {

constexpr std::uint32_t kPaleBlue = 0x00FFC0C0;
constexpr std::uint32_t kBlack = 0x00000000;

}  // namespace

forms::FormDesign AboutDesign() {
    using forms::Kind;
    return {
        .name = window_names::kAbout,
        .border = forms::Border::None,
        .controlBox = false,
        .showInTaskbar = false,
        .clientWidth = 3510,
        .clientHeight = 1215,
        .backColour = kPaleBlue,
        .controls =
            {
                {.name = "Image1",
                 .kind = Kind::Image,
                 .left = 120,
                 .top = 120,
                 .width = 480,
                 .height = 480,
                 .picture = IDI_PROGRAM},
                {.name = "Label1",
                 .kind = Kind::Label,
                 .caption = kProductLine,
                 .left = 600,
                 .top = 120,
                 .width = 2655,
                 .height = 495,
                 .font = {"Comic Sans MS", 18.0f, false},
                 .backColour = kPaleBlue,
                 .foreColour = kBlack},
                {.name = "Label2",
                 .kind = Kind::Label,
                 .caption = kNotice,
                 .left = 1440,
                 .top = 600,
                 .width = 1695,
                 .height = 255,
                 .backColour = kPaleBlue},
                {.name = "Shape1",
                 .kind = Kind::Shape,
                 .left = 0,
                 .top = 0,
                 .width = 3495,
                 .height = 1210},
            },
    };
}

frmAbout::frmAbout(forms::Runtime& runtime) : Form(runtime, AboutDesign()) {
    On("Form", forms::Event::Click, [this] { Form_Click(); });
    On("Shape1", forms::Event::Click, [this] { Form_Click(); });
    for (const char* name : {"Image1", "Label1", "Label2"})
        On(name, forms::Event::Click, [this] { Close(); });
}

void frmAbout::Form_Load() {
    CentreOnScreen();
    SetTopmost(true);
}

void frmAbout::Form_Click() {
    SetTopmost(false);
    Close();
}

void frmAbout::Close() {
    Forms().Unload(*this);
}

}  // namespace about
