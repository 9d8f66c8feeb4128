// SPDX-License-Identifier: MIT
// Shared by the window tests of the renderer: bring the screen up the way
// start-up does, read pixels back, write small picture files.
#ifndef KORVALEND_RENDER_GLTESTSUPPORT_H
#define KORVALEND_RENDER_GLTESTSUPPORT_H

#include <gtest/gtest.h>

#include <SDL/SDL.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "render/Screen.h"
#include "shell/Globals.h"

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

inline int SurfaceWidth() { return SDL_GetVideoSurface()->w; }
inline int SurfaceHeight() { return SDL_GetVideoSurface()->h; }

struct Picture {
    int w = 0, h = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; }
    long Brightness() const {
        long sum = 0;
        for (size_t i = 0; i < rgba.size(); i += 4) sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
        return sum;
    }
    int LitPixels(int threshold = 24) const {
        int n = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            if (rgba[i] + rgba[i + 1] + rgba[i + 2] > threshold) ++n;
        return n;
    }
};

inline Picture ReadPicture(GLenum buffer = GL_BACK) {
    Picture p;
    p.w = SurfaceWidth();
    p.h = SurfaceHeight();
    p.rgba.resize(static_cast<size_t>(p.w) * p.h * 4);
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, p.w, p.h, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
    glReadBuffer(GL_BACK);
    return p;
}

// Pixels whose colour differs by more than tolerance in any channel.
inline int DifferingPixels(const Picture& a, const Picture& b, int tolerance) {
    if (a.w != b.w || a.h != b.h) return -1;
    int n = 0;
    for (size_t i = 0; i < a.rgba.size(); i += 4)
        for (int k = 0; k < 3; ++k)
            if (std::abs(a.rgba[i + k] - b.rgba[i + k]) > tolerance) {
                ++n;
                break;
            }
    return n;
}

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
