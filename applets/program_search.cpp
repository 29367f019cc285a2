#include "applets/program_search.h"

#include <utility>

namespace applets {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string Join(const std::string& folder, std::string_view name) {
    if (!folder.empty() && IsSeparator(folder.back()))
        return folder + std::string(name);
    return folder + "\\" + std::string(name);
}

// PATH's entries, each without the quotation marks that may enclose it.
std::vector<std::string> PathFolders(const std::string& path) {
    std::vector<std::string> folders;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find(';', begin);
        if (end == std::string::npos)
            end = path.size();
        std::string entry = path.substr(begin, end - begin);
        if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"')
            entry = entry.substr(1, entry.size() - 2);
        if (!entry.empty())
            folders.push_back(entry);
        begin = end + 1;
    }
    return folders;
}

}  // namespace

bool IsAbsoluteFolder(std::string_view folder) {
    if (folder.size() >= 3 && folder[1] == ':' && IsSeparator(folder[2]))
        return (folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z');
    return folder.size() >= 3 && IsSeparator(folder[0]) && IsSeparator(folder[1]);
}

std::vector<std::string> ProgramFolders(platform::System& system) {
    const std::string systemFolder = system.GetSystemDirectoryW();
    const std::string windowsFolder = system.GetSystemWindowsDirectoryW();
    std::vector<std::string> folders;
    if (system.IsWow64Process()) {
        if (!windowsFolder.empty())
            folders.push_back(Join(windowsFolder, "Sysnative"));
        folders.push_back(windowsFolder);
        folders.push_back(systemFolder);
    } else {
        folders.push_back(systemFolder);
        folders.push_back(windowsFolder);
    }
    for (std::string& folder : PathFolders(system.GetEnvironmentVariableW("PATH")))
        folders.push_back(std::move(folder));
    // A folder Windows could not tell, or a relative PATH entry, would be looked up from the
    // current folder.
    std::erase_if(folders, [](const std::string& f) { return !IsAbsoluteFolder(f); });
    return folders;
}

std::string FindProgram(platform::System& system, std::string_view name) {
    for (const std::string& folder : ProgramFolders(system))
        if (const std::string path = Join(folder, name); system.IsFile(path))
            return path;
    return {};
}

}  // namespace applets
