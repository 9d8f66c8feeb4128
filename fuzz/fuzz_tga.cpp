// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the TGA decoder. An accepted image must have the
// size and depth it claims and pixels that can all be read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "assets/Texture.h"

// Inputs the reader accepted, for the standalone report.
static int gAccepted = 0;

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    unsigned char* copy = new unsigned char[size > 0 ? size : 1];
    if (size > 0) std::memcpy(copy, data, size);
    unsigned char* pixels = nullptr;
    unsigned int width = 0, height = 0, bpp = 0;
    bool ok = Texture::DecodeTGA(copy, size, &pixels, &width, &height, &bpp);
    delete[] copy;
    if (!ok) {
        if (pixels != nullptr) std::abort();
        return 0;
    }
    gAccepted++;
    if (width == 0 || height == 0 || (bpp != 24 && bpp != 32)) std::abort();
    size_t bytes = size_t(width) * height * (bpp / 8);
    if (bytes + 18 > size) std::abort();
    TouchAll(pixels, bytes);
    delete[] pixels;
    return 0;
}

#ifdef KORVALEND_FUZZ_STANDALONE
#include "StandaloneMain.h"
int main(int argc, char** argv) { return RunStandalone("fuzz_tga", argc, argv, gAccepted); }
#endif
