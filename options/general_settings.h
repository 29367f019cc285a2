// The in-memory copy of the general section "VORNKIT": filled at start-up, changed only by the
// general options dialog's OK, which is why it lives with that dialog.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "applets/catalogue.h"

namespace options {

inline constexpr const char* kGeneralSection = "VORNKIT";

struct GeneralSettings {
    std::string TACheck, TCCheck, TDCheck, TECheck, TNCheck, TPCheck, StartupCheck;

    // The field named like its key; nullptr for any other name.
    std::string* Field(std::string_view key) {
        for (auto& [name, field] : Fields())
            if (name == key)
                return field;
        return nullptr;
    }

    // The keys in the order start-up reads them: each applet's enable key, then StartupCheck.
    std::array<std::pair<std::string_view, std::string*>, applets::kAppletCount + 1> Fields() {
        return {{{"TACheck", &TACheck},
                 {"TCCheck", &TCCheck},
                 {"TDCheck", &TDCheck},
                 {"TECheck", &TECheck},
                 {"TNCheck", &TNCheck},
                 {"TPCheck", &TPCheck},
                 {"StartupCheck", &StartupCheck}}};
    }
};

}  // namespace options
