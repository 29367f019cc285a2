#include "program/shutdown.h"

namespace basReg {

void UnloadAllAndEnd(forms::Runtime& runtime) {
    // The program registers each of its windows by name, the applet table's and the dialogs',
    // so the registered names are every window there is, and they come in alphabetical order.
    for (const std::string& name : runtime.RegisteredNames())
        runtime.Unload(name);
    runtime.System().EndProgram();
}

}  // namespace basReg
