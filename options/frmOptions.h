// The general options dialog: which applets run and whether the program starts with Windows.
// Nothing changes until OK, which applies everything at once.
#pragma once

#include <string>

#include "core/forms.h"
#include "options/general_settings.h"

namespace options {

inline constexpr const char* kNoAppletLeft =
    "You must leave at least one applet active in Vornkit.";

forms::FormDesign OptionsDesign();

// The registry data that starts the program with Windows: the program's folder and file name
// in lower case (as Windows lower-cases it), enclosed in quotation marks when the path holds a
// blank (unquoted, Windows would first try to run a program named after the path's first word).
std::string StartupCommand(platform::System& system, const std::string& appPath,
                           const std::string& exeName);

class frmOptions : public forms::Form {
public:
    frmOptions(forms::Runtime& runtime, GeneralSettings& settings);

    void Form_Load() override;
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    GeneralSettings& settings_;
};

}  // namespace options
