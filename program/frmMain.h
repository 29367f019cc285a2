// The hidden start-up window: its load reads the general section and loads the applet windows.
#pragma once

#include "core/forms.h"
#include "options/general_settings.h"

namespace program {

class frmMain : public forms::Form {
public:
    frmMain(forms::Runtime& runtime, options::GeneralSettings& settings);
    void Form_Load() override;

private:
    options::GeneralSettings& settings_;
};

}  // namespace program
