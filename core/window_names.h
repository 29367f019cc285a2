// The names of the program's windows other than the applets' (the applet table names those):
// every floor that registers, opens or unloads one of them says it through these.
#pragma once

namespace window_names {

inline constexpr const char* kMain = "frmMain";        // the hidden start-up window
inline constexpr const char* kOptions = "frmOptions";  // the general options dialog
inline constexpr const char* kAbout = "frmAbout";      // the About box
inline constexpr const char* kIco = "frmIco";          // the icon holder, never loaded

}  // namespace window_names
