#include <cstdio>
#include <string>

#include "AssetGen.h"

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : ".";
    bool ok = true;
    ok = GenerateModels(dir) && ok;
    ok = GenerateImages(dir) && ok;
    ok = GenerateSounds(dir) && ok;
    ok = GenerateMusic(dir) && ok;
    if (!ok) {
        std::fprintf(stderr, "assetgen: some assets could not be written\n");
        return 1;
    }
    return 0;
}
