// The running program: the one place that knows every part. It registers every window by name,
// holds the general settings they share, and hands the forms runtime its way out.
#pragma once

#include "core/forms.h"
#include "options/general_settings.h"
#include "platform/system.h"

namespace program {

class Program {
public:
    Program(platform::System& system, forms::WindowHost& host);
    forms::Runtime& Forms() { return forms_; }
    options::GeneralSettings& Settings() { return settings_; }

    // Loads the hidden start-up window, whose load starts the applets and adds their icons;
    // then each applet's run mode and hidden options dialog.
    void Start();

private:
    forms::Runtime forms_;
    options::GeneralSettings settings_;
};

}  // namespace program
