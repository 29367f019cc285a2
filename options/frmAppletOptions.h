// The options dialog of an applet (frmTDOpt, frmTEOpt, frmTCOpt, frmTNOpt): the window style
// its program starts with and, for two of them, the parameters. Every choice is stored the
// moment it is made; OK only closes the dialog. One class; the differences are data.
#pragma once

#include "applets/catalogue.h"
#include "core/forms.h"

namespace options {

forms::FormDesign AppletOptionsDesign(const applets::Applet& applet);

class frmAppletOptions : public forms::Form {
public:
    frmAppletOptions(forms::Runtime& runtime, const applets::Applet& applet);

    void Form_Load() override;
    void Form_LostFocus() override;
    void optNorm_Click();
    void optMin_Click();
    void optMax_Click();
    void txtParam_Change();
    void cmdOK_Click();

    bool HasParameters() const { return Find("txtParam") != nullptr; }

private:
    // Stores one of the applet's settings: every choice is stored the moment it is made.
    void WriteSetting(const char* key, const std::string& value);
    const applets::Applet& applet_;
};

}  // namespace options
