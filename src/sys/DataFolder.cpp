// SPDX-License-Identifier: MIT
#include "sys/DataFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

#include "shell/MyError.h"

namespace {
bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder of the running executable, or "" when the system won't say.
std::string ExecutableFolder() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    std::string exe(path, size_t(length));
    size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string WorkingFolder() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) != nullptr ? path : "(unknown)";
}
}  // namespace

bool HasGameData(const std::string& folder) { return !folder.empty() && IsFolder(folder + "/Models"); }

std::string ChooseDataFolder(const char* fromEnvironment, const std::string& exeFolder,
                             const std::string& installedRelative, const std::string& compiledIn,
                             const std::string& fromOption) {
    std::vector<std::string> tried;
    const std::pair<const char*, std::string> namedFolders[] = {
        {"--data ", fromOption}, {DATA_FOLDER_VARIABLE "=", fromEnvironment != nullptr ? fromEnvironment : ""}};
    for (const auto& [naming, named] : namedFolders) {
        if (named.empty()) continue;
        if (HasGameData(named)) return named;
        error("%s\"%s\" %s; looking elsewhere\n", naming, named.c_str(),
              IsFolder(named) ? "has no Models folder" : "is not a folder");
        tried.push_back(named);
    }
    std::vector<std::string> places{"."};
    if (!exeFolder.empty()) {
        places.push_back(exeFolder);
        if (!installedRelative.empty()) places.push_back(exeFolder + "/" + installedRelative);
    }
    if (!compiledIn.empty()) places.push_back(compiledIn);
    for (const std::string& place : places) {
        if (HasGameData(place)) return place;
        tried.push_back(place == "." ? "the working folder, " + WorkingFolder() : place);
    }
    // Each place on a line of its own, so long paths are never cut short.
    error("No game data found (a folder with Models/ in it). Looked in:\n");
    for (const std::string& place : tried) error("  %s\n", place.c_str());
    error("Set %s to the data folder. Playing without models, pictures and sounds.\n", DATA_FOLDER_VARIABLE);
    return "";
}

void FindDataFolder(const std::string& installedRelative, const std::string& compiledIn,
                    const std::string& fromOption) {
    std::string folder = ChooseDataFolder(EnvDataFolder(), ExecutableFolder(), installedRelative,
                                          compiledIn, fromOption);
    if (folder.empty() || folder == ".") return;
    if (chdir(folder.c_str()) != 0) myperror(folder.c_str());
}
