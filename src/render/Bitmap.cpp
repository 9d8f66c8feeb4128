#include "Bitmap.h"

#include <SDL/SDL.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "../shell/MyError.h"

unsigned char* LoadBitmap(const char* filename, unsigned int* width, unsigned int* height) {
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromFile(filename, "rb"), 1);
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
    if (SDL_Surface* surface = SDL_GetVideoSurface()) {
        w = surface->w;
        h = surface->h;
    }

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, w, 0, h);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

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

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
