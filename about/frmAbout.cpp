#include "about/frmAbout.h"

#include "resources/resource.h"

namespace about {

forms::FormDesign AboutDesign() {
    forms::FormDesign design;
    design.name = "frmAbout";
    design.border = forms::Border::None;
    design.controlBox = false;
    design.showInTaskbar = false;
    design.clientWidth = 3510;
    design.clientHeight = 1215;
    design.backColour = 0x00FFC0C0;

    forms::ControlDesign image;
    image.name = "Image1";
    image.kind = forms::Kind::Image;
    image.left = 120, image.top = 120, image.width = 480, image.height = 480;
    image.picture = IDI_PROGRAM;

    forms::ControlDesign title;
    title.name = "Label1";
    title.kind = forms::Kind::Label;
    title.caption = kProductLine;
    title.left = 600, title.top = 120, title.width = 2655, title.height = 495;
    title.font = {"Comic Sans MS", 18.0f, false};
    title.backColour = design.backColour;
    title.foreColour = 0x00000000;

    forms::ControlDesign notice;
    notice.name = "Label2";
    notice.kind = forms::Kind::Label;
    notice.caption = kNotice;
    notice.left = 1440, notice.top = 600, notice.width = 1695, notice.height = 255;
    notice.backColour = design.backColour;

    forms::ControlDesign edge;
    edge.name = "Shape1";
    edge.kind = forms::Kind::Shape;
    edge.left = 0, edge.top = 0, edge.width = 3495, edge.height = 1210;

    design.controls = {image, title, notice, edge};
    return design;
}

frmAbout::frmAbout(forms::Runtime& runtime) : Form(runtime, AboutDesign()) {
    On("Form", forms::Event::Click, [this] { Form_Click(); });
    On("Shape1", forms::Event::Click, [this] { Form_Click(); });
    for (const char* name : {"Image1", "Label1", "Label2"})
        On(name, forms::Event::Click, [this] { Close(); });
}

void frmAbout::Form_Load() {
    Move(static_cast<int>((Api().ScreenWidthTwips() - Width()) / 2.0f),
         static_cast<int>((Api().ScreenHeightTwips() - Height()) / 2.0f));
    Api().SetWindowPos(WindowHandle(), platform::kHwndTopmost, 0, 0, 0, 0,
                       platform::kSwpNoMove | platform::kSwpNoSize);
}

void frmAbout::Form_Click() {
    Api().SetWindowPos(WindowHandle(), platform::kHwndNoTopmost, 0, 0, 0, 0,
                       platform::kSwpNoMove | platform::kSwpNoSize);
    Close();
}

void frmAbout::Close() {
    Forms().Unload(*this);
}

}  // namespace about
