// Accessible names for the controls that show no caption.
#pragma once

#include <windows.h>

#include <string>

namespace hosts::win32 {

// Gives a control that shows no text (its window text stays empty) an accessible name: screen
// readers asking the window for its object get the system's own under this name.
void GiveAccessibleName(HWND hwnd, const std::wstring& name);

}  // namespace hosts::win32
