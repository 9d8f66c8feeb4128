// SPDX-License-Identifier: MIT
// Reading BMP files into bottom-up RGBA rows; no window needed.
#include <gtest/gtest.h>

#include <SDL/SDL.h>

#include <cstdio>
#include <string>

#include "TestSupport.h"
#include "render/Bitmap.h"

namespace {

// The colour SDL itself gives pixel (x, y) of the picture, y from the top.
void SurfacePixel(SDL_Surface* s, int x, int y, Uint8* r, Uint8* g, Uint8* b) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    Uint32 value = 0;
    const int bpp = s->format->BytesPerPixel;
    const Uint8* p = row + x * bpp;
    switch (bpp) {
        case 1: value = *p; break;
        case 2: value = *reinterpret_cast<const Uint16*>(p); break;
        case 3: value = p[0] | (p[1] << 8) | (p[2] << 16); break;
        default: value = *reinterpret_cast<const Uint32*>(p); break;
    }
    SDL_GetRGB(value, s->format, r, g, b);
}

TEST(LoadBitmap, EightBitPaletteBmpBecomesOpaqueRgbaBottomRowFirst) {
    const std::string dir = TestDataDir();
    if (dir.empty()) GTEST_SKIP() << "../shared/testdata is absent";
    const std::string file = dir + "/faerie2.bmp";

    SDL_Surface* reference = SDL_LoadBMP(file.c_str());
    ASSERT_NE(reference, nullptr) << SDL_GetError();
    ASSERT_EQ(reference->format->BitsPerPixel, 8) << "the test file is meant to be a palette picture";

    unsigned int w = 0, h = 0;
    unsigned char* pixels = LoadBitmap(file.c_str(), &w, &h);
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(static_cast<int>(w), reference->w);
    ASSERT_EQ(static_cast<int>(h), reference->h);

    bool allOpaque = true;
    int mismatches = 0;
    for (unsigned int y = 0; y < h; ++y) {
        for (unsigned int x = 0; x < w; ++x) {
            const unsigned char* px = pixels + (static_cast<size_t>(y) * w + x) * 4;
            if (px[3] != 255) allOpaque = false;
            Uint8 r, g, b;
            // Output row y is picture row h-1-y counted from the top.
            SurfacePixel(reference, static_cast<int>(x), static_cast<int>(h - 1 - y), &r, &g, &b);
            if (px[0] != r || px[1] != g || px[2] != b) ++mismatches;
        }
    }
    EXPECT_TRUE(allOpaque);
    EXPECT_EQ(mismatches, 0);
    SDL_FreeSurface(reference);
    delete[] pixels;
}

std::string TempBmpPath(const char* name) {
    return std::string(KORVALEND_BUILD_DIR) + "/" + name;
}

TEST(LoadBitmap, TrueColourBmpKeepsChannelOrderAndFlipsRows) {
    // 3 x 2: top row red, green, blue; bottom row white, black, grey.
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    ASSERT_NE(s, nullptr);
    const Uint8 colours[2][3][3] = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
                                    {{255, 255, 255}, {0, 0, 0}, {128, 128, 128}}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 3;
            for (int k = 0; k < 3; ++k) p[k] = colours[y][x][k];
        }
    const std::string path = TempBmpPath("render_test_3x2.bmp");
    ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(s);

    unsigned int w = 0, h = 0;
    unsigned char* px = LoadBitmap(path.c_str(), &w, &h);
    std::remove(path.c_str());
    ASSERT_NE(px, nullptr);
    ASSERT_EQ(w, 3u);
    ASSERT_EQ(h, 2u);
    // Returned row 0 is the picture's bottom row.
    const unsigned char expected[2][3][4] = {{{255, 255, 255, 255}, {0, 0, 0, 255}, {128, 128, 128, 255}},
                                             {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(px[(y * 3 + x) * 4 + k], expected[y][x][k]) << "x " << x << " y " << y << " byte " << k;
    delete[] px;
}

TEST(LoadBitmap, MissingFileReportsOnceAndLeavesTheSizeAlone) {
    unsigned int w = 77, h = 88;
    testing::internal::CaptureStderr();
    unsigned char* px = LoadBitmap("no/such/picture.bmp", &w, &h);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(px, nullptr);
    EXPECT_EQ(w, 77u);
    EXPECT_EQ(h, 88u);
    EXPECT_EQ(err.rfind("Error loading no/such/picture.bmp: ", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);

    testing::internal::CaptureStderr();
    Bitmap picture("no/such/picture.bmp");
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(picture.pixels, nullptr);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    picture.Draw(0, 0, 640, 480);  // nothing to draw, and no window needed for that
}

TEST(LoadBitmap, FileThatIsNotABmpIsRefused) {
    const std::string path = TempBmpPath("render_test_garbage.bmp");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const char junk[] = "BM this is not really a bitmap";
    std::fwrite(junk, 1, sizeof junk, f);
    std::fclose(f);
    unsigned int w = 1, h = 1;
    testing::internal::CaptureStderr();
    unsigned char* px = LoadBitmap(path.c_str(), &w, &h);
    std::string err = testing::internal::GetCapturedStderr();
    std::remove(path.c_str());
    EXPECT_EQ(px, nullptr);
    EXPECT_NE(err.find("Error loading"), std::string::npos);
}

}  // namespace
