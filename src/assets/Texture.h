// SPDX-License-Identifier: MIT
// One image held in memory and uploaded to OpenGL as a mipmapped texture.
#ifndef KORVALEND_TEXTURE_H
#define KORVALEND_TEXTURE_H

#include <cstddef>

class Texture {
public:
    // Binds name 0 when there is no pixel data.
    void Bind();

    // Reads an uncompressed true-colour TGA (type 2, 24 or 32 bits) held in
    // memory. On success *pixels is new[] memory, rows in file order, bytes
    // turned from B, G, R(, A) into R, G, B(, A). Needs no OpenGL.
    static bool DecodeTGA(const unsigned char* bytes, size_t size, unsigned char** pixels,
                          unsigned int* width, unsigned int* height, unsigned int* bpp);

    unsigned char* data;
    unsigned int bpp;
    unsigned int width;
    unsigned int height;
    char* filename;
    unsigned int ID;

private:
    friend class TextureServer;
    Texture();
    ~Texture();
    bool LoadTGA(const char* filename);
    bool LoadBMP(const char* filename);
    void LoadIntoOpenGL();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
};

#endif
