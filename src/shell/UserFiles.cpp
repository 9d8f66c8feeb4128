#include "UserFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {
std::string XdgFolder(const char* variable, const char* underHome) {
    const char* named = std::getenv(variable);
    // A relative XDG path is invalid and to be ignored.
    if (named != nullptr && named[0] == '/') return std::string(named) + "/korvalend3d";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return "";
    return std::string(home) + "/" + underHome + "/korvalend3d";
}
}  // namespace

std::string UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::string UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

bool MakeFolders(const std::string& path) {
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        struct stat info;
        if (stat(part.c_str(), &info) != 0) {
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        } else if (!S_ISDIR(info.st_mode)) {
            errno = ENOTDIR;
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char here[PATH_MAX];
    if (getcwd(here, sizeof here) == nullptr) return path;
    return std::string(here) + "/" + path;
}
