// The running program: its windows and the general settings every window shares.
#pragma once

#include "core/GeneralSettings.h"
#include "core/forms.h"
#include "platform/api.h"

namespace core {

class Program {
public:
    explicit Program(platform::Api& api);
    forms::Runtime& Forms() { return forms_; }
    GeneralSettings& Settings() { return settings_; }
    platform::Api& Api() { return forms_.Api(); }

    // Loads the hidden start-up window, whose load is the whole start-up.
    void Start();

private:
    forms::Runtime forms_;
    GeneralSettings settings_;
};

}  // namespace core
