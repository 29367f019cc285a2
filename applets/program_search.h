// Where a program Windows ships is found: only in the folders where Windows keeps its own
// programs, never in the folder of vornkit.exe or the current folder, either of which may be a
// Downloads folder that a web page has written a "notepad.exe" into.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"

namespace applets {

// The folders looked in, in order: the system folder, the Windows folder, then the absolute
// folders of PATH. A 32-bit program on 64-bit Windows looks in the 64-bit system folder first
// (Sysnative), so that it starts the programs the Start menu starts, and in its own 32-bit one
// only after the Windows folder.
std::vector<std::string> ProgramFolders(platform::System& system);

// A folder that names the same place whatever the current drive and folder are: "C:\x" or a
// network path ("\\server\share"); not "x", ".", "\x" or "C:x".
bool IsAbsoluteFolder(std::string_view folder);

// The full path of the first file named `name` in ProgramFolders, or "" when there is none.
std::string FindProgram(platform::System& system, std::string_view name);

}  // namespace applets
