// The fonts of a form's controls: made from the design's face, size and weight at the display's
// resolution, each made once for its window and freed with it.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/forms.h"
#include "hosts/win32/handles.h"

namespace hosts::win32 {

// The faces the system has itself, not a substitute the font mapper picks. Each is asked once:
// the answer does not change while the program runs.
class InstalledFaces {
public:
    bool Has(const char* face);

private:
    std::vector<std::pair<std::string, bool>> faces_;
};

// The fonts one window's controls draw their text in.
class Fonts {
public:
    HFONT For(const forms::Font& font, int dpi, InstalledFaces& faces);

private:
    std::vector<std::pair<forms::Font, OwnedFont>> fonts_;
};

}  // namespace hosts::win32
