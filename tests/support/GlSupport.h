// SPDX-License-Identifier: MIT
// For the window tests: a bare OpenGL window, or the screen brought up the
// way start-up does it; pixels read back, small picture files written.
#ifndef KORVALEND_TESTS_SUPPORT_GLSUPPORT_H
#define KORVALEND_TESTS_SUPPORT_GLSUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <unistd.h>

#include "Picture.h"
#include "TestSupport.h"
#include "render/Screen.h"
#include "shell/Globals.h"

// Opens the window once per process; every later call reuses it.
inline bool EnsureWindow(int width, int height) {
    static bool open = false;
    if (open) return true;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (SDL_SetVideoMode(width, height, 0, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "SDL_SetVideoMode: %s\n", SDL_GetError());
        return false;
    }
    glViewport(0, 0, width, height);
    open = true;
    return true;
}

struct Rgba {
    int r, g, b, a;
};

inline Rgba ReadPixel(int x, int y) {
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

inline void ExpectColour(Rgba got, int r, int g, int b, int tolerance, const std::string& where) {
    EXPECT_NEAR(got.r, r, tolerance) << where;
    EXPECT_NEAR(got.g, g, tolerance) << where;
    EXPECT_NEAR(got.b, b, tolerance) << where;
}

inline void ClearScreen() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A solid colour TGA, 32 bits, given as R, G, B, A.
inline std::vector<uint8_t> SolidTga(unsigned width, unsigned height, uint8_t r, uint8_t g, uint8_t b,
                                     uint8_t a = 255) {
    std::vector<uint8_t> pixels;
    for (unsigned i = 0; i < width * height; i++) {
        pixels.push_back(b);
        pixels.push_back(g);
        pixels.push_back(r);
        pixels.push_back(a);
    }
    return MakeTga(width, height, 32, pixels);
}

inline bool DirectoryExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

namespace gltest {

class ScreenEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (SDL_Init(SDL_INIT_VIDEO) < 0) {
            std::fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
            std::exit(1);
        }
        testing::internal::CaptureStderr();
        Screen::GetInstance()->Init();
        initReport = testing::internal::GetCapturedStderr();
        InitGlobals();
    }
    void TearDown() override { SDL_Quit(); }
    static std::string initReport;
};

inline std::string ScreenEnvironment::initReport;

// An uncompressed 24-bit TGA of w x h, pixel (x, y) from colour(x, y), rows
// stored bottom first as the reader expects.
template <typename ColourFn>
inline std::string WriteTga(const std::string& name, int w, int h, ColourFn colour) {
    std::string path = std::string(KORVALEND_BUILD_DIR) + "/" + name;
    std::vector<uint8_t> bgr;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char rgb[3];
            colour(x, y, rgb);
            bgr.insert(bgr.end(), {rgb[2], rgb[1], rgb[0]});
        }
    return WriteBytes(path, MakeTga(unsigned(w), unsigned(h), 24, bgr)) ? path : "";
}

}  // namespace gltest

#endif
