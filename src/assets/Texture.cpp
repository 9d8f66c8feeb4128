// SPDX-License-Identifier: MIT
#include "assets/Texture.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <GL/gl.h>
#include <GL/glu.h>

#include "render/Bitmap.h"
#include "shell/MyError.h"

namespace {

// No image identifier, no colour map, type 2 (uncompressed true colour),
// all-zero colour-map fields, origin 0,0.
const unsigned char kTGAHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const size_t kTGAHeaderSize = 18;

// The whole file, or false when it cannot be opened or read.
bool ReadWholeFile(const char* filename, std::vector<unsigned char>& bytes) {
    FILE* file = std::fopen(filename, "rb");
    if (file == nullptr) return false;
    unsigned char chunk[65536];
    bool ok = true;
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    return ok;
}

char* CopyString(const char* text) {
    size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

}  // namespace

Texture::Texture() : data(nullptr), bpp(0), width(0), height(0), filename(nullptr), ID(0) {}

Texture::~Texture() {
    if (data != nullptr) {
        if (ID != 0) glDeleteTextures(1, &ID);
        delete[] data;
    }
    delete[] filename;
}

void Texture::Bind() {
    if (ID == 0 || !glIsTexture(ID)) LoadIntoOpenGL();
    glBindTexture(GL_TEXTURE_2D, ID);
}

bool Texture::DecodeTGA(const unsigned char* bytes, size_t size, unsigned char** pixels,
                        unsigned int* width, unsigned int* height, unsigned int* bpp) {
    if (bytes == nullptr || size < sizeof kTGAHeader) return false;
    if (std::memcmp(bytes, kTGAHeader, sizeof kTGAHeader) != 0) return false;
    if (size < kTGAHeaderSize) return false;

    unsigned int w = bytes[12] | (bytes[13] << 8);
    unsigned int h = bytes[14] | (bytes[15] << 8);
    unsigned int depth = bytes[16];
    if (w == 0 || h == 0 || (depth != 24 && depth != 32)) return false;

    size_t bytesPerPixel = depth / 8;
    size_t imageSize = size_t(w) * h * bytesPerPixel;
    // A file shorter than its header promises is refused before anything
    // is allocated for it.
    if (size - kTGAHeaderSize < imageSize) return false;

    unsigned char* out = new (std::nothrow) unsigned char[imageSize];
    if (out == nullptr) return false;
    std::memcpy(out, bytes + kTGAHeaderSize, imageSize);
    for (size_t i = 0; i < imageSize; i += bytesPerPixel) {
        unsigned char blue = out[i];
        out[i] = out[i + 2];
        out[i + 2] = blue;
    }
    *pixels = out;
    *width = w;
    *height = h;
    *bpp = depth;
    return true;
}

bool Texture::LoadTGA(const char* name) {
    if (name == nullptr) return false;
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(name, bytes)) return false;

    unsigned char* pixels = nullptr;
    unsigned int w = 0, h = 0, depth = 0;
    if (!Texture::DecodeTGA(bytes.data(), bytes.size(), &pixels, &w, &h, &depth)) return false;

    delete[] data;
    data = pixels;
    width = w;
    height = h;
    bpp = depth;
    delete[] filename;
    filename = CopyString(name);
    LoadIntoOpenGL();
    return true;
}

bool Texture::LoadBMP(const char* name) {
    if (name == nullptr) return false;
    unsigned int w = 0, h = 0;
    unsigned char* pixels = LoadBitmap(name, &w, &h);
    if (pixels == nullptr) return false;

    delete[] data;
    data = pixels;
    width = w;
    height = h;
    bpp = 32;
    delete[] filename;
    filename = CopyString(name);
    LoadIntoOpenGL();
    return true;
}

void Texture::LoadIntoOpenGL() {
    if (data == nullptr) return;
    error("Loading texture %s into memory...", filename != nullptr ? filename : "");

    GLenum format = (bpp == 32) ? GL_RGBA : GL_RGB;
    if (ID != 0) glDeleteTextures(1, &ID);
    glGenTextures(1, &ID);
    glBindTexture(GL_TEXTURE_2D, ID);

    // Rows of 3-byte pixels are not padded to 4 bytes.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, format, GL_UNSIGNED_BYTE, data);
    glPopClientAttrib();

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    error("texture id = %d\n", int(ID));
}
