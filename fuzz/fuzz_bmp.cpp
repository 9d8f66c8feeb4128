// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes, as a file, to LoadBitmap: SDL's BMP reader and our
// conversion to RGBA rows, the path of the title pictures and of every BMP
// texture before its upload. An accepted picture must hold width x height
// pixels; a refused one leaves the size untouched.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "render/Bitmap.h"

// Inputs accepted as a picture, for the standalone report.
static int gAccepted = 0;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RemoveFuzzTempDirAtExit();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteFuzzInput("picture.bmp", data, size);
    const unsigned int untouched = 0xDEADu;
    unsigned int width = untouched, height = untouched;
    unsigned char* pixels = LoadBitmap(path.c_str(), &width, &height);
    if (pixels == nullptr) {
        if (width != untouched || height != untouched) std::abort();
        return 0;
    }
    gAccepted++;
    TouchAll(pixels, size_t(width) * height * 4);
    delete[] pixels;
    return 0;
}

#ifdef KORVALEND_FUZZ_STANDALONE
#include "StandaloneMain.h"
int main(int argc, char** argv) { return RunStandalone("fuzz_bmp", argc, argv, gAccepted); }
#endif
