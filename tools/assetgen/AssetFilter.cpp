// SPDX-License-Identifier: MIT
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AssetGen.h"

namespace {
std::vector<std::string> wanted;

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
}  // namespace

void SetWantedAssets(const std::vector<std::string>& names) { wanted = names; }

bool AssetWanted(const std::string& path) {
    if (wanted.empty()) return true;
    for (const std::string& name : wanted) {
        if (path == name || EndsWith(path, "/" + name)) return true;
        if (path.find("/" + name + "/") != std::string::npos) return true;  // its folder
    }
    return false;
}

bool GroupWanted(const std::string& folder) {
    if (wanted.empty()) return true;
    for (const std::string& name : wanted) {
        if (name == folder || name.compare(0, folder.size() + 1, folder + "/") == 0) return true;
        // A bare file name could be in any folder.
        if (name.find('/') == std::string::npos && name != "Models" && name != "Images" && name != "Sounds" &&
            name != "Music")
            return true;
    }
    return false;
}

bool WriteAssetFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (!AssetWanted(path)) return true;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::fprintf(stderr, "assetgen: short write to %s\n", path.c_str());
    return ok;
}
