#include "core/shutdown.h"

#include <string>

namespace basReg {

void UnloadAllAndEnd(forms::Runtime& runtime) {
    for (std::string_view name : kAllWindows)
        runtime.Unload(std::string(name));
    runtime.Api().EndProgram();
}

}  // namespace basReg
