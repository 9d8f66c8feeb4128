// SPDX-License-Identifier: MIT
#include "render/Bitmap.h"

#include <SDL/SDL.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/Flat2D.h"
#include "shell/MyError.h"
#include "sys/Letterbox.h"

namespace {
// SDL makes room for the whole picture before it reads a pixel, so a few
// bytes of header could claim gigabytes: larger pictures are refused first.
const long long MAX_BITMAP_SIDE = 16384;
const long long MAX_BITMAP_PIXELS = 4096LL * 4096;

// False, with the SDL error set, when the header claims a size we refuse.
// The stream is left where it was; what SDL refuses itself is let through.
bool SizeAcceptable(SDL_RWops* rw) {
    // A file cut inside its header still gets a picture from SDL, which
    // reads the missing bytes as zeros: so do we.
    unsigned char header[26] = {};
    const int start = SDL_RWtell(rw);
    const int got = SDL_RWread(rw, header, 1, sizeof header);
    SDL_RWseek(rw, start, SEEK_SET);
    if (got < 2 || header[0] != 'B' || header[1] != 'M') return true;
    auto u16 = [&](int at) { return static_cast<long long>(header[at] | (header[at + 1] << 8)); };
    auto s32 = [&](int at) {
        return static_cast<long long>(static_cast<int32_t>(
            static_cast<uint32_t>(u16(at)) | (static_cast<uint32_t>(u16(at + 2)) << 16)));
    };
    // The old OS/2 header has 16-bit sizes, every later one 32-bit ones
    // (a negative height means rows from the top).
    const bool core = s32(14) == 12;
    const long long w = core ? u16(18) : std::llabs(s32(18));
    const long long h = core ? u16(20) : std::llabs(s32(22));
    if (w <= MAX_BITMAP_SIDE && h <= MAX_BITMAP_SIDE && w * h <= MAX_BITMAP_PIXELS) return true;
    SDL_SetError("a picture of %lld x %lld pixels is too large", w, h);
    return false;
}
}  // namespace

unsigned char* LoadBitmap(const char* filename, unsigned int* width, unsigned int* height) {
    SDL_RWops* file = SDL_RWFromFile(filename, "rb");
    if (file != nullptr && !SizeAcceptable(file)) {
        SDL_RWclose(file);
        error("Error loading %s: %s\n", filename, SDL_GetError());
        return nullptr;
    }
    SDL_Surface* loaded = SDL_LoadBMP_RW(file, 1);
    if (loaded == nullptr) {
        error("Error loading %s: %s\n", filename, SDL_GetError());
        return nullptr;
    }

    // Four bytes a pixel in the order R, G, B, A in memory, which is what
    // OpenGL's GL_RGBA / GL_UNSIGNED_BYTE reads.
    SDL_PixelFormat format;
    std::memset(&format, 0, sizeof(format));
    format.palette = nullptr;
    format.BitsPerPixel = 32;
    format.BytesPerPixel = 4;
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    format.Rmask = 0x000000FF; format.Rshift = 0;
    format.Gmask = 0x0000FF00; format.Gshift = 8;
    format.Bmask = 0x00FF0000; format.Bshift = 16;
    format.Amask = 0xFF000000; format.Ashift = 24;
#else
    format.Rmask = 0xFF000000; format.Rshift = 24;
    format.Gmask = 0x00FF0000; format.Gshift = 16;
    format.Bmask = 0x0000FF00; format.Bshift = 8;
    format.Amask = 0x000000FF; format.Ashift = 0;
#endif
    format.colorkey = 0;
    format.alpha = 255;

    SDL_Surface* converted = SDL_ConvertSurface(loaded, &format, SDL_SWSURFACE);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) {
        error("Error loading %s: %s\n", filename, SDL_GetError());
        return nullptr;
    }

    const unsigned int w = static_cast<unsigned int>(converted->w);
    const unsigned int h = static_cast<unsigned int>(converted->h);
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    unsigned char* pixels = new unsigned char[rowBytes * h];

    if (SDL_MUSTLOCK(converted)) SDL_LockSurface(converted);
    const unsigned char* src = static_cast<const unsigned char*>(converted->pixels);
    // The surface starts with the top row, OpenGL with the bottom one.
    for (unsigned int row = 0; row < h; ++row)
        std::memcpy(pixels + row * rowBytes, src + static_cast<size_t>(h - 1 - row) * converted->pitch,
                    rowBytes);
    if (SDL_MUSTLOCK(converted)) SDL_UnlockSurface(converted);
    SDL_FreeSurface(converted);

    *width = w;
    *height = h;
    return pixels;
}

Bitmap::Bitmap(const char* filename) : width(0), height(0), pixels(nullptr) {
    pixels = LoadBitmap(filename, &width, &height);
}

Bitmap::~Bitmap() { delete[] pixels; }

void Bitmap::Draw(int x, int y, int windowWidth, int /*windowHeight*/) {
    if (pixels == nullptr || windowWidth <= 0) return;

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    // One factor for both axes, so the picture keeps its shape.
    const float zoom = static_cast<float>(viewport[2] - viewport[0]) / static_cast<float>(windowWidth);

    int w = viewport[2], h = viewport[3];
    if (SDL_GetVideoSurface() != nullptr) LetterboxPictureSize(&w, &h);

    Flat2D flat(w, h);

    const int rx = static_cast<int>(x * zoom);
    const int ry = static_cast<int>(y * zoom);
    if (rx >= 0 && ry >= 0) {
        glRasterPos2i(rx, ry);
    } else {
        // A raster position left of or below the window would be invalid and
        // nothing would be drawn; start inside and move by the remainder.
        glRasterPos2i(0, 0);
        glBitmap(0, 0, 0.0f, 0.0f, static_cast<float>(rx), static_cast<float>(ry), nullptr);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelZoom(zoom, zoom);
    glDrawPixels(static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels);
}
