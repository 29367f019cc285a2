// The program's one way out.
#pragma once

#include <array>
#include <string_view>

#include "core/forms.h"

namespace basReg {

// Every window of the program, in the order they are unloaded at exit (alphabetical).
inline constexpr std::array<std::string_view, 14> kAllWindows = {
    "frmAbout",  "frmIco",   "frmMain",   "frmOptions", "frmTAIcon", "frmTCIcon", "frmTCOpt",
    "frmTDIcon", "frmTDOpt", "frmTEIcon", "frmTEOpt",   "frmTNIcon", "frmTNOpt",  "frmTPIcon"};

// Unloads every window (each applet window deletes its icon on the way) and ends the process.
// Nothing is saved: every setting was stored when it was made.
void UnloadAllAndEnd(forms::Runtime& runtime);

}  // namespace basReg
