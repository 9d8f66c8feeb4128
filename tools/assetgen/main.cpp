// SPDX-License-Identifier: MIT
#include <cstdio>
#include <string>
#include <vector>

#include "AssetGen.h"

int main(int argc, char** argv) {
    std::string dir = ".";
    std::vector<std::string> only;
    int i = 1;
    // For the render benchmark only: the heavier models it draws as its
    // baseline, under DIR/BaselineModels.
    if (argc == 3 && std::string(argv[2]) == "--baseline-models") return GenerateBaselineModels(argv[1]) ? 0 : 1;
    if (i < argc && std::string(argv[i]) != "--only") dir = argv[i++];
    if (i < argc && std::string(argv[i]) == "--only") {
        only.assign(argv + i + 1, argv + argc);
        if (only.empty()) {
            std::fprintf(stderr, "usage: assetgen [DIR] [--only NAME...]\n       assetgen DIR --baseline-models\n");
            return 2;
        }
    } else if (i < argc) {
        std::fprintf(stderr, "usage: assetgen [DIR] [--only NAME...]\n       assetgen DIR --baseline-models\n");
        return 2;
    }
    SetWantedAssets(only);
    bool ok = true;
    if (GroupWanted("Models")) ok = GenerateModels(dir) && ok;
    if (GroupWanted("Images")) ok = GenerateImages(dir) && ok;
    if (GroupWanted("Images")) ok = GenerateWindowIcon(dir) && ok;
    if (GroupWanted("Sounds")) ok = GenerateSounds(dir) && ok;
    if (GroupWanted("Music")) ok = GenerateMusic(dir) && ok;
    if (GroupWanted("icons")) ok = GenerateIcons(dir) && ok;
    if (!ok) {
        std::fprintf(stderr, "assetgen: some assets could not be written\n");
        return 1;
    }
    return 0;
}
