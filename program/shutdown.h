// The program's one way out.
#pragma once

#include "core/forms.h"

namespace basReg {

// Unloads every window of the program in the alphabetical order of their names (each applet
// window deletes its icon on the way) and ends the process. Nothing is saved: every setting was
// stored when it was made.
void UnloadAllAndEnd(forms::Runtime& runtime);

}  // namespace basReg
