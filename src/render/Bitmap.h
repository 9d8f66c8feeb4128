// SPDX-License-Identifier: MIT
// Full-screen pictures from BMP files, drawn scaled from a design resolution.
#ifndef KORVALEND_BITMAP_H
#define KORVALEND_BITMAP_H

// RGBA rows bottom to top, owned by the caller (delete[]); null on failure.
unsigned char* LoadBitmap(const char* filename, unsigned int* width, unsigned int* height);

class Bitmap {
public:
    explicit Bitmap(const char* filename);
    ~Bitmap();
    void Draw(int x, int y, int windowWidth, int windowHeight);

    unsigned int width;
    unsigned int height;
    unsigned char* pixels;

private:
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
};

#endif
