// The About box: borderless, topmost, gone at the first click anywhere on it.
#pragma once

#include "core/forms.h"
#include "version.h"

namespace about {

inline constexpr const char* kProductLine = "Vornkit " VORNKIT_VERSION;
// Captions are UTF-8: the copyright sign shows as itself under any ANSI code page.
inline constexpr const char* kNotice = "\u00A9 2026 Vornkit team";

forms::FormDesign AboutDesign();

class frmAbout : public forms::Form {
public:
    explicit frmAbout(forms::Runtime& runtime);
    void Form_Load() override;
    void Form_Click();  // the background, the edge rectangle included
    void Close();       // the picture or either label
};

}  // namespace about
