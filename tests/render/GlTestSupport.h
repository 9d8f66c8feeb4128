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

#include "Picture.h"
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
