#include "core/shutdown.h"

#include <string>

namespace basReg {

void UnloadAllAndEnd(forms::Runtime& forms) {
    for (std::string_view name : kAllWindows)
        forms.Unload(std::string(name));
    forms.Api().EndProgram();
}

}  // namespace basReg
